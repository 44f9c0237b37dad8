#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "HeadlessFixture.h"
#include "zk/host/forms/Forms.h"
#include "zk/host/forms/Menus.h"
#include "zk/host/forms/StdCtrls.h"
#include "zk/host/rtl/Threads.h"
#include "tests/support/Namespaces.h"

namespace {

// A dialog built in code: a Close button, a Help button, a hidden button and a menu with a
// short cut. Its handlers log what they do.
class TTestDialog : public TForm {
  public:
    TTestDialog() : TForm(nullptr) {
        SetName("TestDialog");
        SetCaption("Test Dialog");
        SetOnShow(TNotifyEvent::Bind(this, &TTestDialog::FormShow));
        SetOnDestroy(TNotifyEvent::Bind(this, &TTestDialog::FormDestroy));
        btnClose = AddButton("btnClose", "Close", &TTestDialog::btnCloseClick);
        btnHelp = AddButton("btnHelp", "Help", &TTestDialog::btnHelpClick);
        btnHidden = AddButton("btnHidden", "Hidden", &TTestDialog::btnCloseClick);
        btnHidden->SetVisible(false);
        btnFail = AddButton("btnFail", "Fail", &TTestDialog::btnFailClick);
        mmMain = new TMainMenu(this);
        mnuHelp = new TMenuItem(this);
        mnuHelp->SetCaption("&Help");
        mmMain->Items()->Add(mnuHelp);
        mnuContents = new TMenuItem(this);
        mnuContents->SetName("mnuContents");
        mnuContents->SetCaption("Contents");
        mnuContents->SetShortCut(112);
        mnuContents->SetOnClick(TNotifyEvent::Bind(this, &TTestDialog::btnHelpClick));
        mnuHelp->Add(mnuContents);
        SetMenu(mmMain);
    }

    TButton* btnClose;
    TButton* btnHelp;
    TButton* btnHidden;
    TButton* btnFail;
    TMainMenu* mmMain;
    TMenuItem* mnuHelp;
    TMenuItem* mnuContents;
    std::vector<std::string> Log;
    std::vector<std::string>* DestroyLog = nullptr;

    void FormShow(TObject*) { Log.push_back("show"); }
    void FormDestroy(TObject*) {
        if (DestroyLog) DestroyLog->push_back("destroy " + btnClose->Caption());
    }
    void btnCloseClick(TObject*) {
        Log.push_back("close clicked");
        Close();
    }
    void btnHelpClick(TObject*) { Application.HelpJump("Help2000"); }
    void btnFailClick(TObject*) { StrToInt("x1"); }

