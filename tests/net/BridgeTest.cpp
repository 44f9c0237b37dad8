// The bridge between machines (network namespaces): what it delivers, what it drops and counts,
// the name it answers for, the user it runs as.
#include <gtest/gtest.h>

#include <fstream>
#include <functional>

#include "tests/net/BridgeLan.h"
#include "zk/host/platform/NetBios.h"

using namespace zk::platform;
using namespace zktest;

namespace {

std::string Hex(const std::string& Bytes) {
    static const char digits[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : Bytes) {
        if (!out.empty()) out += ' ';
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

size_t CountOf(const std::vector<std::string>& Lines, const std::string& Line) {
    return static_cast<size_t>(std::count(Lines.begin(), Lines.end(), Line));
}

class BridgeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string why = NetNamespaceSkipReason();
        if (!why.empty()) GTEST_SKIP() << why;
        Lan = std::make_unique<BridgeLan>(3);
    }

    // A datagram from host From to host To's name, for its slot Slot.
    TMailslotDatagram ToHost(int From, int To, const std::string& Slot, const std::string& Data) {
        TMailslotDatagram d;
        d.Id = ++Id;
        d.SourceIp = Lan->IpValue(From);
        d.Source = {Lan->Name(From), 0x00};
        d.Destination = {Lan->Name(To), 0x00};
        d.Mailslot = "\\MAILSLOT\\" + Slot;
        d.Data = Data;
        return d;
    }

    std::unique_ptr<BridgeLan> Lan;
    uint16_t Id = 0;
};

// The library's senders and the tool on host 1 reach listeners on host 2 through its bridge:
// each wire format once and whole, long mail of 65,532 bytes in order, and a popup.
TEST_F(BridgeTest, EveryKindOfMailArrivesOnceThroughTheBridge) {
    Lan->StartBridge(2);
    std::string longText;
    for (int i = 0; longText.size() < 65532; ++i) longText += std::to_string(i) + ',';
    longText.resize(65532);
    struct Case {
        std::string Format, Server, Text;
    };
    const std::vector<Case> cases = {
        {"plain", Lan->Ip(2), "plain over the wire"},
        {"checked", Lan->Name(2), "checked, by NetBIOS name"},
        {"safe", Lan->Ip(2), "safe over the wire"},
        {"secure", Lan->Ip(2), "secure over the wire"},
        {"long", Lan->Ip(2), longText},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Format);
        const std::string slot = "wire-" + c.Format;
        Lan->StartListener(2, slot, {"listen", slot, "--hex", "--format", c.Format}, slot);
        for (const std::string& text : {c.Text, std::string("after")})
            ASSERT_EQ(Lan->Run(1, {ZK_MAILSLOT_TOOL, "send", slot, text, "--server", c.Server,
                                   "--format", c.Format}),
                      0)
                << Lan->Output("run");
        ASSERT_TRUE(WaitUntil([&] { return CountOf(Lines(Lan->Output(slot)), Hex("after")); }))
            << Lan->Output(slot);
        // The message came before the one sent after it, and only once.
        EXPECT_EQ(Lines(Lan->Output(slot)), (std::vector<std::string>{Hex(c.Text), Hex("after")}));
    }

    Lan->StartListener(2, "popups", {"popup", "listen"}, "messngr");
    ASSERT_EQ(Lan->Run(1, {ZK_MAILSLOT_TOOL, "popup", "send", "--to", "bob", "--from", "ann",
                           "hello from host 1", "--server", Lan->Ip(2)}),
              0)
        << Lan->Output("run");
    ASSERT_TRUE(WaitUntil([&] { return !Lan->Output("popups").empty(); }));
    EXPECT_EQ(Lines(Lan->Output("popups")),
              (std::vector<std::string>{"from ann to bob: hello from host 1"}));
}

// `*` goes to every machine of the workgroup: the bridges of hosts 2 and 3 both deliver it.
TEST_F(BridgeTest, StarReachesTheBridgesOfTheOtherMachines) {
    for (int h : {2, 3}) {
        Lan->StartBridge(h);
        Lan->StartListener(h, "star" + std::to_string(h), {"listen", "star", "--hex"}, "star");
    }
    ASSERT_EQ(Lan->Run(1, {ZK_MAILSLOT_TOOL, "send", "star", "to all", "--server", "*"}), 0)
        << Lan->Output("run");
    for (int h : {2, 3}) {
        const std::string tag = "star" + std::to_string(h);
        ASSERT_TRUE(WaitUntil([&] { return !Lan->Output(tag).empty(); })) << tag;
        EXPECT_EQ(Lines(Lan->Output(tag)), std::vector<std::string>{Hex("to all")}) << tag;
    }
}

