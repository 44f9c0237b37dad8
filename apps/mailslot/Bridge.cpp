#include "apps/mailslot/Bridge.h"

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <exception>
#include <map>
#include <memory>
#include <set>

#include "zk/host/platform/NetBiosConfig.h"
#include "zk/host/platform/Privileges.h"
#include "zk/host/platform/SignalQueue.h"
#include "zk/host/platform/SlotWrite.h"
#include "zk/host/platform/UdpSocket.h"
#include "zk/host/win32/Windows.h"

using namespace zk::platform;

namespace mailslot_tool {

namespace {

bool SameName(std::string_view A, std::string_view B) {
    auto trim = [](std::string_view s) {
        while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
        return s;
    };
    A = trim(A);
    B = trim(B);
    if (A.size() != B.size()) return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(A[i])) !=
            std::toupper(static_cast<unsigned char>(B[i])))
            return false;
    return true;
}

}  // namespace

const char* DropReasonName(DropReason Reason) {
    switch (Reason) {
        case DropReason::Oversized:
            return "oversized";
        case DropReason::Malformed:
            return "malformed";
        case DropReason::Foreign:
            return "foreign";
        case DropReason::Rate:
            return "rate";
        case DropReason::NotForUs:
            return "not-for-us";
        case DropReason::NoSlot:
            return "no-slot";
        case DropReason::Count:
            break;
    }
    return "?";
}

bool ParseSubnet(std::string_view Text, Subnet& Out) {
    unsigned bits = 32;
    std::string_view ip = Text;
    if (size_t slash = Text.find('/'); slash != std::string_view::npos) {
        std::string_view b = Text.substr(slash + 1);
        if (b.empty() || b.size() > 2) return false;
        bits = 0;
        for (char c : b) {
            if (c < '0' || c > '9') return false;
            bits = bits * 10 + static_cast<unsigned>(c - '0');
        }
        if (bits > 32) return false;
        ip = Text.substr(0, slash);
    }
    if (!ParseIp(ip, Out.Ip)) return false;
    Out.Mask = bits == 0 ? 0 : ~uint32_t{0} << (32 - bits);
    return true;
}

std::string BridgeCounts::Line() const {
    std::string line = "delivered " + std::to_string(Delivered);
    for (size_t i = 0; i < Dropped.size(); ++i)
        line += std::string(" ") + DropReasonName(static_cast<DropReason>(i)) + ' ' +
                std::to_string(Dropped[i]);
    return line;
}

bool RateBound::Take(uint64_t NowMs) {
    if (FRate == 0) return true;
    if (FStarted && NowMs > FLastMs)
        FTokens = std::min<double>(FRate, FTokens + (NowMs - FLastMs) * FRate / 1000.0);
    FStarted = true;
    FLastMs = NowMs;
    if (FTokens < 1) return false;
    FTokens -= 1;
    return true;
}

std::string LocalSlotOf(std::string_view Mailslot) {
    // The decoder takes only names that start with it, in any case.
    constexpr size_t prefix = std::string_view("\\MAILSLOT\\").size();
    return std::string(Mailslot.substr(std::min(prefix, Mailslot.size())));
}

bool AddressedToUs(const TMailslotDatagram& Datagram, const BridgeOptions& Options) {
    switch (Datagram.Type) {
        case TDatagramType::DirectUnique:
            if (SameName(Datagram.Destination.Name, Options.Name)) return true;
            // A sender that knows only our address names us by its text.
            for (const BridgeInterface& i : Options.Interfaces)
                if (Datagram.Destination.Name == IpText(i.Ip)) return true;
            return false;
        case TDatagramType::DirectGroup:
            return SameName(Datagram.Destination.Name, Options.Workgroup);
        case TDatagramType::Broadcast:
            return true;
    }
    return false;
}

BridgePolicy::BridgePolicy(const BridgeOptions& Options) : FOptions(Options), FRate(Options.Rate) {}

bool BridgePolicy::Allowed(uint32_t Ip) const {
    if (!FOptions.Allow.empty()) {
        for (const Subnet& s : FOptions.Allow)
            if (s.Contains(Ip)) return true;
        return false;
    }
    for (const BridgeInterface& i : FOptions.Interfaces)
        if (Subnet{i.Ip, i.Mask}.Contains(Ip)) return true;
    return false;
}

