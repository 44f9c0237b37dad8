// Standard controls: label, edit, memo, button, check box and panel.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zk/host/forms/Controls.h"

namespace zk::forms {

enum TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };

const rtl::TTypeInfo& TypeInfo_TScrollStyle();
const rtl::TTypeInfo& TypeInfo_TBevelCut();

// A caption on the form. Not windowed: it has no help context and no tab order.
class TLabel : public TControl {
    ZK_CLASS(TLabel)
  public:
    explicit TLabel(TComponent* AOwner);
    std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui) override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

  private:
    TAlignment FAlignment = taLeftJustify;
};

// The common part of edits: the text a person types (the window text), read-only state and
// OnChange, fired whenever the text changes.
class TCustomEdit : public TWinControl {
    ZK_CLASS(TCustomEdit)
  public:
    explicit TCustomEdit(TComponent* AOwner);
    std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui) override;

    // A read-only edit refuses a person's typing; the program may still set its text.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);

    const rtl::TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(rtl::TNotifyEvent Value) { FOnChange = std::move(Value); }

  protected:
    void TextChanged() override;

  private:
    bool FReadOnly = false;
    rtl::TNotifyEvent FOnChange;
};

class TEdit : public TCustomEdit {
    ZK_CLASS(TEdit)
  public:
    explicit TEdit(TComponent* AOwner);
};

// A text of several lines. Lines is its content; Text is the lines, each ended by CR LF, and
// setting Text splits it at CR LF, LF or CR.
class TMemo : public TCustomEdit {
    ZK_CLASS(TMemo)
  public:
    explicit TMemo(TComponent* AOwner);
    std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui) override;

    const std::vector<std::string>& Lines() const { return FLines; }
    void SetLines(const std::vector<std::string>& Value);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);

  protected:
    void TextChanged() override;

  private:
    std::vector<std::string> FLines;
    TScrollStyle FScrollBars = ssNone;
    TAlignment FAlignment = taLeftJustify;
};

class TButton : public TWinControl {
    ZK_CLASS(TButton)
  public:
    explicit TButton(TComponent* AOwner);
    std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui) override;
};

// Setting Checked to a new value fires OnClick, as a person's click does, except while the box
// is being read from a form file.
class TCheckBox : public TWinControl {
    ZK_CLASS(TCheckBox)
  public:
    explicit TCheckBox(TComponent* AOwner);
    std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui) override;

    bool Checked() const { return FChecked; }
    void SetChecked(bool Value);

  private:
    bool FChecked = false;
};

// A container with a caption, bevels and a border; aligned controls fill the area inside the
// border and the bevels.
class TPanel : public TWinControl {
    ZK_CLASS(TPanel)
  public:
    explicit TPanel(TComponent* AOwner);
    std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui) override;

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TBevelCut BevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    int32_t BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int32_t Value);
    int32_t BorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int32_t Value);

  protected:
    void AdjustClientRect(TRect& Rect) const override;

  private:
    void BordersChanged();

    TAlignment FAlignment = taCenter;
    TBevelCut FBevelOuter = bvRaised;
    TBevelCut FBevelInner = bvNone;
    int32_t FBevelWidth = 1;
    int32_t FBorderWidth = 0;
};

}  // namespace zk::forms
