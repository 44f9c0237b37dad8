#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "HeadlessFixture.h"
#include "SampleDialog_dfm.h"
#include "zk/host/forms/Forms.h"
#include "zk/host/forms/Menus.h"
#include "zk/host/forms/StdCtrls.h"
#include "zk/host/forms/Streaming.h"
#include "tests/support/Namespaces.h"

namespace {

// A form class that keeps its layout in a form file, as the expert's forms do.
class TSampleDialog : public TForm {
    ZK_CLASS(TSampleDialog)
  public:
    explicit TSampleDialog(TComponent* AOwner) : TSampleDialog(AOwner, SampleDialog_dfm) {}
    TSampleDialog(TComponent* AOwner, const std::string& Text) : TForm(AOwner) {
        InitFromText(Text);
    }

    TPanel* pnlTop = nullptr;
    TPanel* pnlInner = nullptr;
    TLabel* lblHello = nullptr;
    TMemo* memNotes = nullptr;
    TButton* btnOk = nullptr;
    TCheckBox* cbShow = nullptr;
    TMainMenu* mmMain = nullptr;
    TMenuItem* mnuFile = nullptr;
    TMenuItem* mnuFileExit = nullptr;
    TMenuItem* mnuHelp = nullptr;
    TMenuItem* mnuHelpContents = nullptr;
    std::vector<std::string> Log;

