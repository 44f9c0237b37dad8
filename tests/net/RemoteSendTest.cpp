// Mailslot writes to another machine, end to end: a writer in one network namespace, a plain UDP
// socket on ports 138 and 137 in another, and the project's decoder reading what arrives. Needs
// root for the namespaces; skipped with the reason without it.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Namespaces.h"
#include "tests/support/NetNamespace.h"
#include "tests/support/TestSupport.h"
#include "zk/host/platform/NetBios.h"
#include "zk/host/platform/NetBiosConfig.h"
#include "zk/host/win32/Windows.h"

using namespace zk::platform;
using namespace zktest;

namespace {

constexpr unsigned kSender = 1, kReceiver = 2;
constexpr uint32_t kSenderIp = 0x0AC90001;  // 10.201.0.1

// A UDP socket bound to Port on every address of the namespace it is made in.
int BoundSocket(uint16_t Port) {
    const int fd = socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(Port);
    if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0)
        throw std::runtime_error("cannot bind port " + std::to_string(Port));
    return fd;
}

// The next datagram on Fd and its source, or false after 10 s without one.
bool Receive(int Fd, std::string& Packet, sockaddr_in& From) {
    pollfd p{Fd, POLLIN, 0};
    if (poll(&p, 1, 10000) != 1) return false;
    char buf[2048];
    socklen_t len = sizeof From;
    const ssize_t got = recvfrom(Fd, buf, sizeof buf, 0, reinterpret_cast<sockaddr*>(&From), &len);
    if (got < 0) return false;
    Packet.assign(buf, static_cast<size_t>(got));
    return true;
}

class RemoteSend : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string why = NetNamespaceSkipReason();
        if (!why.empty()) GTEST_SKIP() << why;
        FNet = std::make_unique<TNetSegment>("snd", 2);
        const std::string conf = FDir.Path() + "/netbios.conf";
        std::ofstream(conf) << "[global]\n netbios name = alpha\n workgroup = TestGroup\n";
        setenv(kNetBiosConfigVariable, conf.c_str(), 1);
        FNet->RunIn(kReceiver, [&] {
            FDatagrams = BoundSocket(kNetBiosDatagramPort);
            FNames = BoundSocket(kNetBiosNamePort);
        });
        // The receiver's name service: answers queries for BETA<00>, counts the others.
        FResponder = std::thread([this] {
            std::string packet;
            sockaddr_in from{};
            while (!FStop && Receive(FNames, packet, from)) {
                TNameQuery q;
                std::string reason;
                if (!DecodeNameQuery(packet, q, reason)) continue;
                if (q.Name == TNetBiosName{"BETA", 0x00}) {
                    const std::string answer =
                        EncodeNameQueryResponse(q.Id, q.Name, 0x0AC90002, 60);
                    sendto(FNames, answer.data(), answer.size(), 0,
                           reinterpret_cast<sockaddr*>(&from), sizeof from);
                } else {
                    std::lock_guard<std::mutex> lock(FLock);
                    FOtherQueries.push_back(NetBiosNameText(q.Name) + (q.Broadcast ? " b" : ""));
                }
            }
        });
    }

    void TearDown() override {
        unsetenv(kNetBiosConfigVariable);
        if (FResponder.joinable()) {
            FStop = true;
            shutdown(FNames, SHUT_RDWR);  // wakes the responder's poll
            FResponder.join();
        }
        if (FDatagrams >= 0) close(FDatagrams);
        if (FNames >= 0) close(FNames);
        FNet.reset();
    }

    // CreateFileA in the sender's namespace; GetLastError of that call in Error.
    THandle OpenRemote(const std::string& Server, const std::string& Slot, DWORD& Error) {
        THandle h = INVALID_HANDLE_VALUE;
        FNet->RunIn(kSender, [&] {
            h = CreateFileA(("\\\\" + Server + "\\mailslot\\" + Slot).c_str(), GENERIC_WRITE,
                            FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
            Error = GetLastError();
        });
        return h;
    }

    // The next datagram on the receiver's port 138, decoded; fails the test when none comes.
    TMailslotDatagram Next() {
        std::string packet, reason;
        sockaddr_in from{};
        TMailslotDatagram d;
        EXPECT_TRUE(Receive(FDatagrams, packet, from)) << "no datagram arrived";
        EXPECT_TRUE(DecodeMailslotDatagram(packet, d, reason)) << reason;
        EXPECT_EQ(ntohl(from.sin_addr.s_addr), kSenderIp);
        EXPECT_EQ(ntohs(from.sin_port), d.SourcePort);
        return d;
    }

    SlotDir FDir;
    std::unique_ptr<TNetSegment> FNet;
    int FDatagrams = -1, FNames = -1;
    std::thread FResponder;
    std::atomic<bool> FStop{false};
    std::mutex FLock;
    std::vector<std::string> FOtherQueries;  // under FLock

    std::vector<std::string> OtherQueries() {
        std::lock_guard<std::mutex> lock(FLock);
        return FOtherQueries;
    }
};

}  // namespace

