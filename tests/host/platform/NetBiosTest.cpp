// NetBIOS datagrams and name queries against bytes assembled by hand from RFC 1002, [MS-CIFS]
// (SMB_COM_TRANSACTION) and [MS-MAIL] (the mailslot write), and every way the strict decoder
// refuses a datagram that does not add up.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/Namespaces.h"
#include "zk/host/platform/NetBios.h"

using namespace zk::platform;

namespace {

// "0a c9" -> the two bytes; spaces are for the eye.
std::string Hex(const std::string& Text) {
    std::string out;
    for (size_t i = 0; i < Text.size();) {
        if (Text[i] == ' ') {
            ++i;
            continue;
        }
        out += static_cast<char>(std::stoi(Text.substr(i, 2), nullptr, 16));
        i += 2;
    }
    return out;
}

// ALPHA<00> at 10.201.0.1:138 writes "hi" to \MAILSLOT\HS on BETA<00>.
TMailslotDatagram Sample() {
    TMailslotDatagram d;
    d.Id = 0x1234;
    d.SourceIp = 0x0AC90001;
    d.Source = {"ALPHA", 0x00};
    d.Destination = {"BETA", 0x00};
    d.Mailslot = "\\MAILSLOT\\HS";
    d.Data = "hi";
    return d;
}

std::string SampleBytes() {
    return Hex("10 02 1234 0ac90001 008a 0098 0000") +   // direct unique, first; 152 bytes follow
           " EBEMFAEIEBCACACACACACACACACACAAA" + '\0' +  // ALPHA, 10 spaces, <00>
           " ECEFFEEBCACACACACACACACACACACAAA" + '\0' +  // BETA, 11 spaces, <00>
           Hex("ff534d42 25") + std::string(27, '\0') +  // SMB header: transaction, all else 0
           Hex("11 0000 0200 0000 0000 00 00 0000 e8030000 0000") +  // 17 words .. reserved
           Hex("0000 0000 0200 5200 03 00 0100 0000 0200 0f00") +    // data at 82; write, class 2
           std::string("\\MAILSLOT\\HS\0hi", 15);
}

}  // namespace

TEST(NetBiosDatagram, EncodesTheDocumentedBytes) {
    const std::string bytes = SampleBytes();
    ASSERT_EQ(bytes.size(), 14u + 152u);
    EXPECT_EQ(EncodeMailslotDatagram(Sample()), bytes);

    TMailslotDatagram d;
    std::string reason;
    ASSERT_TRUE(DecodeMailslotDatagram(bytes, d, reason)) << reason;
    const TMailslotDatagram want = Sample();
    EXPECT_EQ(d.Type, TDatagramType::DirectUnique);
    EXPECT_EQ(d.Flags, kDatagramFirst);
    EXPECT_EQ(d.Id, want.Id);
    EXPECT_EQ(d.SourceIp, want.SourceIp);
    EXPECT_EQ(d.SourcePort, 138);
    EXPECT_EQ(d.Source, want.Source);
    EXPECT_EQ(d.Destination, want.Destination);
    EXPECT_EQ(d.Mailslot, want.Mailslot);
    EXPECT_EQ(d.Priority, 0);
    EXPECT_EQ(d.Class, 2);
    EXPECT_EQ(d.Data, "hi");
}

TEST(NetBiosDatagram, GroupNamesKeepTheirSuffixAndBytes) {
    TMailslotDatagram g = Sample();
    g.Type = TDatagramType::DirectGroup;
    g.Destination = {"WORKGROUP", 0x1d};
    g.Data = std::string("\0\xff\x01", 3);
    TMailslotDatagram d;
    std::string reason;
    ASSERT_TRUE(DecodeMailslotDatagram(EncodeMailslotDatagram(g), d, reason)) << reason;
    EXPECT_EQ(d.Type, TDatagramType::DirectGroup);
    EXPECT_EQ(d.Destination, g.Destination);
    EXPECT_EQ(NetBiosNameText(d.Destination), "WORKGROUP<1d>");
    EXPECT_EQ(d.Data, g.Data);
}

