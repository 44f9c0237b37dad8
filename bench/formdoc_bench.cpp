// The form document on a large text form: read, number every component, save. In memory for
// 5,000 and 50,000 components (the two should scale linearly), and end to end through the
// helpctx program on a file of 50,000 components (about 4 MB).
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "host/rtl/FormDocument.h"
#include "tests/support/Namespaces.h"

extern char** environ;

namespace {

// A form as the IDE writes it: components in panels, some already numbered, handlers.
std::string BigForm(int Components) {
    std::string s = "object BigForm: TBigForm\r\n  Caption = 'Big'\r\n  ClientHeight = 480\r\n";
    for (int i = 0; i < Components; ++i) {
        std::string n = std::to_string(i);
        if (i % 100 == 0) {
            if (i) s += "  end\r\n";
            s += "  object Panel" + n + ": TPanel\r\n    Left = 0\r\n";
        }
        s += "    object Edit" + n + ": TEdit\r\n      Top = " + n + "\r\n      Text = 'Edit " + n +
             "'\r\n";
        if (i % 3 == 0) s += "      HelpContext = " + n + "\r\n";
        s += "    end\r\n";
    }
    s += "  end\r\nend\r\n";
    return s;
}

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
        std::vector<std::string> args{tool, "number", path, "--start", "1", "--step", "1"};
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        pid_t pid = -1;
        if (posix_spawn(&pid, tool.c_str(), nullptr, nullptr, argv.data(), environ) != 0) {
            state.SkipWithError("cannot start helpctx");
            break;
        }
        int status = 0;
        waitpid(pid, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("helpctx failed");
            break;
        }
    }
    std::filesystem::remove(path);
    state.counters["bytes"] = static_cast<double>(text.size());
}
BENCHMARK(BM_HelpctxNumberTool)->Arg(50000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
