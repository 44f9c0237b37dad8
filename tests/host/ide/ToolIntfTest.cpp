#include <gtest/gtest.h>

#include "zk/host/ide/ToolIntf.h"
#include "tests/support/Namespaces.h"

namespace {

const TIMenuFlags kEnabledVisible{mfEnabled, mfVisible};

TIMenuItemIntf* Bar() { return ToolServices->GetMainMenu()->GetMenuItems(); }

TIMenuItemIntf* Insert(TIMenuItemIntf* Parent, int32_t Index, const std::string& Name,
                       TIMenuClickEvent Handler = {}, TIMenuFlags Flags = kEnabledVisible) {
    return Parent->InsertItem(Index, "&" + Name, Name, "Hint of " + Name, 0, 0, 0, Flags,
                              std::move(Handler));
}

std::vector<std::string> ChildNames(TIMenuItemIntf* Item) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < Item->GetItemCount(); ++i) names.push_back(Item->GetItem(i)->GetName());
    return names;
}

}  // namespace

TEST(MenuFlags, EnabledAndVisibleMakeSix) {
    EXPECT_EQ(kEnabledVisible.Bits(), 6u);
    EXPECT_EQ(TIMenuFlags{mfInvisible}.Bits(), 1u);
}

TEST(IdeHost, DefaultMenuEndsWithTheHelpMenuAndServicesLiveWithTheHost) {
    EXPECT_EQ(ToolServices, nullptr);
    {
        TIdeHost ide;
        ASSERT_NE(ToolServices, nullptr);
        std::vector<std::string> names = ide.TopLevelNames();
        ASSERT_FALSE(names.empty());
        EXPECT_EQ(names.front(), "FileMenu");
        EXPECT_EQ(names.back(), "HelpMenu");
        TIMenuItemIntf* help = ToolServices->GetMainMenu()->FindMenuItem("HelpMenu");
        ASSERT_NE(help, nullptr);
        EXPECT_EQ(help->GetCaption(), "&Help");
        EXPECT_EQ(help->GetIndex(), static_cast<int32_t>(names.size()) - 1);
        EXPECT_EQ(help->GetParent(), Bar());
        EXPECT_THROW(TIdeHost second, Exception);  // one IDE at a time
        EXPECT_EQ(ToolServices, &ide.Services());
    }
    EXPECT_EQ(ToolServices, nullptr);
}

TEST(IdeHost, TestsChooseWhereTheHelpMenuStands) {
    TIdeHost ide({{"HelpMenu", "&Help"}, {"FileMenu", "&File"}});
    EXPECT_EQ(ide.TopLevelNames(), (std::vector<std::string>{"HelpMenu", "FileMenu"}));
}

TEST(MenuItems, InsertItemKeepsEveryArgument) {
    TIdeHost ide;
    int32_t helpIndex = ToolServices->GetMainMenu()->FindMenuItem("HelpMenu")->GetIndex();
    TIMenuItemIntf* item = Bar()->InsertItem(helpIndex, "Docu&vane", "DocuvaneMenu", "Docuvane",
                                             16467, 300, 2, kEnabledVisible, {});
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->GetIndex(), helpIndex);
    EXPECT_EQ(Bar()->GetItem(helpIndex + 1)->GetName(), "HelpMenu");  // pushed one to the right
    EXPECT_EQ(item->GetCaption(), "Docu&vane");
    EXPECT_EQ(item->GetName(), "DocuvaneMenu");
    EXPECT_EQ(item->GetHint(), "Docuvane");
    EXPECT_EQ(item->GetShortCut(), 16467);
    EXPECT_EQ(item->GetContext(), 300);
    EXPECT_EQ(item->GetGroupIndex(), 2);
    EXPECT_EQ(item->GetFlags().Bits(), 6u);
    EXPECT_FALSE(item->GetOnClick());
    EXPECT_EQ(item->GetItemCount(), 0);
}

