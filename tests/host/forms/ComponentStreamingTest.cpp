#include <gtest/gtest.h>

#include <memory>

#include "zk/host/forms/Streaming.h"
#include "zk/host/rtl/TypInfo.h"
#include "tests/support/Namespaces.h"

namespace {

std::vector<std::string> gLog;

class TWidget : public TComponent {
    ZK_CLASS(TWidget)
  public:
    using TComponent::TComponent;
    ~TWidget() override { gLog.push_back("destroy " + Name()); }
    int32_t Size() const { return FSize; }
    void SetSize(int32_t v) { FSize = v; }
    bool Flag() const { return FFlag; }
    void SetFlag(bool v) {
        gLog.push_back(std::string("SetFlag reading=") +
                       (ComponentState().Contains(csReading) ? "1" : "0"));
        FFlag = v;
    }
    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& v) { FCaption = v; }
    const TNotifyEvent& OnPing() const { return FOnPing; }
    void SetOnPing(TNotifyEvent v) { FOnPing = std::move(v); }
    TObject* Buddy() const { return FBuddy; }
    void SetBuddy(TObject* v) { FBuddy = v; }
    const std::vector<std::string>& Lines() const { return FLines; }
    void SetLines(const std::vector<std::string>& v) { FLines = v; }
    void Loaded() override {
        TComponent::Loaded();
        gLog.push_back("Loaded " + Name());
    }
    TComponent* GetParentComponent() const override { return FParent; }
    void SetParentComponent(TComponent* v) override { FParent = v; }

    int32_t FSize = 0;
    bool FFlag = false;
    std::string FCaption;
    TNotifyEvent FOnPing;
    TObject* FBuddy = nullptr;
    std::vector<std::string> FLines;
    TComponent* FParent = nullptr;
};

const TClassInfo& TWidget::StaticClass() {
    static const TClassInfo info = TClassBuilder<TWidget>("TWidget", &TComponent::StaticClass())
                                       .Int("Size", &TWidget::Size, &TWidget::SetSize, 0)
                                       .Bool("Flag", &TWidget::Flag, &TWidget::SetFlag, false)
                                       .Str("Caption", &TWidget::Caption, &TWidget::SetCaption)
                                       .Event("OnPing", &TWidget::OnPing, &TWidget::SetOnPing)
                                       .Ref("Buddy", &TWidget::Buddy, &TWidget::SetBuddy)
                                       .List("Lines.Strings", &TWidget::Lines, &TWidget::SetLines)
                                       .Build();
    return info;
}

class TRootForm : public TComponent {
    ZK_CLASS(TRootForm)
  public:
    using TComponent::TComponent;
    TWidget* First = nullptr;
    int Pings = 0;
    void FirstPing(TObject*) { ++Pings; }
};

const TClassInfo& TRootForm::StaticClass() {
    static const TClassInfo info = TClassBuilder<TRootForm>("TRootForm", &TComponent::StaticClass())
                                       .Field("First", &TRootForm::First)
                                       .Method("FirstPing", &TRootForm::FirstPing)
                                       .Build();
    return info;
}

struct Registered {
    Registered() {
        RegisterClass(TWidget::StaticClass());
        RegisterClass(TRootForm::StaticClass());
    }
} gRegistered;

const char* kForm =
    "object Root: TRootForm\n"
    "  object First: TWidget\n"
    "    Size = -5\n"
    "    Flag = True\n"
    "    Caption = 'It''s'#13'two'\n"
    "    OnPing = FirstPing\n"
    "    Buddy = Second\n"
    "    Lines.Strings = (\n"
    "      'a'\n"
    "      'b')\n"
    "    object Inner: TWidget\n"
    "    end\n"
    "  end\n"
    "  object Second: TWidget\n"
    "  end\n"
    "end\n";

}  // namespace

TEST(Components, OwnerKeepsStableOrderAndDestroysOwned) {
    gLog.clear();
    auto* owner = new TComponent(nullptr);
    auto* a = new TWidget(owner);
    auto* b = new TWidget(owner);
    a->SetName("A");
    b->SetName("B");
    ASSERT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(0), a);
    EXPECT_EQ(b->ComponentIndex(), 1);
    TObject::Free(a);
    EXPECT_EQ(owner->ComponentCount(), 1);
    EXPECT_EQ(owner->Components(0), b);
    TObject::Free(owner);
    EXPECT_EQ(gLog, (std::vector<std::string>{"destroy A", "destroy B"}));
}

