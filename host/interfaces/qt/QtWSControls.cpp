// The Qt peers every control shares: the widget at the control's bounds on its parent's
// container, shown while the control is visible, enabled while it is.
#include "zk/host/interfaces/qt/QtPeers.h"

namespace zk::forms {

TQtControlPeer::~TQtControlPeer() {
    *FAlive = false;
    FUi.Unregister(FControl);
    // Deleted later: the peer may go inside a signal of its own widget.
    if (FWidget) {
        FWidget->hide();
        FWidget->setParent(nullptr);
        FWidget->deleteLater();
    }
}

void TQtControlPeer::Attach(QWidget* Widget, QWidget* Container) {
    FWidget = Widget;
    QWidget* parent = FControl.Parent() ? FUi.ContainerOf(*FControl.Parent()) : nullptr;
    if (parent) Widget->setParent(parent);
    FUi.Register(FControl, Widget, Container ? Container : Widget);
    Changed();
}

void TQtControlPeer::Changed() {
    if (!FWidget) return;
    FUpdating = true;
    FWidget->setGeometry(FControl.Left(), FControl.Top(), FControl.Width(), FControl.Height());
    FWidget->setEnabled(FControl.Enabled());
    Update();
    FWidget->setVisible(ShouldShow());
    FUpdating = false;
}

TQtContainerPeer::TQtContainerPeer(TQtUi& Ui, TControl& Control) : TQtControlPeer(Ui, Control) {
    Attach(new QWidget);
}

TWSPeerPtr TQtWSControls::CreateControl(TControl& Control) {
    return std::make_unique<TQtContainerPeer>(FUi, Control);
}

TWSPeerPtr TQtWSControls::CreateWinControl(TWinControl& Control) {
    return std::make_unique<TQtContainerPeer>(FUi, Control);
}

}  // namespace zk::forms