bool BridgePolicy::BroadcastSource(uint32_t Ip) const {
    if (Ip == 0 || (Ip >> 28) >= 0xE) return true;  // this host, multicast, reserved, all ones
    for (const BridgeInterface& i : FOptions.Interfaces)
        if (Ip == i.Broadcast) return true;
    // The all-ones host part of an allowed network is its broadcast address.
    for (const Subnet& s : FOptions.Allow)
        if (~s.Mask > 1 && Ip == (s.Ip | ~s.Mask)) return true;
    return false;
}

bool BridgePolicy::Take(std::string_view Packet, uint32_t FromIp, uint64_t NowMs,
                        TMailslotDatagram& Datagram, std::string& Slot) {
    auto drop = [this](DropReason r) {
        Count(r);
        return false;
    };
    // Cheapest checks first, so that a flood costs as little as it can.
    if (Packet.size() > kMaxBridgeDatagram) return drop(DropReason::Oversized);
    if (!Allowed(FromIp) || BroadcastSource(FromIp)) return drop(DropReason::Foreign);
    if (!FRate.Take(NowMs)) return drop(DropReason::Rate);
    std::string reason;
    if (!DecodeMailslotDatagram(Packet, Datagram, reason)) return drop(DropReason::Malformed);
    if (!AddressedToUs(Datagram, FOptions)) return drop(DropReason::NotForUs);
    Slot = LocalSlotOf(Datagram.Mailslot);
    return true;
}

bool BridgePolicy::AnswerQuery(const TNameQuery& Query, uint32_t FromIp, uint64_t NowMs) {
    // Answers count against the same rate as mail: each one costs a datagram out.
    return Allowed(FromIp) && !BroadcastSource(FromIp) &&
           SameName(Query.Name.Name, FOptions.Name) &&
           (Query.Name.Suffix == 0x00 || Query.Name.Suffix == 0x03) && FRate.Take(NowMs);
}

namespace {

// How long the bridge's name is valid for whoever asks (seconds), as Windows answers.
constexpr uint32_t kNameTtl = 300000;

struct BoundSocket {
    std::unique_ptr<TUdpSocket> Socket;
    uint32_t InterfaceIp = 0;
    bool Names = false;
};

// Writes messages to local slots through the same calls every local sender uses, keeping each
// slot's handle open between messages (opening one per message would halve the bridge's rate).
class SlotWriter {
  public:
    SlotWriter() = default;
    SlotWriter(const SlotWriter&) = delete;
    SlotWriter& operator=(const SlotWriter&) = delete;
    ~SlotWriter() { CloseAll(); }

    // One message; false when no process owns the slot or it refuses the message (a full slot
    // refuses at once: see RunBridge). A handle whose slot went away is opened again once: its
    // owner may have closed it and opened it anew.
    bool Write(const std::string& Slot, std::string_view Data) {
        for (int attempt = 0; attempt < 2; ++attempt) {
            zk::win32::THandle h = Open(Slot);
            if (h == zk::win32::INVALID_HANDLE_VALUE) return false;
            zk::win32::DWORD written = 0;
            if (zk::win32::WriteFile(h, Data.data(), static_cast<zk::win32::DWORD>(Data.size()),
                                     &written, nullptr) &&
                written == Data.size())
                return true;
            const bool gone = zk::win32::GetLastError() == zk::win32::ERROR_FILE_NOT_FOUND;
            zk::win32::CloseHandle(h);
            FHandles.erase(Slot);
            if (!gone) return false;
        }
        return false;
    }

  private:
    // Few slots receive from the network; a flood of names costs a reopen, not memory.
    static constexpr size_t kMaxOpen = 64;

    zk::win32::THandle Open(const std::string& Slot) {
        using namespace zk::win32;
        if (auto it = FHandles.find(Slot); it != FHandles.end()) return it->second;
        const std::string path = "\\\\.\\mailslot\\" + Slot;
        THandle h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
        if (h == INVALID_HANDLE_VALUE) return h;
        if (FHandles.size() >= kMaxOpen) CloseAll();
        FHandles.emplace(Slot, h);
        return h;
    }

    void CloseAll() {
        for (auto& [slot, h] : FHandles) zk::win32::CloseHandle(h);
        FHandles.clear();
    }

