#include "apps/designer/UiBackend.h"

#include "zk/host/interfaces/qt/QtUi.h"

namespace designer {

namespace {

// The form library's windows as desktop windows beside the designer's.
struct TQtInstalled : TInstalledUi {
    zk::forms::TQtUi Ui;
    zk::forms::TUiBackendScope Scope{Ui};
};

}  // namespace

std::unique_ptr<TInstalledUi> InstallUiBackend() { return std::make_unique<TQtInstalled>(); }

}  // namespace designer
