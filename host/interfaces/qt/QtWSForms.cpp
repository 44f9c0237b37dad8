// The Qt forms: a top-level window with the menu bar above the client area, where the controls
// lie at their own bounds. The title bar's close button closes the form as Close does; a
// modal form blocks the other windows and runs its modal loop in HandleMessage.
#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>
#include <QWidget>

#include "zk/host/forms/Forms.h"
#include "zk/host/forms/Menus.h"
#include "zk/host/interfaces/qt/QtPeers.h"
#include "zk/host/rtl/Threads.h"

namespace zk::forms {

namespace {

class TFormWindow : public QWidget {
  public:
    std::function<void()> OnClose;
    std::function<void(QSize)> OnResize;

  protected:
    void resizeEvent(QResizeEvent* Event) override {
        QWidget::resizeEvent(Event);
        if (OnResize) OnResize(Event->size());
    }
    void closeEvent(QCloseEvent* Event) override {
        // The form decides: Close hides it, or ends its modal loop.
        Event->ignore();
        if (OnClose) OnClose();
    }
};

class TFormPeer : public TWSFormPeer {
  public:
    TFormPeer(TQtUi& Ui, TForm& Form) : FUi(Ui), FForm(Form) {
        FWindow = new TFormWindow;
        if (Form.BorderStyle() == bsDialog)
            FWindow->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
        FBar = new QMenuBar(FWindow);
        FBar->setNativeMenuBar(false);
        FClient = new QWidget(FWindow);
        FWindow->OnClose = [this] { FUi.Dispatch([&] { FForm.Close(); }); };
        // A person resizing the window resizes the form, which lays out its controls again.
        FWindow->OnResize = [this](QSize Size) {
            if (FUpdating) return;
            int bar = FForm.Menu() ? FBar->height() : 0;
            if (Size == QSize(FForm.ClientWidth(), FForm.ClientHeight() + bar)) return;
            FUi.Dispatch([&] {
                FForm.SetClientWidth(Size.width());
                FForm.SetClientHeight(Size.height() - bar);
            });
        };
        FUi.Register(Form, FWindow, FClient);
        Changed();
    }
    ~TFormPeer() override {
        FUi.Unregister(FForm);
        if (FWindow) {
            FWindow->hide();
            FWindow->deleteLater();
        }
    }

    void Changed() override {
        if (!FWindow) return;
        FUpdating = true;
        FWindow->setWindowTitle(QStr(FForm.Caption()));
        int bar = FForm.Menu() ? FBar->sizeHint().height() : 0;
        FBar->setVisible(FForm.Menu() != nullptr);
        FBar->setGeometry(0, 0, FForm.ClientWidth(), bar);
        FClient->setGeometry(0, bar, FForm.ClientWidth(), FForm.ClientHeight());
        QSize size(FForm.ClientWidth(), FForm.ClientHeight() + bar);
        if (FForm.BorderStyle() == bsDialog || FForm.BorderStyle() == bsSingle)
            FWindow->setFixedSize(size);
        else
            FWindow->resize(size);
        FWindow->move(FForm.Left(), FForm.Top());
        FUpdating = false;
    }

    void Show() override {
        Changed();
        if (FForm.Modal()) {
            FWindow->setWindowModality(Qt::ApplicationModal);
            FHasScript = FUi.TakeModalScript(FScript);
        }
        FWindow->show();
        FWindow->raise();
        FWindow->activateWindow();
    }

    void Hide() override {
        if (FWindow) FWindow->hide();
    }

    void HandleMessage() override {
        if (FHasScript) {
            FHasScript = false;
            // The window first appears and settles, as a person would see it.
            QCoreApplication::processEvents();
            auto script = std::move(FScript);
            script(FForm);
            return;
        }
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        FUi.RaisePending();
        FUi.Dispatch([] { zk::rtl::CheckSynchronize(0); });
        FUi.RaisePending();
    }

  private:
    TQtUi& FUi;
    TForm& FForm;
    QPointer<TFormWindow> FWindow;
    QMenuBar* FBar;
    QWidget* FClient;
    std::function<void(TForm&)> FScript;
    bool FHasScript = false;
    bool FUpdating = false;  // set while the peer writes to the window
};

}  // namespace

std::unique_ptr<TWSFormPeer> TQtWSForms::CreateForm(TForm& Form) {
    return std::make_unique<TFormPeer>(FUi, Form);
}

TPoint TQtWSForms::ScreenSize() const {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {1024, 768};
    return {screen->size().width(), screen->size().height()};
}

}  // namespace zk::forms
