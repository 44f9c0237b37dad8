// The Help Expert window on a large designed form: building the tree, and one selection change
// (which commits the number and recomposes every node's text).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "zk/expert/P0300.h"
#include "zk/host/interfaces/headless/HeadlessUi.h"
#include "tests/support/Namespaces.h"

namespace {

constexpr int kComponents = 10000;

struct FreeDeleter {
    void operator()(TObject* o) const { TObject::Free(o); }
};

struct Setup {
    Setup() {
        // The window loads its settings from the registry; keep that away from the user's file.
        setenv("DOCUVANE_REGISTRY", "/tmp/zkbench-registry.toml", 1);
        form.reset(new TForm(nullptr));
        form->SetName("BigForm");
        for (int i = 0; i < kComponents; ++i) {
            auto* b = new TButton(form.get());
            b->SetName("Button" + std::to_string(i));
            b->SetCaption("Caption " + std::to_string(i));
            b->SetHelpContext(i);
        }
    }
    THeadlessUi ui;
    TUiBackendScope scope{ui};
    std::unique_ptr<TForm, FreeDeleter> form;
};

Setup& TheSetup() {
    static Setup s;
    return s;
}

void BM_BuildTree10000(benchmark::State& state) {
    Setup& s = TheSetup();
    for (auto _ : state) {
        state.PauseTiming();
        std::unique_ptr<Tfrm0300, FreeDeleter> w(new Tfrm0300(nullptr));
        w->SetDesignForm(s.form.get());
        state.ResumeTiming();
        w->FormShow(nullptr);
        state.PauseTiming();
        w.reset();
        state.ResumeTiming();
    }
    state.counters["nodes"] = kComponents + 1;
}
BENCHMARK(BM_BuildTree10000)->Unit(benchmark::kMillisecond);

void BM_SelectionChange10000(benchmark::State& state) {
    Setup& s = TheSetup();
    std::unique_ptr<Tfrm0300, FreeDeleter> w(new Tfrm0300(nullptr));
    w->SetDesignForm(s.form.get());
    w->FormShow(nullptr);
    TTreeNodes& items = w->tv1->Items();
    w->tv1->SetSelected(items.Item(1));
    int next = 2;
    for (auto _ : state) {
        w->_10edit->SetText("77");
        w->tv1->SetSelected(items.Item(next));
        next = next == 2 ? 1 : 2;
    }
}
BENCHMARK(BM_SelectionChange10000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
