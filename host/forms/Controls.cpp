#include "zk/host/forms/Controls.h"

#include <algorithm>

#include "zk/host/forms/Forms.h"
#include "zk/host/forms/Widgets.h"

using namespace zk::rtl;

namespace zk::forms {

const TTypeInfo& TypeInfo_TAlign() {
    static const TTypeInfo t{"TAlign",
                             TTypeKind::tkEnumeration,
                             alNone,
                             alClient,
                             {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}};
    return t;
}

const TTypeInfo& TypeInfo_TAlignment() {
    static const TTypeInfo t{"TAlignment",
                             TTypeKind::tkEnumeration,
                             taLeftJustify,
                             taCenter,
                             {"taLeftJustify", "taRightJustify", "taCenter"}};
    return t;
}

const TTypeInfo& TypeInfo_TTabOrder() {
    static const TTypeInfo t{"TTabOrder", TTypeKind::tkInteger, -1, 32767, {}};
    return t;
}

// --- TControl ----------------------------------------------------------------------------------

const TClassInfo& TControl::StaticClass() {
    static const TClassInfo info =
        TClassBuilder<TControl>("TControl", &TComponent::StaticClass())
            .Int("Left", &TControl::Left, &TControl::SetLeft, std::nullopt)
            .Int("Top", &TControl::Top, &TControl::SetTop, std::nullopt)
            .Int("Width", &TControl::Width, &TControl::SetWidth, std::nullopt)
            .Int("Height", &TControl::Height, &TControl::SetHeight, std::nullopt)
            .Bool("Enabled", &TControl::Enabled, &TControl::SetEnabled, true)
            .Bool("Visible", &TControl::Visible, &TControl::SetVisible, true)
            .Build();
    return info;
}

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {}

TControl::~TControl() {
    FPeer.reset();
    if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* AParent) {
    if (AParent == FParent) return;
    for (TWinControl* p = AParent; p; p = p->FParent)
        if (p == this) throw EInvalidOperation("A control cannot be its own parent");
    DestroyPeers();
    if (FParent) FParent->RemoveControl(this);
    FParent = AParent;
    if (FParent) FParent->InsertControl(this);
    // Joining a form that shows: the control shows too.
    if (FParent && FParent->FPeer) CreatePeers(UiBackend());
    Changed();
}

void TControl::SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (ALeft == FLeft && ATop == FTop && AWidth == FWidth && AHeight == FHeight) return;
    FLeft = ALeft;
    FTop = ATop;
    FWidth = AWidth;
    FHeight = AHeight;
    if (FParent && FAlign != alNone) FParent->Realign();
    Resized();
    Changed();
}

void TControl::SetAlign(TAlign Value) {
    if (Value == FAlign) return;
    FAlign = Value;
    if (FParent) FParent->Realign();
    Changed();
}

void TControl::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    if (FParent && FAlign != alNone) FParent->Realign();
    Changed();
}

void TControl::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Changed();
}

bool TControl::IsEnabled() const { return FEnabled && (!FParent || FParent->IsEnabled()); }

bool TControl::Showing() const { return FVisible && FParent && FParent->Showing(); }

void TControl::SetText(const std::string& Value) {
    if (Value == FText) return;
    FText = Value;
    TextChanged();
    Changed();
}

void TControl::Click() {
    if (FOnClick) FOnClick(this);
}

TComponent* TControl::GetParentComponent() const { return FParent; }

void TControl::SetParentComponent(TComponent* Value) {
    if (auto* parent = dynamic_cast<TWinControl*>(Value)) SetParent(parent);
}

void TControl::Changed() {
    if (FPeer) FPeer->Changed();
}

std::unique_ptr<TWSPeer> TControl::CreatePeer(TUiBackend& Ui) {
    return Ui.Controls().CreateControl(*this);
}

void TControl::CreatePeers(TUiBackend& Ui) {
    if (!FPeer) FPeer = CreatePeer(Ui);
}

void TControl::DestroyPeers() { FPeer.reset(); }

// --- TWinControl -------------------------------------------------------------------------------

