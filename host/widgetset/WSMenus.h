// The widget set's menus: the menu bar of a form. Its peer is created with its form's peers;
// Changed reports a change of any item under it (caption, short cut, check, enabled, visible,
// items added or removed).
#pragma once

#include "zk/host/widgetset/WSControls.h"

namespace zk::forms {

class TMainMenu;

class TWSMenus {
  public:
    virtual ~TWSMenus() = default;
    // Choosing a command, its short cut or its '&' access key runs TMenuItem::Click.
    virtual TWSPeerPtr CreateMainMenu(TMainMenu& Menu) = 0;
};

}  // namespace zk::forms
