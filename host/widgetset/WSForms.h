// The widget set's forms and dialogs: top-level windows with their modal loop, message and error
// boxes, and help.
#pragma once

#include <memory>
#include <string>

#include "zk/host/widgetset/WSControls.h"

namespace zk::forms {

class TForm;
struct TPoint;

class TWSFormPeer : public TWSPeer {
  public:
    // The form has become visible and its peers exist; its OnShow has already run.
    // TForm::Modal() tells a modal showing.
    virtual void Show() = 0;
    // The form was hidden (closed, or its modal loop ended); its peers go right after.
    virtual void Hide() = 0;
    // One turn of the form's modal loop: hands pending input to the controls, then runs the main
    // thread's queued calls (CheckSynchronize), waiting while nothing is pending. Exceptions
    // that handlers raise go to Application.HandleException, as the loop goes on.
    virtual void HandleMessage() = 0;
};

class TWSForms {
  public:
    virtual ~TWSForms() = default;
    virtual std::unique_ptr<TWSFormPeer> CreateForm(TForm& Form) = 0;
    // The size of the screen that forms are centred on.
    virtual TPoint ScreenSize() const = 0;
};

class TWSDialogs {
  public:
    virtual ~TWSDialogs() = default;
    // A message box with Text; returns once a person has closed it.
    virtual void ShowMessage(const std::string& Text) = 0;
    // An error box for an exception that reached the message loop.
    virtual void ShowError(const std::string& Text) = 0;
    // Opens the help file HelpFile at the topic JumpId; true when the help viewer took it.
    virtual bool HelpJump(const std::string& HelpFile, const std::string& JumpId) = 0;
};

}  // namespace zk::forms
