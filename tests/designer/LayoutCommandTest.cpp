// designer --layout run as a script runs it, on a main window the test writes: a menu, a tool
// bar, a page control filling the client area, a status bar, a class nobody knows and
// non-visual components. Each expected rectangle was worked out by hand from the Align and
// Anchors rules (docs/designer.md), in form client coordinates.
#include <gtest/gtest.h>

#include <unistd.h>

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

TEST(DesignerLayoutCommand, PrintsEveryComponentWhereTheAlignAndAnchorRulesPutIt) {
    namespace fs = std::filesystem;
    const fs::path dir =
        fs::temp_directory_path() / ("designer-layout-" + std::to_string(getpid()));
    fs::create_directories(dir);
    const std::string form = (dir / "Main.dfm").string(), out = (dir / "layout.json").string();
    std::ofstream(form, std::ios::binary) << kMainWindow;
    ASSERT_EQ(zktest::RunProgram(ZK_DESIGNER_APP, {"--layout", form}, out), 0)
        << zktest::ReadFileText(out);
    const nlohmann::json layout = nlohmann::json::parse(zktest::ReadFileText(out));
    EXPECT_EQ(layout.at("clientWidth"), 400);
    EXPECT_EQ(layout.at("clientHeight"), 300);
    const nlohmann::json& parts = layout.at("components");
    ASSERT_EQ(parts.size(), std::size(kExpected));
    for (size_t i = 0; i < parts.size(); ++i) {
        const TExpected& e = kExpected[i];
        const nlohmann::json& p = parts[i];
        SCOPED_TRACE(e.Name);
        EXPECT_EQ(p.at("index"), i);
        EXPECT_EQ(p.at("name"), e.Name);
        EXPECT_EQ(p.at("class"), e.Class);
        EXPECT_EQ(NameAt(parts, p.at("parent")), e.Parent ? e.Parent : "(none)");
        EXPECT_EQ(p.at("visual"), e.Visual);
        EXPECT_EQ(NameAt(parts, p.at("page")), e.Page ? e.Page : "(none)");
        if (!e.Bounds) {
            EXPECT_TRUE(p.at("bounds").is_null());
            continue;
        }
        const nlohmann::json& b = p.at("bounds");
        EXPECT_EQ((std::array{b.at("left").get<int>(), b.at("top").get<int>(),
                              b.at("width").get<int>(), b.at("height").get<int>()}),
                  *e.Bounds);
    }
    // A form that cannot be read: one line on standard error, status 1.
    std::ofstream(form, std::ios::binary) << "object Main: TMain\r\n";
    EXPECT_EQ(zktest::RunProgram(ZK_DESIGNER_APP, {"--layout", form}, out), 1);
    EXPECT_EQ(zktest::ReadFileText(out).rfind("designer: ", 0), 0u) << zktest::ReadFileText(out);
    fs::remove_all(dir);
}

}  // namespace

#endif
