// The form document on a large text form: read, number every component, save. In memory for
// 5,000 and 50,000 components (the two should scale linearly), end to end through the helpctx
// program on files of 5,000 and 50,000 components (about 4 MB), and through the designer's Help
// Expert window: the designed form built, the window's tree, one number typed and committed,
// the form saved.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "FormSupport.h"
#include "zk/expert/P0300.h"
#include "zk/host/forms/DesignedForm.h"
#include "zk/host/interfaces/headless/HeadlessUi.h"
#include "zk/host/platform/LargeHeap.h"
#include "zk/formfile/FormDocument.h"
#include "tests/support/Namespaces.h"

extern char** environ;

namespace {

using zkbench::BigForm;

void BM_ReadNumberSave(benchmark::State& state) {
    const std::string text = BigForm(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        TFormDocument doc = TFormDocument::ReadText(text, "Big.dfm");
        int32_t n = 1000;
        for (const TFormNode* node : doc.Nodes()) doc.SetHelpContext(*node, n += 10);
        std::string saved = doc.Save();
        benchmark::DoNotOptimize(saved.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_ReadNumberSave)->Arg(5000)->Arg(50000)->Unit(benchmark::kMillisecond);

std::string ToolPath() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    std::filesystem::path self(std::string(buf, n > 0 ? static_cast<size_t>(n) : 0));
    return (self.parent_path().parent_path() / "apps/helpctx/helpctx").string();
}

// helpctx number on a file, replacing it in place: reading, numbering, atomic write.
void BM_HelpctxNumberTool(benchmark::State& state) {
    std::string tool = ToolPath();
    if (access(tool.c_str(), X_OK) != 0) {
        state.SkipWithError("helpctx not built");
        return;
    }
    const std::string text = BigForm(static_cast<int>(state.range(0)));
    std::string path = "/tmp/formdoc-bench-" + std::to_string(getpid()) + ".dfm";
    for (auto _ : state) {
        state.PauseTiming();
        std::ofstream(path, std::ios::binary) << text;
        state.ResumeTiming();
        if (!zkbench::RunQuietly({tool, "number", path, "--start", "1", "--step", "1"})) {
            state.SkipWithError("helpctx failed");
            break;
        }
    }
    std::filesystem::remove(path);
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_HelpctxNumberTool)
    ->Arg(5000)
    ->Arg(50000)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

struct FreeDeleter {
    void operator()(TObject* o) const { TObject::Free(o); }
};

void BM_DesignerHelpExpertWindow(benchmark::State& state) {
    // The window loads its settings from the registry; keep that away from the user's file.
    setenv("DOCUVANE_REGISTRY", "/tmp/zkbench-registry.toml", 1);
    THeadlessUi ui;
    TUiBackendScope scope(ui);
    const std::string text = BigForm(static_cast<int>(state.range(0)));
    zk::platform::PrepareHeapFor(text.size() * 40);  // as the designer prepares for a form
    for (auto _ : state) {
        std::unique_ptr<TDesignedForm, FreeDeleter> form(new TDesignedForm(text, "Big.dfm"));
        std::unique_ptr<Tfrm0300, FreeDeleter> w(new Tfrm0300(nullptr));
        w->SetDesignForm(form.get());
        w->FormShow(nullptr);
        w->tv1->SetSelected(w->tv1->Items().Item(1));
        w->_10edit->SetText("77");
        w->tv1->SetSelected(w->tv1->Items().Item(2));
        std::string saved = form->Save();
        benchmark::DoNotOptimize(saved.data());
    }
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_DesignerHelpExpertWindow)->Arg(50000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