    std::map<std::string, zk::win32::THandle> FHandles;
};

uint64_t NowMs() {
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                     std::chrono::steady_clock::now().time_since_epoch())
                                     .count());
}

class BridgeServer {
  public:
    explicit BridgeServer(const BridgeOptions& Options) : FOptions(Options), FPolicy(Options) {}

    void Bind() {
        // Two addresses on one segment share its broadcast address, which binds once.
        std::set<uint32_t> broadcasts;
        for (const BridgeInterface& i : FOptions.Interfaces) {
            const bool broadcast = i.Broadcast != i.Ip && broadcasts.insert(i.Broadcast).second;
            BindPort(i.Ip, i, false);
            if (broadcast) BindPort(i.Broadcast, i, false);
            if (!FOptions.AnswerNames) continue;
            BindPort(i.Ip, i, true);
            if (broadcast) BindPort(i.Broadcast, i, true);
        }
    }

    std::string ReadyLine() const {
        std::string line = "bridge " + FOptions.Name + " (" + FOptions.Workgroup + ") on";
        for (const BridgeInterface& i : FOptions.Interfaces) line += ' ' + IpText(i.Ip);
        return line + (FOptions.AnswerNames ? ", answering name queries" : "");
    }

    void Serve(TSignalQueue& Signals) {
        std::vector<int> fds{Signals.Fd()};
        for (const BoundSocket& b : FSockets) fds.push_back(b.Socket->Fd());
        for (;;) {
            for (size_t ready : WaitReadable(fds, -1)) {
                if (ready > 0) {
                    Drain(FSockets[ready - 1]);
                    continue;
                }
                while (int sig = Signals.Take()) {
                    if (sig != SIGUSR1) return;
                    PrintCounts();
                }
            }
        }
    }

    void PrintCounts() const {
        std::printf("%s\n", FPolicy.Counts().Line().c_str());
        std::fflush(stdout);
    }

  private:
    void BindPort(uint32_t Ip, const BridgeInterface& Interface, bool Names) {
        auto s = std::make_unique<TUdpSocket>(Ip, Names ? kNetBiosNamePort : kNetBiosDatagramPort);
        FSockets.push_back(BoundSocket{std::move(s), Interface.Ip, Names});
    }

    // At most a round of datagrams a wake-up, so that a flood on one socket does not keep the
    // others, and the signals, waiting.
    void Drain(BoundSocket& B) {
        constexpr int kRound = 64;
        uint32_t from = 0;
        uint16_t port = 0;
        long n;
        for (int taken = 0; taken < kRound && (n = B.Socket->Receive(FBuffer.data(), FBuffer.size(),
                                                                     from, port)) >= 0;
             ++taken) {
            // A datagram longer than the buffer reads cut to its size, one byte more than the
            // policy takes: it is dropped as oversized.
            std::string_view packet(FBuffer.data(), std::min<size_t>(n, FBuffer.size()));
            if (B.Names)
                AnswerName(B, packet, from, port);
            else
                TakeDatagram(packet, from);
        }
    }

    void TakeDatagram(std::string_view Packet, uint32_t From) {
        TMailslotDatagram d;
        std::string slot;
        if (!FPolicy.Take(Packet, From, NowMs(), d, slot)) return;
        if (FSlots.Write(slot, d.Data))
            FPolicy.CountDelivered();
        else
            FPolicy.Count(DropReason::NoSlot);
    }

    void AnswerName(BoundSocket& B, std::string_view Packet, uint32_t From, uint16_t Port) {
        TNameQuery q;
        std::string reason;
        if (!DecodeNameQuery(Packet, q, reason) || !FPolicy.AnswerQuery(q, From, NowMs())) return;
        // Answered from the interface's own address, which is what the asker is to use.
        for (BoundSocket& s : FSockets)
            if (s.Names && s.InterfaceIp == B.InterfaceIp) {
                s.Socket->SendTo(EncodeNameQueryResponse(q.Id, q.Name, B.InterfaceIp, kNameTtl),
                                 From, Port);
                return;
            }
    }

    const BridgeOptions& FOptions;
    BridgePolicy FPolicy;
    std::vector<BoundSocket> FSockets;
    SlotWriter FSlots;
    std::array<char, kMaxBridgeDatagram + 1> FBuffer{};
};

}  // namespace

