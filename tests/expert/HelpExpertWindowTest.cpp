// The Help Expert window: the tree, node texts, editing numbers, write-back and settings.
#include "zk/expert/P0300.h"
#include "tests/expert/ExpertFixture.h"
#include "tests/support/Namespaces.h"

using namespace zktest;

namespace {

class WindowTest : public ExpertTest {
  protected:
    Owned<Tfrm0300> NewWindow() {
        Owned<Tfrm0300> w(new Tfrm0300(nullptr));
        w->SetDesignForm(FDesign.get());
        return w;
    }
    // Shows the window modally and runs Script inside its modal loop.
    void Run(Tfrm0300& W, const std::function<void(Tfrm0300&)>& Script) {
        Ui.OnModal([&](TForm&) { Script(W); });
        W.ShowModal();
    }
    static std::vector<std::string> Texts(Tfrm0300& W) {
        std::vector<std::string> out;
        for (TTreeNode* n = W.tv1->Items().GetFirstNode(); n; n = n->GetNext())
            out.push_back(n->Text());
        return out;
    }
    static TTreeNode* Node(Tfrm0300& W, int Index) { return W.tv1->Items().Item(Index); }
};

}  // namespace

TEST_F(WindowTest, WindowPropertiesAndControlsAsDesigned) {
    auto w = NewWindow();
    EXPECT_EQ(w->Caption(), "Docuvane Expert");
    EXPECT_EQ(w->Width(), 370);
    EXPECT_EQ(w->Height(), 378);
    EXPECT_EQ(w->HelpFile(), "vdx3.hlp");
    EXPECT_EQ(w->HelpContext(), 300);
    EXPECT_EQ(w->Menu(), w->mmMain);
    EXPECT_EQ(w->tbNb->PageIndex(), 0);
    EXPECT_EQ(w->tbNb->Pages(), (std::vector<std::string>{"Help Expert", "Settings"}));
    EXPECT_EQ(w->tv1->Indent(), 19);
    EXPECT_EQ(w->pnlBottom->Height(), 151);
    for (TControl* hidden : std::initializer_list<TControl*>{
             w->_10lblTopicId, w->_10edtTopic, w->_10lblHCI, w->_10edtHCI, w->_10btnNewTopic,
             w->_10btnEditTopic, w->_10lblCCKeyword, w->_10memCCKeywords, w->_10lblCCAKeywords,
             w->_10memCCAKeyWords})
        EXPECT_FALSE(hidden->Visible()) << hidden->Name();
    EXPECT_EQ(w->_10edtTopic->HelpContext(), 70);
    EXPECT_EQ(w->_10edtHCI->HelpContext(), 80);
    EXPECT_EQ(w->tbNb->HelpContext(), 50);
    EXPECT_EQ(w->mnuFileExit->Caption(), "E&xit and Save Changes");
    EXPECT_EQ(w->Exit1->Caption(), "&Exit");
    EXPECT_EQ(w->mnuHelpContext1->ShortCut(), 112);
    EXPECT_EQ(w->mnuHelpN1->Caption(), "-");
    EXPECT_EQ(w->mnuHelpAbout1->Caption(), "&About...");
    EXPECT_EQ(w->cb3->Top(), 5);
    EXPECT_EQ(w->cb1->Top(), 23);
    EXPECT_EQ(w->cb2->Top(), 41);
    EXPECT_EQ(w->cb1->TabOrder(), 0);
    EXPECT_EQ(w->cb3->TabOrder(), 2);
}

