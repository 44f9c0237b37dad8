#include "zk/host/forms/Menus.h"

#include <algorithm>

#include "zk/host/forms/Forms.h"
#include "zk/host/forms/Widgets.h"

using namespace zk::rtl;

namespace zk::forms {

const TTypeInfo& TypeInfo_TShortCut() {
    static const TTypeInfo t{"TShortCut", TTypeKind::tkInteger, 0, 65535, {}};
    return t;
}

std::string ShortCutToText(TShortCut ShortCut) {
    int key = ShortCut & ~(scShift | scCtrl | scAlt);
    std::string name;
    if (key >= 112 && key <= 123)
        name = "F" + std::to_string(key - 111);
    else if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        name = std::string(1, static_cast<char>(key));
    else {
        static const struct {
            int Key;
            const char* Name;
        } named[] = {{8, "BkSp"},  {9, "Tab"},    {13, "Enter"}, {27, "Esc"},  {32, "Space"},
                     {33, "PgUp"}, {34, "PgDn"},  {35, "End"},   {36, "Home"}, {37, "Left"},
                     {38, "Up"},   {39, "Right"}, {40, "Down"},  {45, "Ins"},  {46, "Del"}};
        for (const auto& n : named)
            if (n.Key == key) name = n.Name;
    }
    if (name.empty()) return "";
    std::string prefix;
    if (ShortCut & scShift) prefix += "Shift+";
    if (ShortCut & scCtrl) prefix += "Ctrl+";
    if (ShortCut & scAlt) prefix += "Alt+";
    return prefix + name;
}

// --- TMenuItem ---------------------------------------------------------------------------------

const TClassInfo& TMenuItem::StaticClass() {
    static const TClassInfo info =
        TClassBuilder<TMenuItem>("TMenuItem", &TComponent::StaticClass())
            .Str("Caption", &TMenuItem::Caption, &TMenuItem::SetCaption)
            .Bool("Checked", &TMenuItem::Checked, &TMenuItem::SetChecked, false)
            .Bool("Enabled", &TMenuItem::Enabled, &TMenuItem::SetEnabled, true)
            .Ord("HelpContext", TypeInfo_THelpContext(), &TMenuItem::HelpContext,
                 &TMenuItem::SetHelpContext, 0)
            .Str("Hint", &TMenuItem::Hint, &TMenuItem::SetHint)
            .Ord("ShortCut", TypeInfo_TShortCut(), &TMenuItem::ShortCut, &TMenuItem::SetShortCut, 0)
            .Bool("Visible", &TMenuItem::Visible, &TMenuItem::SetVisible, true)
            .Event("OnClick", &TMenuItem::OnClick, &TMenuItem::SetOnClick)
            .Build();
    return info;
}

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
    while (!FItems.empty()) TObject::Free(FItems.back());
    if (FParent) FParent->Remove(this);
}

void TMenuItem::SetCaption(const std::string& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    Changed();
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (Value == FShortCut) return;
    FShortCut = Value;
    Changed();
}

void TMenuItem::SetChecked(bool Value) {
    if (Value == FChecked) return;
    FChecked = Value;
    Changed();
}

void TMenuItem::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Changed();
}

void TMenuItem::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    Changed();
}

void TMenuItem::Click() {
    if (FEnabled && FOnClick) FOnClick(this);
}

TMenuItem* TMenuItem::Items(int32_t Index) const {
    if (Index < 0 || Index >= Count())
        throw Exception("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

int32_t TMenuItem::MenuIndex() const {
    if (!FParent) return -1;
    const auto& list = FParent->FItems;
    return static_cast<int32_t>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int32_t Index, TMenuItem* Item) {
    for (TMenuItem* p = this; p; p = p->FParent)
        if (p == Item) throw Exception("A menu item cannot contain itself");
    if (Item->FParent) Item->FParent->Remove(Item);
    Index = std::clamp(Index, 0, Count());
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    Changed();
}

void TMenuItem::Remove(TMenuItem* Item) {
    if (std::erase(FItems, Item) == 0) return;
    Item->FParent = nullptr;
    Changed();
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* root = this;
    while (root->FParent) root = root->FParent;
    return root->FMenu;
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent && FParent->FMenu) return FParent->FMenu;
    return FParent;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
    if (auto* menu = dynamic_cast<TMenu*>(Value))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(Value))
        item->Add(this);
}

void TMenuItem::Changed() {
    if (TMenu* menu = GetParentMenu()) menu->ItemsChanged();
}

// --- TMenu, TMainMenu --------------------------------------------------------------------------

ZK_IMPLEMENT_CLASS(TMenu, TComponent)

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) {
    FItems->FMenu = this;
}

TMenu::~TMenu() { TObject::Free(FItems); }

TMenuItem* TMenu::FindShortCut(TShortCut ShortCut) const {
    auto find = [&](auto& self, const TMenuItem* parent) -> TMenuItem* {
        for (int32_t i = 0; i < parent->Count(); ++i) {
            TMenuItem* item = parent->Items(i);
            if (!item->Visible() || !item->Enabled()) continue;
            if (item->ShortCut() == ShortCut) return item;
            if (TMenuItem* found = self(self, item)) return found;
        }
        return nullptr;
    };
    return ShortCut ? find(find, FItems) : nullptr;
}

const TClassInfo& TMainMenu::StaticClass() {
    static const TClassInfo info =
        TClassBuilder<TMainMenu>("TMainMenu", &TMenu::StaticClass()).Build();
    return info;
}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

TMainMenu::~TMainMenu() {
    FPeer.reset();
    if (FWindow) FWindow->FMenu = nullptr;
}

void TMainMenu::ItemsChanged() {
    if (FPeer) FPeer->Changed();
}

}  // namespace zk::forms