TEST_F(RemoteSend, EachKindOfServerGetsOneDatagramPerWrite) {
    struct TCase {
        const char* Server;
        TDatagramType Type;
        TNetBiosName Destination;
    };
    const TCase cases[] = {
        {"10.201.0.2", TDatagramType::DirectUnique, {"10.201.0.2", 0x00}},
        {"beta", TDatagramType::DirectUnique, {"BETA", 0x00}},  // by a broadcast name query
        {"*", TDatagramType::DirectGroup, {"TESTGROUP", 0x00}},
        {"testgroup", TDatagramType::DirectGroup, {"TESTGROUP", 0x00}},
    };
    for (const TCase& c : cases) {
        DWORD error = 0;
        const THandle h = OpenRemote(c.Server, "Remote\\Inbox", error);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << c.Server << ": error " << error;
        const std::string message = std::string("to ") + c.Server + std::string(1, '\0') + "!";
        DWORD written = 0;
        EXPECT_TRUE(
            WriteFile(h, message.data(), static_cast<DWORD>(message.size()), &written, nullptr))
            << c.Server;
        EXPECT_EQ(written, message.size());
        EXPECT_TRUE(WriteFile(h, "", 0, &written, nullptr)) << c.Server;
        CloseHandle(h);

        for (const std::string& data : {message, std::string()}) {
            const TMailslotDatagram d = Next();
            EXPECT_EQ(d.Type, c.Type) << c.Server;
            EXPECT_EQ(d.Flags, kDatagramFirst);
            EXPECT_EQ(d.SourceIp, kSenderIp);
            EXPECT_NE(d.SourcePort, kNetBiosDatagramPort);  // left to the receiving bridge
            EXPECT_EQ(d.Source, (TNetBiosName{"ALPHA", 0x00}));
            EXPECT_EQ(d.Destination, c.Destination) << c.Server;
            EXPECT_EQ(d.Mailslot, "\\MAILSLOT\\Remote\\Inbox");
            EXPECT_EQ(d.Class, 2);
            EXPECT_EQ(d.Data, data) << c.Server;
        }
    }
    EXPECT_TRUE(OtherQueries().empty());
}

TEST_F(RemoteSend, TooLongForADatagramFailsAndSendsNothing) {
    struct TCase {
        std::string Slot;
        size_t Size;
        bool Sent;
    };
    const std::string longSlot(30, 'L');  // "\MAILSLOT\" + 30 + zero byte = 41 bytes
    const TCase cases[] = {
        {"HS", 425, false},
        {"HS", 424, true},
        {longSlot, 403, false},
        {longSlot, 402, true},
    };
    for (const TCase& c : cases) {
        DWORD error = 0;
        const THandle h = OpenRemote("10.201.0.2", c.Slot, error);
        ASSERT_NE(h, INVALID_HANDLE_VALUE) << error;
        const std::string message(c.Size, 'x');
        DWORD written = 0;
        SetLastError(0);
        EXPECT_EQ(WriteFile(h, message.data(), static_cast<DWORD>(c.Size), &written, nullptr),
                  c.Sent)
            << c.Size;
        EXPECT_EQ(GetLastError(), c.Sent ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER) << c.Size;
        CloseHandle(h);
    }
    // Only the messages that fit arrived, in order.
    EXPECT_EQ(Next().Data, std::string(424, 'x'));
    EXPECT_EQ(Next().Data, std::string(402, 'x'));
}

TEST_F(RemoteSend, UnknownNameIsQueriedThreeTimesThenFails) {
    DWORD error = 0;
    EXPECT_EQ(OpenRemote("nobody", "HS", error), INVALID_HANDLE_VALUE);
    EXPECT_EQ(error, ERROR_BAD_NETPATH);
    EXPECT_TRUE(WaitUntil([&] { return OtherQueries().size() >= 3; }));
    EXPECT_EQ(OtherQueries(), std::vector<std::string>(3, "NOBODY<00> b"));
}
