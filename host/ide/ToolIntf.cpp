#include "zk/host/ide/ToolIntf.h"

using namespace zk::rtl;

namespace zk::ide {

TIToolServices* ToolServices = nullptr;

namespace {

// True when Item or one of its sub-items is named Name, ignoring case as component names do.
bool NameTaken(const TIMenuItemIntf* Item, const std::string& Name) {
    if (StrIComp(Item->GetName().c_str(), Name.c_str()) == 0) return true;
    for (int32_t i = 0; i < Item->GetItemCount(); ++i)
        if (NameTaken(Item->GetItem(i), Name)) return true;
    return false;
}

}  // namespace

TIMenuItemIntf::TIMenuItemIntf(TIMenuItemIntf* Parent, std::string Caption, std::string Name)
    : FParent(Parent), FCaption(std::move(Caption)), FName(std::move(Name)) {}

TIMenuItemIntf* TIMenuItemIntf::GetItem(int32_t Index) const {
    if (Index < 0 || Index >= GetItemCount()) return nullptr;
    return FItems[static_cast<size_t>(Index)].get();
}

int32_t TIMenuItemIntf::GetIndex() const {
    if (!FParent) return -1;
    for (size_t i = 0; i < FParent->FItems.size(); ++i)
        if (FParent->FItems[i].get() == this) return static_cast<int32_t>(i);
    return -1;
}

TIMenuItemIntf* TIMenuItemIntf::InsertItem(int32_t Index, const std::string& Caption,
                                           const std::string& Name, const std::string& Hint,
                                           int32_t ShortCut, int32_t Context, int32_t GroupIndex,
                                           TIMenuFlags Flags, TIMenuClickEvent EventHandler) {
    // Menu items are components of the IDE's main form, so their names are unique there.
    TIMenuItemIntf* root = this;
    while (root->FParent) root = root->FParent;
    if (!Name.empty() && NameTaken(root, Name))
        throw EComponentError("A component named " + Name + " already exists");

    std::unique_ptr<TIMenuItemIntf> item(new TIMenuItemIntf(this, Caption, Name));
    item->FHint = Hint;
    item->FShortCut = ShortCut;
    item->FContext = Context;
    item->FGroupIndex = GroupIndex;
    item->FFlags = Flags;
    item->FOnClick = std::move(EventHandler);
    TIMenuItemIntf* result = item.get();
    size_t at = Index < 0 || Index >= GetItemCount() ? FItems.size() : static_cast<size_t>(Index);
    FItems.insert(FItems.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    return result;
}

bool TIMenuItemIntf::DestroyMenuItem() {
    if (!FParent) return false;
    auto& siblings = FParent->FItems;
    for (auto it = siblings.begin(); it != siblings.end(); ++it)
        if (it->get() == this) {
            siblings.erase(it);  // frees this item and its subtree: touch no member after this
            return true;
        }
    return false;
}

bool TIMenuItemIntf::Click() {
    if (!FOnClick || !FFlags.Contains(mfEnabled) || !FFlags.Contains(mfVisible)) return false;
    // A handler may destroy the item it was called for; keep the handler alive on our side.
    TIMenuClickEvent handler = FOnClick;
    handler(this);
    return true;
}

TIMenuItemIntf* TIMenuItemIntf::FindItem(const std::string& Name) {
    if (FName == Name) return this;
    for (auto& item : FItems)
        if (TIMenuItemIntf* found = item->FindItem(Name)) return found;
    return nullptr;
}

TIMainMenuIntf::TIMainMenuIntf() : FBar(nullptr, "", "") {}

TIdeHost::TIdeHost() : TIdeHost(DefaultMenus()) {}

TIdeHost::TIdeHost(const std::vector<TIdeMenu>& Menus) {
    if (ToolServices) throw Exception("An IDE host exists already");
    TIMenuItemIntf* bar = FServices.GetMainMenu()->GetMenuItems();
    for (const TIdeMenu& m : Menus)
        bar->InsertItem(-1, m.Caption, m.Name, "", 0, 0, 0, {mfEnabled, mfVisible}, {});
    ToolServices = &FServices;
}

TIdeHost::~TIdeHost() { ToolServices = nullptr; }

std::vector<TIdeMenu> TIdeHost::DefaultMenus() {
    return {{"FileMenu", "&File"},           {"EditMenu", "&Edit"},
            {"SearchMenu", "&Search"},       {"ViewMenu", "&View"},
            {"ProjectMenu", "&Project"},     {"RunMenu", "&Run"},
            {"ComponentMenu", "&Component"}, {"DatabaseMenu", "&Database"},
            {"ToolsMenu", "&Tools"},         {"HelpMenu", "&Help"}};
}

std::vector<std::string> TIdeHost::TopLevelNames() {
    std::vector<std::string> names;
    TIMenuItemIntf* bar = FServices.GetMainMenu()->GetMenuItems();
    for (int32_t i = 0; i < bar->GetItemCount(); ++i) names.push_back(bar->GetItem(i)->GetName());
    return names;
}

}  // namespace zk::ide
