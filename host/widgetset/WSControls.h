// The widget set: what a user-interface back end offers the form library, one interface per
// control family (this file: the peer itself and the plain controls; WSStdCtrls.h, WSComCtrls.h,
// WSMenus.h and WSForms.h the others). A control keeps its whole state and fires its own events;
// its peer is its presence on one back end. A control asks the family of its own class for its
// peer (TControl::CreatePeer), so no back end ever tests a control's type.
//
// Peers live while their form shows: the form creates them for itself and every control on it
// when it is shown (parents before children), a control that joins a shown form gets its own,
// and they are destroyed children first when the form is hidden or the control goes. A back end
// installed while a form shows only serves the forms shown after it.
#pragma once

#include <memory>

namespace zk::forms {

class TControl;
class TWinControl;

class TWSPeer {
  public:
    virtual ~TWSPeer() = default;
    // Something a person can see changed on the peer's control (a caption, a bound, visibility,
    // a check state, the nodes of a tree, a menu item): show the control as it is now.
    virtual void Changed() = 0;
};

using TWSPeerPtr = std::unique_ptr<TWSPeer>;

// Peers of controls that are nothing more than a control or a container of controls.
class TWSControls {
  public:
    virtual ~TWSControls() = default;
    virtual TWSPeerPtr CreateControl(TControl& Control) = 0;
    virtual TWSPeerPtr CreateWinControl(TWinControl& Control) = 0;
};

}  // namespace zk::forms
