// Forms: TForm (a top-level window, shown modelessly or modally, optionally laid out by its own
// form text), TApplication with the global `Application` (help file, help jumps, the default
// exception handling of the message loop) and ShowMessage.
//
// A form class that keeps its layout in a form file reads it by calling InitFromText last in
// its constructor; the text binds the handlers by the names of the form's published methods,
// and OnCreate fires once it has been read. Forms are created with no owner and released by
// their creator with TObject::Free, which fires OnDestroy while the form and its controls are
// still whole, then destroys the controls (a tree view reports each node's deletion then).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "zk/host/forms/Controls.h"

namespace zk::forms {

class TMainMenu;
class TUiBackend;
class TWSFormPeer;

enum TPosition { poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter };
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

const rtl::TTypeInfo& TypeInfo_TPosition();
const rtl::TTypeInfo& TypeInfo_TFormBorderStyle();

using TModalResult = int32_t;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = 1;
constexpr TModalResult mrCancel = 2;

class TForm : public TWinControl {
    ZK_CLASS(TForm)
  public:
    // A hidden form, 320 x 240, bordered and sizeable.
    explicit TForm(TComponent* AOwner);
    ~TForm() override;

    TPosition Position() const { return FPosition; }
    void SetPosition(TPosition Value) { FPosition = Value; }
    TFormBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    // The help file of the form's help jumps; empty: the application's.
    const std::string& HelpFile() const { return FHelpFile; }
    void SetHelpFile(const std::string& Value) { FHelpFile = Value; }
    TMainMenu* Menu() const { return FMenu; }
    // The form's menu bar; not owned. A menu destroyed while set is taken off.
    void SetMenu(TMainMenu* Value);

    // The client area: the outer size less the frame, the title bar and the menu bar. A form
    // sized by its client area keeps that area when its border or menu changes, and stores it
    // instead of Width and Height.
    int32_t ClientWidth() const;
    int32_t ClientHeight() const;
    void SetClientWidth(int32_t Value);
    void SetClientHeight(int32_t Value);
    TRect ClientRect() const override { return {0, 0, ClientWidth(), ClientHeight()}; }

    // Shows the form modelessly: centres it when Position says so, fires OnShow, then the back
    // end presents it. Nothing when already visible.
    void Show();
    void Hide();
    // Shows the form and runs the modal loop (the back end's HandleMessage, which also runs
    // the main thread's queued calls) until ModalResult is set, then hides the form and
    // returns that result. Raises EInvalidOperation for a visible form.
    TModalResult ShowModal();
    // Ends a modal showing with mrCancel; hides a modeless form.
    void Close();
    bool Modal() const { return FModal; }
    TModalResult ModalResult() const { return FModalResult; }
    // A value other than mrNone ends the modal loop.
    void SetModalResult(TModalResult Value) { FModalResult = Value; }

    // Setting the outer size makes the form keep that instead of its client size.
    void SetBounds(int32_t ALeft, int32_t ATop, int32_t AWidth, int32_t AHeight) override;
    void SetVisible(bool Value) override;
    bool Showing() const override { return Visible(); }

    const rtl::TNotifyEvent& OnCreate() const { return FOnCreate; }
    void SetOnCreate(rtl::TNotifyEvent Value) { FOnCreate = std::move(Value); }
    const rtl::TNotifyEvent& OnShow() const { return FOnShow; }
    void SetOnShow(rtl::TNotifyEvent Value) { FOnShow = std::move(Value); }
    const rtl::TNotifyEvent& OnDestroy() const { return FOnDestroy; }
    void SetOnDestroy(rtl::TNotifyEvent Value) { FOnDestroy = std::move(Value); }

    void Loaded() override;
    std::unique_ptr<TWSPeer> CreatePeer(TUiBackend& Ui) override;

  protected:
    // The menu bar's peer comes after the form's and the controls'.
    void CreatePeers(TUiBackend& Ui) override;
    void DestroyPeers() override;
    // Reads the form's own form text into it (the top object must be of the form's class),
    // then fires OnCreate. Derived constructors call it last. Raises EReadError for a bad text.
    void InitFromText(const std::string& Text);
    // Each fires its event when assigned; no events fire while the form is being designed.
    virtual void DoCreate();
    virtual void DoShow();
    virtual void DoDestroy();
    // Hides the form, fires OnDestroy, then destroys the owned components.
    void BeforeDestruction() override;

  private:
    friend class TMainMenu;
    TPoint NonClientSize() const;
    void ApplyClientSize(int32_t AClientWidth, int32_t AClientHeight);
    void SetVisibleState(bool Value);

    TPosition FPosition = poDesigned;
    TFormBorderStyle FBorderStyle = bsSizeable;
    std::string FHelpFile;
    TMainMenu* FMenu = nullptr;
    bool FClientSized = false;
    int32_t FPendingClientWidth = -1;  // client size read from a form, applied in Loaded
    int32_t FPendingClientHeight = -1;
    bool FModal = false;
    TModalResult FModalResult = mrNone;
    rtl::TNotifyEvent FOnCreate;
    rtl::TNotifyEvent FOnShow;
    rtl::TNotifyEvent FOnDestroy;
    TWSFormPeer* FFormPeer = nullptr;  // the form's own peer while it shows
};

class TApplication : public rtl::TComponent {
    ZK_CLASS(TApplication)
  public:
    TApplication();

    // The help file of help jumps when the active form names none.
    const std::string& HelpFile() const { return FHelpFile; }
    void SetHelpFile(const std::string& Value) { FHelpFile = Value; }
    // The form a person works with: the most recently shown of the visible forms; null if none.
    TForm* ActiveForm() const;
    // The active form's help file when it names one, otherwise HelpFile.
    std::string CurrentHelpFile() const;
    // Opens the current help file at the topic JumpID through the back end; its result.
    bool HelpJump(const std::string& JumpID);
    // What the message loop does with an exception a handler raised: an error box with its text.
    void HandleException(const rtl::Exception& E);

  private:
    friend class TForm;
    std::string FHelpFile;
    std::vector<TForm*> FShownForms;  // in the order they were shown
};

extern TApplication Application;

// A message box with Msg; returns once a person has closed it.
void ShowMessage(const std::string& Msg);

// The form Control sits on (the control itself when it is a form); null when none.
TForm* GetParentForm(const TControl* Control);

// Makes every control class of the form library known to form files. Runs when the program
// starts; calling it again does nothing more.
void RegisterFormClasses();

}  // namespace zk::forms
