// The Qt menu bar: a QMenuBar at the top of the form's window, built again from the items
// whenever one changes. '&' marks the access key as in Qt; short cuts act while the window is
// active.
#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <vector>

#include "zk/host/forms/Forms.h"
#include "zk/host/forms/Menus.h"
#include "zk/host/interfaces/qt/QtPeers.h"

namespace zk::forms {

namespace {

QKeySequence KeySequence(TShortCut ShortCut) {
    int key = ShortCut & ~(scShift | scCtrl | scAlt);
    int qt = 0;
    if (key >= 112 && key <= 123)
        qt = Qt::Key_F1 + (key - 112);
    else if ((key >= 'A' && key <= 'Z') || (key >= '0' && key <= '9'))
        qt = key;
    else {
        static const struct {
            int Key;
            int Qt;
        } named[] = {{8, Qt::Key_Backspace}, {9, Qt::Key_Tab},     {13, Qt::Key_Return},
                     {27, Qt::Key_Escape},   {32, Qt::Key_Space},  {33, Qt::Key_PageUp},
                     {34, Qt::Key_PageDown}, {35, Qt::Key_End},    {36, Qt::Key_Home},
                     {37, Qt::Key_Left},     {38, Qt::Key_Up},     {39, Qt::Key_Right},
                     {40, Qt::Key_Down},     {45, Qt::Key_Insert}, {46, Qt::Key_Delete}};
        for (const auto& n : named)
            if (n.Key == key) qt = n.Qt;
    }
    if (!qt) return {};
    if (ShortCut & scShift) qt |= Qt::SHIFT;
    if (ShortCut & scCtrl) qt |= Qt::CTRL;
    if (ShortCut & scAlt) qt |= Qt::ALT;
    return QKeySequence(qt);
}

class TMainMenuPeer : public TWSPeer {
  public:
    TMainMenuPeer(TQtUi& Ui, TMainMenu& Menu) : FUi(Ui), FMenu(Menu) {
        if (QWidget* window = Menu.Window() ? FUi.WidgetOf(*Menu.Window()) : nullptr)
            FBar = window->findChild<QMenuBar*>();
        Changed();
    }
    ~TMainMenuPeer() override { Clear(); }

    void Changed() override {
        if (!FBar) return;
        Clear();
        AddItems(*FMenu.Items(), nullptr);
        FBar->setVisible(true);
    }

  private:
    void Clear() {
        for (const TMenuItem* item : FItems) FUi.UnregisterAction(*item);
        FItems.clear();
        if (FBar) FBar->clear();
        // Later: the bar may be built again inside the signal of one of its actions.
        for (QObject* old : FOwned)
            if (old) old->deleteLater();
        FOwned.clear();
    }

    void AddItems(const TMenuItem& Parent, QMenu* Into) {
        for (int32_t i = 0; i < Parent.Count(); ++i) {
            TMenuItem* item = Parent.Items(i);
            if (item->IsLine()) {
                if (Into && item->Visible()) Into->addSeparator();
                continue;
            }
            QAction* action;
            if (item->Count() > 0) {
                auto* sub = new QMenu(QStr(item->Caption()), FBar);
                FOwned.emplace_back(sub);
                AddItems(*item, sub);
                action = sub->menuAction();
            } else {
                action = new QAction(QStr(item->Caption()), FBar);
                FOwned.emplace_back(action);
                action->setShortcut(KeySequence(item->ShortCut()));
                action->setShortcutContext(Qt::WindowShortcut);
                action->setCheckable(item->Checked());
                action->setChecked(item->Checked());
                TQtUi* ui = &FUi;
                QObject::connect(action, &QAction::triggered,
                                 [ui, item] { ui->Dispatch([&] { item->Click(); }); });
            }
            action->setEnabled(item->Enabled());
            action->setVisible(item->Visible());
            if (Into)
                Into->addAction(action);
            else
                FBar->addAction(action);
            FUi.RegisterAction(*item, action);
            FItems.push_back(item);
        }
    }

    TQtUi& FUi;
    TMainMenu& FMenu;
    QPointer<QMenuBar> FBar;
    std::vector<QPointer<QObject>> FOwned;
    std::vector<const TMenuItem*> FItems;
};

}  // namespace

TWSPeerPtr TQtWSMenus::CreateMainMenu(TMainMenu& Menu) {
    return std::make_unique<TMainMenuPeer>(FUi, Menu);
}

}  // namespace zk::forms