    void FormCreate(TObject*) { Log.push_back("create"); }
    void FormShow(TObject*) { Log.push_back("show"); }
    void btnOkClick(TObject*) {
        Log.push_back("ok");
        SetModalResult(mrOk);
    }
    void cbShowClick(TObject*) { Log.push_back(cbShow->Checked() ? "cb on" : "cb off"); }
    void mnuFileExitClick(TObject*) { Close(); }
};

const TClassInfo& TSampleDialog::StaticClass() {
    static const TClassInfo info =
        TClassBuilder<TSampleDialog>("TSampleDialog", &TForm::StaticClass())
            .Field("pnlTop", &TSampleDialog::pnlTop)
            .Field("pnlInner", &TSampleDialog::pnlInner)
            .Field("lblHello", &TSampleDialog::lblHello)
            .Field("memNotes", &TSampleDialog::memNotes)
            .Field("btnOk", &TSampleDialog::btnOk)
            .Field("cbShow", &TSampleDialog::cbShow)
            .Field("mmMain", &TSampleDialog::mmMain)
            .Field("mnuFile", &TSampleDialog::mnuFile)
            .Field("mnuFileExit", &TSampleDialog::mnuFileExit)
            .Field("mnuHelp", &TSampleDialog::mnuHelp)
            .Field("mnuHelpContents", &TSampleDialog::mnuHelpContents)
            .Method("FormCreate", &TSampleDialog::FormCreate)
            .Method("FormShow", &TSampleDialog::FormShow)
            .Method("btnOkClick", &TSampleDialog::btnOkClick)
            .Method("cbShowClick", &TSampleDialog::cbShowClick)
            .Method("mnuFileExitClick", &TSampleDialog::mnuFileExitClick)
            .Build();
    return info;
}

struct FormDeleter {
    void operator()(TObject* Obj) const { TObject::Free(Obj); }
};
template <class T>
using FormPtr = std::unique_ptr<T, FormDeleter>;

class FormFileTest : public zktest::HeadlessTest {
  protected:
    FormPtr<TSampleDialog> Dialog{new TSampleDialog(nullptr)};
};

TEST_F(FormFileTest, ReadingTheFormFileFillsFieldsAndNestsControls) {
    TSampleDialog& d = *Dialog;
    ASSERT_NE(d.pnlInner, nullptr);
    ASSERT_NE(d.mnuHelpContents, nullptr);
    EXPECT_EQ(d.Name(), "SampleDialog");
    EXPECT_EQ(d.Caption(), "Sample");
    EXPECT_EQ(d.HelpFile(), "sample.hlp");
    EXPECT_EQ(d.HelpContext(), 7);
    EXPECT_EQ(d.BorderStyle(), bsDialog);
    EXPECT_EQ(d.pnlInner->Parent(), d.pnlTop);
    EXPECT_EQ(d.lblHello->Parent(), d.pnlInner);
    EXPECT_EQ(d.lblHello->Caption(), "It's here:");
    EXPECT_EQ(d.lblHello->Alignment(), taRightJustify);
    EXPECT_EQ(d.memNotes->Lines(),
              (std::vector<std::string>{"\"Docuvane needs to be active\"", "", "last"}));
    EXPECT_TRUE(d.memNotes->ReadOnly());
    EXPECT_EQ(d.memNotes->ScrollBars(), ssBoth);
    EXPECT_TRUE(d.cbShow->Checked());
    EXPECT_EQ(d.pnlTop->BevelOuter(), bvNone);
    EXPECT_EQ(d.pnlTop->BorderWidth(), 2);
}

TEST_F(FormFileTest, MenusNestAndTheFormShowsItsMenuBar) {
    TSampleDialog& d = *Dialog;
    EXPECT_EQ(d.Menu(), d.mmMain);
    ASSERT_EQ(d.mmMain->Items()->Count(), 2);
    EXPECT_EQ(d.mmMain->Items()->Items(0), d.mnuFile);
    EXPECT_EQ(d.mnuFileExit->Parent(), d.mnuFile);
    EXPECT_EQ(d.mnuFileExit->Caption(), "E&xit");
    EXPECT_EQ(d.mnuHelpContents->ShortCut(), 112);
    EXPECT_EQ(d.mmMain->FindShortCut(112), d.mnuHelpContents);
}

TEST_F(FormFileTest, OnCreateFiresOnceAfterReadingAndNoClickFiresWhileReading) {
    EXPECT_EQ(Dialog->Log, (std::vector<std::string>{"create"}));
    Dialog->cbShow->SetChecked(false);
    EXPECT_EQ(Dialog->Log.back(), "cb off");
}

TEST_F(FormFileTest, ClientSizeTabOrderAndLayoutAreSettledAfterReading) {
    TSampleDialog& d = *Dialog;
    // The client size holds with the dialog border and the menu bar, both read after it.
    EXPECT_EQ(d.ClientWidth(), 300);
    EXPECT_EQ(d.ClientHeight(), 200);
    EXPECT_GT(d.Height(), 200 + 19);
    // Tab orders read before all controls existed take their places once all are there.
    EXPECT_EQ(d.TabList(), (std::vector<TWinControl*>{d.btnOk, d.pnlTop, d.cbShow}));
    EXPECT_EQ(d.pnlInner->BoundsRect(), (TRect{2, 2, 298, 148}));
}

TEST_F(FormFileTest, HandlersBoundByNameRunInTheModalLoop) {
    Ui.OnModal([&](TForm&) {
        Ui.Click(*Dialog->cbShow);
        Ui.Choose(*Dialog->mnuFileExit);
    });
    EXPECT_EQ(Dialog->ShowModal(), mrCancel);
    Ui.OnModal([&](TForm& form) { EXPECT_TRUE(Ui.PressShortCut(form, 112)); });
    EXPECT_EQ(Dialog->ShowModal(), mrOk);
    EXPECT_EQ(Dialog->Log, (std::vector<std::string>{"create", "show", "cb off", "show", "ok"}));
}

TEST_F(FormFileTest, WrittenFormReadsBackToTheSameText) {
    Dialog->cbShow->SetChecked(false);
    std::string text = WriteComponentText(Dialog.get());
    FormPtr<TSampleDialog> copy(new TSampleDialog(nullptr, text));
    EXPECT_EQ(WriteComponentText(copy.get()), text);
    EXPECT_FALSE(copy->cbShow->Checked());
    EXPECT_EQ(copy->mnuFileExit->Parent(), copy->mnuFile);

    // A client-sized form stores its client size only; menus nest; handlers go by name.
    EXPECT_NE(text.find("\n  ClientHeight = 200\n"), std::string::npos) << text;
    EXPECT_EQ(text.find("\n  Height ="), std::string::npos) << text;
    EXPECT_NE(text.find("\n    object mnuFile: TMenuItem\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n      object mnuFileExit: TMenuItem\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n        OnClick = mnuFileExitClick\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n      object lblHello: TLabel\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\n  Menu = mmMain\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    Lines.Strings = (\n"), std::string::npos) << text;
}

TEST_F(FormFileTest, AFormFileOfAnotherClassIsRefused) {
    EXPECT_THROW(TSampleDialog(nullptr, "object X: TOtherForm\nend\n"), EReadError);
    EXPECT_THROW(TSampleDialog(nullptr, "object X: TSampleDialog\n  OnShow = NoSuchMethod\nend\n"),
                 EReadError);
}

TEST_F(FormFileTest, RegisteredFormClassesAreCreatedByName) {
    FormPtr<TComponent> form(
        ReadComponentFromText("object Form2: TForm\n"
                              "  Caption = 'Plain'\n"
                              "  object Panel1: TPanel\n"
                              "    object Edit1: TEdit\n"
                              "      Text = 'typed'\n"
                              "    end\n"
                              "  end\n"
                              "end\n",
                              nullptr));
    auto* plain = dynamic_cast<TForm*>(form.get());
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->Caption(), "Plain");
    auto* edit = dynamic_cast<TEdit*>(plain->FindComponent("Edit1"));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->Text(), "typed");
    EXPECT_EQ(edit->Parent(), plain->FindComponent("Panel1"));
}

}  // namespace
