// The helpctx tool as a script runs it: separate processes, exit codes, files byte for byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "tests/helpctx/ToolFixture.h"
#include "tests/support/Namespaces.h"
#include "zk/formfile/FormDocument.h"

#ifdef ZK_HELPCTX_TOOL

namespace {

namespace fs = std::filesystem;

const std::string kForm =
    "object Form1: TForm1\r\n"
    "  Caption = 'Orders'\r\n"
    "  ClientHeight = 200\r\n"
    "  OnCreate = FormCreate\r\n"
    "  object Panel1: TPanel\r\n"
    "    HelpContext = 5\r\n"
    "    object Label1: TLabel\r\n"
    "      Caption = 'Name'\r\n"
    "    end\r\n"
    "    object btnOk: TButton\r\n"
    "      OnClick = btnOkClick\r\n"
    "    end\r\n"
    "  end\r\n"
    "  object Timer1: TTimer\r\n"
    "  end\r\n"
    "  object Gadget1: TGadget\r\n"
    "    HelpContext = 9\r\n"
    "  end\r\n"
    "  object Other1: TOther\r\n"
    "  end\r\n"
    "  inline Frame11: TFrame1\r\n"
    "    object Edit1: TEdit\r\n"
    "    end\r\n"
    "  end\r\n"
    "end\r\n";

class HelpctxToolTest : public zktest::HelpctxFixture {
  protected:
    size_t FileCount() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(FDir), {}));
    }
};

}  // namespace

TEST_F(HelpctxToolTest, ListShowsWhatPublishesHelpContextByTheFormsLibrary) {
    std::string dfm = Write("Orders.dfm", kForm);
    ASSERT_EQ(Run({"list", dfm}), 0) << Output();
    EXPECT_EQ(Output(), dfm + ":1\tForm1\tTForm1\t0\n" +             //
                            dfm + ":5\tForm1.Panel1\tTPanel\t5\n" +  //
                            dfm + ":10\tForm1.btnOk\tTButton\t0\n" + dfm +
                            ":16\tForm1.Gadget1\tTGadget\t9\n" + dfm +
                            ":21\tForm1.Frame11\tTFrame1\t0\n" + dfm +
                            ":22\tForm1.Frame11.Edit1\tTEdit\t0\n");
    std::string lfm = Write("orders.lfm", kForm);
    ASSERT_EQ(Run({"list", "--json", lfm}), 0) << Output();
    std::string out = Output();
    EXPECT_NE(out.find("{\"file\":\"" + lfm +
                       "\",\"line\":7,\"path\":\"Form1.Label1\",\"class\":\"TLabel\","
                       "\"helpContext\":0}\n"),
              std::string::npos)
        << out;
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 7);
    EXPECT_EQ(out.find("Timer1"), std::string::npos);
    // A folder is searched like a project's, its files in path order.
    ASSERT_EQ(Run({"list", FDir.string()}), 0) << Output();
    out = Output();
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 13);
    EXPECT_EQ(out.rfind(dfm + ":1\tForm1\tTForm1\t0\n", 0), 0u) << out;
    EXPECT_NE(out.find(lfm + ":7\tForm1.Label1\tTLabel\t0\n"), std::string::npos) << out;
}

