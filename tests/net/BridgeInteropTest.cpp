// Our datagrams and the bridge beside other implementations: Wireshark's dissectors read what the
// library sends as our decoder does, and Samba's nmbd and the bridge understand each other.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/net/BridgeLan.h"
#include "zk/host/platform/NetBios.h"

using namespace zk::platform;
using namespace zktest;

namespace {

// The program's path in /usr/sbin:/usr/bin, or "".
std::string Installed(const std::string& Program) {
    for (const char* dir : {"/usr/sbin/", "/usr/bin/"})
        if (access((dir + Program).c_str(), X_OK) == 0) return dir + Program;
    return "";
}

std::string FromHex(const std::string& Text) {
    std::string out;
    for (size_t i = 0; i + 1 < Text.size(); i += 2)
        out += static_cast<char>(std::stoi(Text.substr(i, 2), nullptr, 16));
    return out;
}

std::vector<std::string> Fields(const std::string& Line) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t bar; (bar = Line.find('|', start)) != std::string::npos; start = bar + 1)
        fields.push_back(Line.substr(start, bar - start));
    fields.push_back(Line.substr(start));
    return fields;
}

// A browser host announcement of Server in workgroup ZKLAN, as Windows and Samba send them to
// \MAILSLOT\BROWSE: opcode 1, update count, period (ms), the name in 16 bytes, OS version,
// server type (workstation, server, NT), browser version 15.1, signature, comment.
std::string HostAnnouncement(const std::string& Server) {
    std::string a = {1, 0, '\x80', '\xee', '\x36', 0};
    a += Server;
    a.resize(a.size() + 16 - Server.size(), '\0');
    a += std::string{6, 1, 3, 0x10, 0, 0, 15, 1, 0x55, '\xaa'};
    a += "announced with the library";
    a += '\0';
    return a;
}

// Bytes as a printf(1) format: every byte as an octal escape.
std::string PrintfBytes(const std::string& Bytes) {
    std::string out;
    for (unsigned char c : Bytes) {
        out += '\\';
        out += static_cast<char>('0' + (c >> 6));
        out += static_cast<char>('0' + ((c >> 3) & 7));
        out += static_cast<char>('0' + (c & 7));
    }
    return out;
}

class BridgeInteropTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string why = NetNamespaceSkipReason();
        if (!why.empty()) GTEST_SKIP() << why;
        Lan = std::make_unique<BridgeLan>(3);
    }
    std::unique_ptr<BridgeLan> Lan;
};

// Every kind of datagram the library sends (to an address, to a NetBIOS name, to the workgroup,
// to `*`, a popup), captured on the receiver's side: tshark's fields and our decoder agree.
TEST_F(BridgeInteropTest, WiresharkReadsTheLibrarysDatagramsAsOurDecoderDoes) {
    const std::string tshark = Installed("tshark");
    if (tshark.empty()) GTEST_SKIP() << "tshark is not installed (scripts/setup-net-tests)";
    Lan->StartBridge(2);  // it answers the name query of the send by name
    const std::vector<std::vector<std::string>> sends = {
        {"send", "tap", "to the address", "--server", Lan->Ip(2)},
        {"send", "tap", "to the name", "--server", Lan->Name(2)},
        {"send", "tap", "to the workgroup", "--server", "ZKLAN"},
        {"send", "tap", "to everyone", "--server", "*"},
        {"popup", "send", "--to", "bob", "--from", "ann", "a popup", "--server", Lan->Ip(2)},
    };
    std::vector<std::string> command = {tshark,         "-n", "-l",     "-i", "eth0",       "-f",
                                        "udp port 138", "-T", "fields", "-E", "separator=|"};
    for (const char* field : {"nbdgm.type", "nbdgm.source_name", "nbdgm.destination_name",
                              "mailslot.name", "mailslot.opcode", "mailslot.class", "udp.payload"})
        command.insert(command.end(), {"-e", field});
    Lan->Start(2, "tshark", command);
    // One row per datagram; those to the slot "probe" only tell that the capture runs.
    auto rows = [&](const std::string& Slot) {
        std::vector<std::string> found;
        for (const std::string& line : Lines(Lan->Output("tshark")))
            if (std::count(line.begin(), line.end(), '|') == 6 &&
                (Slot.empty() || line.find("|\\MAILSLOT\\" + Slot + "|") != std::string::npos))
                found.push_back(line);
        return found;
    };
    ASSERT_TRUE(WaitUntil([&] {
        Lan->Run(1, {ZK_MAILSLOT_TOOL, "send", "probe", "?", "--server", Lan->Ip(2)});
        return WaitUntil([&] { return !rows("probe").empty(); }, std::chrono::milliseconds(200));
    })) << Lan->Output("tshark");
    for (std::vector<std::string> s : sends) {
        s.insert(s.begin(), ZK_MAILSLOT_TOOL);
        ASSERT_EQ(Lan->Run(1, s), 0) << Lan->Output("run");
    }
    ASSERT_TRUE(WaitUntil([&] { return rows("").size() - rows("probe").size() == sends.size(); }))
        << Lan->Output("tshark");
    for (const std::string& row : rows("")) {
        if (row.find("\\MAILSLOT\\probe") != std::string::npos) continue;
        const std::vector<std::string> f = Fields(row);
        ASSERT_EQ(f.size(), 7u) << row;
        TMailslotDatagram d;
        std::string reason;
        ASSERT_TRUE(DecodeMailslotDatagram(FromHex(f[6]), d, reason)) << reason << ": " << row;
        EXPECT_EQ(f[0], std::to_string(static_cast<unsigned>(d.Type))) << row;
        EXPECT_EQ(f[1], NetBiosNameText(d.Source)) << row;
        EXPECT_EQ(f[2], NetBiosNameText(d.Destination)) << row;
        EXPECT_EQ(f[3], d.Mailslot) << row;
        EXPECT_EQ(f[4], "1") << row;
        EXPECT_EQ(f[5], std::to_string(d.Class)) << row;
    }
}

