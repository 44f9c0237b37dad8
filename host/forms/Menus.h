// Menus: TMainMenu, the menu bar of a form, and TMenuItem, its commands and sub-menus.
//
// A menu holds an invisible root item whose children are the top-level items. Items are
// components (owned by the form, like controls) nested under their parent item; in a form file
// nested items are nested objects inside the menu's object. A caption "-" makes a separator;
// '&' marks the access key and stays in the caption.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "zk/host/rtl/Classes.h"
#include "zk/host/rtl/Events.h"
#include "zk/host/rtl/HelpContext.h"
#include "zk/host/rtl/TypInfo.h"

namespace zk::forms {

class TForm;
class TMenu;
class TWSPeer;

// A key code plus modifier bits, as the host's menus take it; F1 is 112, 0 is none.
using TShortCut = uint16_t;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;

const rtl::TTypeInfo& TypeInfo_TShortCut();
// The text a menu shows for a short cut: "F1", "Ctrl+S", "Shift+Del"; empty for 0 or a key
// without a name.
std::string ShortCutToText(TShortCut ShortCut);

class TMenuItem : public rtl::TComponent {
    ZK_CLASS(TMenuItem)
  public:
    explicit TMenuItem(TComponent* AOwner);
    // Leaves its parent item and frees the sub-items still in it.
    ~TMenuItem() override;

    const std::string& Caption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // A separator line: the caption "-".
    bool IsLine() const { return FCaption == "-"; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    const std::string& Hint() const { return FHint; }
    void SetHint(const std::string& Value) { FHint = Value; }
    rtl::THelpContext HelpContext() const { return FHelpContext; }
    void SetHelpContext(rtl::THelpContext Value) { FHelpContext = Value; }
    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    const rtl::TNotifyEvent& OnClick() const { return FOnClick; }
    void SetOnClick(rtl::TNotifyEvent Value) { FOnClick = std::move(Value); }
    // Fires OnClick when the item is enabled.
    virtual void Click();

    // Sub-items, in menu order.
    int32_t Count() const { return static_cast<int32_t>(FItems.size()); }
    TMenuItem* Items(int32_t Index) const;
    TMenuItem* Parent() const { return FParent; }
    // Position in the parent's sub-items; -1 without a parent.
    int32_t MenuIndex() const;
    // Appends Item, or inserts it at Index (clamped); an item elsewhere leaves its old parent.
    void Add(TMenuItem* Item);
    void Insert(int32_t Index, TMenuItem* Item);
    // Takes Item out of the sub-items without freeing it.
    void Remove(TMenuItem* Item);
    // The menu the item belongs to, through its root item; null when detached.
    TMenu* GetParentMenu() const;

    // Top-level items answer their menu, others their parent item.
    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

  private:
    friend class TMenu;
    void Changed();

    std::string FCaption;
    TShortCut FShortCut = 0;
    std::string FHint;
    rtl::THelpContext FHelpContext = 0;
    bool FChecked = false;
    bool FEnabled = true;
    bool FVisible = true;
    rtl::TNotifyEvent FOnClick;
    TMenuItem* FParent = nullptr;
    std::vector<TMenuItem*> FItems;
    TMenu* FMenu = nullptr;  // set on a menu's root item only
};

class TMenu : public rtl::TComponent {
    ZK_CLASS(TMenu)
  public:
    explicit TMenu(TComponent* AOwner);
    // Frees the root item and the items still under it.
    ~TMenu() override;

    // The root item; its sub-items are the top-level items.
    TMenuItem* Items() const { return FItems; }
    // The visible, enabled item (under visible, enabled parents) with that short cut, depth
    // first in menu order; null when none.
    TMenuItem* FindShortCut(TShortCut ShortCut) const;
    // The form that shows the menu; null when none.
    virtual TForm* Window() const { return nullptr; }

  protected:
    // An item under the root changed.
    virtual void ItemsChanged() {}

  private:
    friend class TMenuItem;
    TMenuItem* FItems;
};

class TMainMenu : public TMenu {
    ZK_CLASS(TMainMenu)
  public:
    explicit TMainMenu(TComponent* AOwner);
    // A menu destroyed while a form shows it is taken off the form.
    ~TMainMenu() override;

    // The form whose menu bar this is (TForm::SetMenu); null when none.
    TForm* Window() const override { return FWindow; }

    // The menu bar's presence on the back end that shows its form; null while not shown.
    TWSPeer* Peer() const { return FPeer.get(); }

  protected:
    void ItemsChanged() override;

  private:
    friend class TForm;
    TForm* FWindow = nullptr;
    std::unique_ptr<TWSPeer> FPeer;
};

}  // namespace zk::forms
