// The headless peers every control shares: the line of a control and the controls on it.
#include "zk/host/forms/Forms.h"
#include "zk/host/interfaces/headless/HeadlessPeers.h"
#include "zk/host/interfaces/headless/HeadlessUi.h"

namespace zk::forms {

void THeadlessControlPeer::Render(const std::string& Indent, std::string& Out) const {
    Out += Indent + FControl.ClassName() + " " + FControl.Name() + Shows() +
           (FControl.Enabled() ? "" : " disabled") + "\n";
    RenderContent(Indent + "  ", Out);
}

std::string THeadlessControlPeer::Shows() const {
    if (!GetPropInfo(&FControl, "Caption")) return "";
    return " \"" + FControl.Caption() + "\"";
}

void THeadlessWinControlPeer::RenderContent(const std::string& Indent, std::string& Out) const {
    for (int32_t i = 0; i < FWinControl.ControlCount(); ++i) {
        const TControl* c = FWinControl.Controls(i);
        if (c->Showing()) HeadlessPeer(*c)->Render(Indent, Out);
    }
}

std::unique_ptr<THeadlessControlPeer> HeadlessPeer(const TControl& Control) {
    // Drawing and input only read the control or call its own operations.
    auto& control = const_cast<TControl&>(Control);
    // A form's own peer is a window; as a control it is only its controls.
    if (GetParentForm(&control) == &control)
        return std::make_unique<THeadlessWinControlPeer>(static_cast<TWinControl&>(control));
    static THeadlessUi painter;
    TWSPeerPtr peer = control.CreatePeer(painter);
    return std::unique_ptr<THeadlessControlPeer>(
        static_cast<THeadlessControlPeer*>(peer.release()));
}

TWSPeerPtr THeadlessWSControls::CreateControl(TControl& Control) {
    return std::make_unique<THeadlessControlPeer>(Control);
}

TWSPeerPtr THeadlessWSControls::CreateWinControl(TWinControl& Control) {
    return std::make_unique<THeadlessWinControlPeer>(Control);
}

}  // namespace zk::forms