const TClassInfo& TWinControl::StaticClass() {
    static const TClassInfo info =
        TClassBuilder<TWinControl>("TWinControl", &TControl::StaticClass())
            .Ord("HelpContext", TypeInfo_THelpContext(), &TControl::HelpContext,
                 &TControl::SetHelpContext, 0)
            .Ord("TabOrder", TypeInfo_TTabOrder(), &TWinControl::TabOrder,
                 &TWinControl::SetTabOrder, -1)
            .Build();
    return info;
}

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
    // Nothing is laid out any more while the controls go.
    FAligning = true;
    while (!FControls.empty()) TObject::Free(FControls.back());
}

std::unique_ptr<TWSPeer> TWinControl::CreatePeer(TUiBackend& Ui) {
    return Ui.Controls().CreateWinControl(*this);
}

void TWinControl::CreatePeers(TUiBackend& Ui) {
    TControl::CreatePeers(Ui);
    for (TControl* c : FControls) c->CreatePeers(Ui);
}

void TWinControl::DestroyPeers() {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) (*it)->DestroyPeers();
    TControl::DestroyPeers();
}

TControl* TWinControl::Controls(int32_t Index) const {
    if (Index < 0 || Index >= ControlCount())
        throw Exception("List index out of bounds (" + std::to_string(Index) + ")");
    return FControls[static_cast<size_t>(Index)];
}

void TWinControl::InsertControl(TControl* Control) {
    FControls.push_back(Control);
    if (auto* win = dynamic_cast<TWinControl*>(Control)) FTabList.push_back(win);
    if (Control->Align() != alNone) Realign();
}

void TWinControl::RemoveControl(TControl* Control) {
    std::erase(FControls, Control);
    std::erase(FTabList, static_cast<TControl*>(Control));
    Control->FParent = nullptr;
    if (Control->Align() != alNone) Realign();
}

int32_t TWinControl::TabOrder() const {
    if (!Parent()) return -1;
    const auto& list = Parent()->FTabList;
    return static_cast<int32_t>(std::find(list.begin(), list.end(), this) - list.begin());
}

void TWinControl::SetTabOrder(int32_t Value) {
    if (ComponentState().Contains(csReading)) {
        FTabOrderRead = Value;
        return;
    }
    TWinControl* parent = Parent();
    if (!parent) return;
    auto& list = parent->FTabList;
    int32_t current = TabOrder();
    Value = std::clamp(Value, 0, static_cast<int32_t>(list.size()) - 1);
    if (Value == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + Value, this);
    Changed();
}

void TWinControl::Loaded() {
    TControl::Loaded();
    // Controls read with a tab order take that place; the others keep theirs, after them.
    auto key = [](const TWinControl* c) {
        return c->FTabOrderRead >= 0 ? c->FTabOrderRead : INT32_MAX;
    };
    std::stable_sort(FTabList.begin(), FTabList.end(),
                     [&](const TWinControl* a, const TWinControl* b) { return key(a) < key(b); });
    for (TWinControl* c : FTabList) c->FTabOrderRead = -1;
    Realign();
}

void TWinControl::Realign() {
    TComponentState state = ComponentState();
    if (FAligning || state.Contains(csLoading) || state.Contains(csDestroying)) return;
    FAligning = true;
    TRect rect = ClientRect();
    AdjustClientRect(rect);
    AlignControls(rect);
    FAligning = false;
}

void TWinControl::AlignControls(TRect Rect) {
    for (TAlign align : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (TControl* c : FControls) {
            if (c->Align() != align || !c->Visible()) continue;
            int32_t w = c->Width();
            int32_t h = c->Height();
            switch (align) {
                case alTop:
                    c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), h);
                    Rect.Top += h;
                    break;
                case alBottom:
                    c->SetBounds(Rect.Left, Rect.Bottom - h, Rect.Width(), h);
                    Rect.Bottom -= h;
                    break;
                case alLeft:
                    c->SetBounds(Rect.Left, Rect.Top, w, Rect.Height());
                    Rect.Left += w;
                    break;
                case alRight:
                    c->SetBounds(Rect.Right - w, Rect.Top, w, Rect.Height());
                    Rect.Right -= w;
                    break;
                default:
                    c->SetBounds(Rect.Left, Rect.Top, Rect.Width(), Rect.Height());
                    break;
            }
        }
    }
}

}  // namespace zk::forms
