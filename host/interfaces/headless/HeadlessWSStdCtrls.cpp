// The headless standard controls: edits show their text, memos their lines, check boxes their
// state, and a click toggles a check box.
#include "zk/host/forms/StdCtrls.h"
#include "zk/host/interfaces/headless/HeadlessPeers.h"

namespace zk::forms {

namespace {

class TEditPeer : public THeadlessWinControlPeer {
  public:
    explicit TEditPeer(TCustomEdit& Edit) : THeadlessWinControlPeer(Edit), FEdit(Edit) {}

  protected:
    std::string Shows() const override {
        return " \"" + FEdit.Text() + "\"" + (FEdit.ReadOnly() ? " read-only" : "");
    }

  private:
    TCustomEdit& FEdit;
};

class TMemoPeer : public THeadlessWinControlPeer {
  public:
    explicit TMemoPeer(TMemo& Memo) : THeadlessWinControlPeer(Memo), FMemo(Memo) {}

  protected:
    std::string Shows() const override { return FMemo.ReadOnly() ? " read-only" : ""; }
    void RenderContent(const std::string& Indent, std::string& Out) const override {
        for (const std::string& line : FMemo.Lines()) Out += Indent + "| " + line + "\n";
        THeadlessWinControlPeer::RenderContent(Indent, Out);
    }

  private:
    TMemo& FMemo;
};

class TCheckBoxPeer : public THeadlessWinControlPeer {
  public:
    explicit TCheckBoxPeer(TCheckBox& Box) : THeadlessWinControlPeer(Box), FBox(Box) {}
    // Toggling fires the box's OnClick.
    void Click() override { FBox.SetChecked(!FBox.Checked()); }

  protected:
    std::string Shows() const override {
        return std::string(FBox.Checked() ? " [x] \"" : " [ ] \"") + FBox.Caption() + "\"";
    }

  private:
    TCheckBox& FBox;
};

}  // namespace

TWSPeerPtr THeadlessWSStdCtrls::CreateLabel(TLabel& Label) {
    return std::make_unique<THeadlessControlPeer>(Label);
}

TWSPeerPtr THeadlessWSStdCtrls::CreateEdit(TCustomEdit& Edit) {
    return std::make_unique<TEditPeer>(Edit);
}

TWSPeerPtr THeadlessWSStdCtrls::CreateMemo(TMemo& Memo) {
    return std::make_unique<TMemoPeer>(Memo);
}

TWSPeerPtr THeadlessWSStdCtrls::CreateButton(TButton& Button) {
    return std::make_unique<THeadlessWinControlPeer>(Button);
}

TWSPeerPtr THeadlessWSStdCtrls::CreateCheckBox(TCheckBox& CheckBox) {
    return std::make_unique<TCheckBoxPeer>(CheckBox);
}

TWSPeerPtr THeadlessWSStdCtrls::CreatePanel(TPanel& Panel) {
    return std::make_unique<THeadlessWinControlPeer>(Panel);
}

}  // namespace zk::forms
