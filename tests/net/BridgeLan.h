// Machines for the bridge's tests: the members of a network segment (tests/support/NetNamespace.h),
// each with its own NetBIOS configuration (name HOSTi, workgroup ZKLAN, its eth0) and its own
// slot directory owned by nobody, the user its bridge and listeners run as. Everything it
// starts is stopped and everything it makes is removed when it goes. Hosts count from 1.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/support/NetNamespace.h"
#include "tests/support/TestSupport.h"
#include "zk/host/platform/UdpSocket.h"

namespace zktest {

class BridgeLan {
  public:
    explicit BridgeLan(int Hosts);
    ~BridgeLan();
    BridgeLan(const BridgeLan&) = delete;
    BridgeLan& operator=(const BridgeLan&) = delete;

    std::string Ip(int Host) const { return FSegment.Address(Host); }
    uint32_t IpValue(int Host) const;
    std::string Name(int Host) const { return "HOST" + std::to_string(Host); }
    const std::string& SlotDir(int Host) const { return FHosts[Host - 1].SlotDir; }
    // The folder the test keeps its files in (outputs, configurations), removed at the end.
    const std::string& Work() const { return FWork; }

    // Starts Command (program and arguments) in Host's namespace with its configuration and
    // slot directory; AsNobody runs it as nobody. Its standard output and error go to
    // Work()/Tag.out. Stopped with SIGTERM when the LAN goes.
    Child& Start(int Host, const std::string& Tag, std::vector<std::string> Command,
                 bool AsNobody = false);
    // Runs Command there to its end: its exit status.
    int Run(int Host, std::vector<std::string> Command, const std::string& Tag = "run");
    std::string Output(const std::string& Tag) const {
        return ReadFileText(FWork + "/" + Tag + ".out");
    }
    // Stops one started program (SIGTERM) and waits for it: its exit status.
    int Stop(Child& Started);

    // Starts `mailslot bridge` on Host (extra arguments appended) and waits until it is ready.
    Child& StartBridge(int Host, std::vector<std::string> Extra = {});
    // Starts `mailslot listen SLOT --hex` (or another listener command after "mailslot") on
    // Host as nobody, and waits until its slot exists.
    Child& StartListener(int Host, const std::string& Tag, std::vector<std::string> Args,
                         const std::string& Slot);
    // The counts line a bridge prints on SIGUSR1 (its last one), after asking for it.
    std::string Counts(Child& Bridge, const std::string& Tag);

    // A UDP socket inside Host's namespace, bound to its address and Port (0: any free one).
    std::unique_ptr<zk::platform::TUdpSocket> Socket(int Host, uint16_t Port = 0);

  private:
    std::vector<std::string> InHost(int Host, std::vector<std::string> Command,
                                    bool AsNobody) const;

    struct HostState {
        std::string Config;
        std::string SlotDir;
    };
    TNetSegment FSegment;
    std::string FWork;
    std::vector<HostState> FHosts;
    std::vector<std::unique_ptr<Child>> FStarted;
};

// The lines of Text.
std::vector<std::string> Lines(const std::string& Text);

}  // namespace zktest
