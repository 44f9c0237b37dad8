// Endpoint throughput, latency and idle cost.
//   endpoint_bench                         runs the benchmarks
//   endpoint_bench --slot-writer NAME N    (internal) sends N plain messages to slot NAME
//   endpoint_bench --raw-writer PATH N     (internal) sends N datagrams to the socket at PATH
//   endpoint_bench --model-writer PATH N   (internal) N times: opens, sends one, closes
// The raw pair is the ceiling: the same kind of socket with nothing of ours around it. The
// minimal model is the least any endpoint of this shape can do: a low-priority thread that
// peeks the socket and hands each message over to the main thread with Synchronize, which reads
// one datagram, while the writer opens, sends and closes per message. BM_DeliveryRatios, last,
// sets the endpoint's rate beside the other two, all from the same run.
#include <benchmark/benchmark.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchSupport.h"
#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/Namespaces.h"

extern char** environ;

namespace {

constexpr int kMessages = 20000;
const std::string kPayload(64, 'm');

std::string SelfPath() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    return std::string(buf, n > 0 ? static_cast<size_t>(n) : 0);
}

pid_t SpawnSelf(const std::vector<std::string>& args) {
    std::string self = SelfPath();
    std::vector<char*> argv{const_cast<char*>(self.c_str())};
    for (auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    posix_spawn(&pid, self.c_str(), nullptr, nullptr, argv.data(), environ);
    return pid;
}

void Reap(pid_t pid) {
    int status = 0;
    waitpid(pid, &status, 0);
}

int RawWriter(const char* path, int n) {
    int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path, sizeof addr.sun_path - 1);
    if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return 1;
    for (int i = 0; i < n; ++i)
        while (send(fd, kPayload.data(), kPayload.size(), 0) < 0) {
        }
    close(fd);
    return 0;
}

int ModelWriter(const char* path, int n) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path, sizeof addr.sun_path - 1);
    for (int i = 0; i < n; ++i) {
        int fd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        if (connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) return 1;
        if (send(fd, kPayload.data(), kPayload.size(), 0) < 0) return 1;
        close(fd);
    }
    return 0;
}

int SlotWriter(const char* name, int n) {
    for (int i = 0; i < n; ++i)
        if (!SendToMailSlot(".", name, kPayload)) return 1;
    return 0;
}

// Messages per second of each delivery path in this run, for BM_DeliveryRatios.
double gEndpointRate = 0, gModelRate = 0, gRawRate = 0;

double Rate(benchmark::State& state, std::chrono::steady_clock::duration Spent) {
    return state.iterations() * kMessages / std::chrono::duration<double>(Spent).count();
}

void BM_PlainMessagesThroughEndpoint(benchmark::State& state) {
    zkbench::SlotDir();
    TzkMailSlot slot(nullptr);
    int received = 0;
    slot.SetOnBinMessageAvail(TmsBinMessageAvail([&](TObject*, char*, int32_t) { ++received; }));
    slot.SetSlot("bench_plain");
    slot.Open();
    std::chrono::steady_clock::duration spent{};
    for (auto _ : state) {
        received = 0;
        const auto start = std::chrono::steady_clock::now();
        pid_t writer = SpawnSelf({"--slot-writer", "bench_plain", std::to_string(kMessages)});
        while (received < kMessages) CheckSynchronize(100);
        Reap(writer);
        spent += std::chrono::steady_clock::now() - start;
    }
    gEndpointRate = Rate(state, spent);
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_PlainMessagesThroughEndpoint)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

void BM_RawDatagramsSameSocketKind(benchmark::State& state) {
    std::string path = zkbench::SlotDir() + "/raw_baseline";
    unlink(path.c_str());
    int fd = socket(AF_UNIX, SOCK_DGRAM, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::strncpy(addr.sun_path, path.c_str(), sizeof addr.sun_path - 1);
    bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    std::vector<char> buf(65536);
    std::chrono::steady_clock::duration spent{};
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        pid_t writer = SpawnSelf({"--raw-writer", path, std::to_string(kMessages)});
        for (int i = 0; i < kMessages; ++i) recv(fd, buf.data(), buf.size(), 0);
        Reap(writer);
        spent += std::chrono::steady_clock::now() - start;
    }
    close(fd);
    unlink(path.c_str());
    gRawRate = Rate(state, spent);
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_RawDatagramsSameSocketKind)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(3);

// The thread of the minimal model: waits until the socket is readable, peeks the size of the
// next datagram, and hands over; the main thread reads that one datagram into a buffer of its
// size. Polls in slices of 100 ms only so that it can end.
class TPeekThread : public TThread {
  public:
    TPeekThread(int Fd, std::function<void()> OnMessage)
        : TThread(true), FFd(Fd), FOnMessage(std::move(OnMessage)) {
        SetPriority(tpLowest);
        Resume();
    }