TEST(Components, NamesMustBeIdentifiersAndUniqueIgnoringCase) {
    TComponent owner(nullptr);
    auto* a = new TWidget(&owner);
    auto* b = new TWidget(&owner);
    a->SetName("Button1");
    EXPECT_THROW(b->SetName("BUTTON1"), EComponentError);
    EXPECT_THROW(b->SetName("1x"), EComponentError);
    EXPECT_THROW(b->SetName("a b"), EComponentError);
    b->SetName("_ok2");
    EXPECT_EQ(owner.FindComponent("button1"), a);
    EXPECT_EQ(a->ClassName(), "TWidget");
}

TEST(Components, DesignStatePassesToOwnedComponents) {
    TComponent owner(nullptr);
    owner.SetDesigning(true);
    auto* w = new TWidget(&owner);
    EXPECT_TRUE(w->ComponentState().Contains(csDesigning));
    owner.SetDesigning(false);
    EXPECT_FALSE(w->ComponentState().Contains(csDesigning));
}

TEST(TypeInformation, FindsPublishedPropertiesByNameAndAbsentGivesNothing) {
    TWidget w(nullptr);
    EXPECT_EQ(GetPropInfo(&w, "helpcontext"), nullptr);
    ASSERT_NE(GetPropInfo(&w, "size"), nullptr);
    SetOrdProp(&w, GetPropInfo(&w, "Size"), 120);
    EXPECT_EQ(w.FSize, 120);
    EXPECT_EQ(GetOrdProp(&w, "Size"), 120);
    SetStrProp(&w, "Caption", "OK");
    EXPECT_EQ(GetStrProp(&w, GetPropInfo(&w, "Caption")), "OK");
    EXPECT_NE(GetPropInfo(TWidget::StaticClass(), "Name"), nullptr);
    EXPECT_THROW(GetStrProp(&w, GetPropInfo(&w, "Size")), EPropertyError);
}

TEST(TypeInformation, EventKeepsHandlerAndMethodName) {
    TRootForm root(nullptr);
    TWidget w(nullptr);
    const TPublishedMethod* m = root.ClassType().FindMethod("FirstPing");
    ASSERT_NE(m, nullptr);
    SetMethodProp(&w, GetPropInfo(&w, "OnPing"), m->Bind(root));
    w.OnPing()(&w);
    EXPECT_EQ(root.Pings, 1);
    EXPECT_EQ(GetMethodProp(&w, GetPropInfo(&w, "OnPing")).Name, "FirstPing");
    // A handler of another shape is refused.
    TMethod wrong{std::function<void(int)>([](int) {}), nullptr, "x"};
    EXPECT_THROW(SetMethodProp(&w, GetPropInfo(&w, "OnPing"), wrong), EInvalidCast);
}

TEST(Streaming, ReadsNestedObjectsPropertiesEventsAndReferences) {
    gLog.clear();
    TRootForm root(nullptr);
    ReadComponentText(kForm, &root);
    ASSERT_EQ(root.ComponentCount(), 3);
    auto* first = dynamic_cast<TWidget*>(root.FindComponent("First"));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(root.First, first);
    EXPECT_EQ(first->FSize, -5);
    EXPECT_TRUE(first->FFlag);
    EXPECT_EQ(first->FCaption, "It's\rtwo");
    EXPECT_EQ(first->FBuddy, root.FindComponent("Second"));
    EXPECT_EQ(first->FLines, (std::vector<std::string>{"a", "b"}));
    EXPECT_EQ(root.FindComponent("Inner")->GetParentComponent(), first);
    first->OnPing()(first);
    EXPECT_EQ(root.Pings, 1);
    // Properties are assigned in csReading, Loaded runs once everything is read.
    EXPECT_EQ(gLog, (std::vector<std::string>{"SetFlag reading=1", "Loaded First", "Loaded Inner",
                                              "Loaded Second"}));
    EXPECT_FALSE(first->ComponentState().Contains(csLoading));
}

TEST(Streaming, WritesOnlyWhatDefaultsAndStoredRulesSayAndReadsItBack) {
    TRootForm root(nullptr);
    ReadComponentText(kForm, &root);
    std::string text = WriteComponentText(&root);
    EXPECT_EQ(text, kForm);
    TRootForm again(nullptr);
    ReadComponentText(text, &again);
    EXPECT_EQ(WriteComponentText(&again), text);
}

