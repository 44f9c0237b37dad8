#include "host/forms/Widgets.h"

#include "host/interfaces/headless/HeadlessUi.h"

namespace zk::forms {

namespace {

TUiBackend* gInstalled = nullptr;

THeadlessUi& DefaultBackend() {
    static THeadlessUi backend;
    return backend;
}

}  // namespace

TUiBackend& UiBackend() { return gInstalled ? *gInstalled : DefaultBackend(); }

TUiBackend* SetUiBackend(TUiBackend* Backend) {
    TUiBackend* previous = gInstalled;
    gInstalled = Backend;
    return previous;
}

}  // namespace zk::forms