  private:
    TButton* AddButton(const std::string& Name, const std::string& Caption,
                       void (TTestDialog::*Handler)(TObject*)) {
        auto* b = new TButton(this);
        b->SetName(Name);
        b->SetCaption(Caption);
        b->SetParent(this);
        b->SetOnClick(TNotifyEvent::Bind(this, Handler));
        return b;
    }
};

class FormsTest : public zktest::HeadlessTest {
  protected:
    void TearDown() override {
        TObject::Free(Dialog);
        Application.SetHelpFile("");
    }
    TTestDialog* Dialog = new TTestDialog;
};

TEST_F(FormsTest, ScriptDrivesTheModalFormAndCloseEndsTheLoop) {
    Ui.OnModal([&](TForm& form) {
        EXPECT_EQ(&form, Dialog);
        EXPECT_TRUE(form.Visible());
        EXPECT_EQ(Application.ActiveForm(), Dialog);
        Ui.Click(*Dialog->btnClose);
    });
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    EXPECT_FALSE(Dialog->Visible());
    EXPECT_EQ(Application.ActiveForm(), nullptr);
    EXPECT_EQ(Dialog->Log, (std::vector<std::string>{"show", "close clicked"}));
    EXPECT_EQ(Ui.Log(),
              (std::vector<std::string>{"show TForm modal", "click btnClose", "hide TForm"}));
    EXPECT_EQ(Ui.PendingScripts(), 0u);
}

TEST_F(FormsTest, TheShownFormIsRecordedAsAPersonSawIt) {
    Ui.OnModal([&](TForm&) { Ui.CloseWindow(*Dialog); });
    Dialog->ShowModal();
    ASSERT_EQ(Ui.ShownForms().size(), 1u);
    const TShownForm& shown = Ui.ShownForms()[0];
    EXPECT_EQ(shown.Caption, "Test Dialog");
    EXPECT_TRUE(shown.Modal);
    EXPECT_EQ(shown.Screen,
              "TForm \"Test Dialog\"\n"
              "  menu: &Help {Contents (F1)}\n"
              "  TButton btnClose \"Close\"\n"
              "  TButton btnHelp \"Help\"\n"
              "  TButton btnFail \"Fail\"\n");
}

TEST_F(FormsTest, ModalLoopRunsCallsQueuedByOtherThreads) {
    class TCloser : public TThread {
      public:
        TCloser(TForm* Form) : TThread(true), FForm(Form) {}
        std::atomic<bool> Done{false};

      protected:
        void Execute() override {
            Synchronize([this] { ShowMessage("from thread"); });
            Synchronize([this] { FForm->Close(); });
            Done = true;
        }

      private:
        TForm* FForm;
    };
    TCloser closer(Dialog);
    Ui.OnModal([&](TForm&) { closer.Resume(); });  // the script returns with the form open
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    closer.WaitFor();
    EXPECT_TRUE(closer.Done);
    EXPECT_EQ(Ui.Messages(), (std::vector<std::string>{"from thread"}));
}

TEST_F(FormsTest, ShowMessageInAScriptIsRecordedAndReturnsAtOnce) {
    Ui.OnModal([&](TForm&) {
        ShowMessage("Please open a file in Docuvane");
        ShowMessage("!");
        Dialog->SetModalResult(mrOk);
    });
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    EXPECT_EQ(Ui.Messages(), (std::vector<std::string>{"Please open a file in Docuvane", "!"}));
}

TEST_F(FormsTest, HelpJumpUsesTheActiveFormsHelpFileElseTheApplications) {
    Application.SetHelpFile("app.hlp");
    Ui.OnModal([&](TForm&) {
        Ui.Click(*Dialog->btnHelp);
        Dialog->SetHelpFile("vdx3.hlp");
        EXPECT_TRUE(Ui.PressShortCut(*Dialog, 112));
        Ui.Choose(*Dialog->mnuContents);
        EXPECT_TRUE(Dialog->Visible());  // help leaves the dialog open
        Dialog->Close();
    });
    Dialog->ShowModal();
    EXPECT_EQ(Ui.HelpJumps(),
              (std::vector<THelpJumpRecord>{
                  {"app.hlp", "Help2000"}, {"vdx3.hlp", "Help2000"}, {"vdx3.hlp", "Help2000"}}));
}

TEST_F(FormsTest, AModalFormWithoutAScriptIsClosedAtOnce) {
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    EXPECT_EQ(Ui.Log(), (std::vector<std::string>{"show TForm modal", "close TForm unattended",
                                                  "hide TForm"}));
}

TEST_F(FormsTest, ScriptsServeNestedModalFormsInOrder) {
    auto* inner = new TTestDialog;
    Ui.OnModal([&](TForm&) {
        EXPECT_EQ(inner->ShowModal(), mrOk);
        EXPECT_EQ(Application.ActiveForm(), Dialog);
        Dialog->Close();
    });
    Ui.OnModal([&](TForm& form) {
        EXPECT_EQ(&form, inner);
        // The outer dialog is behind the inner one: a person cannot reach it.
        EXPECT_THROW(Ui.Click(*Dialog->btnClose), EInvalidOperation);
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    TObject::Free(inner);
}

TEST_F(FormsTest, HiddenOrDisabledControlsCannotBeReached) {
    Ui.OnModal([&](TForm&) {
        EXPECT_THROW(Ui.Click(*Dialog->btnHidden), EInvalidOperation);
        Dialog->btnClose->SetEnabled(false);
        EXPECT_THROW(Ui.Click(*Dialog->btnClose), EInvalidOperation);
        Dialog->mnuContents->SetEnabled(false);
        EXPECT_THROW(Ui.Choose(*Dialog->mnuContents), EInvalidOperation);
        EXPECT_FALSE(Ui.PressShortCut(*Dialog, 112));
        Ui.CloseWindow(*Dialog);
    });
    Dialog->ShowModal();
    EXPECT_TRUE(Ui.HelpJumps().empty());
    // Nor can a form that is not shown.
    EXPECT_THROW(Ui.Click(*Dialog->btnHelp), EInvalidOperation);
}

TEST_F(FormsTest, AnExceptionInAHandlerBecomesAnErrorBoxAndTheFormStaysOpen) {
    Ui.OnModal([&](TForm&) {
        Ui.Click(*Dialog->btnFail);
        EXPECT_TRUE(Dialog->Visible());
        Ui.Click(*Dialog->btnClose);
    });
    Dialog->ShowModal();
    ASSERT_EQ(Ui.Errors().size(), 1u);
    EXPECT_NE(Ui.Errors()[0].find("x1"), std::string::npos);
}

TEST_F(FormsTest, AScriptThatFailsHidesTheFormAndPropagates) {
    Ui.OnModal([&](TForm&) { Ui.Click(*Dialog->btnHidden); });
    EXPECT_THROW(Dialog->ShowModal(), EInvalidOperation);
    EXPECT_FALSE(Dialog->Visible());
    EXPECT_FALSE(Dialog->Modal());
    // The form can be shown again.
    Ui.OnModal([&](TForm&) { Dialog->SetModalResult(mrOk); });
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
}

TEST_F(FormsTest, AVisibleFormCannotBeMadeModal) {
    Dialog->Show();
    EXPECT_THROW(Dialog->ShowModal(), EInvalidOperation);
    Dialog->Close();  // modeless: hides
    EXPECT_FALSE(Dialog->Visible());
}

TEST_F(FormsTest, OnDestroyFiresWhileTheControlsStillExist) {
    std::vector<std::string> log;
    Dialog->DestroyLog = &log;
    Dialog->Show();
    TObject::Free(Dialog);
    Dialog = nullptr;
    EXPECT_EQ(log, (std::vector<std::string>{"destroy Close"}));
    EXPECT_EQ(Ui.Log().back(), "hide TForm");
    EXPECT_EQ(Application.ActiveForm(), nullptr);
}

TEST_F(FormsTest, ScreenCentredFormsAreCentredWhenShown) {
    Dialog->SetBounds(0, 0, 370, 378);
    Dialog->SetPosition(poScreenCenter);
    Dialog->Show();
    EXPECT_EQ(Dialog->Left(), (1024 - 370) / 2);
    EXPECT_EQ(Dialog->Top(), (768 - 378) / 2);
    Dialog->Hide();
}

TEST_F(FormsTest, AMenuFreedBeforeTheFormIsTakenOffIt) {
    TObject::Free(Dialog->mmMain);
    EXPECT_EQ(Dialog->Menu(), nullptr);
    // Its items went with it.
    EXPECT_EQ(Dialog->FindComponent("mnuContents"), nullptr);
}

}  // namespace
