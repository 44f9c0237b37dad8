#include "apps/designer/UiBackend.h"

#include "host/forms/HeadlessUi.h"

namespace designer {

namespace {

// For now the recording back end: modal forms close at once and boxes are only recorded.
struct THeadlessInstalled : TInstalledUi {
    zk::forms::THeadlessUi Ui;
    zk::forms::TUiBackendScope Scope{Ui};
};

}  // namespace

std::unique_ptr<TInstalledUi> InstallUiBackend() { return std::make_unique<THeadlessInstalled>(); }

}  // namespace designer
