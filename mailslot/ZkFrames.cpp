#include "zk/mailslot/ZkFrames.h"

#include "zk/mailslot/ZkChecksum.h"

#include <algorithm>
#include <cstring>

namespace zk {

namespace zkframes {

namespace {

void AppendLE16(std::string& Out, uint16_t Value) {
    Out += static_cast<char>(Value & 0xFF);
    Out += static_cast<char>(Value >> 8);
}

void AppendBytes(std::string& Out, const void* Buf, int32_t Len) {
    if (Len > 0) Out.append(static_cast<const char*>(Buf), static_cast<std::size_t>(Len));
}

// The field from P up to the next zero byte or End; P moves behind that zero byte (or to End).
std::string TakeField(const char*& P, const char* End) {
    const char* Stop = std::find(P, End, '\0');
    std::string Field(P, Stop);
    P = Stop == End ? End : Stop + 1;
    return Field;
}

}  // namespace

uint16_t ReadLE16(const char* P) {
    return static_cast<uint16_t>(static_cast<unsigned char>(P[0]) |
                                 (static_cast<unsigned char>(P[1]) << 8));
}

std::string EncodeChecked(const void* Buf, int32_t Len) {
    std::string Frame;
    Frame.reserve(CheckedHeaderSize + std::max(Len, 0));
    AppendLE16(Frame, FrameChecksum(Buf, Len));
    AppendBytes(Frame, Buf, Len);
    return Frame;
}

bool CheckedFrameValid(const char* Frame, int32_t Len) {
    if (Len < CheckedHeaderSize) return false;
    return ReadLE16(Frame) == FrameChecksum(Frame + CheckedHeaderSize, Len - CheckedHeaderSize);
}

std::string EncodeSafe(uint16_t Serial, const void* Buf, int32_t Len) {
    std::string Payload;
    Payload.reserve(SafeSerialSize + std::max(Len, 0));
    AppendLE16(Payload, Serial);
    AppendBytes(Payload, Buf, Len);
    return EncodeChecked(Payload.data(), static_cast<int32_t>(Payload.size()));
}

std::string EncodeSecure(uint16_t Tag, const void* Buf, int32_t Len) {
    std::string Frame = ChecksumText(Tag) + ChecksumText(FrameChecksum(Buf, Len));
    AppendBytes(Frame, Buf, Len);
    return Frame;
}

bool SecureFrameValid(const char* Frame, int32_t Len) {
    if (Len < SecureHeaderSize) return false;
    const std::string Expected =
        ChecksumText(FrameChecksum(Frame + SecureHeaderSize, Len - SecureHeaderSize));
    return std::memcmp(Frame + 4, Expected.data(), 4) == 0;
}

std::string EncodePopup(const std::string& Sender, const std::string& Receiver,
                        const std::string& Text) {
    std::string Frame;
    Frame.reserve(Sender.size() + Receiver.size() + Text.size() + 2);
    Frame += Sender;
    Frame += '\0';
    Frame += Receiver;
    Frame += '\0';
    Frame += Text;
    return Frame;
}

PopupFields SplitPopup(const char* Frame, int32_t Len) {
    const char* P = Frame;
    const char* End = Frame + std::max(Len, 0);
    PopupFields Fields;
    Fields.Sender = TakeField(P, End);
    Fields.Receiver = TakeField(P, End);
    Fields.Text = TakeField(P, End);
    return Fields;
}

int32_t FragmentCount(int32_t Len) {
    return Len <= 0 ? 0 : (Len + FragmentPayloadMax - 1) / FragmentPayloadMax;
}

std::string EncodeFragment(uint16_t Id, const void* Msg, int32_t MsgLen, int32_t Index) {
    if (Index < 0 || Index >= FragmentCount(MsgLen)) return std::string();
    const int32_t Offset = Index * FragmentPayloadMax;
    const int32_t Remaining = MsgLen - Offset;
    const uint16_t IdField =
        static_cast<uint16_t>((Id & FragmentIdMask) | (Index == 0 ? FirstFragmentFlag : 0));
    std::string Payload;
    Payload.reserve(FragmentBufferSize);
    AppendLE16(Payload, IdField);
    AppendLE16(Payload, static_cast<uint16_t>(Remaining & 0xFFFF));
    AppendBytes(Payload, static_cast<const char*>(Msg) + Offset,
                std::min(Remaining, FragmentPayloadMax));
    return Payload;
}

bool ParseFragment(const char* Payload, int32_t Len, FragmentHeader& H) {
    if (Len <= FragmentHeaderSize) return false;
    const uint16_t IdField = ReadLE16(Payload);
    H.Id = static_cast<uint16_t>(IdField & FragmentIdMask);
    H.First = (IdField & FirstFragmentFlag) != 0;
    H.Remaining = ReadLE16(Payload + 2);
    return true;
}

}  // namespace zkframes

}  // namespace zk
