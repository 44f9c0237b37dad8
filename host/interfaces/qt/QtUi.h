// The Qt 6 Widgets back end: every form shown becomes a window, every control a widget that
// shows the control's state, and what a person does with a widget goes to the control's own
// operations, so every event fires as with the headless back end. Modal forms block in their
// modal loop, which keeps running the main thread's queued calls; message boxes, error boxes
// and the help window are desktop windows.
//
// Construct it once a QApplication exists, on the main thread, and install it with
// TUiBackendScope before the forms are shown. A program that acts as the person (tests) may queue
// scripts for modal forms and for message boxes, and reach the widget of any control.
#pragma once

#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <QPointer>
#include <QTextBrowser>

#include "zk/host/forms/Widgets.h"
#include "zk/host/rtl/Classes.h"

class QAction;
class QMessageBox;
class QObject;
class QWidget;

namespace zk::forms {

class TMenuItem;
class TQtWSComCtrls;
class TQtWSControls;
class TQtWSDialogs;
class TQtWSForms;
class TQtWSMenus;
class TQtWSStdCtrls;

class TQtUi : public TUiBackend {
  public:
    TQtUi();
    // Uninstalls itself when it is the back end in use.
    ~TQtUi() override;
    TQtUi(const TQtUi&) = delete;
    TQtUi& operator=(const TQtUi&) = delete;

    // Queues Script for the next form shown modally; its modal loop runs it once, after the
    // window has appeared, then waits for the person (or the script's own Close).
    void OnModal(std::function<void(TForm&)> Script);
    // Queues Answer for the next message or error box; it runs inside the box's own loop and
    // should close the box.
    void OnMessageBox(std::function<void(QMessageBox&)> Answer);

    // The window of a shown form, the widget of a control on one; null when it has none.
    QWidget* WidgetOf(const rtl::TComponent& Component) const;
    // The action of a menu command of a shown form's menu bar; null when none.
    QAction* ActionOf(const TMenuItem& Item) const;
    // The help window, once a help jump has opened it.
    QTextBrowser* HelpWindow() const;

    // Texts of the message and error boxes shown, and the help jumps ("file jump"), in order.
    const std::vector<std::string>& Messages() const { return FMessages; }
    const std::vector<std::string>& Errors() const { return FErrors; }
    const std::vector<std::string>& HelpJumps() const { return FHelpJumps; }

    // The folder of the help pages: $ZK_HELP_DIR, else share/docuvane/help beside the
    // program's folder, else the pages of the source tree this was built from.
    static std::string HelpFolder();

    // TUiBackend
    TWSControls& Controls() override;
    TWSStdCtrls& StdCtrls() override;
    TWSComCtrls& ComCtrls() override;
    TWSMenus& Menus() override;
    TWSForms& Forms() override;
    TWSDialogs& Dialogs() override;

    // --- for the peers ---------------------------------------------------------------------
    // Runs Input as the message loop would: an Exception becomes an error box; anything else is
    // kept and raised from the modal loop, never through Qt's event handling.
    void Dispatch(const std::function<void()>& Input);
    // Raises what Dispatch kept.
    void RaisePending();
    // Where the widgets of the controls on Control go (the client area of a form), and the
    // widget of Component; both kept by the peers while they live.
    QWidget* ContainerOf(const rtl::TComponent& Control) const;
    void Register(const rtl::TComponent& Component, QWidget* Widget, QWidget* Container);
    void Unregister(const rtl::TComponent& Component);
    void RegisterAction(const TMenuItem& Item, QAction* Action);
    void UnregisterAction(const TMenuItem& Item);
    // The script queued for the next modal form, if any.
    bool TakeModalScript(std::function<void(TForm&)>& Script);
    void ShowBox(bool Error, const std::string& Text);
    bool OpenHelp(const std::string& HelpFile, const std::string& JumpId);

  private:
    std::unique_ptr<TQtWSControls> FControls;
    std::unique_ptr<TQtWSStdCtrls> FStdCtrls;
    std::unique_ptr<TQtWSComCtrls> FComCtrls;
    std::unique_ptr<TQtWSMenus> FMenus;
    std::unique_ptr<TQtWSForms> FForms;
    std::unique_ptr<TQtWSDialogs> FDialogs;
    QObject* FWaker = nullptr;
    std::unordered_map<const rtl::TComponent*, std::pair<QWidget*, QWidget*>> FWidgets;
    std::unordered_map<const TMenuItem*, QAction*> FActions;
    std::deque<std::function<void(TForm&)>> FModalScripts;
    std::deque<std::function<void(QMessageBox&)>> FBoxAnswers;
    std::exception_ptr FPending;
    // Owned by the window that was active when it opened (so a modal form does not block it),
    // or by this back end.
    QPointer<QTextBrowser> FHelp;
    std::vector<std::string> FMessages;
    std::vector<std::string> FErrors;
    std::vector<std::string> FHelpJumps;
};

}  // namespace zk::forms