TEST_F(WindowTest, TreeHasTheFormAndEachComponentWithHelpContext) {
    auto w = NewWindow();
    Run(*w, [&](Tfrm0300& W) {
        // The root shows only the form's name until the first refresh.
        EXPECT_EQ(Texts(W), (std::vector<std::string>{"Form1", "OKButton, TButton, OK, 120",
                                                      "Remember, TCheckBox, Remember me, -3"}));
        EXPECT_EQ(W.tv1->Selected(), nullptr);
        EXPECT_EQ(W._10edit->Value(), 0);
        auto* okRef = static_cast<tDocuvaneRef*>(Node(W, 1)->Data());
        EXPECT_EQ(okRef->CompIndex, 0);
        EXPECT_EQ(okRef->CompCaption, "OK");
        EXPECT_EQ(okRef->CompClassName, "TButton");
        auto* rootRef = static_cast<tDocuvaneRef*>(Node(W, 0)->Data());
        EXPECT_EQ(rootRef->CompIndex, -1);
        EXPECT_EQ(rootRef->CompCaption, "Orders");
        EXPECT_EQ(rootRef->CompClassName, "TForm1");
        EXPECT_EQ(rootRef->ContextId, 5);
        W.RefreshTree();
        EXPECT_EQ(Texts(W)[0], "Form1, TForm1, Orders, 5");
        Ui.CloseWindow(W);
    });
}

TEST_F(WindowTest, NodeTextFollowsTheThreeSettings) {
    TButton ok(nullptr);
    ok.SetName("OKButton");
    ok.SetCaption("OK");
    EXPECT_EQ(ComposeNodeText(&ok, true, true, true, 120), "OKButton, TButton, OK, 120");
    EXPECT_EQ(ComposeNodeText(&ok, false, true, true, 120), ", TButton, OK, 120");
    EXPECT_EQ(ComposeNodeText(&ok, true, false, false, 120), "OKButton, 120");
    EXPECT_EQ(ComposeNodeText(&ok, false, false, false, 120), ", 120");
    EXPECT_EQ(ComposeNodeText(&ok, true, false, false, -7), "OKButton, -7");
    auto w = NewWindow();
    Run(*w, [&](Tfrm0300& W) {
        Ui.SelectPage(*W.tbNb, 1);
        Ui.Click(*W.cb1);
        Ui.Click(*W.cb2);
        Ui.Click(*W.cb3);
        EXPECT_EQ(Texts(W), (std::vector<std::string>{", 5", ", 120", ", -3"}));
        Ui.CloseWindow(W);
    });
}

TEST_F(WindowTest, NumberTypedIsCommittedWhenTheSelectionMovesAndWrittenBack) {
    auto w = NewWindow();
    Run(*w, [&](Tfrm0300& W) {
        Ui.Select(*W.tv1, *Node(W, 1));
        EXPECT_EQ(W._10edit->Value(), 120);
        Ui.Type(*W._10edit, "77");
        Ui.Select(*W.tv1, *Node(W, 2));
        EXPECT_EQ(Texts(W)[1], "OKButton, TButton, OK, 77");
        EXPECT_EQ(W._10edit->Value(), -3);
        Ui.Type(*W._10edit, "88");  // never committed: the selection does not move again
        Ui.Choose(*W.mnuFileExit);
    });
    EXPECT_FALSE(w->Visible());
    EXPECT_EQ(GetOrdProp(FDesign->FindComponent("OKButton"), "HelpContext"), 77);
    EXPECT_EQ(GetOrdProp(FDesign->FindComponent("Remember"), "HelpContext"), -3);
    EXPECT_EQ(FDesign->HelpContext(), 5);
}

TEST_F(WindowTest, NonNumericTextIsCommittedAsZero) {
    auto w = NewWindow();
    Run(*w, [&](Tfrm0300& W) {
        Ui.Select(*W.tv1, *Node(W, 0));
        Ui.Type(*W._10edit, "abc");
        Ui.Select(*W.tv1, *Node(W, 1));
        Ui.Choose(*W.mnuFileExit);
    });
    EXPECT_EQ(FDesign->HelpContext(), 0);
}

