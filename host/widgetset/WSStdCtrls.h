// The widget set's standard controls: label, edit, memo, button, check box and panel. Each
// creates the peer of one control; the peer reads the control's state on Changed and hands a
// person's input to the control's own operations (SetText, Click, SetChecked).
#pragma once

#include "zk/host/widgetset/WSControls.h"

namespace zk::forms {

class TButton;
class TCheckBox;
class TCustomEdit;
class TLabel;
class TMemo;
class TPanel;

class TWSStdCtrls {
  public:
    virtual ~TWSStdCtrls() = default;
    virtual TWSPeerPtr CreateLabel(TLabel& Label) = 0;
    // A one-line edit.
    virtual TWSPeerPtr CreateEdit(TCustomEdit& Edit) = 0;
    virtual TWSPeerPtr CreateMemo(TMemo& Memo) = 0;
    virtual TWSPeerPtr CreateButton(TButton& Button) = 0;
    // A person's click toggles Checked, which fires the box's OnClick.
    virtual TWSPeerPtr CreateCheckBox(TCheckBox& CheckBox) = 0;
    virtual TWSPeerPtr CreatePanel(TPanel& Panel) = 0;
};

}  // namespace zk::forms