  protected:
    void Execute() override {
        while (!Terminated()) {
            pollfd p{FFd, POLLIN, 0};
            if (poll(&p, 1, 100) <= 0) continue;
            ssize_t size = recv(FFd, nullptr, 0, MSG_PEEK | MSG_TRUNC | MSG_DONTWAIT);
            if (size < 0) continue;
            Synchronize([this, size] {
                std::vector<char> buf(static_cast<size_t>(size) + 1);
                if (recv(FFd, buf.data(), static_cast<size_t>(size), MSG_DONTWAIT) >= 0)
                    FOnMessage();
            });
        }
    }

  private:
    const int FFd;
    const std::function<void()> FOnMessage;
};

// The socket of the minimal model, bound at Path, with its thread; both end with the object.
class TModelEndpoint {
  public:
    TModelEndpoint(const std::string& Path, std::function<void()> OnMessage) : FPath(Path) {
        unlink(Path.c_str());
        FFd = socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_un addr{};
        addr.sun_family = AF_UNIX;
        std::strncpy(addr.sun_path, Path.c_str(), sizeof addr.sun_path - 1);
        bind(FFd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
        FThread = std::make_unique<TPeekThread>(FFd, std::move(OnMessage));
    }
    ~TModelEndpoint() {
        FThread->Terminate();
        // Hand-overs the thread still makes run here until it ends.
        while (CheckSynchronize(150)) {
        }
        FThread->WaitFor();
        FThread.reset();
        close(FFd);
        unlink(FPath.c_str());
    }

  private:
    std::string FPath;
    int FFd = -1;
    std::unique_ptr<TPeekThread> FThread;
};

void BM_MinimalModelSameShape(benchmark::State& state) {
    const std::string path = zkbench::SlotDir() + "/model_baseline";
    int received = 0;
    std::chrono::steady_clock::duration spent{};
    {
        TModelEndpoint model(path, [&received] { ++received; });
        for (auto _ : state) {
            received = 0;
            const auto start = std::chrono::steady_clock::now();
            pid_t writer = SpawnSelf({"--model-writer", path, std::to_string(kMessages)});
            while (received < kMessages) CheckSynchronize(100);
            Reap(writer);
            spent += std::chrono::steady_clock::now() - start;
        }
    }
    gModelRate = Rate(state, spent);
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_MinimalModelSameShape)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// One message at a time into an idle receiver; Got is set on the main thread when the receiver
// delivered it. Arg 0: each message from a new thread, as this benchmark first measured it, with
// counters from before that thread was started too. Arg 1: from one long-lived sending thread,
// as a program sends, so that a new thread's first steps (its stack, its allocator arena) are
// not counted. p50_us and p99_us run from the call of Send (open, write, close) to the delivery;
// send_p50_us is the send's own time.
template <class SendFn>
void MeasureLatency(benchmark::State& state, bool& Got,
                    std::chrono::steady_clock::time_point& Arrived, SendFn Send) {
    using Clock = std::chrono::steady_clock;
    const bool longLived = state.range(0) == 1;
    std::vector<double> samples, withStart, sendCost;
    std::mutex lock;
    std::condition_variable changed;
    int turns = 0;  // messages asked of the long-lived sender; -1 ends it
    Clock::time_point sent, done;
    // Let the receiving thread settle into its wait first, so that the receiver is idle.
    const auto settle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(15)); };
    const auto sendOne = [&] {
        const Clock::time_point t0 = Clock::now();
        Send();
        const Clock::time_point t1 = Clock::now();
        std::lock_guard<std::mutex> guard(lock);
        sent = t0;
        done = t1;
    };
    std::thread keeper;
    if (longLived)
        keeper = std::thread([&] {
            for (int served = 0;;) {
                {
                    std::unique_lock<std::mutex> guard(lock);
                    changed.wait(guard, [&] { return turns != served; });
                    if (turns < 0) return;
                    served = turns;
                }
                settle();
                sendOne();
            }
        });
    for (auto _ : state) {
        Got = false;
        if (!longLived) settle();
        const Clock::time_point started = Clock::now();
        std::thread sender;
        if (longLived) {
            std::lock_guard<std::mutex> guard(lock);
            ++turns;
            changed.notify_all();
        } else {
            sender = std::thread(sendOne);
        }
        while (!Got) CheckSynchronize(100);
        if (sender.joinable()) sender.join();
        std::lock_guard<std::mutex> guard(lock);
        // The long-lived sender records its times just after the message went.
        while (sent < started) {
            lock.unlock();
            std::this_thread::yield();
            lock.lock();
        }
        const auto us = [](Clock::duration d) {
            return std::chrono::duration<double, std::micro>(d).count();
        };
        samples.push_back(us(Arrived - sent));
        sendCost.push_back(us(done - sent));
        withStart.push_back(us(Arrived - started));
    }
    if (longLived) {
        {
            std::lock_guard<std::mutex> guard(lock);
            turns = -1;
            changed.notify_all();
        }
        keeper.join();
    }
    const auto at = [](std::vector<double> v, size_t Percent) {
        std::sort(v.begin(), v.end());
        return v[std::min(v.size() - 1, v.size() * Percent / 100)];
    };
    state.counters["send_p50_us"] = at(sendCost, 50);
    state.counters["p50_us"] = at(samples, 50);
    state.counters["p99_us"] = at(samples, 99);
    if (!longLived) {
        state.counters["p50_us_from_thread_start"] = at(withStart, 50);
        state.counters["p99_us_from_thread_start"] = at(withStart, 99);
    }
}

