// The headless menu bar: drawn from the items' state when the form is drawn.
#include "zk/host/forms/Menus.h"
#include "zk/host/interfaces/headless/HeadlessPeers.h"

namespace zk::forms {

namespace {

class TMainMenuPeer : public TWSPeer {
  public:
    void Changed() override {}
};

}  // namespace

TWSPeerPtr THeadlessWSMenus::CreateMainMenu(TMainMenu& /*Menu*/) {
    return std::make_unique<TMainMenuPeer>();
}

}  // namespace zk::forms
