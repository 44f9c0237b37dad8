// The headless back end: shows nothing on a screen but records what a person would have seen
// (forms as they appeared, message boxes, error boxes, help jumps), and lets a program act as
// that person through the same operations the controls offer.
//
// Driving a modal form: before the code under test calls ShowModal, queue a script with
// OnModal. When a form is shown modally it takes the next queued script, and its modal loop runs
// that script once; inside, the script acts through Click, Select, Type, SelectPage, Choose,
// PressShortCut and CloseWindow, and reads the controls' state or Render. After the script the
// loop goes on running the main thread's queued calls (Synchronize) until the form is closed.
// A modal form shown with no script queued is closed at once, as with its title bar.
//
// The input operations act as a person can: on a control of the active form that is showing
// (on the active page) and enabled, otherwise they raise EInvalidOperation. What the controls'
// handlers raise becomes an error box, as in the message loop, and the script goes on.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "zk/host/forms/Menus.h"
#include "zk/host/forms/Widgets.h"
#include "zk/host/interfaces/headless/HeadlessPeers.h"

namespace zk::forms {

class TCustomEdit;
class TForm;
class TMemo;
class TMenuItem;
class TTabbedNotebook;
class TTreeNode;
class TTreeView;

using TModalScript = std::function<void(TForm&)>;

struct THelpJumpRecord {
    std::string HelpFile;
    std::string JumpId;
    bool operator==(const THelpJumpRecord&) const = default;
};

// A form as it appeared: its class, caption, whether modal, and its rendering at that moment.
struct TShownForm {
    std::string ClassName;
    std::string Caption;
    bool Modal = false;
    std::string Screen;
};

class THeadlessUi : public TUiBackend {
  public:
    THeadlessUi() = default;
    // Uninstalls itself when it is the back end in use.
    ~THeadlessUi() override;

    // Queues Script for the next form shown modally (scripts are taken in order).
    void OnModal(TModalScript Script);
    // Scripts queued and not yet taken by a modal form.
    size_t PendingScripts() const { return FScripts.size(); }

    // --- input, as a person gives it ---------------------------------------------------------
    // A click: buttons, labels and panels fire OnClick; a check box toggles Checked (and so
    // fires OnClick).
    void Click(TControl& Control);
    // A click on Node of Tree: the selection moves there (OnChanging, OnChange), then OnClick.
    void Select(TTreeView& Tree, TTreeNode& Node);
    // Replaces the text of an edit, spin edit or memo, as typed; a read-only one keeps its text.
    void Type(TCustomEdit& Edit, const std::string& Text);
    // A click on the tab of page Index.
    void SelectPage(TTabbedNotebook& Notebook, int32_t Index);
    // Chooses a menu command of the active form's menu bar.
    void Choose(TMenuItem& Item);
    // A key press on Form: runs the menu command with that short cut, if any. True when one ran.
    bool PressShortCut(TForm& Form, TShortCut ShortCut);
    // The title bar's close button.
    void CloseWindow(TForm& Form);

    // --- what was shown ----------------------------------------------------------------------
    const std::vector<std::string>& Messages() const { return FMessages; }
    const std::vector<std::string>& Errors() const { return FErrors; }
    const std::vector<THelpJumpRecord>& HelpJumps() const { return FHelpJumps; }
    const std::vector<TShownForm>& ShownForms() const { return FShownForms; }
    // Everything above and the input, in order: "show Tpx0100 modal", "message <text>",
    // "error <text>", "help <file> <jump>", "click btnClose", "hide Tpx0100", ...
    const std::vector<std::string>& Log() const { return FLog; }
    void ClearRecords();

    // What a person sees of Form now, one line per visible element, indented by nesting: the
    // caption, the menu bar, then each showing control ("TButton btnClose \"Close\"", check
    // boxes with [x] or [ ], memo lines, the tree's visible nodes with "*" on the selected
    // one, the notebook's tabs with the active one in brackets and only the active page).
    static std::string Render(const TForm& Form);

    // TUiBackend
    TWSControls& Controls() override { return FControls; }
    TWSStdCtrls& StdCtrls() override { return FStdCtrls; }
    TWSComCtrls& ComCtrls() override { return FComCtrls; }
    TWSMenus& Menus() override { return FMenus; }
    TWSForms& Forms() override { return FForms; }
    TWSDialogs& Dialogs() override { return FDialogs; }

  private:
    friend class THeadlessFormPeer;
    friend class THeadlessWSDialogs;

    // What the form and dialog peers report.
    void FormShown(TForm& Form);
    void FormHidden(TForm& Form);
    void HandleMessage(TForm& ModalForm);
    void ShowMessage(const std::string& Text);
    void ShowError(const std::string& Text);
    bool HelpJump(const std::string& HelpFile, const std::string& JumpId);

    struct TModalFrame {
        TForm* Form = nullptr;
        TModalScript Script;
        bool HasScript = false;
        bool Ran = false;
    };

    // Raises EInvalidOperation unless a person can reach Control.
    void RequireReachable(const TControl& Control) const;
    // Runs Input as the message loop would: an Exception becomes an error box.
    void Dispatch(const std::function<void()>& Input);

    std::deque<TModalScript> FScripts;
    std::vector<std::unique_ptr<TModalFrame>> FFrames;
    std::vector<std::string> FMessages;
    std::vector<std::string> FErrors;
    std::vector<THelpJumpRecord> FHelpJumps;
    std::vector<TShownForm> FShownForms;
    std::vector<std::string> FLog;
    THeadlessWSControls FControls;
    THeadlessWSStdCtrls FStdCtrls;
    THeadlessWSComCtrls FComCtrls;
    THeadlessWSMenus FMenus;
    THeadlessWSForms FForms{*this};
    THeadlessWSDialogs FDialogs{*this};
};

}  // namespace zk::forms
