// The Qt back end's families and the base of its control peers. A peer owns the widget of its
// control (deleting it when the peer goes), shows the control's state on Changed without
// letting the widget's signals echo back, and hands a person's input to the control through
// TQtUi::Dispatch.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>
#include <string>

#include "zk/host/forms/Controls.h"
#include "zk/host/forms/Widgets.h"
#include "zk/host/interfaces/qt/QtUi.h"

namespace zk::forms {

// Texts are 8-bit; the host's code page is Latin-1 here.
inline QString QStr(const std::string& S) { return QString::fromLatin1(S.data(), S.size()); }
inline std::string StdStr(const QString& S) { return S.toLatin1().toStdString(); }

class TQtControlPeer : public TWSPeer {
  public:
    TQtControlPeer(TQtUi& Ui, TControl& Control) : FUi(Ui), FControl(Control) {}
    ~TQtControlPeer() override;
    void Changed() override;

  protected:
    // Takes Widget as the control's, on its parent's container; Container receives the controls
    // placed on this one (the widget itself when null). Shows the state at once.
    void Attach(QWidget* Widget, QWidget* Container = nullptr);
    // Shows the state of the family's own properties; the common ones (bounds, visibility,
    // enabled) are shown by Changed.
    virtual void Update() {}
    // Whether the widget shows: the control's Visible, for most.
    virtual bool ShouldShow() const { return FControl.Visible(); }

    TQtUi& FUi;
    TControl& FControl;
    QPointer<QWidget> FWidget;
    // False once the peer is gone: input handlers may close the form, and so end the peer,
    // before they are done.
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
    bool FUpdating = false;  // set while the peer writes to the widget
};

// A plain widget that only holds the controls on it.
class TQtContainerPeer : public TQtControlPeer {
  public:
    TQtContainerPeer(TQtUi& Ui, TControl& Control);
};

class TQtWSControls : public TWSControls {
  public:
    explicit TQtWSControls(TQtUi& Ui) : FUi(Ui) {}
    TWSPeerPtr CreateControl(TControl& Control) override;
    TWSPeerPtr CreateWinControl(TWinControl& Control) override;

  private:
    TQtUi& FUi;
};

class TQtWSStdCtrls : public TWSStdCtrls {
  public:
    explicit TQtWSStdCtrls(TQtUi& Ui) : FUi(Ui) {}
    TWSPeerPtr CreateLabel(TLabel& Label) override;
    TWSPeerPtr CreateEdit(TCustomEdit& Edit) override;
    TWSPeerPtr CreateMemo(TMemo& Memo) override;
    TWSPeerPtr CreateButton(TButton& Button) override;
    TWSPeerPtr CreateCheckBox(TCheckBox& CheckBox) override;
    TWSPeerPtr CreatePanel(TPanel& Panel) override;

  private:
    TQtUi& FUi;
};

class TQtWSComCtrls : public TWSComCtrls {
  public:
    explicit TQtWSComCtrls(TQtUi& Ui) : FUi(Ui) {}
    TWSPeerPtr CreateTreeView(TTreeView& Tree) override;
    TWSPeerPtr CreateTabbedNotebook(TTabbedNotebook& Notebook) override;
    TWSPeerPtr CreateTabPage(TTabPage& Page) override;
    TWSPeerPtr CreateSpinEdit(TSpinEdit& SpinEdit) override;

  private:
    TQtUi& FUi;
};

class TQtWSMenus : public TWSMenus {
  public:
    explicit TQtWSMenus(TQtUi& Ui) : FUi(Ui) {}
    TWSPeerPtr CreateMainMenu(TMainMenu& Menu) override;

  private:
    TQtUi& FUi;
};

class TQtWSForms : public TWSForms {
  public:
    explicit TQtWSForms(TQtUi& Ui) : FUi(Ui) {}
    std::unique_ptr<TWSFormPeer> CreateForm(TForm& Form) override;
    TPoint ScreenSize() const override;

  private:
    TQtUi& FUi;
};

class TQtWSDialogs : public TWSDialogs {
  public:
    explicit TQtWSDialogs(TQtUi& Ui) : FUi(Ui) {}
    void ShowMessage(const std::string& Text) override { FUi.ShowBox(false, Text); }
    void ShowError(const std::string& Text) override { FUi.ShowBox(true, Text); }
    bool HelpJump(const std::string& HelpFile, const std::string& JumpId) override {
        return FUi.OpenHelp(HelpFile, JumpId);
    }

  private:
    TQtUi& FUi;
};

}  // namespace zk::forms
