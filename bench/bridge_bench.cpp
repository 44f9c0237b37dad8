// The bridge across a veth pair: messages a second from one sender in one network namespace to a
// slot behind the bridge in the other, beside a plain UDP sendto loop between the same two
// namespaces (the same sender, the same window, a bare socket instead of the bridge and slot);
// one message's latency (p50, p99); the CPU time an idle bridge uses. Needs root (namespaces):
// without it the program says so and measures nothing.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchSupport.h"
#include "tests/support/NetNamespace.h"
#include "zk/host/platform/NetBios.h"
#include "zk/host/platform/UdpSocket.h"
#include "zk/host/win32/Windows.h"

extern char** environ;

using namespace zk::platform;
using namespace zk::win32;
using Clock = std::chrono::steady_clock;

namespace {

// Datagrams sent before the receiver takes them: small enough for the sockets' buffers.
constexpr int kWindow = 128;
constexpr uint16_t kPlainPort = 40138;

std::string ReadText(const std::string& Path) {
    std::ifstream in(Path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Two namespaces, the bridge (as root, no rate bound) in the second, a slot it delivers to
// owned here, a plain socket there, the sender's socket in the first.
struct BridgeBench {
    zktest::TNetSegment Segment{"bb", 2};
    std::string Config = zkbench::SlotDir() + "/netbios.conf";
    std::string Log = zkbench::SlotDir() + "/bridge.out";
    pid_t Bridge = -1;
    THandle Slot = INVALID_HANDLE_VALUE;
    std::unique_ptr<TUdpSocket> Sender, Plain;
    std::string Datagram;

    BridgeBench() {
        std::ofstream(Config) << "netbios name = BENCH2\nworkgroup = ZKLAN\ninterfaces = eth0\n";
        std::vector<std::string> args = {"ip",
                                         "netns",
                                         "exec",
                                         Segment.Namespace(2),
                                         "env",
                                         "MAILSLOT_DIR=" + zkbench::SlotDir(),
                                         "MAILSLOT_NETBIOS_CONF=" + Config,
                                         ZK_MAILSLOT_TOOL,
                                         "bridge",
                                         "--rate",
                                         "0",
                                         "--user",
                                         "root"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, Log.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawnp(&Bridge, "ip", &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        const auto deadline = Clock::now() + std::chrono::seconds(10);
        while (ReadText(Log).find("bridge ") == std::string::npos && Clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        Slot = CreateMailslotA("\\\\.\\mailslot\\bench", 0, 5000, nullptr);
        uint32_t ip1 = 0, ip2 = 0;
        ParseIp(Segment.Address(1), ip1);
        ParseIp(Segment.Address(2), ip2);
        Segment.RunIn(1, [&] { Sender = std::make_unique<TUdpSocket>(ip1, 0); });
        Segment.RunIn(2, [&] { Plain = std::make_unique<TUdpSocket>(ip2, kPlainPort); });
        TMailslotDatagram d;
        d.SourceIp = ip1;
        d.Source = {"BENCH1", 0x00};
        d.Destination = {"BENCH2", 0x00};
        d.Mailslot = "\\MAILSLOT\\bench";
        d.Data = std::string(64, 'm');
        Datagram = EncodeMailslotDatagram(d);
    }

    ~BridgeBench() {
        CloseHandle(Slot);
        if (Bridge > 0) {
            kill(Bridge, SIGTERM);
            waitpid(Bridge, nullptr, 0);
        }
        zkbench::RemoveSlotDir();
    }

    bool Ready() const { return Slot != INVALID_HANDLE_VALUE && Sender && Plain; }

    void SendToBridge() { Sender->SendTo(Datagram, Address(2), kNetBiosDatagramPort); }
    void SendPlain() { Sender->SendTo(Datagram, Address(2), kPlainPort); }

    bool TakeFromSlot() {
        char buf[2048];
        DWORD n = 0;
        return ReadFile(Slot, buf, sizeof buf, &n, nullptr);
    }

    bool TakePlain() {
        char buf[2048];
        uint32_t from = 0;
        uint16_t port = 0;
        while (Plain->Receive(buf, sizeof buf, from, port) < 0)
            if (WaitReadable({Plain->Fd()}, 5000).empty()) return false;
        return true;
    }

    uint32_t Address(unsigned Member) const {
        uint32_t ip = 0;
        ParseIp(Segment.Address(Member), ip);
        return ip;
    }

    // The bridge's user and system time so far, in clock ticks.
    long CpuTicks() const {
        std::istringstream stat(ReadText("/proc/" + std::to_string(Bridge) + "/stat"));
        std::string field;
        long ticks = 0;
        for (int i = 1; i <= 15 && stat >> field; ++i)
            if (i >= 14) ticks += std::stol(field);
        return ticks;
    }
};

BridgeBench* GBench = nullptr;

template <class SendFn, class TakeFn>
void Throughput(benchmark::State& state, SendFn Send, TakeFn Take) {
    for (auto _ : state) {
        for (int i = 0; i < kWindow; ++i) Send();
        for (int i = 0; i < kWindow; ++i)
            if (!Take()) {
                state.SkipWithError("a message did not arrive");
                return;
            }
    }
    state.SetItemsProcessed(state.iterations() * kWindow);
}

void BM_PlainUdpSendto(benchmark::State& state) {
    Throughput(
        state, [] { GBench->SendPlain(); }, [] { return GBench->TakePlain(); });
}
BENCHMARK(BM_PlainUdpSendto)->UseRealTime();

void BM_ThroughTheBridge(benchmark::State& state) {
    Throughput(
        state, [] { GBench->SendToBridge(); }, [] { return GBench->TakeFromSlot(); });
}
BENCHMARK(BM_ThroughTheBridge)->UseRealTime();

// One message at a time, from the sender's sendto to the slot's ReadFile.
void BM_BridgeLatency(benchmark::State& state) {
    std::vector<double> us;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        GBench->SendToBridge();
        if (!GBench->TakeFromSlot()) {
            state.SkipWithError("a message did not arrive");
            return;
        }
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    std::sort(us.begin(), us.end());
    state.counters["p50_us"] = us[us.size() / 2];
    state.counters["p99_us"] = us[us.size() * 99 / 100];
}
BENCHMARK(BM_BridgeLatency)->Iterations(2000)->UseRealTime();

// A bridge with nothing to do sleeps in poll: its CPU ticks over two seconds.
void BM_IdleBridgeCpu(benchmark::State& state) {
    long used = 0;
    for (auto _ : state) {
        const long before = GBench->CpuTicks();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        used = GBench->CpuTicks() - before;
    }
    state.counters["cpu_ticks_in_2s"] = static_cast<double>(used);
}
BENCHMARK(BM_IdleBridgeCpu)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    const std::string why = zktest::NetNamespaceSkipReason();
    if (!why.empty()) {
        std::fprintf(stderr, "bridge_bench: nothing measured: %s\n", why.c_str());
        return 0;
    }
    BridgeBench bench;
    if (!bench.Ready()) {
        std::fprintf(stderr, "bridge_bench: the bridge did not start: %s\n",
                     ReadText(bench.Log).c_str());
        return 1;
    }
    GBench = &bench;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
