// The designer's window on a large form: opening a form of about 2,000 components (1.6 MB) in
// the window, laid out and drawn once, and a selection change that shows another page, drawn
// again. Runs on Qt's offscreen platform.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "apps/designer/DesignerWindow.h"
#include "apps/designer/FormView.h"
#include "zk/host/ide/ToolIntf.h"
#include "zk/host/interfaces/headless/HeadlessUi.h"

namespace {

// A main window as large applications have them: a tool bar, a status bar and a page control
// with ten sheets, each holding panels of labelled edits with hints, anchors and handlers, and
// grids of a vendor the designer does not know.
std::string LargeForm(int Components) {
    std::string s =
        "object Big: TBig\r\n  Caption = 'Big'\r\n  ClientWidth = 1000\r\n"
        "  ClientHeight = 700\r\n  object Bar: TToolBar\r\n    Width = 1000\r\n    Height = 29\r\n"
        "  end\r\n  object Status: TStatusBar\r\n    Top = 681\r\n    Width = 1000\r\n"
        "    Height = 19\r\n  end\r\n  object Pages: TPageControl\r\n    Top = 29\r\n"
        "    Width = 1000\r\n    Height = 652\r\n    Align = alClient\r\n";
    const int perSheet = Components / 10;
    for (int i = 0; i < Components; ++i) {
        const std::string n = std::to_string(i);
        if (i % perSheet == 0) {
            if (i) s += "      end\r\n    end\r\n";
            s += "    object Sheet" + n + ": TTabSheet\r\n      Caption = 'Sheet " + n +
                 "'\r\n      object Panel" + n +
                 ": TPanel\r\n        Width = 992\r\n        Height = 624\r\n"
                 "        Align = alClient\r\n";
        }
        const int row = i % perSheet;
        const std::string left = std::to_string(8 + (row % 4) * 245);
        const std::string top = std::to_string(8 + (row / 4) * 12);
        const bool grid = i % 10 == 9;
        s += "        object " + std::string(grid ? "Grid" : "Edit") + n + ": " +
             (grid ? "TVendorGrid" : "TEdit") + "\r\n          Left = " + left +
             "\r\n          Top = " + top +
             "\r\n          Width = 230\r\n          Height = 21\r\n"
             "          Anchors = [akLeft, akTop, akRight]\r\n"
             "          Hint = 'The value the customer gave for field number " +
             n + ", as it appears on the printed order form and in the exported ledger'\r\n" +
             "          ParentShowHint = False\r\n          ShowHint = True\r\n"
             "          TabOrder = " +
             std::to_string(row) + "\r\n          Text = 'Value " + n +
             "'\r\n          OnChange = FieldChange\r\n          OnEnter = FieldEnter\r\n"
             "          OnExit = FieldExit\r\n          OnKeyPress = FieldKeyPress\r\n" +
             (i % 3 == 0 ? "          HelpContext = " + std::to_string(1000 + i) + "\r\n" : "") +
             "          Font.Charset = DEFAULT_CHARSET\r\n          Font.Color = clWindowText\r\n"
             "          Font.Height = -11\r\n          Font.Name = 'MS Sans Serif'\r\n"
             "          Font.Style = []\r\n          ParentFont = False\r\n"
             "          Items.Strings = (\r\n            'first choice of the list'\r\n"
             "            'second choice of the list'\r\n            'third choice')\r\n"
             "        end\r\n";
    }
    return s + "      end\r\n    end\r\n  end\r\nend\r\n";
}

struct TSetup {
    zk::forms::THeadlessUi Ui;
    zk::forms::TUiBackendScope Scope{Ui};
    zk::ide::TIdeHost Ide;
    std::string Path;
    TSetup() {
        Path = (std::filesystem::temp_directory_path() /
                ("designer-layout-bench-" + std::to_string(getpid()) + ".dfm"))
                   .string();
        std::ofstream(Path, std::ios::binary) << LargeForm(2000);
    }
    ~TSetup() { std::filesystem::remove(Path); }
};

TSetup& Setup() {
    static TSetup setup;
    return setup;
}

void BM_OpenLargeFormInTheWindow(benchmark::State& State) {
    const std::string& path = Setup().Path;  // the IDE first: the window's commands go into it
    designer::TDesignerWindow window;
    for (auto _ : State) {
        window.OpenForm(path);
        benchmark::DoNotOptimize(window.FormView()->grab());
    }
    State.counters["bytes"] = double(std::filesystem::file_size(path));
    State.counters["components"] = double(window.Session()->Form().Parts().size());
}
BENCHMARK(BM_OpenLargeFormInTheWindow)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_SelectionChangeRedraws(benchmark::State& State) {
    const std::string& path = Setup().Path;
    designer::TDesignerWindow window;
    window.OpenForm(path);
    int i = 0;
    for (auto _ : State) {
        // A component on another sheet each time: the view shows that sheet and draws again.
        window.Select("Edit" + std::to_string((i++ * 207) % 2000 / 10 * 10));
        benchmark::DoNotOptimize(window.FormView()->grab());
    }
}
BENCHMARK(BM_SelectionChangeRedraws)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
