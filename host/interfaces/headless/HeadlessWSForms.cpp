// The headless forms and dialogs: each reports to the back end, which records it and runs the
// modal scripts.
#include "zk/host/forms/Forms.h"
#include "zk/host/interfaces/headless/HeadlessPeers.h"
#include "zk/host/interfaces/headless/HeadlessUi.h"

namespace zk::forms {

class THeadlessFormPeer : public TWSFormPeer {
  public:
    THeadlessFormPeer(THeadlessUi& Ui, TForm& Form) : FUi(Ui), FForm(Form) {}
    void Changed() override {}
    void Show() override { FUi.FormShown(FForm); }
    void Hide() override { FUi.FormHidden(FForm); }
    void HandleMessage() override { FUi.HandleMessage(FForm); }

  private:
    THeadlessUi& FUi;
    TForm& FForm;
};

std::unique_ptr<TWSFormPeer> THeadlessWSForms::CreateForm(TForm& Form) {
    return std::make_unique<THeadlessFormPeer>(FUi, Form);
}

void THeadlessWSDialogs::ShowMessage(const std::string& Text) { FUi.ShowMessage(Text); }

void THeadlessWSDialogs::ShowError(const std::string& Text) { FUi.ShowError(Text); }

bool THeadlessWSDialogs::HelpJump(const std::string& HelpFile, const std::string& JumpId) {
    return FUi.HelpJump(HelpFile, JumpId);
}

}  // namespace zk::forms
