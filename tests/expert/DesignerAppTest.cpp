// The designer program run as a person runs it: a form file, commands on standard input, the
// stand-in authoring application started through "Path", and the stored form afterwards.
#include <fcntl.h>
#include <unistd.h>

#include <fstream>

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

#endif
