#include "zk/host/forms/Widgets.h"

#include "zk/host/forms/Controls.h"

namespace zk::forms {

namespace {

TUiBackend* gInstalled = nullptr;

}  // namespace

TUiBackend& UiBackend() {
    if (!gInstalled) throw EInvalidOperation("No user-interface back end is installed");
    return *gInstalled;
}

TUiBackend* InstalledUiBackend() { return gInstalled; }

TUiBackend* SetUiBackend(TUiBackend* Backend) {
    TUiBackend* previous = gInstalled;
    gInstalled = Backend;
    return previous;
}

}  // namespace zk::forms
