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
    std::string stored = ReadFileText(out);
    size_t remember = stored.find("object Remember: TCheckBox");
    ASSERT_NE(remember, std::string::npos) << stored;
    EXPECT_EQ(stored.find("HelpContext = 77"), stored.find("HelpContext = ", remember)) << stored;
    EXPECT_NE(stored.find("HelpContext = 120"), std::string::npos) << stored;
    EXPECT_NE(ReadFileText(log).find("Docu&vane | &Help"), std::string::npos);
}

TEST_F(ExpertTest, DesignerReportsABadFormFile) {
    std::string dir = FSlots.Path();
    std::ofstream(dir + "/Bad.dfm")
        << "object Form1: TForm1\n  object X: TNoSuchThing\n  end\nend\n";
    std::string log = dir + "/run.log";
    EXPECT_EQ(RunProgram(ZK_DESIGNER_APP, {dir + "/Bad.dfm"}, log), 1);
    EXPECT_EQ(ReadFileText(log).substr(ReadFileText(log).find("designer:")),
              "designer: Line 2: Class TNoSuchThing not found\n");
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
        {{dir + "/none.dfm"}, 1, "designer: cannot read .*/none.dfm\n$"},
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
