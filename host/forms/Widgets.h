// The user-interface back end: what presents forms and message boxes to a person and brings that
// person's input back. Controls keep all their state and fire their own events; a back end hands
// out, family by family, the peers that show them (host/widgetset/) and turns a person's input
// into the controls' own operations (Click, SetText, SetSelected, SetChecked...), so every back
// end shares the behaviour of the form library. The form library has none of its own: a program
// links one and installs it, as it picks it - the headless back end (zk_headless,
// host/interfaces/headless/HeadlessUi.h) records what it would show; the Qt one (zk_forms_qt,
// host/interfaces/qt/QtUi.h) shows real windows.
#pragma once

#include "zk/host/widgetset/WSComCtrls.h"
#include "zk/host/widgetset/WSControls.h"
#include "zk/host/widgetset/WSForms.h"
#include "zk/host/widgetset/WSMenus.h"
#include "zk/host/widgetset/WSStdCtrls.h"

namespace zk::forms {

class TUiBackend {
  public:
    virtual ~TUiBackend() = default;

    virtual TWSControls& Controls() = 0;
    virtual TWSStdCtrls& StdCtrls() = 0;
    virtual TWSComCtrls& ComCtrls() = 0;
    virtual TWSMenus& Menus() = 0;
    virtual TWSForms& Forms() = 0;
    virtual TWSDialogs& Dialogs() = 0;
};

// The back end in use, the one installed by SetUiBackend; raises EInvalidOperation when there is
// none.
TUiBackend& UiBackend();
// The back end installed by SetUiBackend, or null.
TUiBackend* InstalledUiBackend();
// Installs Backend (not owned) for every form shown from now on; null leaves none.
// Returns the back end installed before (null for none). Main thread only.
TUiBackend* SetUiBackend(TUiBackend* Backend);

// Installs a back end for the lifetime of the object and restores the previous one after.
class TUiBackendScope {
  public:
    explicit TUiBackendScope(TUiBackend& Backend) : FPrevious(SetUiBackend(&Backend)) {}
    ~TUiBackendScope() { SetUiBackend(FPrevious); }
    TUiBackendScope(const TUiBackendScope&) = delete;
    TUiBackendScope& operator=(const TUiBackendScope&) = delete;

  private:
    TUiBackend* FPrevious;
};

}  // namespace zk::forms
