#include <gtest/gtest.h>

#include "zk/host/ide/DesignIntf.h"
#include "tests/support/Namespaces.h"

namespace {

const TTypeInfo& TypeInfo_Percent() {
    static const TTypeInfo t{"TPercent", TTypeKind::tkInteger, 0, 100, {}};
    return t;
}

// A component with a help context, a plain integer, a small-range integer and a text.
class TProbeButton : public TComponent {
    ZK_CLASS(TProbeButton)
  public:
    using TComponent::TComponent;
    int32_t HelpContext() const { return FHelpContext; }
    void SetHelpContext(int32_t Value) { FHelpContext = Value; }
    int32_t Tag() const { return FTag; }
    void SetTag(int32_t Value) { FTag = Value; }
    int32_t Percent() const { return FPercent; }
    void SetPercent(int32_t Value) { FPercent = Value; }
    std::string Caption() const { return FCaption; }
    void SetCaption(const std::string& Value) { FCaption = Value; }

  private:
    int32_t FHelpContext = 0;
    int32_t FTag = 0;
    int32_t FPercent = 0;
    std::string FCaption;
};

const TClassInfo& TProbeButton::StaticClass() {
    static const TClassInfo info =
        TClassBuilder<TProbeButton>("TProbeButton", &TComponent::StaticClass())
            .Ord("HelpContext", TypeInfo_THelpContext(), &TProbeButton::HelpContext,
                 &TProbeButton::SetHelpContext, 0)
            .Int("Tag", &TProbeButton::Tag, &TProbeButton::SetTag)
            .Ord("Percent", TypeInfo_Percent(), &TProbeButton::Percent, &TProbeButton::SetPercent,
                 0)
            .Str("Caption", &TProbeButton::Caption, &TProbeButton::SetCaption)
            .Build();
    return info;
}

class TProbeSpecialButton : public TProbeButton {
    ZK_CLASS(TProbeSpecialButton)
  public:
    using TProbeButton::TProbeButton;
};
ZK_IMPLEMENT_CLASS(TProbeSpecialButton, TProbeButton)

// A component outside the button family that has a help context too.
class TProbePanel : public TComponent {
    ZK_CLASS(TProbePanel)
  public:
    using TComponent::TComponent;
    int32_t HelpContext() const { return FHelpContext; }
    void SetHelpContext(int32_t Value) { FHelpContext = Value; }

  private:
    int32_t FHelpContext = 0;
};

const TClassInfo& TProbePanel::StaticClass() {
    static const TClassInfo info =
        TClassBuilder<TProbePanel>("TProbePanel", &TComponent::StaticClass())
            .Ord("HelpContext", TypeInfo_THelpContext(), &TProbePanel::HelpContext,
                 &TProbePanel::SetHelpContext, 0)
            .Build();
    return info;
}

// An editor with an ellipsis button that records what Edit saw, as a help-context editor does.
class TProbeDialogProperty : public TIntegerProperty {
    ZK_CLASS(TProbeDialogProperty)
  public:
    using TIntegerProperty::TIntegerProperty;
    TPropertyAttributes GetAttributes() override {
        TPropertyAttributes a = TIntegerProperty::GetAttributes();
        a.Include(paDialog);
        return a;
    }
    void Edit() override { EditedForms.push_back(Designer()->Form()); }
    static std::vector<TComponent*> EditedForms;
};
ZK_IMPLEMENT_CLASS(TProbeDialogProperty, TIntegerProperty)
std::vector<TComponent*> TProbeDialogProperty::EditedForms;

// An integer editor that offers the values 1, 2 and 3, so the base Edit steps through them.
class TProbeCycleProperty : public TIntegerProperty {
    ZK_CLASS(TProbeCycleProperty)
  public:
    using TIntegerProperty::TIntegerProperty;
    void GetValues(const TGetStrProc& Proc) override {
        for (const char* v : {"1", "2", "3"}) Proc(v);
    }
};
ZK_IMPLEMENT_CLASS(TProbeCycleProperty, TIntegerProperty)

// Editor classes told apart by address only.
TPropertyEditorClass::TFactory IntegerFactory() {
    return [](IFormDesigner* D, std::vector<TInstProp> C) {
        return std::unique_ptr<TPropertyEditor>(new TIntegerProperty(D, std::move(C)));
    };
}
const TPropertyEditorClass kFirst("First", IntegerFactory());
const TPropertyEditorClass kSecond("Second", IntegerFactory());

class DesignIntfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        UnregisterPropertyEditors();
        TProbeDialogProperty::EditedForms.clear();
        FButton = new TProbeButton(&FForm);
        FButton->SetName("OKButton");
    }
    void TearDown() override { UnregisterPropertyEditors(); }

    const TPropertyEditorClass& EditorOf(TPersistent* Instance, const std::string& Prop) {
        return GetEditorClass(GetPropInfo(Instance, Prop), Instance->ClassType());
    }

    TComponent FForm{nullptr};
    TProbeButton* FButton = nullptr;
    TFormDesigner FDesigner{&FForm};
    TObjectInspector FInspector{&FDesigner};
};

