// Controls: TControl (bounds, alignment, visibility, window text, click event) and TWinControl,
// a control that holds other controls, lays out the aligned ones and keeps their tab order.
//
// A control holds its whole state; its peer on the user-interface back end (host/forms/Widgets.h)
// only shows it. Every setter returns when the value does not change, stores it, and tells the
// peer, if the control has one (while its form shows). Controls sit on a parent (Parent) and are
// owned by a component (normally their form), two separate relations: a control leaves its parent
// when destroyed, and a windowed control frees the controls still on it when it is destroyed
// itself.
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

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// Enumeration type information, for published properties of these types.
const rtl::TTypeInfo& TypeInfo_TAlign();
const rtl::TTypeInfo& TypeInfo_TAlignment();
// The tab order type: -1 (no parent) up to 32767.
const rtl::TTypeInfo& TypeInfo_TTabOrder();

struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
    bool operator==(const TRect&) const = default;
};

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
};

// Raised for an operation the control's state does not allow (a visible form made modal, input
// to a control a person cannot reach).
class EInvalidOperation : public rtl::Exception {
  public:
    using Exception::Exception;
};

class TUiBackend;
class TWinControl;
class TWSPeer;

class TControl : public rtl::TComponent {
    ZK_CLASS(TControl)
  public:
    explicit TControl(TComponent* AOwner);
    // Leaves its parent.
    ~TControl() override;

    TWinControl* Parent() const { return FParent; }
    // Moves the control onto AParent (at the end of its controls), or off any parent for null.
    virtual void SetParent(TWinControl* AParent);

    int32_t Left() const { return FLeft; }
    int32_t Top() const { return FTop; }
    int32_t Width() const { return FWidth; }
    int32_t Height() const { return FHeight; }
    void SetLeft(int32_t Value) { SetBounds(Value, FTop, FWidth, FHeight); }
    void SetTop(int32_t Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
    void SetWidth(int32_t Value) { SetBounds(FLeft, FTop, Value, FHeight); }
    void SetHeight(int32_t Value) { SetBounds(FLeft, FTop, FWidth, Value); }
    // Sets all four at once; negative sizes become 0. An aligned control makes its parent
    // lay out its controls again.
    virtual void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight);
    TRect BoundsRect() const { return {FLeft, FTop, FLeft + FWidth, FTop + FHeight}; }

    TAlign Align() const { return FAlign; }
    void SetAlign(TAlign Value);
    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // Enabled, and every parent enabled too.
    bool IsEnabled() const;
    // True when a person could see the control: it and its parents are visible and its form
    // is shown (a notebook page only while it is the active page).
    virtual bool Showing() const;

    // The window text: Caption and Text are two names for it, as classes publish one or the other.
    const std::string& Caption() const { return FText; }
    void SetCaption(const std::string& Value) { SetText(Value); }
    const std::string& Text() const { return FText; }
    void SetText(const std::string& Value);

    rtl::THelpContext HelpContext() const { return FHelpContext; }
    void SetHelpContext(rtl::THelpContext Value) { FHelpContext = Value; }

    const rtl::TNotifyEvent& OnClick() const { return FOnClick; }
    void SetOnClick(rtl::TNotifyEvent Value) { FOnClick = std::move(Value); }
    // Fires OnClick, if assigned.
    virtual void Click();

    TComponent* GetParentComponent() const override;
    void SetParentComponent(TComponent* Value) override;

    // The control's presence on the back end that shows its form; null while the form is hidden.
    TWSPeer* Peer() const { return FPeer.get(); }
    // A new peer from the family of Ui that the control's class belongs to.
    virtual std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui);

  protected:
    // Tells the peer, if there is one, that something a person can see changed.
    void Changed();
    // Creates the peers of the control and of the controls on it that have none, parents
    // first; destroys them, children first.
    virtual void CreatePeers(TUiBackend& Ui);
    virtual void DestroyPeers();
    // Runs after the window text changed (edits fire OnChange here).
    virtual void TextChanged() {}
    // Runs after the control was moved or resized.
    virtual void Resized() {}

  private:
    friend class TWinControl;
    TWinControl* FParent = nullptr;
    int32_t FLeft = 0;
    int32_t FTop = 0;
    int32_t FWidth = 0;
    int32_t FHeight = 0;
    TAlign FAlign = alNone;
    bool FVisible = true;
    bool FEnabled = true;
    std::string FText;
    rtl::THelpContext FHelpContext = 0;
    rtl::TNotifyEvent FOnClick;
    std::unique_ptr<TWSPeer> FPeer;
};

class TWinControl : public TControl {
    ZK_CLASS(TWinControl)
  public:
    explicit TWinControl(TComponent* AOwner);
    // Frees the controls still on it, the last first.
    ~TWinControl() override;

    int32_t ControlCount() const { return static_cast<int32_t>(FControls.size()); }
    // The control at Index on this one, in the order they were placed.
    TControl* Controls(int32_t Index) const;
    // The windowed controls on this one, in tab order.
    const std::vector<TWinControl*>& TabList() const { return FTabList; }

    // Position in the parent's tab order; -1 without a parent. Setting it moves the control
    // there (clamped to the list). While the form is read, the values are collected and the
    // order is settled once all controls are there.
    int32_t TabOrder() const;
    void SetTabOrder(int32_t Value);

    // The area aligned controls share, in the control's own coordinates.
    virtual TRect ClientRect() const { return {0, 0, Width(), Height()}; }
    // Lays out the aligned controls again; nothing while the control is being read.
    void Realign();

    void Loaded() override;
    std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui) override;

  protected:
    void CreatePeers(TUiBackend& Ui) override;
    void DestroyPeers() override;
    // Narrows the client area to what aligned controls may cover (borders, bevels, tabs).
    virtual void AdjustClientRect(TRect& /*Rect*/) const {}
    // Places the aligned controls in Rect: top, bottom, left, right, then client-aligned.
    virtual void AlignControls(TRect Rect);
    void Resized() override { Realign(); }

  private:
    friend class TControl;
    void InsertControl(TControl* Control);
    void RemoveControl(TControl* Control);

    std::vector<TControl*> FControls;
    std::vector<TWinControl*> FTabList;
    int32_t FTabOrderRead = -1;  // the value read from a form, settled in the parent's Loaded
    bool FAligning = false;
};

// Publishing helpers for the control classes, so each publishes only what it shows.
template <class C>
void PublishAlign(rtl::TClassBuilder<C>& B) {
    B.Ord(
        "Align", TypeInfo_TAlign(), &TControl::Align,
        [](C& c, int64_t v) { c.SetAlign(static_cast<TAlign>(v)); }, alNone);
}
template <class C>
void PublishCaption(rtl::TClassBuilder<C>& B) {
    B.Str("Caption", &TControl::Caption, &TControl::SetCaption);
}
template <class C>
void PublishOnClick(rtl::TClassBuilder<C>& B) {
    B.Event("OnClick", &TControl::OnClick, &TControl::SetOnClick);
}

}  // namespace zk::forms
