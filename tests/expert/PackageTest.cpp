// The package in the IDE: its menu, the registration of the help-context editor, and the
// typical request from the inspector's ellipsis to the number in the component.
#include <sys/stat.h>

#include "zk/expert/P0100.h"
#include "zk/expert/P0300.h"
#include "tests/expert/ExpertFixture.h"
#include "tests/support/FrozenClock.h"
#include "tests/support/ManualClock.h"
#include "tests/support/Namespaces.h"

using namespace zktest;

namespace {

class PackageTest : public PackageLoadedTest {
  protected:
    static bool Exists(const std::string& Path) {
        struct stat st {};
        return stat(Path.c_str(), &st) == 0;
    }
    static int Lines(const std::string& Path) {
        std::string text = ReadFileText(Path);
        return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
    }
};

// The editor's pauses; the endpoints' wait threads make pauses of 10 ms on the same clock.
int OneSecondPauses(const TManualClock& Clock) {
    int n = 0;
    for (const auto& p : Clock.Pauses()) n += p.Milliseconds == 1000;
    return n;
}

std::vector<std::string> Children(TIMenuItemIntf* Item) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < Item->GetItemCount(); ++i) names.push_back(Item->GetItem(i)->GetName());
    return names;
}

}  // namespace

TEST_F(PackageTest, MenuStandsJustBeforeHelpWhateverItsIndex) {
    TIdeHost ide({{"FileMenu", "&File"}, {"HelpMenu", "&Help"}, {"ToolsMenu", "&Tools"}});
    Load();
    EXPECT_EQ(ide.TopLevelNames(),
              (std::vector<std::string>{"FileMenu", "DocuvaneMenu", "HelpMenu", "ToolsMenu"}));
    TIMenuItemIntf* menu = ToolServices->GetMainMenu()->GetMenuItems()->GetItem(1);
    EXPECT_EQ(menu->GetCaption(), "Docu&vane");
    EXPECT_EQ(menu->GetHint(), "Docuvane");
    EXPECT_EQ(menu->GetFlags().Bits(), 6u);
    EXPECT_EQ(Children(menu),
              (std::vector<std::string>{"DocuvaneItem", "M1Sep1", "DocuvaneAboutItem"}));
    EXPECT_EQ(menu->GetItem(0)->GetCaption(), "&Start Docuvane");
    EXPECT_EQ(menu->GetItem(0)->GetHint(), "Start Docuvane");
    EXPECT_EQ(menu->GetItem(1)->GetCaption(), "-");
    EXPECT_EQ(menu->GetItem(1)->GetHint(), "");
    EXPECT_EQ(menu->GetItem(2)->GetCaption(), "&About");
    EXPECT_EQ(menu->GetItem(2)->GetHint(), "About Docuvane");
    for (int32_t i = 0; i < 3; ++i) {
        EXPECT_EQ(menu->GetItem(i)->GetShortCut(), 0);
        EXPECT_EQ(menu->GetItem(i)->GetFlags().Bits(), 6u);
    }
}

TEST_F(PackageTest, MenuIsRemovedAtTheLastFinalisationOnly) {
    TIdeHost ide;
    Load();
    Load();
    P0200::Finalization();
    --FLoaded;
    auto names = ide.TopLevelNames();
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[names.size() - 2], "DocuvaneMenu");
    EXPECT_EQ(names.back(), "HelpMenu");
    P0200::Finalization();
    --FLoaded;
    EXPECT_EQ(ide.TopLevelNames(), [] {
        std::vector<std::string> n;
        for (auto& m : TIdeHost::DefaultMenus()) n.push_back(m.Name);
        return n;
    }());
}

TEST_F(PackageTest, NoHelpMenuInstallsNothing) {
    TIdeHost ide(std::vector<TIdeMenu>{{"FileMenu", "&File"}});
    Load();
    EXPECT_EQ(ide.TopLevelNames(), std::vector<std::string>{"FileMenu"});
}

TEST_F(PackageTest, StartAndAboutCommands) {
    TIdeHost ide;
    Load();
    TIMenuItemIntf* bar = ToolServices->GetMainMenu()->GetMenuItems();
    TIMenuItemIntf* start = bar->FindItem("DocuvaneItem");
    ASSERT_NE(start, nullptr);
    EXPECT_TRUE(start->Click());  // no "Path" at all
    SetRegistryString("Path", "/nonexistent/docuvane");
    start->Click();
    SetRegistryString("Path", "/bin/true");
    start->Click();
    bar->FindItem("DocuvaneAboutItem")->Click();
    EXPECT_EQ(Ui.Messages(),
              (std::vector<std::string>{
                  "Docuvane failed to Start.", "Docuvane failed to Start.",
                  std::string("Docuvane Expert 3.0 (Beta Release 4)\n") + MakersNotice}));
}

