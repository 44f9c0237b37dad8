// Reads arbitrary bytes as a form file (text or binary stream) and checks what the document
// promises: unedited it saves byte for byte; its binary stream and (for text) its printed text
// read back as the same tree; numbering every component splices a text that reads back as the
// edited tree with the new numbers.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "zk/formfile/FormBinary.h"
#include "zk/formfile/FormDocument.h"
#include "tests/support/Namespaces.h"

namespace {

void Require(bool Holds) {
    if (!Holds) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    std::string bytes(reinterpret_cast<const char*>(Data), Size);
    std::optional<TFormDocument> doc;
    try {
        doc.emplace(TFormDocument::Read(bytes, "f"));
    } catch (const EFormFileError&) {
        return 0;
    }
    Require(doc->Save() == bytes);
    std::string stream;
    try {
        stream = doc->ToBinary();
    } catch (const EFormFileError&) {
        // Names longer than a binary stream's 255 bytes: text only.
    }
    if (!stream.empty()) {
        TFormDocument bin = TFormDocument::Read(stream, "f.bin");
        Require(SameTree(bin.Root(), doc->Root()));
        Require(bin.ToBinary() == stream);
    }
    if (doc->IsBinary()) return 0;
    // Text read from text prints with valid names and finite numbers only.
    TFormDocument printed = TFormDocument::ReadText(PrintFormTree(doc->Root(), "\n"), "p");
    Require(SameTree(printed.Root(), doc->Root()));

    int32_t n = 0;
    for (const TFormNode* node : doc->Nodes()) {
        try {
            doc->HelpContext(*node);
        } catch (const EFormFileError&) {
            continue;  // a HelpContext that is no number is left as it is
        }
        doc->SetHelpContext(*node, (++n % 3 == 0) ? 0 : n * 7 - 1000);
    }
    TFormDocument again = TFormDocument::ReadText(doc->Save(), "g");
    Require(SameTree(again.Root(), doc->Root()));
    return 0;
}
