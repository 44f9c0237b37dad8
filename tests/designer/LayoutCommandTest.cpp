// designer --layout run as a script runs it, on a main window the test writes: a menu, a tool
// bar, a page control filling the client area, a status bar, a class nobody knows and
// non-visual components. Each expected rectangle was worked out by hand from the Align and
// Anchors rules (docs/designer.md), in form client coordinates.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "tests/support/TestSupport.h"

#ifdef ZK_DESIGNER_APP

namespace {

const char* const kMainWindow =
    "object Main: TMain\r\n  ClientWidth = 400\r\n  ClientHeight = 300\r\n"
    "  Menu = MainMenu1\r\n"
    "  object Status: TStatusBar\r\n    Left = 0\r\n    Top = 281\r\n    Width = 400\r\n"
    "    Height = 19\r\n  end\r\n"
    "  object Bar: TToolBar\r\n    Left = 0\r\n    Top = 0\r\n    Width = 400\r\n"
    "    Height = 29\r\n"
    "    object BtnOpen: TToolButton\r\n      Left = 0\r\n      Top = 2\r\n    end\r\n"
    "    object Sep: TToolButton\r\n      Left = 23\r\n      Top = 2\r\n      Width = 8\r\n"
    "      Style = tbsSeparator\r\n    end\r\n"
    "    object BtnSave: TToolButton\r\n      Left = 31\r\n      Top = 2\r\n    end\r\n"
    "  end\r\n"
    // Stored 52 pixels lower than the client area leaves it: the button anchored to the
    // bottom right of its sheet moves down with it.
    "  object Pages: TPageControl\r\n    Left = 0\r\n    Top = 29\r\n    Width = 400\r\n"
    "    Height = 200\r\n    ActivePage = Sheet2\r\n    Align = alClient\r\n"
    "    object Sheet1: TTabSheet\r\n      Caption = 'One'\r\n"
    "      object Tree: TVirtualStringTree\r\n        Left = 0\r\n        Top = 0\r\n"
    "        Width = 100\r\n        Height = 50\r\n        Align = alLeft\r\n      end\r\n"
    "    end\r\n"
    "    object Sheet2: TTabSheet\r\n"
    "      object Ok: TButton\r\n        Left = 300\r\n        Top = 120\r\n        Width = 75\r\n"
    "        Height = 25\r\n        Anchors = [akRight, akBottom]\r\n      end\r\n"
    "    end\r\n  end\r\n"
    "  object Images: TImageList\r\n    Left = 16\r\n    Top = 40\r\n  end\r\n"
    "  object Actions: TJvActionList\r\n    Left = 48\r\n    Top = 40\r\n"
    "    object ActOpen: TJvAction\r\n    end\r\n  end\r\n"
    "  object MainMenu1: TMainMenu\r\n    DesignInfo = 2621460\r\n"
    "    object FileMenu: TMenuItem\r\n      Caption = '&File'\r\n    end\r\n  end\r\n"
    "end\r\n";

struct TExpected {
    const char* Name;
    const char* Class;
    const char* Parent;  // null: none
    bool Visual;
    const char* Page;  // null: on no page
    std::optional<std::array<int, 4>> Bounds;
    bool Visible = true;
};

const TExpected kExpected[] = {
    {"Main", "TMain", nullptr, true, nullptr, std::array{0, 0, 400, 300}},
    {"Status", "TStatusBar", "Main", true, nullptr, std::array{0, 281, 400, 19}},
    {"Bar", "TToolBar", "Main", true, nullptr, std::array{0, 0, 400, 29}},
    {"BtnOpen", "TToolButton", "Bar", true, nullptr, std::array{0, 2, 23, 22}},
    {"Sep", "TToolButton", "Bar", true, nullptr, std::array{23, 2, 8, 22}},
    {"BtnSave", "TToolButton", "Bar", true, nullptr, std::array{31, 2, 23, 22}},
    {"Pages", "TPageControl", "Main", true, nullptr, std::array{0, 29, 400, 252}},
    {"Sheet1", "TTabSheet", "Pages", true, "Sheet1", std::array{4, 53, 392, 224}},
    {"Tree", "TVirtualStringTree", "Sheet1", true, "Sheet1", std::array{4, 53, 100, 224}},
    {"Sheet2", "TTabSheet", "Pages", true, "Sheet2", std::array{4, 53, 392, 224}},
    {"Ok", "TButton", "Sheet2", true, "Sheet2", std::array{304, 225, 75, 25}},
    {"Images", "TImageList", "Main", false, nullptr, std::array{16, 40, 28, 28}},
    {"Actions", "TJvActionList", "Main", false, nullptr, std::array{48, 40, 28, 28}},
    {"ActOpen", "TJvAction", "Actions", false, nullptr, std::nullopt},
    {"MainMenu1", "TMainMenu", "Main", false, nullptr, std::array{20, 40, 28, 28}},
    {"FileMenu", "TMenuItem", "MainMenu1", false, nullptr, std::nullopt},
};

std::string NameAt(const nlohmann::json& Parts, const nlohmann::json& Index) {
    return Index.is_null() ? "(none)" : Parts.at(Index.get<size_t>()).at("name").get<std::string>();
}

void ExpectPart(const nlohmann::json& Parts, const nlohmann::json& P, const TExpected& E) {
    SCOPED_TRACE(E.Name);
    EXPECT_EQ(P.at("name"), E.Name);
    EXPECT_EQ(P.at("class"), E.Class);
    EXPECT_EQ(NameAt(Parts, P.at("parent")), E.Parent ? E.Parent : "(none)");
    EXPECT_EQ(P.at("visual"), E.Visual);
    EXPECT_EQ(P.at("visible"), E.Visible);
    EXPECT_EQ(NameAt(Parts, P.at("page")), E.Page ? E.Page : "(none)");
    if (!E.Bounds) {
        EXPECT_TRUE(P.at("bounds").is_null());
        return;
    }
    const nlohmann::json& b = P.at("bounds");
    EXPECT_EQ((std::array{b.at("left").get<int>(), b.at("top").get<int>(), b.at("width").get<int>(),
                          b.at("height").get<int>()}),
              *E.Bounds);
}

class DesignerLayoutCommand : public ::testing::Test {
  protected:
    void SetUp() override { std::filesystem::create_directories(FDir); }
    void TearDown() override { std::filesystem::remove_all(FDir); }
    // designer --layout FORM: its exit status, and what it printed.
    int Run(const std::string& Form, std::string& Output) {
        const std::string out = (FDir / "layout.json").string();
        int status = zktest::RunProgram(ZK_DESIGNER_APP, {"--layout", Form}, out);
        Output = zktest::ReadFileText(out);
        return status;
    }
    nlohmann::json Layout(const std::string& Form) {
        std::string output;
        EXPECT_EQ(Run(Form, output), 0) << output;
        return nlohmann::json::parse(output);
    }