TEST(Streaming, WritesStringsWithDelInsideTheQuotesAndReadsThemBack) {
    struct Case {
        std::string caption;
        std::string line;
    };
    std::vector<Case> cases = {
        {"\x7f", "'\x7f'"},
        {"a'\x7f", "'a''\x7f'"},
        {"x\x7f\x7fy", "'x\x7f\x7fy'"},
        {"\x7f\r\x7f#127", "'\x7f'#13'\x7f#127'"},
        {"\xe9t\xe9", "'\xe9t\xe9'"},
    };
    for (const Case& c : cases) {
        TWidget w(nullptr);
        w.SetName("W");
        w.SetCaption(c.caption);
        std::string text = WriteComponentText(&w);
        EXPECT_EQ(text, "object W: TWidget\n  Caption = " + c.line + "\nend\n");
        TWidget again(nullptr);
        ReadComponentText(text, &again);
        EXPECT_EQ(again.Caption(), c.caption);
    }
}

TEST(Streaming, ErrorsNameTheFaultAndTheLineAndBuildNothing) {
    struct Case {
        std::string text;
        std::string message;
    };
    std::vector<Case> cases = {
        {"object Root: TRootForm\n  object X: TNope\n  end\nend\n",
         "Line 2: Class TNope not found"},
        {"object Root: TRootForm\n  object X: TWidget\n    Colour = 1\n  end\nend\n",
         "Line 3: Unknown property Colour of class TWidget"},
        {"object Root: TRootForm\n  object X: TWidget\n    Size = 'a'\n  end\nend\n",
         "Line 3: Invalid value for property Size"},
        {"object Root: TRootForm\n  object X: TWidget\n    OnPing = Nope\n  end\nend\n",
         "Line 3: Unknown method Nope for property OnPing"},
        {"object Root: TRootForm\n  object X: TWidget\n    Size 3\n  end\nend\n",
         "Line 3: expected '=' after the property name, found '3'"},
        {"object Root: TRootForm\n  object X: TWidget\n    Caption = 'open\n  end\nend\n",
         "Line 3: expected the closing quote of the string, found the end of the line"},
        {"object Root: TRootForm\n  object X: TWidget\n  end\n",
         "Line 4: expected 'object', 'inherited', 'inline' or 'end', found the end of the file"},
        // Values the form-file library reads that no property of these classes holds.
        {"object Root: TRootForm\n  object X: TWidget\n    Size = 1.5\n  end\nend\n",
         "Line 3: Invalid value for property Size"},
        {"object Root: TRootForm\n  object X: TWidget\n    Caption = #300\n  end\nend\n",
         "Line 3: Invalid value for property Caption"},
        {"object Root: TRootForm\nend\n\nobject Again: TRootForm\nend\n",
         "Line 4: text after the final 'end'"},
        {"object Root: TRootForm\n  object X: TWidget\n    Buddy = Nobody\n  end\nend\n",
         "Line 3: Unknown component Nobody"},
        {"object Root: TRootForm\n  object X: TWidget\n  end\n  object x: TWidget\n  end\nend\n",
         "Line 4: A component named x already exists"},
        {"object Root: TWidget\nend\n", "Line 1: Class TWidget does not match TRootForm"},
    };
    for (const Case& c : cases) {
        TRootForm root(nullptr);
        try {
            ReadComponentText(c.text, &root);
            ADD_FAILURE() << "no error for: " << c.text;
        } catch (const EReadError& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_EQ(root.ComponentCount(), 0) << c.text;
        EXPECT_EQ(root.First, nullptr);
    }
}

TEST(Streaming, CreatesTheRootFromTheClassRegistry) {
    std::unique_ptr<TComponent, void (*)(TComponent*)> root(
        ReadComponentFromText(kForm, nullptr), [](TComponent* c) { TObject::Free(c); });
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->ClassName(), "TRootForm");
    EXPECT_EQ(root->Name(), "Root");
    EXPECT_THROW(ReadComponentFromText("object R: TUnknownRoot\nend\n", nullptr), EReadError);
    EXPECT_THROW(FindClass("TUnknownRoot"), EClassNotFound);
}