// Every bad datagram is dropped and counted under its reason, the bridge goes on and delivers
// the next good one; it runs as nobody once its ports are bound.
TEST_F(BridgeTest, BadDatagramsAreCountedAndTheNextGoodOneDelivered) {
    Child& bridge = Lan->StartBridge(2, {"--allow", Lan->Ip(1)});
    Lan->StartListener(2, "drops", {"listen", "drops", "--hex"}, "drops");
    auto sender = Lan->Socket(1);
    auto stranger = Lan->Socket(3);
    auto send = [&](TUdpSocket& s, const std::string& p) {
        ASSERT_TRUE(s.SendTo(p, Lan->IpValue(2), kNetBiosDatagramPort));
    };
    const std::string good = EncodeMailslotDatagram(ToHost(1, 2, "drops", "good"));
    // Byte positions: the SMB message starts after the 14-byte header and two 34-byte names;
    // its transaction words after the 32-byte SMB header and the word count.
    constexpr size_t dataCount = 82 + 33 + 22, dataOffset = 82 + 33 + 24;
    using Mutation = std::function<void(std::string&)>;
    const std::vector<Mutation> malformed = {
        [](std::string& p) { p.resize(p.size() - 3); },  // truncated
        [&](std::string& p) { ++p[dataOffset]; },        // data offset past the data
        [&](std::string& p) { ++p[dataCount]; },         // count larger than the data
        [](std::string& p) { p[1] |= kDatagramMore; },   // first of several fragments
    };
    for (const Mutation& m : malformed) {
        std::string p = good;
        m(p);
        send(*sender, p);
    }
    send(*sender, EncodeMailslotDatagram(ToHost(1, 2, "drops", std::string(1500, 'x'))));
    send(*sender, EncodeMailslotDatagram(ToHost(1, 3, "drops", "for host 3")));
    send(*sender, EncodeMailslotDatagram(ToHost(1, 2, "nobody-owns-this", "lost")));
    send(*stranger, EncodeMailslotDatagram(ToHost(3, 2, "drops", "from outside")));
    send(*sender, EncodeMailslotDatagram(ToHost(1, 2, "drops", "next")));

    ASSERT_TRUE(WaitUntil([&] { return !Lan->Output("drops").empty(); }));
    EXPECT_EQ(Lines(Lan->Output("drops")), std::vector<std::string>{Hex("next")});
    // The stranger's datagram crossed another link and may come in after "next".
    const std::string expected =
        "delivered 1 oversized 1 malformed 4 foreign 1 rate 0 not-for-us 1 no-slot 1";
    std::string counts;
    WaitUntil([&] { return (counts = Lan->Counts(bridge, "bridge2")) == expected; });
    EXPECT_EQ(counts, expected);
    const std::string status = ReadFileText("/proc/" + std::to_string(bridge.Pid()) + "/status");
    EXPECT_NE(status.find("\nUid:\t65534\t65534\t65534\t65534\n"), std::string::npos) << status;
}

// A name query for the bridge's name gets the answer with its address, sent back to the asker.
TEST_F(BridgeTest, AnswersNameQueriesForItsName) {
    Lan->StartBridge(2);
    auto asker = Lan->Socket(1);
    uint32_t broadcast = 0;
    ASSERT_TRUE(ParseIp(Lan->Ip(1).substr(0, Lan->Ip(1).rfind('.')) + ".255", broadcast));
    ASSERT_TRUE(asker->SendTo(EncodeNameQuery({0x4242, {Lan->Name(2), 0x00}, true}), broadcast,
                              kNetBiosNamePort));
    ASSERT_FALSE(WaitReadable({asker->Fd()}, 10000).empty());
    char buf[600];
    uint32_t from = 0, ip = 0;
    uint16_t port = 0, id = 0;
    const long n = asker->Receive(buf, sizeof buf, from, port);
    ASSERT_GT(n, 0);
    std::string reason;
    ASSERT_TRUE(DecodeNameQueryResponse(std::string_view(buf, n), id, ip, reason)) << reason;
    EXPECT_EQ(id, 0x4242);
    EXPECT_EQ(IpText(ip), Lan->Ip(2));
    EXPECT_EQ(port, kNetBiosNamePort);
}

}  // namespace