    const std::filesystem::path FDir =
        std::filesystem::temp_directory_path() / ("designer-layout-" + std::to_string(getpid()));
};

TEST_F(DesignerLayoutCommand, PrintsEveryComponentWhereTheAlignAndAnchorRulesPutIt) {
    const std::string form = (FDir / "Main.dfm").string();
    std::ofstream(form, std::ios::binary) << kMainWindow;
    const nlohmann::json layout = Layout(form);
    EXPECT_EQ(layout.at("clientWidth"), 400);
    EXPECT_EQ(layout.at("clientHeight"), 300);
    const nlohmann::json& parts = layout.at("components");
    ASSERT_EQ(parts.size(), std::size(kExpected));
    for (size_t i = 0; i < parts.size(); ++i) {
        EXPECT_EQ(parts[i].at("index"), i);
        ExpectPart(parts, parts[i], kExpected[i]);
    }
    // A form that cannot be read: one line on standard error, status 1.
    std::ofstream(form, std::ios::binary) << "object Main: TMain\r\n";
    std::string output;
    EXPECT_EQ(Run(form, output), 1);
    EXPECT_EQ(output.rfind("designer: ", 0), 0u) << output;
}

// The Help Expert's own window: only its outer size stored, so the client area is that less
// the frame, title and menu bar (362x332); panels without bevels, one with a 2-pixel border,
// and the tabbed notebook's pages below their tabs, hidden controls where they are stored.
TEST_F(DesignerLayoutCommand, LaysOutTheHelpExpertWindowWithItsNotebookPages) {
    const TExpected expected[] = {
        {"frm0300", "Tfrm0300", nullptr, true, nullptr, std::array{0, 0, 362, 332}},
        {"pnlTop", "TPanel", "frm0300", true, nullptr, std::array{0, 0, 362, 181}},
        {"tv1", "TTreeView", "pnlTop", true, nullptr, std::array{0, 0, 362, 181}},
        {"pnlBottom", "TPanel", "frm0300", true, nullptr, std::array{0, 181, 362, 151}},
        {"tbNb", "TTabbedNotebook", "pnlBottom", true, nullptr, std::array{2, 183, 358, 147}},
        {"pgHelpExpert", "TTabPage", "tbNb", true, "pgHelpExpert", std::array{6, 207, 350, 119}},
        {"_10edit", "TSpinEdit", "pgHelpExpert", true, "pgHelpExpert",
         std::array{34, 239, 121, 22}},
        {"_10edtTopic", "TEdit", "pgHelpExpert", true, "pgHelpExpert",
         std::array{218, 239, 121, 21}, false},
        {"pgSettings", "TTabPage", "tbNb", true, "pgSettings", std::array{6, 207, 350, 119}},
        {"cb2", "TCheckBox", "pgSettings", true, "pgSettings", std::array{14, 248, 150, 17}},
        {"mmMain", "TMainMenu", "frm0300", false, nullptr, std::array{0, 0, 28, 28}},
        {"mnuFile", "TMenuItem", "mmMain", false, nullptr, std::nullopt},
    };
    const nlohmann::json parts = Layout(ZK_HELP_EXPERT_FORM).at("components");
    for (const TExpected& e : expected) {
        auto it = std::find_if(parts.begin(), parts.end(),
                               [&](const nlohmann::json& p) { return p.at("name") == e.Name; });
        ASSERT_NE(it, parts.end()) << e.Name;
        ExpectPart(parts, *it, e);
    }
}

}  // namespace

#endif
