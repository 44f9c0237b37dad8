// The headless back end's families and peers. A headless peer draws its control as text lines,
// what a person would see, and takes a person's click as that control takes it; it draws nothing
// on Changed, as the lines are read from the control's state when asked.
#pragma once

#include <memory>
#include <string>

#include "zk/host/forms/Controls.h"
#include "zk/host/forms/Widgets.h"

namespace zk::forms {

class THeadlessUi;

class THeadlessControlPeer : public TWSPeer {
  public:
    explicit THeadlessControlPeer(TControl& Control) : FControl(Control) {}
    void Changed() override {}

    // The control's line at Indent, then what it holds (memo lines, nodes, the controls on it)
    // indented one step further.
    virtual void Render(const std::string& Indent, std::string& Out) const;
    // A person's click on the control.
    virtual void Click() { FControl.Click(); }

  protected:
    // What the line shows after the class and the name: the caption, if the class publishes one.
    virtual std::string Shows() const;
    // What the control holds, drawn below its line.
    virtual void RenderContent(const std::string& /*Indent*/, std::string& /*Out*/) const {}

    TControl& FControl;
};

// A container: the controls on it that show, each by its own peer.
class THeadlessWinControlPeer : public THeadlessControlPeer {
  public:
    explicit THeadlessWinControlPeer(TWinControl& Control)
        : THeadlessControlPeer(Control), FWinControl(Control) {}

  protected:
    void RenderContent(const std::string& Indent, std::string& Out) const override;

    TWinControl& FWinControl;
};

// The headless peer of Control, made for drawing or taking input: every peer the headless
// families create is a THeadlessControlPeer.
std::unique_ptr<THeadlessControlPeer> HeadlessPeer(const TControl& Control);

class THeadlessWSControls : public TWSControls {
  public:
    TWSPeerPtr CreateControl(TControl& Control) override;
    TWSPeerPtr CreateWinControl(TWinControl& Control) override;
};

class THeadlessWSStdCtrls : public TWSStdCtrls {
  public:
    TWSPeerPtr CreateLabel(TLabel& Label) override;
    TWSPeerPtr CreateEdit(TCustomEdit& Edit) override;
    TWSPeerPtr CreateMemo(TMemo& Memo) override;
    TWSPeerPtr CreateButton(TButton& Button) override;
    TWSPeerPtr CreateCheckBox(TCheckBox& CheckBox) override;
    TWSPeerPtr CreatePanel(TPanel& Panel) override;
};

class THeadlessWSComCtrls : public TWSComCtrls {
  public:
    TWSPeerPtr CreateTreeView(TTreeView& Tree) override;
    TWSPeerPtr CreateTabbedNotebook(TTabbedNotebook& Notebook) override;
    TWSPeerPtr CreateTabPage(TTabPage& Page) override;
    TWSPeerPtr CreateSpinEdit(TSpinEdit& SpinEdit) override;
};

class THeadlessWSMenus : public TWSMenus {
  public:
    TWSPeerPtr CreateMainMenu(TMainMenu& Menu) override;
};

// Forms and dialogs report to the back end that records them.
class THeadlessWSForms : public TWSForms {
  public:
    explicit THeadlessWSForms(THeadlessUi& Ui) : FUi(Ui) {}
    std::unique_ptr<TWSFormPeer> CreateForm(TForm& Form) override;
    TPoint ScreenSize() const override { return {1024, 768}; }

  private:
    THeadlessUi& FUi;
};

class THeadlessWSDialogs : public TWSDialogs {
  public:
    explicit THeadlessWSDialogs(THeadlessUi& Ui) : FUi(Ui) {}
    void ShowMessage(const std::string& Text) override;
    void ShowError(const std::string& Text) override;
    bool HelpJump(const std::string& HelpFile, const std::string& JumpId) override;

  private:
    THeadlessUi& FUi;
};

}  // namespace zk::forms