TEST(MenuItems, MinusOneAndIndexesPastTheEndAppend) {
    TIdeHost ide(std::vector<TIdeMenu>{{"HelpMenu", "&Help"}});
    TIMenuItemIntf* menu = Insert(Bar(), 0, "Top");
    Insert(menu, -1, "A");
    Insert(menu, -1, "B");
    Insert(menu, 7, "C");
    Insert(menu, 0, "First");
    Insert(menu, 2, "Middle");
    EXPECT_EQ(ChildNames(menu), (std::vector<std::string>{"First", "A", "Middle", "B", "C"}));
    EXPECT_EQ(ChildNames(Bar()), (std::vector<std::string>{"Top", "HelpMenu"}));
    EXPECT_EQ(menu->GetItem(5), nullptr);
    EXPECT_EQ(menu->GetItem(-1), nullptr);
}

TEST(MenuItems, NamesAreUniqueInTheWholeMenuIgnoringCase) {
    TIdeHost ide;
    TIMenuItemIntf* menu = Insert(Bar(), -1, "DocuvaneMenu");
    Insert(menu, -1, "DocuvaneItem");
    try {
        Insert(Bar(), -1, "docuvaneitem");
        FAIL() << "a second item of that name was inserted";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), "A component named docuvaneitem already exists");
    }
    menu->InsertItem(-1, "-", "", "", 0, 0, 0, kEnabledVisible, {});
    menu->InsertItem(-1, "-", "", "", 0, 0, 0, kEnabledVisible, {});  // unnamed items may repeat
    EXPECT_EQ(menu->GetItemCount(), 3);
}

TEST(MenuItems, DestroyMenuItemRemovesTheItemWithItsSubItems) {
    TIdeHost ide;
    int32_t before = Bar()->GetItemCount();
    TIMenuItemIntf* menu = Insert(Bar(), 3, "DocuvaneMenu");
    TIMenuItemIntf* sub = Insert(menu, -1, "DocuvaneItem");
    Insert(sub, -1, "Deeper");
    EXPECT_TRUE(menu->DestroyMenuItem());
    EXPECT_EQ(Bar()->GetItemCount(), before);
    TIMainMenuIntf* main = ToolServices->GetMainMenu();
    EXPECT_EQ(main->FindMenuItem("DocuvaneMenu"), nullptr);
    EXPECT_EQ(main->FindMenuItem("DocuvaneItem"), nullptr);
    EXPECT_EQ(main->FindMenuItem("Deeper"), nullptr);
    std::vector<std::string> names;
    for (const TIdeMenu& m : TIdeHost::DefaultMenus()) names.push_back(m.Name);
    EXPECT_EQ(ide.TopLevelNames(), names);
    EXPECT_FALSE(Bar()->DestroyMenuItem());  // the bar itself stays
    Insert(Bar(), -1, "DocuvaneMenu");       // the names are free again
}

TEST(MenuItems, ClickFiresTheHandlerWithTheClickedItem) {
    TIdeHost ide;
    std::vector<TIMenuItemIntf*> clicked;
    TIMenuClickEvent spy([&](TIMenuItemIntf* Sender) { clicked.push_back(Sender); });
    TIMenuItemIntf* menu = Insert(Bar(), -1, "DocuvaneMenu");
    TIMenuItemIntf* start = Insert(menu, -1, "DocuvaneItem", spy);
    TIMenuItemIntf* disabled = Insert(menu, -1, "Disabled", spy, {mfVisible});
    TIMenuItemIntf* hidden = Insert(menu, -1, "Hidden", spy, {mfEnabled});
    EXPECT_TRUE(start->Click());
    EXPECT_FALSE(menu->Click());  // no handler
    EXPECT_FALSE(disabled->Click());
    EXPECT_FALSE(hidden->Click());
    EXPECT_EQ(clicked, std::vector<TIMenuItemIntf*>{start});
}

TEST(MenuItems, HandlerMayDestroyItsOwnMenu) {
    TIdeHost ide;
    TIMenuItemIntf* menu = Insert(Bar(), -1, "DocuvaneMenu");
    TIMenuItemIntf* item = Insert(
        menu, -1, "RemoveItem",
        TIMenuClickEvent([](TIMenuItemIntf* Sender) { Sender->GetParent()->DestroyMenuItem(); }));
    EXPECT_TRUE(item->Click());
    EXPECT_EQ(ToolServices->GetMainMenu()->FindMenuItem("DocuvaneMenu"), nullptr);
}
