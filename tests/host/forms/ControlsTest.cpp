#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HeadlessFixture.h"
#include "zk/host/forms/Forms.h"
#include "zk/host/forms/Spin.h"
#include "zk/host/forms/StdCtrls.h"
#include "zk/host/forms/TabNotbk.h"
#include "tests/support/Namespaces.h"

namespace {

// An owner for the controls under test, released with TObject::Free like every form.
class ControlsTest : public zktest::HeadlessTest {
  protected:
    void TearDown() override { TObject::Free(Form); }
    TForm* Form = new TForm(nullptr);

    template <class T>
    T* Make(TWinControl* Parent, const std::string& Name) {
        auto* c = new T(Form);
        c->SetName(Name);
        c->SetParent(Parent);
        return c;
    }
};

// --- spin edit ---------------------------------------------------------------------------------

TEST_F(ControlsTest, SpinEditReadsItsTextAsTheValue) {
    auto* spin = Make<TSpinEdit>(Form, "spin");
    EXPECT_EQ(spin->Text(), "0");
    spin->SetText("77");
    EXPECT_EQ(spin->Value(), 77);
    spin->SetText("-12");
    EXPECT_EQ(spin->Value(), -12);
}

TEST_F(ControlsTest, SpinEditTextThatIsNoIntegerReadsAsMinValue) {
    auto* spin = Make<TSpinEdit>(Form, "spin");
    spin->SetMinValue(5);
    spin->SetMaxValue(5);
    for (const char* text : {"", "abc", "12x", " 12", "0x10", "99999999999"}) {
        spin->SetText(text);
        EXPECT_EQ(spin->Value(), 5) << "text '" << text << "'";
    }
}

TEST_F(ControlsTest, SpinEditWithEqualBoundsClampsNothing) {
    auto* spin = Make<TSpinEdit>(Form, "spin");  // MinValue 0, MaxValue 0
    spin->SetValue(-40);
    EXPECT_EQ(spin->Text(), "-40");
    spin->SetText("123456");
    EXPECT_EQ(spin->Value(), 123456);
}

TEST_F(ControlsTest, SpinEditClampsIntoOrderedBounds) {
    auto* spin = Make<TSpinEdit>(Form, "spin");
    spin->SetMinValue(10);
    spin->SetMaxValue(20);
    spin->SetValue(25);
    EXPECT_EQ(spin->Text(), "20");
    spin->SetValue(3);
    EXPECT_EQ(spin->Text(), "10");
    spin->SetText("15");
    EXPECT_EQ(spin->Value(), 15);
    spin->SetText("99");  // typed beyond the bound
    EXPECT_EQ(spin->Value(), 20);
    spin->SetText("junk");
    EXPECT_EQ(spin->Value(), 10);
}

TEST_F(ControlsTest, SpinEditWithCrossedBoundsClampsNothing) {
    auto* spin = Make<TSpinEdit>(Form, "spin");
    spin->SetMinValue(20);
    spin->SetMaxValue(10);
    spin->SetValue(50);
    EXPECT_EQ(spin->Value(), 50);
}

// --- check box, edits --------------------------------------------------------------------------

struct ClickCounter : TObject {
    std::vector<std::string> Log;
    void Clicked(TObject* Sender) {
        auto* box = dynamic_cast<TCheckBox*>(Sender);
        Log.push_back(box ? std::string(box->Checked() ? "on" : "off") : "click");
    }
    void Changed(TObject* Sender) {
        Log.push_back("change " + static_cast<TControl*>(Sender)->Text());
    }
};

TEST_F(ControlsTest, SettingCheckedToANewValueFiresOnClickAfterTheChange) {
    ClickCounter spy;
    auto* box = Make<TCheckBox>(Form, "cb1");
    box->SetOnClick(TNotifyEvent::Bind(&spy, &ClickCounter::Clicked));
    box->SetChecked(true);
    box->SetChecked(true);  // no change, no click
    box->SetChecked(false);
    EXPECT_EQ(spy.Log, (std::vector<std::string>{"on", "off"}));
}

TEST_F(ControlsTest, ButtonClickFiresOnClick) {
    ClickCounter spy;
    auto* button = Make<TButton>(Form, "btn");
    button->Click();  // unassigned: nothing happens
    button->SetOnClick(TNotifyEvent::Bind(&spy, &ClickCounter::Clicked));
    button->Click();
    EXPECT_EQ(spy.Log, (std::vector<std::string>{"click"}));
}

TEST_F(ControlsTest, EditFiresOnChangeOnlyWhenTheTextChanges) {
    ClickCounter spy;
    auto* edit = Make<TEdit>(Form, "edt");
    edit->SetOnChange(TNotifyEvent::Bind(&spy, &ClickCounter::Changed));
    edit->SetText("H500");
    edit->SetText("H500");
    EXPECT_EQ(spy.Log, (std::vector<std::string>{"change H500"}));
}

TEST_F(ControlsTest, MemoTextIsItsLinesEachEndedByCrLf) {
    auto* memo = Make<TMemo>(Form, "mem");
    memo->SetLines({"Error:", "", "\"quoted\""});
    EXPECT_EQ(memo->Text(), "Error:\r\n\r\n\"quoted\"\r\n");
    memo->SetText("one\ntwo\r\nthree\rfour");
    EXPECT_EQ(memo->Lines(), (std::vector<std::string>{"one", "two", "three", "four"}));
    memo->SetText("");
    EXPECT_TRUE(memo->Lines().empty());
}

// --- layout ------------------------------------------------------------------------------------

TEST_F(ControlsTest, AlignedPanelsShareTheClientAreaInsideBorders) {
    Form->SetBorderStyle(bsDialog);
    Form->SetClientWidth(256);
    Form->SetClientHeight(223);
    auto* top = Make<TPanel>(Form, "pnlTop");
    top->SetHeight(13);
    top->SetAlign(alTop);
    auto* bottom = Make<TPanel>(Form, "pnlBottom");
    bottom->SetHeight(33);
    bottom->SetAlign(alBottom);
    auto* middle = Make<TPanel>(Form, "pnlMiddle");
    middle->SetBevelOuter(bvNone);
    middle->SetBorderWidth(2);
    middle->SetAlign(alClient);
    auto* memo = Make<TMemo>(middle, "mem");
    memo->SetAlign(alClient);

    EXPECT_EQ(top->BoundsRect(), (TRect{0, 0, 256, 13}));
    EXPECT_EQ(bottom->BoundsRect(), (TRect{0, 190, 256, 223}));
    EXPECT_EQ(middle->BoundsRect(), (TRect{0, 13, 256, 190}));
    EXPECT_EQ(memo->BoundsRect(), (TRect{2, 2, 254, 175}));

    // Hiding the bottom panel gives its room to the client-aligned one.
    bottom->SetVisible(false);
    EXPECT_EQ(middle->BoundsRect(), (TRect{0, 13, 256, 223}));
}

TEST_F(ControlsTest, AFormSizedByItsClientAreaKeepsItWhenTheBorderChanges) {
    Form->SetClientWidth(256);
    Form->SetClientHeight(223);
    int32_t sizeableWidth = Form->Width();
    Form->SetBorderStyle(bsNone);
    EXPECT_EQ(Form->ClientWidth(), 256);
    EXPECT_EQ(Form->ClientHeight(), 223);
    EXPECT_EQ(Form->Width(), 256);
    EXPECT_GT(sizeableWidth, 256);
    // Given an outer size, the form keeps that instead.
    Form->SetBorderStyle(bsDialog);
    Form->SetWidth(370);
    Form->SetBorderStyle(bsSizeable);
    EXPECT_EQ(Form->Width(), 370);
}

TEST_F(ControlsTest, TabOrderMovesAControlWithinItsParentsTabList) {
    auto* a = Make<TCheckBox>(Form, "a");
    auto* b = Make<TCheckBox>(Form, "b");
    auto* c = Make<TCheckBox>(Form, "c");
    Make<TLabel>(Form, "lbl");  // not windowed: no place in the tab order
    EXPECT_EQ(c->TabOrder(), 2);
    c->SetTabOrder(0);
    EXPECT_EQ(Form->TabList(), (std::vector<TWinControl*>{c, a, b}));
    a->SetTabOrder(99);
    EXPECT_EQ(Form->TabList(), (std::vector<TWinControl*>{c, b, a}));
    EXPECT_EQ(Form->TabOrder(), -1);
}

TEST_F(ControlsTest, FreeingAContainerFreesTheControlsOnIt) {
    auto* panel = Make<TPanel>(Form, "pnl");
    Make<TButton>(panel, "btn1");
    Make<TButton>(panel, "btn2");
    Make<TButton>(Form, "btnOther");
    EXPECT_EQ(Form->ComponentCount(), 4);
    TObject::Free(panel);
    EXPECT_EQ(Form->ComponentCount(), 1);
    EXPECT_EQ(Form->ControlCount(), 1);
    EXPECT_EQ(Form->Components(0)->Name(), "btnOther");
}

TEST_F(ControlsTest, AFreedControlLeavesItsParent) {
    auto* panel = Make<TPanel>(Form, "pnl");
    auto* button = Make<TButton>(panel, "btn");
    TObject::Free(button);
    EXPECT_EQ(panel->ControlCount(), 0);
    EXPECT_TRUE(panel->TabList().empty());
}

TEST_F(ControlsTest, AControlCannotBecomeItsOwnParent) {
    auto* outer = Make<TPanel>(Form, "outer");
    auto* inner = Make<TPanel>(outer, "inner");
    EXPECT_THROW(outer->SetParent(inner), EInvalidOperation);
    EXPECT_EQ(outer->Parent(), Form);
}

// --- visibility --------------------------------------------------------------------------------

TEST_F(ControlsTest, OnlyTheActivePagesControlsAreShowing) {
    auto* notebook = Make<TTabbedNotebook>(Form, "tbNb");
    auto* page0 = Make<TTabPage>(notebook, "page0");
    page0->SetCaption("Help Expert");
    auto* page1 = Make<TTabPage>(notebook, "page1");
    page1->SetCaption("Settings");
    auto* label = Make<TLabel>(page0, "lbl");
    auto* box = Make<TCheckBox>(page1, "cb");
    Form->Show();

    EXPECT_EQ(notebook->Pages(), (std::vector<std::string>{"Help Expert", "Settings"}));
    EXPECT_EQ(notebook->PageIndex(), 0);
    EXPECT_TRUE(label->Showing());
    EXPECT_FALSE(box->Showing());
    notebook->SetPageIndex(1);
    EXPECT_FALSE(label->Showing());
    EXPECT_TRUE(box->Showing());
    notebook->SetPageIndex(2);  // no such page: ignored
    EXPECT_EQ(notebook->PageIndex(), 1);
    EXPECT_EQ(notebook->ActivePage(), page1);
    Form->Hide();
    EXPECT_FALSE(box->Showing());
}

TEST_F(ControlsTest, AHiddenParentHidesItsControls) {
    auto* panel = Make<TPanel>(Form, "pnl");
    auto* button = Make<TButton>(panel, "btn");
    EXPECT_FALSE(button->Showing());  // form not shown yet
    Form->Show();
    EXPECT_TRUE(button->Showing());
    panel->SetVisible(false);
    EXPECT_FALSE(button->Showing());
    EXPECT_TRUE(button->Visible());
    panel->SetVisible(true);
    panel->SetEnabled(false);
    EXPECT_FALSE(button->IsEnabled());
    EXPECT_TRUE(button->Enabled());
    Form->Hide();
}

}  // namespace
