// Feeds arbitrary bytes to every frame decoder (as a received frame would arrive) and checks
// that each encoder's output decodes back to what went in.
#include "zk/mailslot/ZkChecksum.h"
#include "zk/mailslot/ZkFrames.h"
#include "tests/support/Namespaces.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace zkframes;

void Require(bool Holds) {
    if (!Holds) __builtin_trap();
}

// Decoders on the raw bytes; the fuzzer's buffer is exactly Size long, so ASan sees over-reads.
void DecodeRaw(const char* Frame, int32_t Len) {
    const bool Checked = CheckedFrameValid(Frame, Len);
    if (Checked) Require(Len >= CheckedHeaderSize);
    const bool Secure = SecureFrameValid(Frame, Len);
    if (Secure) Require(Len >= SecureHeaderSize);

    const PopupFields F = SplitPopup(Frame, Len);
    Require(F.Sender.size() + F.Receiver.size() + F.Text.size() <= static_cast<size_t>(Len));
    Require(F.Sender.find('\0') == std::string::npos);

    FragmentHeader H;
    if (ParseFragment(Frame, Len, H)) {
        Require(Len > FragmentHeaderSize && H.Id <= FragmentIdMask);
    }
    if (Checked) ParseFragment(Frame + CheckedHeaderSize, Len - CheckedHeaderSize, H);
}

void RoundTrip(FuzzedDataProvider& In) {
    const uint16_t Word = In.ConsumeIntegral<uint16_t>();
    const std::string A = In.ConsumeRandomLengthString(64);
    const std::string B = In.ConsumeRandomLengthString(64);
    const std::string Payload = In.ConsumeRemainingBytesAsString();
    const auto Len = static_cast<int32_t>(Payload.size());

    const std::string Checked = EncodeChecked(Payload.data(), Len);
    Require(CheckedFrameValid(Checked.data(), static_cast<int32_t>(Checked.size())));

    const std::string Safe = EncodeSafe(Word, Payload.data(), Len);
    Require(CheckedFrameValid(Safe.data(), static_cast<int32_t>(Safe.size())));
    Require(ReadLE16(Safe.data() + CheckedHeaderSize) == Word);

    const std::string Secure = EncodeSecure(Word, Payload.data(), Len);
    Require(SecureFrameValid(Secure.data(), static_cast<int32_t>(Secure.size())));
    Require(Secure.substr(0, 4) == ChecksumText(Word));

    if (A.find('\0') == std::string::npos && B.find('\0') == std::string::npos) {
        const std::string Popup = EncodePopup(A, B, Payload);
        const PopupFields F = SplitPopup(Popup.data(), static_cast<int32_t>(Popup.size()));
        Require(F.Sender == A && F.Receiver == B &&
                F.Text == Payload.substr(0, Payload.find('\0')));
    }

    if (Len <= LongMailMax) {
        std::string Rebuilt;
        for (int32_t K = 0; K < FragmentCount(Len); ++K) {
            const std::string Frag = EncodeFragment(Word, Payload.data(), Len, K);
            FragmentHeader H;
            Require(ParseFragment(Frag.data(), static_cast<int32_t>(Frag.size()), H));
            Require(H.First == (K == 0) && H.Id == (Word & FragmentIdMask));
            Require(H.Remaining == Len - K * FragmentPayloadMax);
            Rebuilt += Frag.substr(FragmentHeaderSize);
        }
        Require(Rebuilt == Payload);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    const std::vector<char> Frame(Data, Data + Size);
    DecodeRaw(Frame.data(), static_cast<int32_t>(Frame.size()));
    FuzzedDataProvider In(Data, Size);
    RoundTrip(In);
    return 0;
}
