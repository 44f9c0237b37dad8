// The user-interface back end: what presents forms and message boxes to a person and brings
// that person's input back. Controls keep all their state and fire their own events; a back end
// observes them (forms shown and hidden, controls changed) and turns input into the controls'
// own operations (Click, SetText, SetSelected, SetChecked...), so every back end shares the
// behaviour of the form library. The headless back end (host/forms/HeadlessUi.h) records what it
// would show and is the default.
#pragma once

#include <string>

#include "host/forms/Controls.h"

namespace zk::forms {

class TForm;

class TUiBackend {
  public:
    virtual ~TUiBackend() = default;

    // Form has become visible; its OnShow has already run. Form.Modal() tells a modal showing.
    virtual void FormShown(TForm& Form) = 0;
    // Form was hidden (closed, or its modal loop ended).
    virtual void FormHidden(TForm& Form) = 0;
    // Something a person can see changed on Control (a control, or a menu item) of a visible
    // form: a caption, a check state, a tree node, a bound.
    virtual void ControlChanged(TComponent& Control) = 0;
    // One turn of ModalForm's modal loop: hands pending input to the controls, then runs the
    // main thread's queued calls (CheckSynchronize), waiting a little when nothing is pending.
    // Exceptions that handlers raise go to Application.HandleException, as the loop goes on.
    virtual void HandleMessage(TForm& ModalForm) = 0;
    // A message box with Text; returns once a person has closed it.
    virtual void ShowMessage(const std::string& Text) = 0;
    // An error box for an exception that reached the message loop.
    virtual void ShowError(const std::string& Text) = 0;
    // Opens the help file HelpFile at the topic JumpId; true when the help viewer took it.
    virtual bool HelpJump(const std::string& HelpFile, const std::string& JumpId) = 0;
    // The size of the screen that forms are centred on.
    virtual TPoint ScreenSize() const = 0;
};

// The back end in use: the one installed by SetUiBackend, else a process-wide headless one.
TUiBackend& UiBackend();
// Installs Backend (not owned) for every form; null restores the default. Returns the back end
// installed before (null for the default). Main thread only.
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