TEST_F(PackageTest, EditorIsRegisteredForHelpContextAndEditsLikeAnInteger) {
    Load();
    TFormDesigner designer(FDesign.get());
    TObjectInspector inspector(&designer);
    TComponent* ok = FDesign->FindComponent("OKButton");
    auto editor = inspector.EditorFor(dynamic_cast<TPersistent*>(ok), "HelpContext");
    EXPECT_EQ(editor->ClassName(), "TDocuvaneContextProperty");
    EXPECT_TRUE(inspector.GetAttributes(ok, "HelpContext").Contains(paDialog));
    EXPECT_EQ(inspector.GetValue(ok, "HelpContext"), "120");
    inspector.SetValue(ok, "HelpContext", "0042");
    EXPECT_EQ(inspector.GetValue(ok, "HelpContext"), "42");
    EXPECT_THROW(inspector.SetValue(ok, "HelpContext", "4x"), EConvertError);
    EXPECT_THROW(inspector.SetValue(ok, "HelpContext", "-2147483648"), EPropertyError);
    EXPECT_EQ(GetOrdProp(ok, "HelpContext"), 42);
    // The form's own HelpContext gets the same editor.
    EXPECT_EQ(inspector.EditorFor(FDesign.get(), "HelpContext")->ClassName(),
              "TDocuvaneContextProperty");
}

TEST_F(PackageTest, TypicalRequestFromTheEllipsisToTheNumberInTheComponent) {
    FCommands.Close();  // the authoring application owns "HS" now
    std::string started = FSlots.Path() + "/started";
    std::string log = FSlots.Path() + "/commands.log";
    SetRegistryString("Path", std::string(ZK_DOCUVANE_APP) + " --started-file '" + started +
                                  "' --log '" + log + "' --exit-after 1");
    TIdeHost ide;
    Load();
    TManualClock& clock = zktest::LastingClock();
    clock.AdvanceOnSleep(false);
    TClockScope scope(clock);
    TFormDesigner designer(FDesign.get());
    TObjectInspector inspector(&designer);
    TComponent* ok = FDesign->FindComponent("OKButton");
    Ui.OnModal([&](TForm& f) {
        auto& w = dynamic_cast<Tfrm0300&>(f);
        EXPECT_EQ(w.DesignForm(), FDesign.get());
        // The application was started before the window, and asked to start minimised.
        EXPECT_TRUE(WaitUntil([&] { return Exists(started); }));
        Ui.Select(*w.tv1, *w.tv1->Items().Item(2));  // node A: Remember
        Ui.Type(*w._10edit, "77");
        Ui.Select(*w.tv1, *w.tv1->Items().Item(1));  // node B
        w._10btnEditTopic->Click();
        Ui.Choose(*w.mnuFileExit);
    });
    EXPECT_TRUE(inspector.PressEllipsis(ok, "HelpContext"));
    EXPECT_EQ(GetOrdProp(FDesign->FindComponent("Remember"), "HelpContext"), 77);
    EXPECT_EQ(GetOrdProp(ok, "HelpContext"), 120);
    EXPECT_EQ(OneSecondPauses(clock), 1);
    ASSERT_EQ(Ui.ShownForms().size(), 1u);
    EXPECT_EQ(Ui.ShownForms()[0].ClassName, "Tfrm0300");
    EXPECT_TRUE(Ui.ShownForms()[0].Modal);
    EXPECT_TRUE(WaitUntil([&] { return ReadFileText(log) == "EDITDOC\n"; })) << ReadFileText(log);
}

TEST_F(PackageTest, MissingPathShowsTheDialogAtOnceWithoutWaiting) {
    Load();
    TManualClock& clock = zktest::LastingClock();
    clock.AdvanceOnSleep(false);
    TClockScope scope(clock);
    TFormDesigner designer(FDesign.get());
    TObjectInspector inspector(&designer);
    Ui.OnModal([&](TForm& f) {
        auto& dlg = dynamic_cast<Tpx0100&>(f);
        Ui.Click(*dlg.btnClose);
    });
    EXPECT_TRUE(inspector.PressEllipsis(FDesign.get(), "HelpContext"));
    EXPECT_EQ(OneSecondPauses(clock), 0);
    ASSERT_EQ(Ui.ShownForms().size(), 1u);
    EXPECT_EQ(Ui.ShownForms()[0].ClassName, "Tpx0100");
    EXPECT_EQ(Ui.PendingScripts(), 0u);
}

TEST_F(PackageTest, EveryPressStartsANewInstance) {
    Load();
    TManualClock& clock = zktest::LastingClock();
    TClockScope scope(clock);
    std::string marks = FSlots.Path() + "/marks";
    SetRegistryString("Path", "/bin/sh -c \"echo started >> '" + marks + "'\"");
    TFormDesigner designer(FDesign.get());
    TObjectInspector inspector(&designer);
    TComponent* ok = FDesign->FindComponent("OKButton");
    inspector.PressEllipsis(ok, "HelpContext");  // no script: each window closes at once
    inspector.PressEllipsis(ok, "HelpContext");
    EXPECT_TRUE(WaitUntil([&] { return Lines(marks) == 2; }));
}