TEST_F(WindowTest, ExitSavesTheSettingsAndANewWindowRestoresThem) {
    auto w = NewWindow();
    Run(*w, [&](Tfrm0300& W) {
        Ui.Select(*W.tv1, *Node(W, 1));
        Ui.Type(*W._10edit, "9");
        Ui.Select(*W.tv1, *Node(W, 0));
        Ui.SelectPage(*W.tbNb, 1);
        Ui.Click(*W.cb2);
        Ui.Choose(*W.Exit1);
    });
    EXPECT_EQ(GetOrdProp(FDesign->FindComponent("OKButton"), "HelpContext"), 120);  // not written
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Vdx", false));
    EXPECT_TRUE(reg.ReadBool("ShowName"));
    EXPECT_FALSE(reg.ReadBool("ShowClassName"));
    EXPECT_TRUE(reg.ReadBool("ShowCaption"));
    EXPECT_EQ(reg.ReadInteger("ShowClassName"), 0);
    auto again = NewWindow();
    EXPECT_TRUE(again->cb1->Checked());
    EXPECT_FALSE(again->cb2->Checked());
    EXPECT_TRUE(again->cb3->Checked());
}

TEST_F(WindowTest, MissingOrMalformedSettingTurnsAllThreeOn) {
    SetRegistryBool("ShowName", false);
    SetRegistryBool("ShowClassName", false);
    SetRegistryBool("ShowCaption", false);
    EXPECT_FALSE(NewWindow()->cb1->Checked());
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Vdx", false));
        reg.DeleteValue("ShowCaption");
    }
    auto w = NewWindow();
    EXPECT_TRUE(w->cb1->Checked());
    EXPECT_TRUE(w->cb2->Checked());
    EXPECT_TRUE(w->cb3->Checked());
    SetRegistryString("ShowCaption", "yes");
    EXPECT_TRUE(NewWindow()->cb1->Checked());
}

TEST_F(WindowTest, TitleBarCloseNeitherWritesNorSaves) {
    auto w = NewWindow();
    Run(*w, [&](Tfrm0300& W) {
        Ui.Select(*W.tv1, *Node(W, 1));
        Ui.Type(*W._10edit, "1");
        Ui.Select(*W.tv1, *Node(W, 0));
        Ui.CloseWindow(W);
    });
    EXPECT_EQ(GetOrdProp(FDesign->FindComponent("OKButton"), "HelpContext"), 120);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Vdx", true));
    EXPECT_FALSE(reg.ValueExists("ShowName"));
}

TEST_F(WindowTest, FormWithoutHelpContextComponentsHasTheRootOnly) {
    Owned<TDesignedForm> bare(
        new TDesignedForm("object Bare: TBareForm\n  object L: TLabel\n  end\nend\n"));
    auto w = NewWindow();
    w->SetDesignForm(bare.get());
    Run(*w, [&](Tfrm0300& W) {
        EXPECT_EQ(Texts(W), std::vector<std::string>{"Bare"});
        Ui.CloseWindow(W);
    });
}

TEST_F(WindowTest, HelpAndAboutCommands) {
    auto w = NewWindow();
    Run(*w, [&](Tfrm0300& W) {
        EXPECT_TRUE(Ui.PressShortCut(W, 112));
        Ui.Choose(*W.mnuHelpAbout1);
        Ui.CloseWindow(W);
    });
    ASSERT_EQ(Ui.HelpJumps().size(), 1u);
    EXPECT_EQ(Ui.HelpJumps()[0], (THelpJumpRecord{"vdx3.hlp", "Help2100"}));
    ASSERT_EQ(Ui.Messages().size(), 1u);
    EXPECT_EQ(Ui.Messages()[0], std::string("Docuvane Help Expert\r") + MakersNotice);
}

TEST_F(WindowTest, NodeRecordsAreReleasedWithTheWindow) {
    auto w = NewWindow();
    Run(*w, [&](Tfrm0300& W) { Ui.CloseWindow(W); });
    w.reset();  // ASan reports any record left behind
    SUCCEED();
}
