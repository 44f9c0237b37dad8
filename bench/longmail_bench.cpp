// Long mail: the end-to-end time of one message of the largest size, from SendBufLong on another
// thread to OnBinMessageAvail on this (the main) thread, set beside the 160 ms of pauses the
// sender must make; the fragment rate without pacing; and reassembly alone, in memory.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "bench/BenchSupport.h"
#include "zk/mailslot/ZkFrames.h"
#include "zk/mailslot/ZkLongMailList.h"
#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/Namespaces.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int32_t kLen = zkframes::LongMailMax;
const int32_t kFragments = zkframes::FragmentCount(kLen);
// 8 pauses of 20 ms, before fragments 20, 40, ..., 160.
const double kPausesMs = (kFragments / zkframes::PacingEvery) * zkframes::PacingPauseMs;

std::string Message() {
    std::string m(static_cast<size_t>(kLen), '\0');
    for (size_t i = 0; i < m.size(); ++i) m[i] = static_cast<char>(i * 7 % 256);
    return m;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Times Send (run on a thread of its own) until the receiver has delivered one message.
template <class SendFn>
void RunDeliveries(benchmark::State& state, const char* Slot, SendFn Send) {
    zkbench::SlotDir();
    TzkLongMail rx(nullptr);
    Clock::time_point arrived;
    bool got = false;
    rx.SetOnBinMessageAvail(TmsBinMessageAvail([&](TObject*, char*, int32_t len) {
        arrived = Clock::now();
        got = len == kLen;
    }));
    rx.SetSlot(Slot);
    rx.Open();
    std::vector<double> ms;
    for (auto _ : state) {
        got = false;
        const Clock::time_point start = Clock::now();
        std::thread sender(Send);
        while (!got) CheckSynchronize(100);
        sender.join();
        ms.push_back(std::chrono::duration<double, std::milli>(arrived - start).count());
    }
    const double median = Median(ms);
    state.counters["median_ms"] = median;
    state.counters["fragments_per_s"] = kFragments / (median / 1000.0);
    state.counters["x_pauses"] = median / kPausesMs;
}

void BM_LargestMessageEndToEnd(benchmark::State& state) {
    const std::string msg = Message();
    RunDeliveries(state, "bench_long", [&] { SendBufLong(".", "bench_long", msg.data(), kLen); });
}
BENCHMARK(BM_LargestMessageEndToEnd)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// The same fragments sent back to back: what the receiving side manages without the pacing.
void BM_LargestMessageUnpaced(benchmark::State& state) {
    const std::string msg = Message();
    std::vector<std::string> fragments;
    for (int32_t k = 0; k < kFragments; ++k)
        fragments.push_back(zkframes::EncodeFragment(0x1234, msg.data(), kLen, k));
    RunDeliveries(state, "bench_unpaced", [&] {
        for (const std::string& f : fragments)
            SendBufNoErr(".", "bench_unpaced", f.data(), static_cast<int32_t>(f.size()));
    });
}
BENCHMARK(BM_LargestMessageUnpaced)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(20);

// Filing the 167 fragments of one message into a reassembly list, with no slot involved.
void BM_ReassemblyInMemory(benchmark::State& state) {
    const std::string msg = Message();
    std::vector<std::string> fragments;
    for (int32_t k = 0; k < kFragments; ++k)
        fragments.push_back(zkframes::EncodeFragment(0x1234, msg.data(), kLen, k));
    TzkLongMailInfoList list;
    for (auto _ : state) {
        int32_t done = -1;
        for (const std::string& f : fragments)
            done = FileLongMailFragment(list, f.data(), static_cast<int32_t>(f.size()));
        benchmark::DoNotOptimize(list.GetMsg(done));
        list.FreeMsg(done);
    }
    state.SetItemsProcessed(state.iterations() * kFragments);
    state.SetBytesProcessed(state.iterations() * kLen);
}
BENCHMARK(BM_ReassemblyInMemory)->Unit(benchmark::kMicrosecond);

// A flood of first fragments that never complete, 32,767 distinct ids of 1,000-byte messages,
// then one more message filed whole: how long the receiver is held up before it delivers.
void BM_FirstFragmentFloodThenOneMessage(benchmark::State& state) {
    const std::string msg(1000, 'f');
    std::vector<std::string> flood;
    for (uint16_t id = 1; id <= zkframes::FragmentIdMask; ++id)
        flood.push_back(zkframes::EncodeFragment(id, msg.data(), 1000, 0));
    std::vector<std::string> last;
    for (int32_t k = 0; k < zkframes::FragmentCount(1000); ++k)
        last.push_back(zkframes::EncodeFragment(0, msg.data(), 1000, k));
    for (auto _ : state) {
        TzkLongMailInfoList list;
        for (const std::string& f : flood)
            FileLongMailFragment(list, f.data(), static_cast<int32_t>(f.size()));
        int32_t done = -1;
        for (const std::string& f : last)
            done = FileLongMailFragment(list, f.data(), static_cast<int32_t>(f.size()));
        if (done != 0) state.SkipWithError("the last message was not reassembled");
    }
}
BENCHMARK(BM_FirstFragmentFloodThenOneMessage)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    zkbench::RemoveSlotDir();
    return 0;
}
