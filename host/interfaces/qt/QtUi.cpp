// The Qt back end: its families, the records of what it showed, message boxes and help.
#include "zk/host/interfaces/qt/QtUi.h"

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <cstdlib>

#include "zk/host/forms/Forms.h"
#include "zk/host/interfaces/qt/QtPeers.h"
#include "zk/host/rtl/Threads.h"

using namespace zk::rtl;

namespace zk::forms {

namespace {

// Runs the main thread's queued calls when another thread has queued one: Synchronize posts it
// an event, which wakes Qt's event loop like input does.
class TWaker : public QObject {
  public:
    explicit TWaker(TQtUi& Ui) : FUi(Ui) {}
    bool event(QEvent* Event) override {
        if (Event->type() != QEvent::User) return QObject::event(Event);
        FUi.Dispatch([] { zk::rtl::CheckSynchronize(0); });
        return true;
    }

  private:
    TQtUi& FUi;
};

}  // namespace

TQtUi::TQtUi()
    : FControls(std::make_unique<TQtWSControls>(*this)),
      FStdCtrls(std::make_unique<TQtWSStdCtrls>(*this)),
      FComCtrls(std::make_unique<TQtWSComCtrls>(*this)),
      FMenus(std::make_unique<TQtWSMenus>(*this)),
      FForms(std::make_unique<TQtWSForms>(*this)),
      FDialogs(std::make_unique<TQtWSDialogs>(*this)),
      FWaker(new TWaker(*this)) {
    QObject* waker = FWaker;
    zk::rtl::SetWakeMainThread(
        [waker] { QCoreApplication::postEvent(waker, new QEvent(QEvent::User)); });
}

TQtUi::~TQtUi() {
    if (InstalledUiBackend() == this) SetUiBackend(nullptr);
    zk::rtl::SetWakeMainThread({});
    delete FWaker;
    delete FHelp.data();
}

TWSControls& TQtUi::Controls() { return *FControls; }
TWSStdCtrls& TQtUi::StdCtrls() { return *FStdCtrls; }
TWSComCtrls& TQtUi::ComCtrls() { return *FComCtrls; }
TWSMenus& TQtUi::Menus() { return *FMenus; }
TWSForms& TQtUi::Forms() { return *FForms; }
TWSDialogs& TQtUi::Dialogs() { return *FDialogs; }

void TQtUi::OnModal(std::function<void(TForm&)> Script) {
    FModalScripts.push_back(std::move(Script));
}

void TQtUi::OnMessageBox(std::function<void(QMessageBox&)> Answer) {
    FBoxAnswers.push_back(std::move(Answer));
}

bool TQtUi::TakeModalScript(std::function<void(TForm&)>& Script) {
    if (FModalScripts.empty()) return false;
    Script = std::move(FModalScripts.front());
    FModalScripts.pop_front();
    return true;
}

void TQtUi::Dispatch(const std::function<void()>& Input) {
    try {
        Input();
    } catch (const Exception& e) {
        Application.HandleException(e);
    } catch (...) {
        if (!FPending) FPending = std::current_exception();
    }
}

void TQtUi::RaisePending() {
    if (!FPending) return;
    std::exception_ptr pending = std::exchange(FPending, nullptr);
    std::rethrow_exception(pending);
}

QWidget* TQtUi::WidgetOf(const TComponent& Component) const {
    auto it = FWidgets.find(&Component);
    return it == FWidgets.end() ? nullptr : it->second.first;
}

QWidget* TQtUi::ContainerOf(const TComponent& Control) const {
    auto it = FWidgets.find(&Control);
    return it == FWidgets.end() ? nullptr : it->second.second;
}

void TQtUi::Register(const TComponent& Component, QWidget* Widget, QWidget* Container) {
    FWidgets[&Component] = {Widget, Container};
}

void TQtUi::Unregister(const TComponent& Component) { FWidgets.erase(&Component); }

QAction* TQtUi::ActionOf(const TMenuItem& Item) const {
    auto it = FActions.find(&Item);
    return it == FActions.end() ? nullptr : it->second;
}

void TQtUi::RegisterAction(const TMenuItem& Item, QAction* Action) { FActions[&Item] = Action; }

void TQtUi::UnregisterAction(const TMenuItem& Item) { FActions.erase(&Item); }

QTextBrowser* TQtUi::HelpWindow() const { return FHelp.data(); }

void TQtUi::ShowBox(bool Error, const std::string& Text) {
    (Error ? FErrors : FMessages).push_back(Text);
    QWidget* parent = QApplication::activeModalWidget();
    if (!parent) parent = QApplication::activeWindow();
    QMessageBox box(Error ? QMessageBox::Critical : QMessageBox::NoIcon,
                    QCoreApplication::applicationName(), QStr(Text), QMessageBox::Ok, parent);
    if (!FBoxAnswers.empty()) {
        auto answer = std::move(FBoxAnswers.front());
        FBoxAnswers.pop_front();
        // Inside the box's own loop, once it shows.
        QTimer::singleShot(0, &box, [&box, answer] { answer(box); });
    }
    box.exec();
}

std::string TQtUi::HelpFolder() {
    if (const char* dir = std::getenv("ZK_HELP_DIR"); dir && *dir) return dir;
    QString installed = QCoreApplication::applicationDirPath() + "/../share/docuvane/help";
    if (QFileInfo(installed).isDir()) return StdStr(QDir::cleanPath(installed));
#ifdef ZK_HELP_SOURCE_DIR
    return ZK_HELP_SOURCE_DIR;
#else
    return StdStr(QDir::cleanPath(installed));
#endif
}

bool TQtUi::OpenHelp(const std::string& HelpFile, const std::string& JumpId) {
    FHelpJumps.push_back(HelpFile + " " + JumpId);
    QString page = QStr(HelpFolder()) + "/" + QStr(JumpId) + ".html";
    if (JumpId.empty() || !QFileInfo(page).isFile()) return false;
    // A window of the modal form's, so that the form does not block it.
    QWidget* owner = QApplication::activeModalWidget();
    if (!FHelp || FHelp->parentWidget() != owner) {
        delete FHelp.data();
        FHelp = new QTextBrowser(owner);
        FHelp->setWindowFlags(Qt::Window);
        FHelp->setOpenLinks(true);
        FHelp->resize(480, 400);
    }
    FHelp->setSearchPaths({QStr(HelpFolder())});
    FHelp->setSource(QUrl::fromLocalFile(page));
    FHelp->setWindowTitle(FHelp->documentTitle().isEmpty() ? QStringLiteral("Help")
                                                           : FHelp->documentTitle());
    FHelp->show();
    FHelp->raise();
    return true;
}

}  // namespace zk::forms
