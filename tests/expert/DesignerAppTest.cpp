// The designer program run as a person runs it: a form file, commands on standard input, the
// stand-in authoring application started through "Path", and the stored form afterwards.
#include <fcntl.h>
#include <unistd.h>

#include <fstream>
#include <regex>

#include "tests/expert/ExpertFixture.h"
#include "tests/support/Namespaces.h"

#if defined(ZK_DESIGNER_APP) && defined(ZK_DOCUVANE_APP)

using namespace zktest;

TEST_F(ExpertTest, DesignerRunsTheTypicalRequestAndStoresTheNumbers) {
    FCommands.Close();
    std::string dir = FSlots.Path();
    std::ofstream(dir + "/Form1.dfm") << kDesignedForm;
    std::ofstream(dir + "/commands.txt")
        << "select Remember\nid 77\nselect OKButton\nmenu E&xit and Save Changes\n";
    std::string out = dir + "/out.dfm";
    std::string log = dir + "/run.log";
    int saved = dup(0);
    int in = open((dir + "/commands.txt").c_str(), O_RDONLY);
    dup2(in, 0);
    int status = RunProgram(ZK_DESIGNER_APP,
                            {dir + "/Form1.dfm", "--out", out, "--set-path",
                             std::string(ZK_DOCUVANE_APP) + " --exit-after 1"},
                            log);
    dup2(saved, 0);
    close(saved);
    close(in);
    SendToMailSlot(".", "HS", "bye");  // lets the stand-in reach its --exit-after
    ASSERT_EQ(status, 0) << ReadFileText(log);
    // The file as read, with only the changed number replaced.
    std::string expected = kDesignedForm;
    expected.replace(expected.find("HelpContext = -3"), 16, "HelpContext = 77");
    EXPECT_EQ(ReadFileText(out), expected);
    EXPECT_NE(ReadFileText(log).find("Docu&vane | &Help"), std::string::npos);
}

// Without --out the form file itself is replaced, and only when a number changed.
TEST_F(ExpertTest, DesignerStoresTheFormOnlyWhenANumberChanged) {
    FCommands.Close();
    std::string dir = FSlots.Path();
    std::string form = dir + "/Form1.dfm", log = dir + "/run.log";
    std::ofstream(form) << kDesignedForm;
    struct Run {
        const char* Commands;
        const char* Printed;
        const char* Number;  // Remember's line afterwards
    } runs[] = {
        {"select Remember\nid 77\nmenu E&xit\n", "is left as it was", "HelpContext = -3"},
        {"select Remember\nid 77\nselect OKButton\nmenu E&xit and Save Changes\n", "Stored ",
         "HelpContext = 77"},
    };
    for (const Run& r : runs) {
        SCOPED_TRACE(r.Commands);
        std::ofstream(dir + "/commands.txt") << r.Commands;
        int saved = dup(0);
        int in = open((dir + "/commands.txt").c_str(), O_RDONLY);
        dup2(in, 0);
        int status =
            RunProgram(ZK_DESIGNER_APP,
                       {form, "--set-path", std::string(ZK_DOCUVANE_APP) + " --exit-after 1"}, log);
        dup2(saved, 0);
        close(saved);
        close(in);
        SendToMailSlot(".", "HS", "bye");
        ASSERT_EQ(status, 0) << ReadFileText(log);
        EXPECT_NE(ReadFileText(log).find(r.Printed), std::string::npos) << ReadFileText(log);
        std::string expected = kDesignedForm;
        expected.replace(expected.find("HelpContext = -3"), 16, r.Number);
        EXPECT_EQ(ReadFileText(form), expected);
    }
}

TEST_F(ExpertTest, DesignerReportsABadFormFileAndStoresNothing) {
    std::string dir = FSlots.Path();
    const std::string bad = "object Form1: TForm1\n  object X: TNoSuchThing\n  end\n";
    std::ofstream(dir + "/Bad.dfm") << bad;
    std::string log = dir + "/run.log";
    EXPECT_EQ(RunProgram(ZK_DESIGNER_APP, {dir + "/Bad.dfm", "--out", dir + "/out.dfm"}, log), 1);
    EXPECT_EQ(ReadFileText(log).substr(ReadFileText(log).find("designer:")),
              "designer: " + dir +
                  "/Bad.dfm:4:1: expected 'object', 'inherited', 'inline' or 'end', found the end "
                  "of the file\n");
    EXPECT_EQ(ReadFileText(dir + "/Bad.dfm"), bad);
    EXPECT_FALSE(std::ifstream(dir + "/out.dfm").good());
    EXPECT_EQ(RunProgram(ZK_DESIGNER_APP, {}, log), 2);
}

// 0 success, 1 a failed operation, 2 a bad command line.
TEST_F(ExpertTest, DesignerExitCodes) {
    std::string dir = FSlots.Path();
    std::string log = dir + "/run.log";
    std::ofstream(dir + "/Form1.dfm") << kDesignedForm;
    struct Case {
        std::vector<std::string> Args;
        int Status;
        const char* Output;  // searched for in standard output and error
    };
    const Case cases[] = {
        {{"--version"}, 0, R"(^designer \d+\.\d+\.\d+\n$)"},
        {{"--help"}, 0, R"(Usage: designer \[OPTIONS\] FORM)"},
        {{dir + "/none.dfm"}, 1, "designer: cannot read .*/none.dfm: No such file or directory\n$"},
        {{dir + "/Form1.dfm", "--component", "NoSuch"},
         1,
         "designer: no component NoSuch on Form1\n$"},
        {{dir + "/none.dfm", "--component"}, 2, "--component"},
        {{"a.dfm", "b.dfm"}, 2, "b.dfm"},
        {{"--bogus", "a.dfm"}, 2, "--bogus"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Args[0]);
        EXPECT_EQ(RunProgram(ZK_DESIGNER_APP, c.Args, log), c.Status);
        EXPECT_TRUE(std::regex_search(ReadFileText(log), std::regex(c.Output)))
            << ReadFileText(log);
    }
}

#endif
