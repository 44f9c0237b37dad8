#include "zk/formfile/FormDocument.h"

#include <algorithm>

#include "zk/formfile/FormTextReader.h"

namespace zk::formfile {

namespace {

void CollectNodes(const TFormNode& N, std::vector<const TFormNode*>& Out) {
    Out.push_back(&N);
    for (const TFormNode& c : N.Children) CollectNodes(c, Out);
}

}  // namespace

TFormDocument TFormDocument::Read(std::string Bytes, const std::string& FileName) {
    if (LooksBinary(Bytes)) return ReadBinary(std::move(Bytes), FileName);
    return ReadText(std::move(Bytes), FileName);
}

TFormDocument TFormDocument::ReadText(std::string Text, const std::string& FileName) {
    TFormDocument doc;
    doc.FFileName = FileName;
    TFormTextRead read = ReadFormText(Text, FileName);
    doc.FRoot = std::move(read.Root);
    doc.FTrailingAt = read.TrailingAt;
    size_t nl = Text.find('\n');
    if (nl != std::string::npos) doc.FLineEnd = nl > 0 && Text[nl - 1] == '\r' ? "\r\n" : "\n";
    doc.FBytes = std::move(Text);
    return doc;
}

TFormDocument TFormDocument::ReadBinary(std::string Bytes, const std::string& FileName) {
    TFormDocument doc;
    doc.FFileName = FileName;
    doc.FBinary = true;
    doc.FRoot = ReadFormStream(Bytes, FileName, doc.FFrame);
    doc.FBytes = std::move(Bytes);
    return doc;
}

std::string TFormDocument::Save() const {
    if (!FEdited) return FBytes;
    if (FBinary) return FrameFormStream(WriteFormStream(FRoot), FFrame);
    return SpliceEdits();
}

std::string TFormDocument::SpliceEdits() const {
    // Bytes [Start, End) of the original give way to Text.
    struct TSplice {
        size_t Start, End;
        std::string Text;
    };
    std::vector<TSplice> splices;
    for (const auto& [key, e] : FEdits) {
        if (e.Original) {
            const TFormNodeProperty& o = *e.Original;
            if (!e.Now)
                splices.push_back({o.LineStart, o.LineEnd, {}});
            else if (!SameValue(*e.Now, o.Value))
                splices.push_back({o.Value.Span.Start, o.Value.Span.End,
                                   FormValueText(*e.Now, e.Indent, FLineEnd)});
        } else if (e.Now) {
            std::string line = e.InsertInline ? FLineEnd : std::string();
            line +=
                e.Indent + e.Name + " = " + FormValueText(*e.Now, e.Indent, FLineEnd) + FLineEnd;
            splices.push_back({e.InsertAt, e.InsertAt, std::move(line)});
        }
    }
    std::stable_sort(splices.begin(), splices.end(),
                     [](const TSplice& a, const TSplice& b) { return a.Start < b.Start; });
    std::string out;
    out.reserve(FBytes.size() + splices.size() * 32);
    size_t pos = 0;
    for (const TSplice& s : splices) {
        out.append(FBytes, pos, s.Start - pos);
        out += s.Text;
        pos = s.End;
    }
    out.append(FBytes, pos, std::string::npos);
    return out;
}

std::string TFormDocument::ToText(const std::string& LineEnd) const {
    if (!FBinary) return Save();
    return PrintFormTree(FRoot, LineEnd);
}

std::string TFormDocument::ToBinary() const { return WriteFormStream(FRoot); }

std::vector<const TFormNode*> TFormDocument::Nodes() const {
    std::vector<const TFormNode*> out;
    CollectNodes(FRoot, out);
    return out;
}

const TFormNode* TFormDocument::Find(const std::string& Name) const {
    std::vector<const TFormNode*> all = Nodes();
    if (Name.find('.') == std::string::npos) {
        for (const TFormNode* n : all)
            if (SameIdent(n->Name, Name)) return n;
        return nullptr;
    }
    // A path: each part found among the descendants of the one before.
    size_t start = 0;
    const TFormNode* at = nullptr;
    while (start <= Name.size()) {
        size_t dot = Name.find('.', start);
        std::string part = Name.substr(start, dot == std::string::npos ? dot : dot - start);
        if (!at) {
            if (!SameIdent(FRoot.Name, part)) return nullptr;
            at = &FRoot;
        } else {
            std::vector<const TFormNode*> below;
            CollectNodes(*at, below);
            const TFormNode* next = nullptr;
            for (size_t i = 1; i < below.size() && !next; ++i)
                if (SameIdent(below[i]->Name, part)) next = below[i];
            if (!next) return nullptr;
            at = next;
        }
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return at;
}

TFormDocument::TPropertyEdit& TFormDocument::EditOf(const TFormNode& Node,
                                                    const std::string& Name) {
    std::string key = Name;
    for (char& c : key)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    auto [at, added] = FEdits.try_emplace({Node.Span.Start, std::move(key)});
    TPropertyEdit& e = at->second;
    if (added) {
        e.Name = Name;
        e.InsertAt = Node.InsertAt;
        e.InsertInline = Node.InsertInline;
        e.Indent = Node.Indent;
        if (const TFormNodeProperty* p = FindProperty(Node, Name)) e.Original = *p;
    }
    return e;
}

void TFormDocument::SetProperty(const TFormNode& Node, const std::string& Name,
                                const TFormNodeValue& Value) {
    TFormNodeValue now = Value;
    now.Span = {};
    // A binary stream is written anew from the tree: only text needs the splice.
    if (!FBinary) EditOf(Node, Name).Now = now;
    // The node is one of this document's own; only the document changes it.
    auto& n = const_cast<TFormNode&>(Node);
    if (auto* p = const_cast<TFormNodeProperty*>(FindProperty(n, Name)))
        p->Value = std::move(now);
    else
        n.Properties.push_back({Name, std::move(now), {}, 0, 0});
    FEdited = true;
}

void TFormDocument::RemoveProperty(const TFormNode& Node, const std::string& Name) {
    const TFormNodeProperty* p = FindProperty(Node, Name);
    if (!p) return;
    if (!FBinary) EditOf(Node, Name).Now.reset();
    auto& n = const_cast<TFormNode&>(Node);
    n.Properties.erase(n.Properties.begin() + (p - n.Properties.data()));
    FEdited = true;
}

std::optional<int64_t> TFormDocument::HelpContext(const TFormNode& Node) const {
    const TFormNodeProperty* p = FindProperty(Node, "HelpContext");
    if (!p) return std::nullopt;
    // The property is a 32-bit signed integer: anything else would not read back as stored.
    if (p->Value.Type != TFormValueType::Integer || p->Value.Int < INT32_MIN ||
        p->Value.Int > INT32_MAX)
        throw EFormFileError(FFileName + ":" + std::to_string(p->Span.Line) + ":" +
                                 std::to_string(p->Span.Column) + ": expected an integer " +
                                 "HelpContext value from -2147483648 to 2147483647",
                             p->Span.Line, p->Span.Column);
    return p->Value.Int;
}

void TFormDocument::SetHelpContext(const TFormNode& Node, int32_t Value) {
    if (HelpContext(Node).value_or(0) == Value) return;
    if (Value == 0) return RemoveProperty(Node, "HelpContext");
    TFormNodeValue v;
    v.Int = Value;
    SetProperty(Node, "HelpContext", v);
}

}  // namespace zk::formfile
