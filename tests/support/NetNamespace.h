// A private network for tests: network namespaces joined on one Ethernet segment, made with
// `ip` and removed with everything in them when the object goes. Nothing is added to the
// machine's own namespace: a hub namespace holds a bridge, and every member namespace hangs on
// it by a veth pair whose other end lives in the hub.
//
// Member i (1-based) has eth0 at 10.201.<Subnet>.i/24 and lo up. Namespace names carry the
// process id, so test programs that run side by side never meet.
//
// Code reaches a member's network two ways: RunIn runs a function on a thread that has entered
// the member's namespace (sockets made there stay in that namespace whichever thread uses them
// later), and ExecPrefix starts a program there (`ip netns exec`).
#pragma once

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <cstdlib>
#include <exception>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace zktest {

// Runs Command through the shell, its output thrown away; true when it exited with 0.
inline bool RunQuiet(const std::string& Command) {
    return std::system((Command + " >/dev/null 2>&1").c_str()) == 0;
}

// Why namespace tests cannot run here, or "" when they can: they need root and a working
// `ip netns`.
inline std::string NetNamespaceSkipReason() {
    if (geteuid() != 0) return "network namespace tests need root (run the net label as root)";
    const std::string probe = "zkprobe" + std::to_string(getpid());
    if (!RunQuiet("ip netns add " + probe)) return "`ip netns add` failed: no network namespaces";
    RunQuiet("ip netns del " + probe);
    return "";
}

class TNetSegment {
  public:
    // Makes Count member namespaces on one segment. Raises std::runtime_error naming the failed
    // command, after removing whatever it had made.
    TNetSegment(const std::string& Tag, unsigned Count, unsigned Subnet = 0)
        : FPrefix("zk" + Tag + std::to_string(getpid()) + "-"),
          FNet("10.201." + std::to_string(Subnet) + "."),
          FCount(Count) {
        try {
            Do("ip netns add " + Hub());
            Do("ip -n " + Hub() + " link add br0 type bridge");
            Do("ip -n " + Hub() + " link set br0 up");
            for (unsigned i = 1; i <= Count; ++i) {
                const std::string ns = Namespace(i), port = "v" + std::to_string(i);
                Do("ip netns add " + ns);
                Do("ip -n " + Hub() + " link add " + port + " type veth peer name eth0 netns " +
                   ns);
                Do("ip -n " + Hub() + " link set " + port + " master br0 up");
                Do("ip -n " + ns + " addr add " + Address(i) + "/24 broadcast " + Broadcast() +
                   " dev eth0");
                Do("ip -n " + ns + " link set eth0 up");
                Do("ip -n " + ns + " link set lo up");
            }
        } catch (...) {
            Remove();
            throw;
        }
    }

    ~TNetSegment() { Remove(); }
    TNetSegment(const TNetSegment&) = delete;
    TNetSegment& operator=(const TNetSegment&) = delete;

    std::string Namespace(unsigned Member) const { return FPrefix + std::to_string(Member); }
    std::string Address(unsigned Member) const { return FNet + std::to_string(Member); }
    std::string Broadcast() const { return FNet + "255"; }

    // The words that start a program in Member's namespace, before the program's own.
    std::vector<std::string> ExecPrefix(unsigned Member) const {
        return {"ip", "netns", "exec", Namespace(Member)};
    }

    // Runs Fn on a thread that has entered Member's namespace, waits for it, and passes on what
    // it raised. Results travel through Fn's captures.
    void RunIn(unsigned Member, const std::function<void()>& Fn) const {
        const std::string path = "/var/run/netns/" + Namespace(Member);
        std::exception_ptr error;
        std::thread thread([&] {
            try {
                const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
                const bool entered = fd >= 0 && setns(fd, CLONE_NEWNET) == 0;
                if (fd >= 0) close(fd);
                if (!entered) throw std::runtime_error("cannot enter " + path);
                Fn();
            } catch (...) {
                error = std::current_exception();
            }
        });
        thread.join();
        if (error) std::rethrow_exception(error);
    }

  private:
    std::string Hub() const { return FPrefix + "hub"; }

    static void Do(const std::string& Command) {
        if (!RunQuiet(Command)) throw std::runtime_error("failed: " + Command);
    }

    // Deleting a namespace deletes its interfaces and their veth peers with it.
    void Remove() {
        for (unsigned i = 1; i <= FCount; ++i) RunQuiet("ip netns del " + Namespace(i));
        RunQuiet("ip netns del " + Hub());
    }

    std::string FPrefix;
    std::string FNet;
    unsigned FCount;
};

}  // namespace zktest
