// Pictures of the windows on a real display (run under Xvfb): each is written as a PNG into the
// build folder, and must have the window's size and more than one colour.
#include <QImage>
#include <QMenuBar>
#include <QPixmap>
#include <QTextBrowser>

#include "zk/expert/P0100.h"
#include "zk/expert/P0300.h"
#include "tests/expert/ExpertFixture.h"
#include "tests/host/interfaces/Person.h"

using namespace zktest;

namespace {

class Screenshot : public ExpertTest {
  protected:
    QtPerson P;
    TUiBackendScope FScope{P.Ui};

    // Writes the picture of Window as Name.png; returns it.
    static QImage Take(QWidget& Window, const std::string& Name) {
        QtPerson::Settle();
        QImage image = Window.grab().toImage();
        QString file = QString::fromStdString(std::string(ZK_SCREENSHOT_DIR) + "/" + Name + ".png");
        EXPECT_TRUE(image.save(file)) << file.toStdString();
        return image;
    }
    // Not blank: a good part of the pixels differ from the corner's colour.
    static void ExpectDrawn(const QImage& Image) {
        QRgb corner = Image.pixel(0, 0);
        int64_t other = 0;
        for (int y = 0; y < Image.height(); ++y)
            for (int x = 0; x < Image.width(); ++x) other += Image.pixel(x, y) != corner;
        EXPECT_GT(other, int64_t(Image.width()) * Image.height() / 50);
    }
};

TEST_F(Screenshot, HelpExpertWindowNotRunningDialogAndHelpPage) {
    Owned<Tfrm0300> w(new Tfrm0300(nullptr));
    w->SetDesignForm(FDesign.get());
    P.OnModal([&](TForm& F) {
        QWidget& window = *P.Ui.WidgetOf(F);
        P.Select(*w->tv1, *w->tv1->Items().Item(1));
        QImage tree = Take(window, "help_expert_tree");
        int bar = window.findChild<QMenuBar*>()->height();
        EXPECT_EQ(tree.size() / tree.devicePixelRatio(),
                  QSize(w->ClientWidth(), w->ClientHeight() + bar));
        ExpectDrawn(tree);
        P.SelectPage(*w->tbNb, 1);
        QImage settings = Take(window, "help_expert_settings");
        EXPECT_EQ(settings.size(), tree.size());
        ExpectDrawn(settings);
        F.Close();
    });
    w->ShowModal();

    Owned<Tpx0100> dlg(new Tpx0100(nullptr));
    P.OnModal([&](TForm& F) {
        QImage dialog = Take(*P.Ui.WidgetOf(F), "not_running_dialog");
        EXPECT_EQ(dialog.size() / dialog.devicePixelRatio(), QSize(256, 223));
        ExpectDrawn(dialog);
        P.Click(*dlg->Button2);
        ASSERT_NE(P.Ui.HelpWindow(), nullptr);
        QImage help = Take(*P.Ui.HelpWindow(), "help_page");
        EXPECT_EQ(help.size() / help.devicePixelRatio(), P.Ui.HelpWindow()->size());
        ExpectDrawn(help);
        F.Close();
    });
    dlg->ShowModal();
}

}  // namespace
