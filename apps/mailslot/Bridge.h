// `mailslot bridge`: takes mailslot datagrams from the network (NetBIOS datagram service, UDP
// 138) and writes each one's payload as one message to the local slot of that name; answers
// NetBIOS name queries for its own name (UDP 137). docs/mailslots-bridge.md says how to run it.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zk/host/platform/NetBios.h"

namespace mailslot_tool {

// An IPv4 network, host byte order.
struct Subnet {
    uint32_t Ip = 0;
    uint32_t Mask = 0;
    bool Contains(uint32_t Address) const { return (Address & Mask) == (Ip & Mask); }
};
// "10.1.0.0/16" or an address alone (/32); false for anything else.
bool ParseSubnet(std::string_view Text, Subnet& Out);

// One interface the bridge serves: its address, netmask and broadcast address.
struct BridgeInterface {
    uint32_t Ip = 0;
    uint32_t Mask = 0;
    uint32_t Broadcast = 0;
};

struct BridgeOptions {
    std::string Name;       // our NetBIOS name, upper case, at most 15 bytes
    std::string Workgroup;  // our workgroup's name, the same
    std::vector<BridgeInterface> Interfaces;
    std::vector<Subnet> Allow;  // empty: the subnets of Interfaces
    bool AnswerNames = true;    // answer name queries for Name on UDP 137
    std::string User;
    unsigned Rate = 0;  // datagrams a second taken in all (bursts up to as many); 0: no bound
};

// Why a datagram was dropped. Every drop is counted under exactly one reason.
enum class DropReason : uint8_t {
    Oversized,  // longer than kMaxBridgeDatagram
    Malformed,  // the decoder refused it (lengths, offsets, fragments, other commands, pipes)
    Foreign,    // its source is outside the allowed networks
    Rate,       // over the rate bound
    NotForUs,   // addressed to another name
    NoSlot,     // no local slot of that name is owned (or it refused the message)
    Count
};
// The reason's name in the counts line: "oversized", "malformed", "foreign", ...
const char* DropReasonName(DropReason Reason);

// The largest datagram taken: one Ethernet frame's UDP payload.
constexpr size_t kMaxBridgeDatagram = 1472;

struct BridgeCounts {
    uint64_t Delivered = 0;
    std::array<uint64_t, static_cast<size_t>(DropReason::Count)> Dropped{};
    // "delivered 3 oversized 0 malformed 1 foreign 1 rate 0 not-for-us 0 no-slot 0"
    std::string Line() const;
};

// A token bucket over a millisecond clock: Rate tokens a second, at most Rate held.
class RateBound {
  public:
    explicit RateBound(unsigned Rate) : FRate(Rate), FTokens(Rate) {}
    // Takes one token at NowMs; false when none is left (always true for Rate 0).
    bool Take(uint64_t NowMs);

  private:
    unsigned FRate;
    double FTokens;
    uint64_t FLastMs = 0;
    bool FStarted = false;
};

// The local slot a decoded datagram's mailslot name stands for: "\MAILSLOT\HS" is "HS", a
// deeper name keeps its path ("\MAILSLOT\NET\NETLOGON" is "NET\NETLOGON").
std::string LocalSlotOf(std::string_view Mailslot);

// Which datagrams are ours: a direct unique one to Name (any suffix) or to the text of one of our
// interfaces' addresses ("10.0.0.5", as senders that know only the address write it), a direct
// group one to Workgroup (any suffix: browsers announce to <1d> and <1e>), and every broadcast one.
bool AddressedToUs(const zk::platform::TMailslotDatagram& Datagram, const BridgeOptions& Options);

// The decisions for one received datagram, apart from sockets and slots: NowMs is the clock of
// the rate bound. Returns true with the decoded datagram and its local slot when it is to be
// delivered; else counts the reason in Counts and returns false.
class BridgePolicy {
  public:
    explicit BridgePolicy(const BridgeOptions& Options);
    bool Take(std::string_view Packet, uint32_t FromIp, uint64_t NowMs,
              zk::platform::TMailslotDatagram& Datagram, std::string& Slot);
    // True when a name query from FromIp for Name is to be answered: allowed, not from a
    // broadcast address (never answered), for our name with suffix 0x00 or 0x03, and within
    // the rate.
    bool AnswerQuery(const zk::platform::TNameQuery& Query, uint32_t FromIp, uint64_t NowMs);
    void Count(DropReason Reason) { ++FCounts.Dropped[static_cast<size_t>(Reason)]; }
    void CountDelivered() { ++FCounts.Delivered; }
    const BridgeCounts& Counts() const { return FCounts; }

  private:
    bool Allowed(uint32_t Ip) const;
    bool BroadcastSource(uint32_t Ip) const;

    const BridgeOptions& FOptions;
    RateBound FRate;
    BridgeCounts FCounts;
};

// The bridge's command line; the rest comes from the NetBIOS configuration (name, workgroup,
// interfaces).
struct BridgeCommandLine {
    std::vector<std::string> Allow;
    bool NoNames = false;
    std::string User = "nobody";
    unsigned Rate = 1000;
};
// The subcommand's one-line description and the text `mailslot bridge --help` ends with.
std::string BridgeDescription();
std::string BridgeHelpFooter();
// Reads the configuration and runs the bridge (RunBridge); 1 with the reason on standard error
// when the configuration cannot be read or an --allow is no network.
int Bridge(const BridgeCommandLine& CommandLine);

// Binds the ports on every interface, gives up root, prints one line "bridge NAME on ADDRESS..."
// on standard output when ready, then serves until SIGINT or SIGTERM; SIGUSR1 prints the counts
// line on standard output (also printed at the end). 0 after a stop; 1 with the reason on
// standard error when a port cannot be bound or root cannot be given up.
int RunBridge(const BridgeOptions& Options);

}  // namespace mailslot_tool