std::string ErrorOf(const std::function<void()>& Body) {
    try {
        Body();
    } catch (const Exception& e) {
        return e.Message();
    }
    return "(nothing raised)";
}

}  // namespace

TEST(HelpContextType, IsAnIntegerTypeWithoutTheLowest32BitValue) {
    const TTypeInfo& t = TypeInfo_THelpContext();
    EXPECT_EQ(t.Name, "THelpContext");
    EXPECT_EQ(t.Kind, TTypeKind::tkInteger);
    EXPECT_EQ(t.MinValue, -2147483647);
    EXPECT_EQ(t.MaxValue, 2147483647);
    EXPECT_NE(&t, &TypeInfo_Integer());
}

TEST_F(DesignIntfTest, WithoutRegistrationsEachKindGetsItsDefaultEditor) {
    EXPECT_EQ(&EditorOf(FButton, "HelpContext"), &PropertyEditorClass<TIntegerProperty>());
    EXPECT_EQ(&EditorOf(FButton, "Caption"), &PropertyEditorClass<TStringProperty>());
    EXPECT_EQ(PropertyEditorClass<TIntegerProperty>().Name(), "TIntegerProperty");
    FInspector.SetValue(FButton, "Caption", "&OK");
    EXPECT_EQ(FButton->Caption(), "&OK");
    EXPECT_EQ(FInspector.GetValue(FButton, "Caption"), "&OK");
}

TEST_F(DesignIntfTest, RegistrationForATypeLeavesOtherTypesAlone) {
    RegisterPropertyEditor(&TypeInfo_THelpContext(), &TPersistent::StaticClass(), "HelpContext",
                           PropertyEditorClass<TProbeDialogProperty>());
    EXPECT_EQ(&EditorOf(FButton, "HelpContext"), &PropertyEditorClass<TProbeDialogProperty>());
    EXPECT_EQ(&EditorOf(FButton, "Tag"), &PropertyEditorClass<TIntegerProperty>());
    EXPECT_EQ(FInspector.EditorFor(FButton, "helpcontext")->ClassName(), "TProbeDialogProperty");
}

TEST_F(DesignIntfTest, NamedComponentClassBeatsAnyClassWhateverTheOrder) {
    RegisterPropertyEditor(&TypeInfo_THelpContext(), &TProbeButton::StaticClass(), "", kFirst);
    RegisterPropertyEditor(&TypeInfo_THelpContext(), nullptr, "", kSecond);
    EXPECT_EQ(&EditorOf(FButton, "HelpContext"), &kFirst);
    TProbePanel panel(&FForm);
    EXPECT_EQ(&EditorOf(&panel, "HelpContext"), &kSecond);  // not a button: only the general one
}

TEST_F(DesignIntfTest, NamedPropertyBeatsAnyNameWhateverTheOrder) {
    RegisterPropertyEditor(&TypeInfo_Integer(), nullptr, "TAG", kFirst);
    RegisterPropertyEditor(&TypeInfo_Integer(), nullptr, "", kSecond);
    EXPECT_EQ(&EditorOf(FButton, "Tag"), &kFirst);  // the name compares ignoring case
}

TEST_F(DesignIntfTest, SameTypeInfoBeatsAMatchByTypeNameOnly) {
    static const TTypeInfo lookalike = TypeInfo_THelpContext();  // same kind and name
    RegisterPropertyEditor(&TypeInfo_THelpContext(), nullptr, "", kFirst);
    RegisterPropertyEditor(&lookalike, nullptr, "", kSecond);
    EXPECT_EQ(&EditorOf(FButton, "HelpContext"), &kFirst);
    UnregisterPropertyEditors();
    RegisterPropertyEditor(&lookalike, nullptr, "", kSecond);
    EXPECT_EQ(&EditorOf(FButton, "HelpContext"), &kSecond);  // a name match still counts
}

TEST_F(DesignIntfTest, DescendantComponentClassBeatsItsAncestor) {
    RegisterPropertyEditor(&TypeInfo_THelpContext(), &TProbeButton::StaticClass(), "HelpContext",
                           kSecond);
    RegisterPropertyEditor(&TypeInfo_THelpContext(), &TPersistent::StaticClass(), "HelpContext",
                           kFirst);
    TProbeSpecialButton special(&FForm);
    EXPECT_EQ(&EditorOf(&special, "HelpContext"), &kSecond);
    EXPECT_EQ(&EditorOf(FButton, "HelpContext"), &kSecond);
}

