// The headless back end: modal scripts and the records of what was shown.
#include "zk/host/interfaces/headless/HeadlessUi.h"

#include <algorithm>

#include "zk/host/forms/Forms.h"
#include "zk/host/rtl/Threads.h"

namespace zk::forms {

using namespace zk::rtl;

namespace {

// How long one turn of a modal loop waits for a queued call.
constexpr int kModalWaitMs = 20;

}  // namespace

THeadlessUi::~THeadlessUi() {
    if (InstalledUiBackend() == this) SetUiBackend(nullptr);
}

void THeadlessUi::OnModal(TModalScript Script) { FScripts.push_back(std::move(Script)); }

void THeadlessUi::ClearRecords() {
    FMessages.clear();
    FErrors.clear();
    FHelpJumps.clear();
    FShownForms.clear();
    FLog.clear();
}

void THeadlessUi::FormShown(TForm& Form) {
    FShownForms.push_back({Form.ClassName(), Form.Caption(), Form.Modal(), Render(Form)});
    FLog.push_back("show " + Form.ClassName() + (Form.Modal() ? " modal" : ""));
    if (!Form.Modal()) return;
    auto frame = std::make_unique<TModalFrame>();
    frame->Form = &Form;
    if (!FScripts.empty()) {
        frame->Script = std::move(FScripts.front());
        frame->HasScript = true;
        FScripts.pop_front();
    }
    FFrames.push_back(std::move(frame));
}

void THeadlessUi::FormHidden(TForm& Form) {
    FLog.push_back("hide " + Form.ClassName());
    std::erase_if(FFrames, [&](const auto& f) { return f->Form == &Form; });
}

void THeadlessUi::HandleMessage(TForm& ModalForm) {
    auto it = std::find_if(FFrames.begin(), FFrames.end(),
                           [&](const auto& f) { return f->Form == &ModalForm; });
    if (it == FFrames.end() || !(*it)->HasScript) {
        FLog.push_back("close " + ModalForm.ClassName() + " unattended");
        ModalForm.Close();
        return;
    }
    TModalFrame& frame = **it;
    if (!frame.Ran) {
        frame.Ran = true;
        // The script may show further modal forms, which add frames; keep it out of the list.
        TModalScript script = std::move(frame.Script);
        script(ModalForm);
        return;
    }
    Dispatch([] { CheckSynchronize(kModalWaitMs); });
}

void THeadlessUi::ShowMessage(const std::string& Text) {
    FMessages.push_back(Text);
    FLog.push_back("message " + Text);
}

void THeadlessUi::ShowError(const std::string& Text) {
    FErrors.push_back(Text);
    FLog.push_back("error " + Text);
}

bool THeadlessUi::HelpJump(const std::string& HelpFile, const std::string& JumpId) {
    FHelpJumps.push_back({HelpFile, JumpId});
    FLog.push_back("help " + HelpFile + " " + JumpId);
    return !HelpFile.empty();
}

void THeadlessUi::Dispatch(const std::function<void()>& Input) {
    try {
        Input();
    } catch (const Exception& e) {
        Application.HandleException(e);
    }
}

}  // namespace zk::forms
