#include "zk/host/forms/TabNotbk.h"

#include "zk/host/forms/Widgets.h"

using namespace zk::rtl;

namespace zk::forms {

const TClassInfo& TTabPage::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TTabPage> b("TTabPage", &TWinControl::StaticClass());
        PublishCaption(b);
        return b.Build();
    }();
    return info;
}

// Pages fill the notebook's area below the tabs.
TTabPage::TTabPage(TComponent* AOwner) : TWinControl(AOwner) { SetAlign(alClient); }

std::unique_ptr<TWSPeer> TTabPage::CreatePeer(TUiBackend& Ui) {
    return Ui.ComCtrls().CreateTabPage(*this);
}

bool TTabPage::Showing() const {
    auto* notebook = dynamic_cast<TTabbedNotebook*>(Parent());
    return TWinControl::Showing() && (!notebook || notebook->ActivePage() == this);
}

const TClassInfo& TTabbedNotebook::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TTabbedNotebook> b("TTabbedNotebook", &TWinControl::StaticClass());
        PublishAlign(b);
        b.Int("PageIndex", &TTabbedNotebook::PageIndex, &TTabbedNotebook::SetPageIndex, 0);
        return b.Build();
    }();
    return info;
}

TTabbedNotebook::TTabbedNotebook(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 300, 250);
}

std::unique_ptr<TWSPeer> TTabbedNotebook::CreatePeer(TUiBackend& Ui) {
    return Ui.ComCtrls().CreateTabbedNotebook(*this);
}

std::vector<TTabPage*> TTabbedNotebook::PageList() const {
    std::vector<TTabPage*> pages;
    for (int32_t i = 0; i < ControlCount(); ++i)
        if (auto* page = dynamic_cast<TTabPage*>(Controls(i))) pages.push_back(page);
    return pages;
}

int32_t TTabbedNotebook::PageCount() const { return static_cast<int32_t>(PageList().size()); }

TTabPage* TTabbedNotebook::Page(int32_t Index) const {
    std::vector<TTabPage*> pages = PageList();
    if (Index < 0 || Index >= static_cast<int32_t>(pages.size()))
        throw Exception("List index out of bounds (" + std::to_string(Index) + ")");
    return pages[static_cast<size_t>(Index)];
}

std::vector<std::string> TTabbedNotebook::Pages() const {
    std::vector<std::string> captions;
    for (TTabPage* page : PageList()) captions.push_back(page->Caption());
    return captions;
}

void TTabbedNotebook::SetPageIndex(int32_t Value) {
    if (ComponentState().Contains(csLoading)) {
        FPageIndex = Value;
        return;
    }
    if (Value == FPageIndex || Value < 0 || Value >= PageCount()) return;
    FPageIndex = Value;
    Changed();
    // Which page shows changed with it.
    for (TTabPage* page : PageList()) page->Changed();
}

TTabPage* TTabbedNotebook::ActivePage() const {
    std::vector<TTabPage*> pages = PageList();
    if (FPageIndex < 0 || FPageIndex >= static_cast<int32_t>(pages.size())) return nullptr;
    return pages[static_cast<size_t>(FPageIndex)];
}

void TTabbedNotebook::Loaded() {
    TWinControl::Loaded();
    if (FPageIndex < 0 || FPageIndex >= PageCount()) FPageIndex = 0;
}

void TTabbedNotebook::AdjustClientRect(TRect& Rect) const {
    Rect = {Rect.Left + 4, Rect.Top + 24, Rect.Right - 4, Rect.Bottom - 4};
}

}  // namespace zk::forms