int RunBridge(const BridgeOptions& Options) {
    if (Options.Interfaces.empty()) {
        std::fprintf(stderr, "mailslot: bridge: no interface to serve\n");
        return 1;
    }
    // Before any thread starts, so that every thread leaves these signals to the queue.
    TSignalQueue signals({SIGINT, SIGTERM, SIGUSR1});
    BridgeServer bridge(Options);
    // Second-class mail is unreliable: a slot that is full drops the message at once instead of
    // stopping the bridge for every other slot while it waits for room.
    zk::platform::SetSendWaitMs(1);
    try {
        bridge.Bind();
        DropPrivileges(Options.User);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mailslot: bridge: %s\n", e.what());
        return 1;
    }
    std::printf("%s\n", bridge.ReadyLine().c_str());
    std::fflush(stdout);
    bridge.Serve(signals);
    bridge.PrintCounts();
    return 0;
}

}  // namespace mailslot_tool

namespace mailslot_tool {

std::string BridgeDescription() {
    return "Take mailslot datagrams from the network (UDP 138) into local slots, and answer "
           "NetBIOS name queries for this machine (UDP 137).";
}

std::string BridgeHelpFooter() {
    return R"(
The name, workgroup and interfaces are this machine's NetBIOS configuration (see
docs/mailslots.md; /etc/samba/smb.conf when it exists). On each interface the bridge binds
ports 138 and 137 of its address and of its broadcast address, then gives up root for --user.

Taken: datagrams to this machine's name (any suffix) or to one of its addresses written as a
name (what a sender that knows only the address sends), group datagrams to the workgroup's name
(any suffix: browsers announce to WORKGROUP<1d> and <1e>), and broadcast datagrams. Each
payload becomes one message of the local slot of the datagram's mailslot name:
\MAILSLOT\HS goes to "HS", \MAILSLOT\NET\NETLOGON to "NET\NETLOGON" (the path after
\MAILSLOT\). A message for a slot nobody owns is dropped without a reply. The slots are those
of the user the bridge runs as (MAILSLOT_DIR, as for every program of this package).

Dropped, and counted by reason: longer than 1472 bytes (oversized), refused by the decoder:
lengths, counts or offsets that disagree, fragments, other commands, transactions to anything
but \MAILSLOT\ (malformed), from outside the allowed networks or from a broadcast address
(foreign), over --rate (rate), to another name (not-for-us), for a slot nobody owns or that
refused the message (no-slot). SIGUSR1 prints the counts as one line on standard output:
  delivered N oversized N malformed N foreign N rate N not-for-us N no-slot N
and so does the end. Name queries are answered only for this machine's name (suffix 00 or 03)
and never to a broadcast address.

Standard output gets one line once the ports are bound ("bridge NAME (WORKGROUP) on
ADDRESS..."), then the counts lines. SIGINT or SIGTERM ends it: 0. A port that cannot be bound
(nmbd holds it: see docs/mailslots-bridge.md) or a user that cannot be taken on: 1.
The package's systemd unit mailslot-bridge.service (not enabled) runs it as a user of its own
with only CAP_NET_BIND_SERVICE, slots in MAILSLOT_DIR=/run/mailslot-bridge.
)";
}

}  // namespace mailslot_tool

namespace mailslot_tool {

int Bridge(const BridgeCommandLine& CommandLine) {
    BridgeOptions options;
    for (const std::string& a : CommandLine.Allow) {
        Subnet s;
        if (!ParseSubnet(a, s)) {
            std::fprintf(stderr, "mailslot: bridge: --allow %s is no network (ADDRESS[/BITS])\n",
                         a.c_str());
            return 1;
        }
        options.Allow.push_back(s);
    }
    const TNetBiosConfig config = LoadNetBiosConfig();
    options.Name = config.Name;
    options.Workgroup = config.Workgroup;
    for (const TNetInterface& i : config.Interfaces)
        options.Interfaces.push_back({i.Address, i.Netmask, i.Broadcast});
    options.AnswerNames = !CommandLine.NoNames;
    options.User = CommandLine.User;
    options.Rate = CommandLine.Rate;
    return RunBridge(options);
}

}  // namespace mailslot_tool
