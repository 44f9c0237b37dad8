#include "apps/designer/MenuMirror.h"

#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace designer {

using namespace zk::ide;

namespace {

QString Text(const std::string& S) { return QString::fromLatin1(S.data(), qsizetype(S.size())); }

void Describe(const TIMenuItemIntf* Item, std::string& Out) {
    Out += std::to_string(reinterpret_cast<uintptr_t>(Item)) + '\1' + Item->GetName() + '\1' +
           Item->GetCaption() + '\1' + std::to_string(Item->GetFlags().Bits()) + '\1' +
           std::to_string(Item->GetShortCut()) + '{';
    for (int32_t i = 0; i < Item->GetItemCount(); ++i) Describe(Item->GetItem(i), Out);
    Out += '}';
}

bool Contains(const TIMenuItemIntf* Root, const TIMenuItemIntf* Item) {
    if (Root == Item) return true;
    for (int32_t i = 0; i < Root->GetItemCount(); ++i)
        if (Contains(Root->GetItem(i), Item)) return true;
    return false;
}

// A short cut as the host codes it: a key code with Shift, Ctrl and Alt bits.
QKeySequence KeyOf(int32_t ShortCut) {
    int key = ShortCut & 0xFF;
    int qt = 0;
    if (key >= 'A' && key <= 'Z')
        qt = Qt::Key_A + (key - 'A');
    else if (key >= '0' && key <= '9')
        qt = Qt::Key_0 + (key - '0');
    else if (key >= 112 && key <= 123)
        qt = Qt::Key_F1 + (key - 112);
    if (!qt) return {};
    if (ShortCut & 0x2000) qt |= Qt::SHIFT;
    if (ShortCut & 0x4000) qt |= Qt::CTRL;
    if (ShortCut & 0x8000) qt |= Qt::ALT;
    return QKeySequence(qt);
}

}  // namespace

TMenuMirror::TMenuMirror(QMenuBar* Bar, TIMenuItemIntf* Source,
                         std::function<void(const std::string&)> OnError)
    : FBar(Bar), FSource(Source), FOnError(std::move(OnError)) {}

std::string TMenuMirror::Signature() const {
    std::string s;
    Describe(FSource, s);
    return s;
}

void TMenuMirror::Sync() {
    std::string now = Signature();
    if (now == FShown) return;
    FShown = std::move(now);
    // The old menus may be in the middle of delivering the click that changed the menu.
    for (QMenu* old : FBar->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) old->deleteLater();
    FBar->clear();
    for (int32_t i = 0; i < FSource->GetItemCount(); ++i) {
        TIMenuItemIntf* top = FSource->GetItem(i);
        if (!top->GetFlags().Contains(mfVisible)) continue;
        QMenu* menu = FBar->addMenu(Text(top->GetCaption()));
        menu->setObjectName(Text(top->GetName()));
        menu->menuAction()->setObjectName(Text(top->GetName()));
        Build(menu, top);
        // A menu with no commands is shown, as the IDE shows it, but cannot be opened.
        menu->setEnabled(top->GetFlags().Contains(mfEnabled) && top->GetItemCount() > 0);
    }
}

void TMenuMirror::Build(QMenu* Menu, TIMenuItemIntf* Item) {
    for (int32_t i = 0; i < Item->GetItemCount(); ++i) {
        TIMenuItemIntf* sub = Item->GetItem(i);
        TIMenuFlags flags = sub->GetFlags();
        if (!flags.Contains(mfVisible)) continue;
        if (sub->GetCaption() == "-") {
            Menu->addSeparator()->setObjectName(Text(sub->GetName()));
            continue;
        }
        if (sub->GetItemCount() > 0) {
            QMenu* child = Menu->addMenu(Text(sub->GetCaption()));
            child->setObjectName(Text(sub->GetName()));
            Build(child, sub);
            continue;
        }
        QAction* action = Menu->addAction(Text(sub->GetCaption()));
        action->setObjectName(Text(sub->GetName()));
        action->setStatusTip(Text(sub->GetHint()));
        action->setEnabled(flags.Contains(mfEnabled));
        action->setCheckable(flags.Contains(mfChecked));
        action->setChecked(flags.Contains(mfChecked));
        action->setShortcut(KeyOf(sub->GetShortCut()));
        QObject::connect(action, &QAction::triggered, FBar, [this, sub] { Click(sub); });
    }
}

void TMenuMirror::Click(TIMenuItemIntf* Item) {
    // The item may have gone since the bar was built; then the command is no longer there.
    if (Contains(FSource, Item)) {
        try {
            Item->Click();
        } catch (const zk::rtl::Exception& e) {
            FOnError(e.Message());
        } catch (const std::exception& e) {
            FOnError(e.what());
        }
    }
    Sync();
}

}  // namespace designer