void BM_LatencyIntoIdleEndpoint(benchmark::State& state) {
    zkbench::SlotDir();
    TzkMailSlot slot(nullptr);
    std::chrono::steady_clock::time_point arrived;
    bool got = false;
    slot.SetOnBinMessageAvail(TmsBinMessageAvail([&](TObject*, char*, int32_t) {
        arrived = std::chrono::steady_clock::now();
        got = true;
    }));
    slot.SetSlot("bench_latency");
    slot.Open();
    MeasureLatency(state, got, arrived, [] { SendToMailSlot(".", "bench_latency", "x"); });
}
BENCHMARK(BM_LatencyIntoIdleEndpoint)->Arg(0)->Arg(1)->Iterations(400)->UseRealTime();

// The same into the minimal model, whose writer opens, sends and closes: the floor for this
// shape on this machine (the thread wake-ups it needs are the endpoint's too).
void BM_LatencyIntoIdleMinimalModel(benchmark::State& state) {
    const std::string path = zkbench::SlotDir() + "/model_latency";
    std::chrono::steady_clock::time_point arrived;
    bool got = false;
    TModelEndpoint model(path, [&] {
        arrived = std::chrono::steady_clock::now();
        got = true;
    });
    MeasureLatency(state, got, arrived, [&path] { ModelWriter(path.c_str(), 1); });
}
BENCHMARK(BM_LatencyIntoIdleMinimalModel)->Arg(0)->Arg(1)->Iterations(400)->UseRealTime();

// The argument is the main loop's time-out in CheckSynchronize: 100 ms as in the README's loop,
// and 10 s, a loop that only wakes for work (as the programs' loops, which sleep until a
// hand-over wakes them), so that the endpoint's own share shows.
void BM_IdleEndpointCpuOverTenSeconds(benchmark::State& state) {
    zkbench::SlotDir();
    TzkMailSlot slot(nullptr);
    slot.SetSlot("bench_idle");
    slot.Open();
    const int timeoutMs = static_cast<int>(state.range(0));
    // Let the wait thread reach its zero-byte read first.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    // The process's CPU clock counts every thread to the nanosecond; getrusage, which this
    // measured first, is sampled at the timer tick and is off by a millisecond or more here.
    const auto cpuNs = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return t.tv_sec * 1e9 + t.tv_nsec;
    };
    for (auto _ : state) {
        const double before = cpuNs();
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < end) CheckSynchronize(timeoutMs);
        state.counters["cpu_ms"] = (cpuNs() - before) / 1e6;
    }
}
BENCHMARK(BM_IdleEndpointCpuOverTenSeconds)
    ->Arg(100)
    ->Arg(10000)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

// The rates of the three delivery paths above, measured in this run, and the endpoint's share
// of the minimal model and of raw datagrams. Needs the three to have run (no filter).
void BM_DeliveryRatios(benchmark::State& state) {
    for (auto _ : state) {
    }
    state.counters["endpoint_per_s"] = gEndpointRate;
    state.counters["model_per_s"] = gModelRate;
    state.counters["raw_per_s"] = gRawRate;
    state.counters["x_model"] = gModelRate > 0 ? gEndpointRate / gModelRate : 0;
    state.counters["x_raw"] = gRawRate > 0 ? gEndpointRate / gRawRate : 0;
}
BENCHMARK(BM_DeliveryRatios)->Iterations(1);

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::string(argv[1]) == "--raw-writer")
        return RawWriter(argv[2], std::atoi(argv[3]));
    if (argc == 4 && std::string(argv[1]) == "--model-writer")
        return ModelWriter(argv[2], std::atoi(argv[3]));
    if (argc == 4 && std::string(argv[1]) == "--slot-writer")
        return SlotWriter(argv[2], std::atoi(argv[3]));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    zkbench::RemoveSlotDir();
    return 0;
}
