#include "host/Widgets.h"

#include "host/HeadlessUi.h"

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
