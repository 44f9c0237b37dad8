#include "zk/host/forms/StdCtrls.h"

#include "zk/host/forms/Widgets.h"

using namespace zk::rtl;

namespace zk::forms {

const TTypeInfo& TypeInfo_TScrollStyle() {
    static const TTypeInfo t{"TScrollStyle",
                             TTypeKind::tkEnumeration,
                             ssNone,
                             ssBoth,
                             {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}};
    return t;
}

const TTypeInfo& TypeInfo_TBevelCut() {
    static const TTypeInfo t{"TBevelCut",
                             TTypeKind::tkEnumeration,
                             bvNone,
                             bvSpace,
                             {"bvNone", "bvLowered", "bvRaised", "bvSpace"}};
    return t;
}

namespace {

template <class C>
void PublishAlignment(TClassBuilder<C>& B, TAlignment Default) {
    B.Ord(
        "Alignment", TypeInfo_TAlignment(), &C::Alignment,
        [](C& c, int64_t v) { c.SetAlignment(static_cast<TAlignment>(v)); }, Default);
}

template <class C>
void PublishEditEvents(TClassBuilder<C>& B) {
    B.Event("OnChange", &TCustomEdit::OnChange, &TCustomEdit::SetOnChange);
    PublishOnClick(B);
}

// Lines as Delphi's string lists take a text apart: each line ends at CR LF, LF or CR, and a
// last line needs no break.
std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < Text.size()) {
        size_t brk = Text.find_first_of("\r\n", pos);
        if (brk == std::string::npos) {
            lines.push_back(Text.substr(pos));
            break;
        }
        lines.push_back(Text.substr(pos, brk - pos));
        pos = brk + ((Text[brk] == '\r' && brk + 1 < Text.size() && Text[brk + 1] == '\n') ? 2 : 1);
    }
    return lines;
}

}  // namespace

// --- TLabel ------------------------------------------------------------------------------------

const TClassInfo& TLabel::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TLabel> b("TLabel", &TControl::StaticClass());
        PublishAlign(b);
        PublishAlignment(b, taLeftJustify);
        PublishCaption(b);
        PublishOnClick(b);
        return b.Build();
    }();
    return info;
}

TLabel::TLabel(TComponent* AOwner) : TControl(AOwner) { SetBounds(0, 0, 32, 13); }

std::unique_ptr<TWSPeer> TLabel::CreatePeer(TUiBackend& Ui) {
    return Ui.StdCtrls().CreateLabel(*this);
}

void TLabel::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Changed();
}

// --- edits -------------------------------------------------------------------------------------

ZK_IMPLEMENT_CLASS(TCustomEdit, TWinControl)

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 121, 21); }

std::unique_ptr<TWSPeer> TCustomEdit::CreatePeer(TUiBackend& Ui) {
    return Ui.StdCtrls().CreateEdit(*this);
}

void TCustomEdit::SetReadOnly(bool Value) {
    if (Value == FReadOnly) return;
    FReadOnly = Value;
    Changed();
}

void TCustomEdit::TextChanged() {
    if (FOnChange) FOnChange(this);
}

const TClassInfo& TEdit::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TEdit> b("TEdit", &TCustomEdit::StaticClass());
        b.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false);
        b.Str("Text", &TControl::Text, &TControl::SetText);
        PublishEditEvents(b);
        return b.Build();
    }();
    return info;
}

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

const TClassInfo& TMemo::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TMemo> b("TMemo", &TCustomEdit::StaticClass());
        PublishAlign(b);
        PublishAlignment(b, taLeftJustify);
        b.List("Lines.Strings", &TMemo::Lines, &TMemo::SetLines);
        b.Bool("ReadOnly", &TCustomEdit::ReadOnly, &TCustomEdit::SetReadOnly, false);
        b.Ord(
            "ScrollBars", TypeInfo_TScrollStyle(), &TMemo::ScrollBars,
            [](TMemo& m, int64_t v) { m.SetScrollBars(static_cast<TScrollStyle>(v)); }, ssNone);
        PublishEditEvents(b);
        return b.Build();
    }();
    return info;
}

TMemo::TMemo(TComponent* AOwner) : TCustomEdit(AOwner) { SetBounds(0, 0, 185, 89); }

