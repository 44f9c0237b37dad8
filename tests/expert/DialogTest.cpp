// The application-not-running dialog.
#include "zk/expert/P0100.h"
#include "tests/expert/ExpertFixture.h"
#include "tests/support/Namespaces.h"

using namespace zktest;

TEST_F(ExpertTest, NotRunningDialogShowsItsTenLinesAndJumpsToHelp) {
    Owned<Tpx0100> dlg(new Tpx0100(nullptr));
    EXPECT_EQ(dlg->Caption(), "Docuvane Expert");
    EXPECT_EQ(dlg->ClientWidth(), 256);
    EXPECT_EQ(dlg->ClientHeight(), 223);
    EXPECT_EQ(dlg->Left(), 267);
    EXPECT_EQ(dlg->Top(), 164);
    EXPECT_EQ(dlg->BorderStyle(), bsDialog);
    EXPECT_EQ(dlg->HelpFile(), "");
    EXPECT_EQ(dlg->pnlMessage->Caption(), " Error Message:");
    EXPECT_EQ(dlg->pnlBottom->HelpContext(), 1);
    EXPECT_TRUE(dlg->memError->ReadOnly());
    EXPECT_EQ(dlg->memError->ScrollBars(), ssBoth);
    const std::vector<std::string> lines = {"Error:",
                                            "\"Docuvane needs to be active\"",
                                            "",
                                            "Meaning:",
                                            "\"Please ensure that the Main Application,",
                                            "Docuvane is active, or running.\"",
                                            "",
                                            "Help:",
                                            "\"Start the main application, Docuvane",
                                            "before running this Expert.\""};
    EXPECT_EQ(dlg->memError->Lines(), lines);
    Application.SetHelpFile("ide.hlp");
    Ui.OnModal([&](TForm& f) {
        Ui.Type(*dlg->memError, "changed");  // read-only: keeps its text
        Ui.Click(*dlg->Button2);
        EXPECT_TRUE(f.Visible());  // "Help" leaves it open
        Ui.Click(*dlg->btnClose);
    });
    dlg->ShowModal();
    Application.SetHelpFile("");
    EXPECT_FALSE(dlg->Visible());
    EXPECT_EQ(dlg->memError->Lines(), lines);
    ASSERT_EQ(Ui.HelpJumps().size(), 1u);
    EXPECT_EQ(Ui.HelpJumps()[0], (THelpJumpRecord{"ide.hlp", "Help2000"}));
}