TEST_F(HelpctxToolTest, SetAndNumberReplaceTheFileInPlaceKeepingItsMode) {
    std::string dfm = Write("Orders.dfm", kForm);
    fs::permissions(dfm, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_EQ(Run({"set", dfm, "Form1=100", "btnOk=-2147483648", "Panel1=0"}), 0) << Output();
    std::string expected = kForm;
    expected.replace(expected.find("    HelpContext = 5\r\n"), 21, "");
    expected.insert(expected.find("  object Panel1"), "  HelpContext = 100\r\n");
    expected.insert(expected.find("    end\r\n  end\r\n  object Timer1"),
                    "      HelpContext = -2147483648\r\n");
    EXPECT_EQ(zktest::ReadFileText(dfm), expected);
    EXPECT_EQ(fs::status(dfm).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(FileCount(), 2u);  // the form and the tool's output: no temporary left

    // A new number skips those in use: 100 is the form's.
    ASSERT_EQ(Run({"number", dfm, "--start", "90", "--step", "5", "--only-unset"}), 0);
    ASSERT_EQ(Run({"list", dfm}), 0);
    EXPECT_EQ(Output(), dfm + ":1\tForm1\tTForm1\t100\n" + dfm + ":6\tForm1.Panel1\tTPanel\t90\n" +
                            dfm + ":11\tForm1.btnOk\tTButton\t-2147483648\n" + dfm +
                            ":18\tForm1.Gadget1\tTGadget\t9\n" + dfm +
                            ":23\tForm1.Frame11\tTFrame1\t95\n" + dfm +
                            ":25\tForm1.Frame11.Edit1\tTEdit\t105\n");
    // With no assignment, set re-saves: byte-identical.
    std::string before = zktest::ReadFileText(dfm);
    ASSERT_EQ(Run({"set", dfm}), 0);
    EXPECT_EQ(zktest::ReadFileText(dfm), before);

    // Through a symbolic link (relative, from another folder) the file it leads to changes.
    fs::create_directories(FDir / "links");
    fs::create_symlink("../Orders.dfm", FDir / "links/Orders.dfm");
    ASSERT_EQ(Run({"set", (FDir / "links/Orders.dfm").string(), "Form1=0"}), 0) << Output();
    EXPECT_TRUE(fs::is_symlink(FDir / "links/Orders.dfm"));
    before.erase(before.find("  HelpContext = 100\r\n"), 21);
    EXPECT_EQ(zktest::ReadFileText(dfm), before);
    EXPECT_EQ(FileCount(), 3u);
    EXPECT_EQ(std::distance(fs::directory_iterator(FDir / "links"), {}), 1);
}

// Lazarus keeps a second form after the first in some files: the first is numbered, the rest
// stays byte for byte, and one warning line says so.
TEST_F(HelpctxToolTest, ASecondFormAfterTheFirstIsKeptWithOneWarning) {
    const std::string second = "object Form2: TForm2\n  Caption = 'two'\nend\n";
    std::string lfm =
        Write("two.lfm", "object Form1: TForm1\n  object B: TButton\n  end\nend\n" + second);
    ASSERT_EQ(Run({"number", lfm, "--start", "7", "--step", "1"}), 0) << Output();
    EXPECT_EQ(
        zktest::ReadFileText(lfm),
        "object Form1: TForm1\n  object B: TButton\n    HelpContext = 7\n  end\nend\n" + second);
    EXPECT_EQ(Output(),
              lfm + ":5: a second form after the first one's end is kept as it is, not read\n");
}

TEST_F(HelpctxToolTest, ConvertBothWaysAndNumberABinaryFileKeepsItBinary) {
    std::string dfm = Write("Orders.dfm", kForm);
    std::string bin = (FDir / "Orders.bin.dfm").string(), text = (FDir / "Back.dfm").string();
    ASSERT_EQ(Run({"convert", dfm, "--to", "binary", "-o", bin}), 0) << Output();
    TFormDocument original = TFormDocument::Read(kForm, "a");
    EXPECT_EQ(zktest::ReadFileText(bin), original.ToBinary());
    ASSERT_EQ(Run({"number", bin, "--start", "1", "--step", "1"}), 0) << Output();
    TFormDocument numbered = TFormDocument::Read(zktest::ReadFileText(bin), "b");
    ASSERT_TRUE(numbered.IsBinary());
    EXPECT_EQ(numbered.HelpContext(*numbered.Find("Edit1")), 6);
    ASSERT_EQ(Run({"convert", bin, "--to", "text", "-o", text}), 0) << Output();
    TFormDocument back = TFormDocument::Read(zktest::ReadFileText(text), "c");
    EXPECT_FALSE(back.IsBinary());
    EXPECT_TRUE(SameTree(back.Root(), numbered.Root()));
    EXPECT_NE(zktest::ReadFileText(text).find("    OnClick = btnOkClick\r\n"), std::string::npos);
    ASSERT_EQ(Run({"convert", dfm, "--to", "text", "-o", "-"}), 0);
    EXPECT_EQ(Output(), kForm);

    // A binary form becomes text with the line ends of the output's kind; a name of neither
    // keeps the input's. (Text stays as it was read.)
    std::string lfm = Write("orders.lfm", original.ToBinary());
    struct Case {
        std::string In, Out, Eol;
    } cases[] = {
        {bin, "a.LFM", "\n"}, {lfm, "b.dfm", "\r\n"}, {lfm, "c.txt", "\n"}, {bin, "d.txt", "\r\n"}};
    for (const Case& c : cases) {
        std::string out = (FDir / c.Out).string();
        ASSERT_EQ(Run({"convert", c.In, "--to", "text", "-o", out}), 0) << Output();
        std::string want = TFormDocument::Read(zktest::ReadFileText(c.In), "x").ToText(c.Eol);
        EXPECT_EQ(zktest::ReadFileText(out), want) << c.Out;
        EXPECT_EQ(want.find('\r') == std::string::npos, c.Eol == "\n") << c.Out;
    }
}

TEST_F(HelpctxToolTest, FailuresReportAndWriteNothing) {
    std::string bad = Write("Bad.dfm", "object Form1: TForm1\n  Left = 1\n  Top = )\nend\n");
    std::string dfm = Write("Orders.dfm", kForm);
    std::string out = (FDir / "new.dfm").string();
    EXPECT_EQ(Run({"number", dfm, bad, "--start", "1", "--step", "1"}), 1);
    EXPECT_EQ(Output(), "helpctx: " + bad + ":3:9: expected a value, found ')'\n");
    EXPECT_EQ(zktest::ReadFileText(dfm), kForm);
    EXPECT_EQ(Run({"set", dfm, "Label1=4"}), 1);
    EXPECT_EQ(Output(), "helpctx: " + dfm + ": Label1 (TLabel) has no HelpContext property\n");
    EXPECT_EQ(Run({"set", dfm, "Nobody=4", "-o", out}), 1);
    EXPECT_EQ(Output(), "helpctx: " + dfm + ": no component named Nobody\n");
    EXPECT_EQ(Run({"set", dfm, "Form1=1", "-o", (FDir / "no/such/dir.dfm").string()}), 1);
    EXPECT_EQ(Output(), "helpctx: cannot write " + (FDir / "no/such/dir.dfm").string() +
                            ": No such file or directory\n");
    fs::create_directory(FDir / "empty");
    EXPECT_EQ(Run({"list", (FDir / "empty").string()}), 1);
    EXPECT_EQ(Output(),
              "helpctx: no form files (.dfm, .lfm) in " + (FDir / "empty").string() + "\n");
    fs::remove(FDir / "empty");
    EXPECT_EQ(Run({"set", dfm, "Form1=99999999999"}), 2);
    EXPECT_EQ(Run({"number", dfm, "--start", "1"}), 2);
    EXPECT_EQ(Run({"convert", dfm, "--to", "xml", "-o", out}), 2);
    // Usage errors name what is wrong: a step of 0 would repeat one number, a run through 0
    // would delete numbers.
    struct Usage {
        std::vector<std::string> Args;
        std::string Says;
    } usage[] = {
        {{"number", dfm, "--start", "1", "--step", "0"},
         "helpctx: --step: Value 0 not in range 1 to 2147483647\n"},
        {{"number", dfm, "--start", "-2", "--step", "1"},
         "helpctx: --start: Value -2 not in range 1 to 2147483647\n"},
        {{"frob", dfm}, "helpctx: unknown command 'frob'\n"},
    };
    for (const Usage& u : usage) {
        EXPECT_EQ(Run(u.Args), 2) << u.Args[0];
        EXPECT_EQ(Output(), u.Says);
    }
    EXPECT_EQ(zktest::ReadFileText(dfm), kForm);
    EXPECT_EQ(FileCount(), 3u);  // Bad.dfm, Orders.dfm, out.txt
    EXPECT_EQ(Run({"--version"}), 0);
    EXPECT_EQ(Output().rfind("helpctx ", 0), 0u);
}

#endif