std::unique_ptr<TWSPeer> TMemo::CreatePeer(TUiBackend& Ui) {
    return Ui.StdCtrls().CreateMemo(*this);
}

void TMemo::SetLines(const std::vector<std::string>& Value) {
    std::string text;
    for (const std::string& line : Value) text += line + "\r\n";
    SetText(text);
}

void TMemo::TextChanged() {
    FLines = SplitLines(Text());
    TCustomEdit::TextChanged();
}

void TMemo::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars) return;
    FScrollBars = Value;
    Changed();
}

void TMemo::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Changed();
}

// --- TButton, TCheckBox ------------------------------------------------------------------------

const TClassInfo& TButton::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TButton> b("TButton", &TWinControl::StaticClass());
        PublishCaption(b);
        PublishOnClick(b);
        return b.Build();
    }();
    return info;
}

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 75, 25); }

std::unique_ptr<TWSPeer> TButton::CreatePeer(TUiBackend& Ui) {
    return Ui.StdCtrls().CreateButton(*this);
}

const TClassInfo& TCheckBox::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TCheckBox> b("TCheckBox", &TWinControl::StaticClass());
        PublishCaption(b);
        b.Bool("Checked", &TCheckBox::Checked, &TCheckBox::SetChecked, false);
        PublishOnClick(b);
        return b.Build();
    }();
    return info;
}

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 97, 17); }

std::unique_ptr<TWSPeer> TCheckBox::CreatePeer(TUiBackend& Ui) {
    return Ui.StdCtrls().CreateCheckBox(*this);
}

void TCheckBox::SetChecked(bool Value) {
    if (Value == FChecked) return;
    FChecked = Value;
    Changed();
    if (!ComponentState().Contains(csLoading)) Click();
}

// --- TPanel ------------------------------------------------------------------------------------

const TClassInfo& TPanel::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TPanel> b("TPanel", &TWinControl::StaticClass());
        PublishAlign(b);
        PublishAlignment(b, taCenter);
        auto bevel = [&](const char* name, TBevelCut (TPanel::*get)() const,
                         void (TPanel::*set)(TBevelCut), TBevelCut def) {
            b.Ord(
                name, TypeInfo_TBevelCut(), get,
                [set](TPanel& p, int64_t v) { (p.*set)(static_cast<TBevelCut>(v)); }, def);
        };
        bevel("BevelInner", &TPanel::BevelInner, &TPanel::SetBevelInner, bvNone);
        bevel("BevelOuter", &TPanel::BevelOuter, &TPanel::SetBevelOuter, bvRaised);
        b.Int("BevelWidth", &TPanel::BevelWidth, &TPanel::SetBevelWidth, 1);
        b.Int("BorderWidth", &TPanel::BorderWidth, &TPanel::SetBorderWidth, 0);
        PublishCaption(b);
        PublishOnClick(b);
        return b.Build();
    }();
    return info;
}

TPanel::TPanel(TComponent* AOwner) : TWinControl(AOwner) { SetBounds(0, 0, 185, 41); }

std::unique_ptr<TWSPeer> TPanel::CreatePeer(TUiBackend& Ui) {
    return Ui.StdCtrls().CreatePanel(*this);
}

void TPanel::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Changed();
}

void TPanel::SetBevelOuter(TBevelCut Value) {
    if (Value == FBevelOuter) return;
    FBevelOuter = Value;
    BordersChanged();
}

void TPanel::SetBevelInner(TBevelCut Value) {
    if (Value == FBevelInner) return;
    FBevelInner = Value;
    BordersChanged();
}

void TPanel::SetBevelWidth(int32_t Value) {
    if (Value == FBevelWidth) return;
    FBevelWidth = Value;
    BordersChanged();
}

void TPanel::SetBorderWidth(int32_t Value) {
    if (Value == FBorderWidth) return;
    FBorderWidth = Value;
    BordersChanged();
}

void TPanel::BordersChanged() {
    Realign();
    Changed();
}

void TPanel::AdjustClientRect(TRect& Rect) const {
    int32_t inset = FBorderWidth;
    if (FBevelOuter != bvNone) inset += FBevelWidth;
    if (FBevelInner != bvNone) inset += FBevelWidth;
    Rect = {Rect.Left + inset, Rect.Top + inset, Rect.Right - inset, Rect.Bottom - inset};
}

}  // namespace zk::forms