TEST(NetBiosDatagram, RefusesWhatDoesNotAddUp) {
    struct TCase {
        size_t At;           // byte to change, or npos to cut the packet to Keep bytes
        std::string Bytes;   // the new bytes at At
        size_t Keep;         // with At == npos
        const char* Reason;  // exactly
    };
    const size_t cut = std::string::npos;
    const TCase cases[] = {
        {cut, "", 10, "packet of 10 bytes is shorter than a datagram header"},
        {0, "\x13", 0, "datagram type 0x13 carries no user data"},
        {1, "\x03", 0, "fragment: more fragments follow"},
        {1, std::string(1, '\0'), 0, "fragment at offset 0 is not the first"},
        {12, Hex("0010"), 0, "fragment at offset 16 is not the first"},
        {10, Hex("0099"), 0, "datagram length 153 disagrees with the 152 bytes after the header"},
        {cut, "", 100, "datagram length 152 disagrees with the 86 bytes after the header"},
        {14, "\x21", 0, "source name has label length 0x21, not 0x20"},
        {50, "Q", 0, "destination name is not first-level encoded"},
        {81, "\x01", 0, "destination name carries a scope"},
        {82, "\xfe", 0, "user data is not an SMB message"},
        {86, "\x32", 0, "SMB command 0x32 is not a transaction"},
        {114, "\x10", 0, "transaction has 16 words, not 17"},
        {117, "\x03", 0, "transaction in parts: 2 of 3 data bytes"},
        {133, "\x01", 0, "mailslot write with parameters"},
        {141, "\x02", 0, "transaction has not 3 setup words"},
        {143, "\x02", 0, "mailslot opcode 2 is not a write"},
        {149, "\x10", 0, "byte count 16 disagrees with the 15 bytes present"},
        {139, "\x53", 0, "data offset 83 and count 2 disagree with the message"},
        {139, "\x4f", 0, "data offset 79 and count 2 disagree with the message"},
        {152, "X", 0, "transaction is not addressed to a mailslot"},
        {163, "Z", 0, "mailslot name has no end"},
    };
    for (const TCase& c : cases) {
        std::string packet = SampleBytes();
        if (c.At == cut)
            packet.resize(c.Keep);
        else
            packet.replace(c.At, c.Bytes.size(), c.Bytes);
        TMailslotDatagram d;
        std::string reason;
        EXPECT_FALSE(DecodeMailslotDatagram(packet, d, reason)) << c.Reason;
        EXPECT_EQ(reason, c.Reason);
    }
    // A datagram whose length agrees but whose SMB message stops inside its header.
    std::string shortSmb = SampleBytes().substr(0, 82 + 40);
    shortSmb.replace(10, 2, Hex("006c"));
    TMailslotDatagram d;
    std::string reason;
    EXPECT_FALSE(DecodeMailslotDatagram(shortSmb, d, reason));
    EXPECT_EQ(reason, "SMB transaction is cut off");
}

TEST(NetBiosNameQuery, EncodesTheDocumentedBytesBothWays) {
    const std::string name = std::string(" ECEFFEEBCACACACACACACACACACACAAA") + '\0';
    const std::string query = Hex("0102 0110 0001 0000 0000 0000") + name + Hex("0020 0001");
    EXPECT_EQ(EncodeNameQuery({0x0102, {"BETA", 0x00}, true}), query);
    TNameQuery q;
    std::string reason;
    ASSERT_TRUE(DecodeNameQuery(query, q, reason)) << reason;
    EXPECT_EQ(q.Id, 0x0102);
    EXPECT_EQ(q.Name, (TNetBiosName{"BETA", 0x00}));
    EXPECT_TRUE(q.Broadcast);

    const std::string answer =
        Hex("0102 8500 0000 0001 0000 0000") + name + Hex("0020 0001 0003f480 0006 0000 0ac90002");
    EXPECT_EQ(EncodeNameQueryResponse(0x0102, {"BETA", 0x00}, 0x0AC90002, 259200), answer);
    uint16_t id = 0;
    uint32_t ip = 0;
    ASSERT_TRUE(DecodeNameQueryResponse(answer, id, ip, reason)) << reason;
    EXPECT_EQ(id, 0x0102);
    EXPECT_EQ(ip, 0x0AC90002u);

    struct TCase {
        std::string Packet;
        const char* Reason;
    };
    std::string nbstat = query, negative = answer, shortRecord = answer;
    nbstat[47] = '\x21';
    negative[3] = '\x03';
    shortRecord[55] = '\x0c';
    const TCase refusedQueries[] = {
        {query.substr(0, 49), "name query of 49 bytes, not 50"},
        {nbstat, "name query for another record than NB"},
        {answer, "name query of 62 bytes, not 50"},
    };
    for (const TCase& c : refusedQueries) {
        EXPECT_FALSE(DecodeNameQuery(c.Packet, q, reason)) << c.Reason;
        EXPECT_EQ(reason, c.Reason);
    }
    const TCase refusedAnswers[] = {
        {query, "name query response of 50 bytes is too short"},
        {negative, "negative name query response, code 3"},
        {shortRecord, "answer length 12 disagrees with the packet"},
    };
    for (const TCase& c : refusedAnswers) {
        EXPECT_FALSE(DecodeNameQueryResponse(c.Packet, id, ip, reason)) << c.Reason;
        EXPECT_EQ(reason, c.Reason);
    }
}
