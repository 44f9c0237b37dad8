// NetBIOS datagrams with a mailslot write in them, and NetBIOS name queries: encoders and
// strict decoders.
#include "zk/host/platform/NetBios.h"

#include "zk/host/platform/Ascii.h"

namespace zk::platform {

namespace {

constexpr size_t kDatagramHeaderSize = 14;  // type .. packet offset
constexpr size_t kEncodedNameSize = 34;     // length byte, 32 letters, root label
constexpr size_t kSmbHeaderSize = 32;
constexpr uint8_t kSmbTransaction = 0x25;
constexpr uint8_t kTransactionWords = 17;  // 14 fixed words and 3 setup words
// From the start of the SMB header: word count, the 17 words, byte count.
constexpr size_t kSmbBytesStart = kSmbHeaderSize + 1 + 2 * kTransactionWords + 2;
constexpr uint16_t kMailslotWrite = 1;
// The transaction's time-out, as Windows' browser announcements carry it; receivers ignore it.
constexpr uint32_t kTransactionTimeoutMs = 1000;

constexpr size_t kNameServiceHeaderSize = 12;
constexpr uint16_t kRecordNB = 0x0020, kClassIN = 0x0001;
// Name service flags: response, opcode (query 0), authoritative, recursion desired, broadcast,
// and the return code in the low nibble.
constexpr uint16_t kNsResponse = 0x8000, kNsOpcodeMask = 0x7800, kNsAuthoritative = 0x0400,
                   kNsRecursionDesired = 0x0100, kNsBroadcast = 0x0010, kNsRcodeMask = 0x000F;

void PutBe16(std::string& Out, uint16_t V) {
    Out += static_cast<char>(V >> 8);
    Out += static_cast<char>(V & 0xFF);
}

void PutBe32(std::string& Out, uint32_t V) {
    PutBe16(Out, static_cast<uint16_t>(V >> 16));
    PutBe16(Out, static_cast<uint16_t>(V & 0xFFFF));
}

void PutLe16(std::string& Out, uint16_t V) {
    Out += static_cast<char>(V & 0xFF);
    Out += static_cast<char>(V >> 8);
}

void PutLe32(std::string& Out, uint32_t V) {
    PutLe16(Out, static_cast<uint16_t>(V & 0xFFFF));
    PutLe16(Out, static_cast<uint16_t>(V >> 16));
}

uint8_t Byte(std::string_view P, size_t At) { return static_cast<uint8_t>(P[At]); }

uint16_t Be16(std::string_view P, size_t At) {
    return static_cast<uint16_t>(Byte(P, At) << 8 | Byte(P, At + 1));
}

uint32_t Be32(std::string_view P, size_t At) {
    return static_cast<uint32_t>(Be16(P, At)) << 16 | Be16(P, At + 2);
}

uint16_t Le16(std::string_view P, size_t At) {
    return static_cast<uint16_t>(Byte(P, At) | Byte(P, At + 1) << 8);
}

std::string Hex2(unsigned V) { return {'0', 'x', HexDigit(V >> 4), HexDigit(V)}; }

bool Fail(std::string& Reason, std::string Text) {
    Reason = std::move(Text);
    return false;
}

// Reads the encoded name at At (34 bytes, no scope, no compression).
bool DecodeName(std::string_view P, size_t At, const char* Which, TNetBiosName& Out,
                std::string& Reason) {
    const std::string which(Which);
    if (P.size() < At + kEncodedNameSize) return Fail(Reason, which + " name is cut off");
    if (Byte(P, At) != 0x20)
        return Fail(Reason, which + " name has label length " + Hex2(Byte(P, At)) + ", not 0x20");
    char raw[16];
    for (size_t i = 0; i < 16; ++i) {
        const uint8_t hi = Byte(P, At + 1 + 2 * i) - 'A', lo = Byte(P, At + 2 + 2 * i) - 'A';
        if (hi > 15 || lo > 15) return Fail(Reason, which + " name is not first-level encoded");
        raw[i] = static_cast<char>(hi << 4 | lo);
    }
    if (Byte(P, At + 33) != 0) return Fail(Reason, which + " name carries a scope");
    std::string_view name(raw, 15);
    name.remove_suffix(name.size() - (name.find_last_not_of(' ') + 1));
    Out.Name = std::string(name);
    Out.Suffix = static_cast<uint8_t>(raw[15]);
    return true;
}

// The SMB transaction behind the two names; Smb starts at its header.
bool DecodeTransaction(std::string_view Smb, TMailslotDatagram& Out, std::string& Reason) {
    if (Smb.size() < kSmbBytesStart) return Fail(Reason, "SMB transaction is cut off");
    if (Smb.substr(0, 4) != std::string_view("\xFFSMB", 4))
        return Fail(Reason, "user data is not an SMB message");
    if (Byte(Smb, 4) != kSmbTransaction)
        return Fail(Reason, "SMB command " + Hex2(Byte(Smb, 4)) + " is not a transaction");
    if (Byte(Smb, 32) != kTransactionWords)
        return Fail(Reason, "transaction has " + std::to_string(Byte(Smb, 32)) + " words, not 17");
    const size_t w = 33;  // the words
    const uint16_t totalParams = Le16(Smb, w), totalData = Le16(Smb, w + 2);
    const uint16_t params = Le16(Smb, w + 18), data = Le16(Smb, w + 22);
    const uint16_t dataOffset = Le16(Smb, w + 24);
    if (totalParams != 0 || params != 0) return Fail(Reason, "mailslot write with parameters");
    if (data != totalData)
        return Fail(Reason, "transaction in parts: " + std::to_string(data) + " of " +
                                std::to_string(totalData) + " data bytes");
    if (Byte(Smb, w + 26) != 3) return Fail(Reason, "transaction has not 3 setup words");
    const uint16_t opcode = Le16(Smb, w + 28);
    if (opcode != kMailslotWrite)
        return Fail(Reason, "mailslot opcode " + std::to_string(opcode) + " is not a write");
    const uint16_t byteCount = Le16(Smb, w + 34);
    if (kSmbBytesStart + byteCount != Smb.size())
        return Fail(Reason, "byte count " + std::to_string(byteCount) + " disagrees with the " +
                                std::to_string(Smb.size() - kSmbBytesStart) + " bytes present");
    const size_t nul = Smb.find('\0', kSmbBytesStart);
    if (nul == std::string_view::npos) return Fail(Reason, "mailslot name has no end");
    if (dataOffset <= nul || static_cast<size_t>(dataOffset) + data != Smb.size())
        return Fail(Reason, "data offset " + std::to_string(dataOffset) + " and count " +
                                std::to_string(data) + " disagree with the message");
    std::string_view slot = Smb.substr(kSmbBytesStart, nul - kSmbBytesStart);
    if (slot.size() <= 10 || !SameAsciiText(slot.substr(0, 10), "\\MAILSLOT\\"))
        return Fail(Reason, "transaction is not addressed to a mailslot");
    Out.Mailslot = std::string(slot);
    Out.Priority = Le16(Smb, w + 30);
    Out.Class = Le16(Smb, w + 32);
    Out.Data = std::string(Smb.substr(dataOffset));
    return true;
}

void PutNameServiceHeader(std::string& Out, uint16_t Id, uint16_t Flags, uint16_t Questions,
                          uint16_t Answers) {
    PutBe16(Out, Id);
    PutBe16(Out, Flags);
    PutBe16(Out, Questions);
    PutBe16(Out, Answers);
    PutBe16(Out, 0);  // authority records
    PutBe16(Out, 0);  // additional records
}

}  // namespace

std::string EncodeNetBiosName(const TNetBiosName& Name) {
    std::string raw = Name.Name.substr(0, 15);
    raw.resize(15, ' ');
    raw += static_cast<char>(Name.Suffix);
    std::string out(1, '\x20');
    for (char c : raw) {
        const auto b = static_cast<uint8_t>(c);
        out += static_cast<char>('A' + (b >> 4));
        out += static_cast<char>('A' + (b & 0x0F));
    }
    out += '\0';
    return out;
}

std::string NetBiosNameText(const TNetBiosName& Name) {
    std::string text = Name.Name;
    text.erase(text.find_last_not_of(' ') + 1);
    return text + '<' + static_cast<char>(LowerAscii(HexDigit(Name.Suffix >> 4))) +
           static_cast<char>(LowerAscii(HexDigit(Name.Suffix))) + '>';
}

std::string EncodeMailslotDatagram(const TMailslotDatagram& D) {
    // The SMB transaction first: the datagram header counts its length.
    const auto nameBytes = static_cast<uint16_t>(D.Mailslot.size() + 1);
    const auto dataCount = static_cast<uint16_t>(D.Data.size());
    const auto dataOffset = static_cast<uint16_t>(kSmbBytesStart + nameBytes);
    std::string smb("\xFFSMB", 4);
    smb += static_cast<char>(kSmbTransaction);
    smb.append(kSmbHeaderSize - smb.size(), '\0');  // status, flags, ids: all zero for mailslots
    smb += static_cast<char>(kTransactionWords);
    PutLe16(smb, 0);          // total parameter count
    PutLe16(smb, dataCount);  // total data count
    PutLe16(smb, 0);          // max parameter count
    PutLe16(smb, 0);          // max data count
    smb += '\0';              // max setup count
    smb += '\0';              // reserved
    PutLe16(smb, 0);          // flags
    PutLe32(smb, kTransactionTimeoutMs);
    PutLe16(smb, 0);  // reserved
    PutLe16(smb, 0);  // parameter count
    PutLe16(smb, 0);  // parameter offset
    PutLe16(smb, dataCount);
    PutLe16(smb, dataOffset);
    smb += '\x03';  // setup count
    smb += '\0';    // reserved
    PutLe16(smb, kMailslotWrite);
    PutLe16(smb, D.Priority);
    PutLe16(smb, D.Class);
    PutLe16(smb, static_cast<uint16_t>(nameBytes + dataCount));
    smb += D.Mailslot;
    smb += '\0';
    smb += D.Data;

    std::string out;
    out += static_cast<char>(D.Type);
    out += static_cast<char>(D.Flags);
    PutBe16(out, D.Id);
    PutBe32(out, D.SourceIp);
    PutBe16(out, D.SourcePort);
    PutBe16(out, static_cast<uint16_t>(2 * kEncodedNameSize + smb.size()));
    PutBe16(out, 0);  // packet offset: a whole datagram
    out += EncodeNetBiosName(D.Source);
    out += EncodeNetBiosName(D.Destination);
    out += smb;
    return out;
}

bool DecodeMailslotDatagram(std::string_view P, TMailslotDatagram& Out, std::string& Reason) {
    if (P.size() < kDatagramHeaderSize)
        return Fail(Reason, "packet of " + std::to_string(P.size()) +
                                " bytes is shorter than a datagram header");
    const uint8_t type = Byte(P, 0);
    if (type < 0x10 || type > 0x12)
        return Fail(Reason, "datagram type " + Hex2(type) + " carries no user data");
    const uint8_t flags = Byte(P, 1);
    const uint16_t length = Be16(P, 10), offset = Be16(P, 12);
    if ((flags & kDatagramMore) != 0) return Fail(Reason, "fragment: more fragments follow");
    if ((flags & kDatagramFirst) == 0 || offset != 0)
        return Fail(Reason, "fragment at offset " + std::to_string(offset) + " is not the first");
    if (length != P.size() - kDatagramHeaderSize)
        return Fail(Reason, "datagram length " + std::to_string(length) + " disagrees with the " +
                                std::to_string(P.size() - kDatagramHeaderSize) +
                                " bytes after the header");
    Out.Type = static_cast<TDatagramType>(type);
    Out.Flags = flags;
    Out.Id = Be16(P, 2);
    Out.SourceIp = Be32(P, 4);
    Out.SourcePort = Be16(P, 8);
    if (!DecodeName(P, kDatagramHeaderSize, "source", Out.Source, Reason)) return false;
    if (!DecodeName(P, kDatagramHeaderSize + kEncodedNameSize, "destination", Out.Destination,
                    Reason))
        return false;
    return DecodeTransaction(P.substr(kDatagramHeaderSize + 2 * kEncodedNameSize), Out, Reason);
}

std::string EncodeNameQuery(const TNameQuery& Q) {
    std::string out;
    PutNameServiceHeader(out, Q.Id, kNsRecursionDesired | (Q.Broadcast ? kNsBroadcast : 0), 1, 0);
    out += EncodeNetBiosName(Q.Name);
    PutBe16(out, kRecordNB);
    PutBe16(out, kClassIN);
    return out;
}

bool DecodeNameQuery(std::string_view P, TNameQuery& Out, std::string& Reason) {
    if (P.size() != kNameServiceHeaderSize + kEncodedNameSize + 4)
        return Fail(Reason, "name query of " + std::to_string(P.size()) + " bytes, not 50");
    const uint16_t flags = Be16(P, 2);
    if ((flags & (kNsResponse | kNsOpcodeMask)) != 0) return Fail(Reason, "not a name query");
    if (Be16(P, 4) != 1 || Be16(P, 6) != 0 || Be16(P, 8) != 0 || Be16(P, 10) != 0)
        return Fail(Reason, "name query with other records than one question");
    if (!DecodeName(P, kNameServiceHeaderSize, "queried", Out.Name, Reason)) return false;
    const size_t at = kNameServiceHeaderSize + kEncodedNameSize;
    if (Be16(P, at) != kRecordNB || Be16(P, at + 2) != kClassIN)
        return Fail(Reason, "name query for another record than NB");
    Out.Id = Be16(P, 0);
    Out.Broadcast = (flags & kNsBroadcast) != 0;
    return true;
}

std::string EncodeNameQueryResponse(uint16_t Id, const TNetBiosName& Name, uint32_t Ip,
                                    uint32_t Ttl) {
    std::string out;
    PutNameServiceHeader(out, Id, kNsResponse | kNsAuthoritative | kNsRecursionDesired, 0, 1);
    out += EncodeNetBiosName(Name);
    PutBe16(out, kRecordNB);
    PutBe16(out, kClassIN);
    PutBe32(out, Ttl);
    PutBe16(out, 6);  // one address entry
    PutBe16(out, 0);  // unique name, B node
    PutBe32(out, Ip);
    return out;
}

bool DecodeNameQueryResponse(std::string_view P, uint16_t& Id, uint32_t& Ip, std::string& Reason) {
    const size_t record = kNameServiceHeaderSize + kEncodedNameSize;  // type, class, ttl, length
    if (P.size() < record + 10 + 6)
        return Fail(Reason,
                    "name query response of " + std::to_string(P.size()) + " bytes is too short");
    const uint16_t flags = Be16(P, 2);
    if ((flags & kNsResponse) == 0 || (flags & kNsOpcodeMask) != 0)
        return Fail(Reason, "not a name query response");
    if ((flags & kNsRcodeMask) != 0)
        return Fail(Reason,
                    "negative name query response, code " + std::to_string(flags & kNsRcodeMask));
    if (Be16(P, 4) != 0 || Be16(P, 6) != 1)
        return Fail(Reason, "name query response without exactly one answer");
    TNetBiosName name;
    if (!DecodeName(P, kNameServiceHeaderSize, "answered", name, Reason)) return false;
    const uint16_t dataLength = Be16(P, record + 8);
    if (Be16(P, record) != kRecordNB || Be16(P, record + 2) != kClassIN)
        return Fail(Reason, "answer is not an NB record");
    if (dataLength == 0 || dataLength % 6 != 0 || record + 10 + dataLength > P.size())
        return Fail(Reason,
                    "answer length " + std::to_string(dataLength) + " disagrees with the packet");
    Id = Be16(P, 0);
    Ip = Be32(P, record + 12);
    return true;
}

}  // namespace zk::platform