// nmbd on host 1, the bridge on host 2: nmbd's host announcements arrive in the local slot
// "BROWSE" through the bridge, and a host announcement the library sends from host 3 lands in
// nmbd's browse list.
TEST_F(BridgeInteropTest, NmbdAndTheBridgeUnderstandEachOther) {
    const std::string nmbd = Installed("nmbd");
    if (nmbd.empty()) GTEST_SKIP() << "Samba's nmbd is not installed (scripts/setup-net-tests)";
    const std::string dir = Lan->Work() + "/nmbd";
    std::filesystem::create_directory(dir);
    const std::string config = dir + "/smb.conf";
    std::ofstream(config) << "[global]\nnetbios name = NMBPEER\nworkgroup = ZKLAN\n"
                          << "interfaces = " << Lan->Ip(1) << "/24\nbind interfaces only = yes\n"
                          << "local master = yes\npreferred master = yes\nos level = 65\n"
                          << "lock directory = " << dir << "\nstate directory = " << dir
                          << "\ncache directory = " << dir << "\nprivate dir = " << dir
                          << "\npid directory = " << dir << "\nlog file = " << dir << "/log\n";
    Lan->StartBridge(2, {"--no-names"});
    Lan->StartListener(2, "browse", {"listen", "BROWSE", "--hex"}, "BROWSE");
    Lan->Start(1, "nmbd",
               {nmbd, "-F", "--no-process-group", "--debug-stdout", "-d", "1", "-s", config});

    // 01: a host announcement; "NMBPEER" from its sixth byte on.
    const std::string announced = "01 00 60 EA 00 00 4E 4D 42 50 45 45 52 00";
    ASSERT_TRUE(
        WaitUntil([&] { return Lan->Output("browse").find(announced) != std::string::npos; },
                  std::chrono::seconds(60)))
        << Lan->Output("browse") << Lan->Output("nmbd");

    // By its name, which nmbd answers for once it has registered it; an announcement to nmbd's
    // own name counts for its workgroup (Samba takes it as some servers send it).
    const std::string send = "printf '" + PrintfBytes(HostAnnouncement("ZKSENDER")) + "' | " +
                             ZK_MAILSLOT_TOOL + " send BROWSE --server NMBPEER";
    ASSERT_TRUE(WaitUntil(
        [&] {
            return Lan->Run(3, {"sh", "-c", send}) == 0;
        },
        std::chrono::seconds(60)))
        << Lan->Output("run");
    EXPECT_TRUE(WaitUntil(
        [&] { return ReadFileText(dir + "/browse.dat").find("\"ZKSENDER\"") != std::string::npos; },
        std::chrono::seconds(60)))
        << ReadFileText(dir + "/browse.dat") << Lan->Output("nmbd");
}

}  // namespace
