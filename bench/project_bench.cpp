// helpctx's project commands end to end on a project of 1,500 forms with 100 components each
// (150,000 components, all numbered, none repeated): the program started, every form file found,
// read and judged, the result written.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "FormSupport.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr int kForms = 1500, kComponents = 100;

std::string ToolPath() {
    char buf[4096];
    ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    fs::path self(std::string(buf, n > 0 ? static_cast<size_t>(n) : 0));
    return (self.parent_path().parent_path() / "apps/helpctx/helpctx").string();
}

// A form as the IDE writes it: a panel holding the edits, every object numbered.
std::string Form(int Index) {
    std::string f = std::to_string(Index);
    int base = (Index + 1) * 1000;
    std::string s = "object Form" + f + ": TForm" + f + "\r\n  Caption = 'Form " + f +
                    "'\r\n  ClientHeight = 480\r\n  HelpContext = " + std::to_string(base) +
                    "\r\n  object Panel1: TPanel\r\n    HelpContext = " + std::to_string(base + 1) +
                    "\r\n";
    for (int i = 2; i < kComponents; ++i) {
        std::string n = std::to_string(i);
        s += "    object Edit" + n + ": TEdit\r\n      Top = " + n + "\r\n      Text = 'Edit " + n +
             "'\r\n      HelpContext = " + std::to_string(base + i) + "\r\n    end\r\n";
    }
    return s + "  end\r\nend\r\n";
}

// The project, written once for the run, in folders of 50 forms, under TMPDIR when it is set:
// what number costs depends on the file system (a journal-less ext4 skips recently freed inodes
// one by one when it makes the temporary files).
const fs::path& Project() {
    static const fs::path dir = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string tmpl = std::string(tmp && *tmp ? tmp : "/tmp") + "/zkbench-project-XXXXXX";
        if (!mkdtemp(tmpl.data()))
            throw fs::filesystem_error("cannot make", tmpl,
                                       std::error_code(errno, std::generic_category()));
        fs::path d = tmpl;
        for (int i = 0; i < kForms; ++i) {
            fs::path sub = d / "forms" / ("unit" + std::to_string(i / 50));
            fs::create_directories(sub);
            std::ofstream(sub / ("Form" + std::to_string(i) + ".dfm"), std::ios::binary) << Form(i);
        }
        return d;
    }();
    return dir;
}

// Runs the tool with the arguments of each round in turn.
void RunTool(benchmark::State& state, std::vector<std::vector<std::string>> Rounds) {
    std::string tool = ToolPath();
    if (access(tool.c_str(), X_OK) != 0) {
        state.SkipWithError("helpctx not built");
        return;
    }
    for (std::vector<std::string>& args : Rounds) args.insert(args.begin(), tool);
    // Kept across repetitions, so that each run of number changes every file again.
    static size_t round = 0;
    for (auto _ : state) {
        if (!zkbench::RunQuietly(Rounds[round++ % Rounds.size()])) {
            state.SkipWithError("helpctx failed");
            break;
        }
    }
    state.counters["components"] = kForms * kComponents;
}

void BM_ProjectCheck(benchmark::State& state) {
    RunTool(state, {{"check", (Project() / "forms").string()}});
}
BENCHMARK(BM_ProjectCheck)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProjectMap(benchmark::State& state) {
    RunTool(state,
            {{"map", (Project() / "forms").string(), "--header", (Project() / "help.h").string(),
              "--alias", (Project() / "help.ali").string()}});
}
BENCHMARK(BM_ProjectMap)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ProjectReportJson(benchmark::State& state) {
    RunTool(state, {{"report", "--json", (Project() / "forms").string()}});
}
BENCHMARK(BM_ProjectReportJson)->Unit(benchmark::kMillisecond)->UseRealTime();

// Every round moves every number by one, so every file is rewritten (and put on disk).
void BM_ProjectNumber(benchmark::State& state) {
    std::string forms = (Project() / "forms").string();
    RunTool(state, {{"number", forms, "--start", "2", "--step", "1"},
                    {"number", forms, "--start", "1", "--step", "1"}});
}
BENCHMARK(BM_ProjectNumber)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    fs::remove_all(Project(), ec);
    return 0;
}
