#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HeadlessFixture.h"
#include "zk/host/forms/ComCtrls.h"
#include "zk/host/forms/Forms.h"
#include "zk/host/forms/Spin.h"
#include "zk/host/forms/StdCtrls.h"
#include "zk/host/forms/TabNotbk.h"
#include "tests/support/Namespaces.h"

namespace {

// A window shaped like an editor of numbers per tree node: a tree above, a notebook below with
// a spin edit on its first page and check boxes on its second.
class TNodeEditor : public TForm {
  public:
    TNodeEditor() : TForm(nullptr) {
        SetName("NodeEditor");
        SetCaption("Editor");
        tv1 = Make<TTreeView>(this, "tv1");
        tv1->SetOnChanging(TTVChangingEvent::Bind(this, &TNodeEditor::tv1Changing));
        tbNb = Make<TTabbedNotebook>(this, "tbNb");
        auto* page0 = Make<TTabPage>(tbNb, "pgExpert");
        page0->SetCaption("Help Expert");
        auto* page1 = Make<TTabPage>(tbNb, "pgSettings");
        page1->SetCaption("Settings");
        lblId = Make<TLabel>(page0, "lblId");
        lblId->SetCaption("ID:");
        edit = Make<TSpinEdit>(page0, "edit");
        edtHidden = Make<TEdit>(page0, "edtHidden");
        edtHidden->SetVisible(false);
        memNotes = Make<TMemo>(page0, "memNotes");
        memNotes->SetLines({"fixed"});
        memNotes->SetReadOnly(true);
        cbCaption = Make<TCheckBox>(page1, "cbCaption");
        cbCaption->SetCaption("Show Caption");
        cbCaption->SetChecked(true);
        cbCaption->SetOnClick(TNotifyEvent::Bind(this, &TNodeEditor::cbClick));

        TTreeNode* root = tv1->Items().AddObject(nullptr, "Form1", &Numbers[0]);
        tv1->Items().AddChildObject(root, "OKButton", &Numbers[1]);
        tv1->Items().AddChildObject(root, "CancelButton", &Numbers[2]);
    }

    TTreeView* tv1;
    TTabbedNotebook* tbNb;
    TLabel* lblId;
    TSpinEdit* edit;
    TEdit* edtHidden;
    TMemo* memNotes;
    TCheckBox* cbCaption;
    int Numbers[3] = {0, 120, 0};
    int Refreshes = 0;

    // Commits the number being edited to the node left, loads the one of the node entered.
    void tv1Changing(TObject*, TTreeNode* Node, bool&) {
        if (TTreeNode* old = tv1->Selected()) *static_cast<int*>(old->Data()) = edit->Value();
        if (Node) edit->SetValue(*static_cast<int*>(Node->Data()));
    }
    void cbClick(TObject*) { ++Refreshes; }

  private:
    template <class T>
    T* Make(TWinControl* Parent, const std::string& Name) {
        auto* c = new T(this);
        c->SetName(Name);
        c->SetParent(Parent);
        return c;
    }
};

class HeadlessUiTest : public zktest::HeadlessTest {
  protected:
    void TearDown() override { TObject::Free(Editor); }
    TNodeEditor* Editor = new TNodeEditor;
    TTreeNode& Node(int32_t Index) { return *Editor->tv1->Items().Item(Index); }
};

TEST_F(HeadlessUiTest, APersonEditsNumbersNodeByNode) {
    Ui.OnModal([&](TForm&) {
        Ui.Select(*Editor->tv1, Node(0));  // collapsed: only the root can be reached
        EXPECT_THROW(Ui.Select(*Editor->tv1, Node(1)), EInvalidOperation);
        Editor->tv1->FullExpand();
        Ui.Select(*Editor->tv1, Node(1));
        EXPECT_EQ(Editor->edit->Text(), "120");
        Ui.Type(*Editor->edit, "77");
        Ui.Select(*Editor->tv1, Node(2));
        Ui.Type(*Editor->edit, "88");  // never committed: the form closes first
        Ui.CloseWindow(*Editor);
    });
    Editor->ShowModal();
    EXPECT_EQ(Editor->Numbers[1], 77);
    EXPECT_EQ(Editor->Numbers[2], 0);
}

TEST_F(HeadlessUiTest, ControlsOnAnInactivePageCannotBeReachedUntilItsTabIsClicked) {
    Ui.OnModal([&](TForm&) {
        EXPECT_THROW(Ui.Click(*Editor->cbCaption), EInvalidOperation);
        EXPECT_THROW(Ui.Type(*Editor->edtHidden, "x"), EInvalidOperation);
        Ui.SelectPage(*Editor->tbNb, 1);
        Ui.Click(*Editor->cbCaption);
        EXPECT_THROW(Ui.Type(*Editor->edit, "5"), EInvalidOperation);
        EXPECT_THROW(Ui.SelectPage(*Editor->tbNb, 2), EInvalidOperation);
        Editor->Close();
    });
    Editor->ShowModal();
    EXPECT_FALSE(Editor->cbCaption->Checked());
    EXPECT_EQ(Editor->Refreshes, 1);
}

TEST_F(HeadlessUiTest, TypingIntoAReadOnlyMemoChangesNothing) {
    Ui.OnModal([&](TForm&) {
        Ui.Type(*Editor->memNotes, "changed");
        Editor->Close();
    });
    Editor->ShowModal();
    EXPECT_EQ(Editor->memNotes->Lines(), (std::vector<std::string>{"fixed"}));
}

TEST_F(HeadlessUiTest, RenderShowsWhatAPersonSees) {
    Ui.OnModal([&](TForm&) {
        Editor->tv1->FullExpand();
        Ui.Select(*Editor->tv1, Node(1));
        EXPECT_EQ(THeadlessUi::Render(*Editor),
                  "TForm \"Editor\"\n"
                  "  TTreeView tv1\n"
                  "      - Form1\n"
                  "      * OKButton\n"
                  "        CancelButton\n"
                  "  TTabbedNotebook tbNb [Help Expert] Settings\n"
                  "    TLabel lblId \"ID:\"\n"
                  "    TSpinEdit edit \"120\"\n"
                  "    TMemo memNotes read-only\n"
                  "      | fixed\n");
        Ui.SelectPage(*Editor->tbNb, 1);
        std::string screen = THeadlessUi::Render(*Editor);
        EXPECT_EQ(screen.substr(screen.find("  TTabbedNotebook")),
                  "  TTabbedNotebook tbNb Help Expert [Settings]\n"
                  "    TCheckBox cbCaption [x] \"Show Caption\"\n");
        Editor->Close();
    });
    Editor->ShowModal();
}

}  // namespace
