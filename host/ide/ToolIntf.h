// The IDE's menu services as add-ins reach them (Open Tools API): the global ToolServices, its
// main menu, and the menu items, which can be walked, inserted, destroyed and clicked.
//
// Ownership: the IDE stand-in TIdeHost owns ToolServices, the main menu and every menu item;
// an item owns its sub-items. Pointers handed out stay valid until the item is destroyed
// (DestroyMenuItem, or the TIdeHost going away). Release() is what the API asks callers to do
// with an interface they got; here it does nothing, so calling it or not is equally right.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "zk/host/rtl/Classes.h"
#include "zk/host/rtl/Events.h"

namespace zk::ide {

// Menu item flags, used as a set: {mfEnabled, mfVisible} has the value 6.
enum TIMenuFlag { mfInvisible, mfEnabled, mfVisible, mfChecked, mfBreak, mfBarBreak, mfRadioItem };
using TIMenuFlags = rtl::TSet<TIMenuFlag>;

class TIMenuItemIntf;

// A menu item's click handler; receives the clicked item.
using TIMenuClickEvent = rtl::TEvent<TIMenuItemIntf*>;

class TIMenuItemIntf {
  public:
    TIMenuItemIntf(const TIMenuItemIntf&) = delete;
    TIMenuItemIntf& operator=(const TIMenuItemIntf&) = delete;

    // Does nothing: items belong to the IDE (see above).
    void Release() {}

    int32_t GetItemCount() const { return static_cast<int32_t>(FItems.size()); }
    // The sub-item at Index (0-based), or null when Index is out of range.
    TIMenuItemIntf* GetItem(int32_t Index) const;
    // Position among the parent's sub-items; -1 for the menu bar.
    int32_t GetIndex() const;
    // The item this one is a sub-item of; null for the menu bar.
    TIMenuItemIntf* GetParent() const { return FParent; }
    const std::string& GetName() const { return FName; }
    const std::string& GetCaption() const { return FCaption; }
    const std::string& GetHint() const { return FHint; }
    int32_t GetShortCut() const { return FShortCut; }
    int32_t GetContext() const { return FContext; }
    int32_t GetGroupIndex() const { return FGroupIndex; }
    TIMenuFlags GetFlags() const { return FFlags; }
    const TIMenuClickEvent& GetOnClick() const { return FOnClick; }

    // Inserts a new sub-item before position Index; -1 (or any index past the last child)
    // appends it. Returns the new item, owned by this one. Raises EComponentError "A component
    // named NAME already exists" when a non-empty Name is taken anywhere in the main menu
    // (ignoring case, as for component names).
    TIMenuItemIntf* InsertItem(int32_t Index, const std::string& Caption, const std::string& Name,
                               const std::string& Hint, int32_t ShortCut, int32_t Context,
                               int32_t GroupIndex, TIMenuFlags Flags,
                               TIMenuClickEvent EventHandler);
    // Removes this item with all its sub-items and frees it; the pointer and those of its
    // sub-items are invalid afterwards. False (nothing happens) for the menu bar itself.
    bool DestroyMenuItem();

    // What a person's click does: fires the click handler with this item when the item is
    // enabled and visible and has a handler. True when the handler ran.
    bool Click();

    // The item named Name (exact spelling) in this item's subtree, itself included; or null.
    TIMenuItemIntf* FindItem(const std::string& Name);

  private:
    friend class TIMainMenuIntf;
    TIMenuItemIntf(TIMenuItemIntf* Parent, std::string Caption, std::string Name);

    TIMenuItemIntf* FParent;
    std::string FCaption;
    std::string FName;
    std::string FHint;
    int32_t FShortCut = 0;
    int32_t FContext = 0;
    int32_t FGroupIndex = 0;
    TIMenuFlags FFlags{mfEnabled, mfVisible};
    TIMenuClickEvent FOnClick;
    std::vector<std::unique_ptr<TIMenuItemIntf>> FItems;
};

// The IDE's main menu.
class TIMainMenuIntf {
  public:
    TIMainMenuIntf();
    TIMainMenuIntf(const TIMainMenuIntf&) = delete;
    TIMainMenuIntf& operator=(const TIMainMenuIntf&) = delete;

    void Release() {}
    // The menu bar: its sub-items are the top-level menus.
    TIMenuItemIntf* GetMenuItems() { return &FBar; }
    // The item named Name anywhere in the menu, or null.
    TIMenuItemIntf* FindMenuItem(const std::string& Name) { return FBar.FindItem(Name); }

  private:
    TIMenuItemIntf FBar;
};

class TIToolServices {
  public:
    TIToolServices() = default;
    TIToolServices(const TIToolServices&) = delete;
    TIToolServices& operator=(const TIToolServices&) = delete;

    TIMainMenuIntf* GetMainMenu() { return &FMainMenu; }

  private:
    TIMainMenuIntf FMainMenu;
};

// The IDE's services while a TIdeHost exists; null otherwise.
extern TIToolServices* ToolServices;

// A top-level menu of the IDE stand-in: its name and caption.
struct TIdeMenu {
    std::string Name;
    std::string Caption;
};

// The IDE stand-in. While it exists ToolServices points at its services, whose main menu holds
// the given top-level menus in order (each with no sub-items, enabled and visible). Only one
// may exist at a time.
class TIdeHost {
  public:
    // The default IDE menu: File, Edit, Search, View, Project, Run, Component, Database,
    // Tools, and last "&Help" named "HelpMenu".
    TIdeHost();
    explicit TIdeHost(const std::vector<TIdeMenu>& Menus);
    ~TIdeHost();
    TIdeHost(const TIdeHost&) = delete;
    TIdeHost& operator=(const TIdeHost&) = delete;

    static std::vector<TIdeMenu> DefaultMenus();
    TIToolServices& Services() { return FServices; }
    // The top-level menu names in order, for checks on where an add-in put its menu.
    std::vector<std::string> TopLevelNames();

  private:
    TIToolServices FServices;
};

}  // namespace zk::ide