TEST_F(DesignIntfTest, LaterRegistrationWinsATie) {
    RegisterPropertyEditor(&TypeInfo_THelpContext(), &TPersistent::StaticClass(), "HelpContext",
                           kFirst);
    RegisterPropertyEditor(&TypeInfo_THelpContext(), &TPersistent::StaticClass(), "HelpContext",
                           kSecond);
    EXPECT_EQ(&EditorOf(FButton, "HelpContext"), &kSecond);
}

TEST_F(DesignIntfTest, IntegerEditorShowsDecimalAndStoresTypedNumbers) {
    FButton->SetHelpContext(-120);
    EXPECT_EQ(FInspector.GetValue(FButton, "HelpContext"), "-120");
    FInspector.SetValue(FButton, "HelpContext", "0042");
    EXPECT_EQ(FButton->HelpContext(), 42);
    EXPECT_EQ(FInspector.GetValue(FButton, "HelpContext"), "42");
    EXPECT_EQ(FDesigner.ModifiedCount(), 1);
    FInspector.SetValue(FButton, "HelpContext", "2147483647");
    EXPECT_EQ(FButton->HelpContext(), 2147483647);
}

TEST_F(DesignIntfTest, IntegerEditorRefusesTextAndNumbersOutsideTheTypesRange) {
    FButton->SetHelpContext(7);
    FButton->SetPercent(50);
    EXPECT_EQ(ErrorOf([&] { FInspector.SetValue(FButton, "HelpContext", "-2147483648"); }),
              "Value must be between -2147483647 and 2147483647");
    EXPECT_EQ(ErrorOf([&] { FInspector.SetValue(FButton, "Percent", "101"); }),
              "Value must be between 0 and 100");
    EXPECT_THROW(FInspector.SetValue(FButton, "Percent", "-1"), EPropertyError);
    EXPECT_THROW(FInspector.SetValue(FButton, "HelpContext", "12a"), EConvertError);
    EXPECT_THROW(FInspector.SetValue(FButton, "HelpContext", ""), EConvertError);
    EXPECT_EQ(FButton->HelpContext(), 7);
    EXPECT_EQ(FButton->Percent(), 50);
    EXPECT_EQ(FDesigner.ModifiedCount(), 0);
    FInspector.SetValue(FButton, "Percent", "100");
    EXPECT_EQ(FButton->Percent(), 100);
}

TEST_F(DesignIntfTest, SetOrdValueReachesEveryEditedComponent) {
    TProbeButton other(&FForm);
    other.SetHelpContext(5);
    const TPropInfo* info = GetPropInfo(FButton, "HelpContext");
    TIntegerProperty editor(&FDesigner, {{FButton, info}, {&other, info}});
    EXPECT_FALSE(editor.AllEqual());
    editor.SetValue("300");
    EXPECT_EQ(FButton->HelpContext(), 300);
    EXPECT_EQ(other.HelpContext(), 300);
    EXPECT_TRUE(editor.AllEqual());
    EXPECT_EQ(editor.GetName(), "HelpContext");
    EXPECT_EQ(editor.GetEditLimit(), 63);
    EXPECT_EQ(FDesigner.ModifiedCount(), 1);  // one change, told once
}

TEST_F(DesignIntfTest, EllipsisCallsEditOnlyWithTheDialogAttribute) {
    EXPECT_EQ(FInspector.GetAttributes(FButton, "HelpContext"),
              (TPropertyAttributes{paMultiSelect, paRevertable}));
    EXPECT_FALSE(FInspector.PressEllipsis(FButton, "HelpContext"));

    RegisterPropertyEditor(&TypeInfo_THelpContext(), &TPersistent::StaticClass(), "HelpContext",
                           PropertyEditorClass<TProbeDialogProperty>());
    EXPECT_TRUE(FInspector.GetAttributes(FButton, "HelpContext").Contains(paDialog));
    EXPECT_TRUE(FInspector.PressEllipsis(FButton, "HelpContext"));
    TProbePanel panel(&FForm);  // any component on the form opens the same form
    EXPECT_TRUE(FInspector.PressEllipsis(&panel, "HelpContext"));
    EXPECT_EQ(TProbeDialogProperty::EditedForms, (std::vector<TComponent*>{&FForm, &FForm}));
}

TEST_F(DesignIntfTest, BaseEditStepsThroughTheOfferedValues) {
    RegisterPropertyEditor(&TypeInfo_Integer(), nullptr, "Tag",
                           PropertyEditorClass<TProbeCycleProperty>());
    FButton->SetTag(2);
    auto editor = FInspector.EditorFor(FButton, "Tag");
    editor->Edit();
    EXPECT_EQ(FButton->Tag(), 3);
    editor->Edit();
    EXPECT_EQ(FButton->Tag(), 1);  // wraps to the first value
}

TEST_F(DesignIntfTest, UnpublishedPropertyRaises) {
    EXPECT_EQ(ErrorOf([&] { FInspector.GetValue(FButton, "Nope"); }),
              "Property Nope does not exist");
}
