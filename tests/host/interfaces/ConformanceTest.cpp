// The same scenarios against both back ends: what a person does reaches the controls' own
// operations, so the events fire alike and the results are the same.
#include <QApplication>

#include "zk/expert/P0100.h"
#include "zk/expert/P0300.h"
#include "tests/expert/ExpertFixture.h"
#include "tests/host/interfaces/Person.h"

using namespace zktest;

namespace {

std::unique_ptr<Person> NewPerson(const std::string& Backend) {
    if (Backend == "qt") return std::make_unique<QtPerson>();
    return std::make_unique<HeadlessPerson>();
}

class Conformance : public ExpertTest, public ::testing::WithParamInterface<std::string> {
  protected:
    std::unique_ptr<Person> P = NewPerson(GetParam());
    TUiBackendScope FScope{P->Backend()};

    Owned<Tfrm0300> NewWindow() {
        Owned<Tfrm0300> w(new Tfrm0300(nullptr));
        w->SetDesignForm(FDesign.get());
        return w;
    }
    static std::vector<std::string> Texts(Tfrm0300& W) {
        std::vector<std::string> out;
        for (TTreeNode* n = W.tv1->Items().GetFirstNode(); n; n = n->GetNext())
            out.push_back(n->Text());
        return out;
    }
    TComponent* Designed(const std::string& Name) { return FDesign->FindComponent(Name); }
};

// Select a node, type its number, move on: the number reaches the node left (the changing
// event sees the old selection), and "Exit and Save Changes" writes it into the component.
TEST_P(Conformance, TypicalRequestWritesTheNumberTyped) {
    auto w = NewWindow();
    std::vector<std::string> afterMove;
    P->OnModal([&](TForm&) {
        P->Select(*w->tv1, *w->tv1->Items().Item(1));
        EXPECT_EQ(w->_10edit->Value(), 120);
        P->Type(*w->_10edit, "77");
        EXPECT_EQ(w->_10edit->Text(), "77");
        P->Select(*w->tv1, *w->tv1->Items().Item(2));
        EXPECT_EQ(w->tv1->Selected(), w->tv1->Items().Item(2));
        EXPECT_EQ(w->_10edit->Value(), -3);
        afterMove = Texts(*w);
        P->Type(*w->_10edit, "88");  // pending for the selected node: never committed
        P->Choose(*w->mnuFileExit);
    });
    EXPECT_EQ(w->ShowModal(), mrCancel);
    EXPECT_EQ(afterMove,
              (std::vector<std::string>{"Form1, TForm1, Orders, 5", "OKButton, TButton, OK, 77",
                                        "Remember, TCheckBox, Remember me, -3"}));
    EXPECT_EQ(GetOrdProp(Designed("OKButton"), "HelpContext"), 77);
    EXPECT_EQ(GetOrdProp(Designed("Remember"), "HelpContext"), -3);
}

// The settings page: a click on a box recomposes the texts; "Exit" stores the boxes.
TEST_P(Conformance, SettingsRecomposeAndPersist) {
    auto w = NewWindow();
    std::vector<std::string> texts;
    P->OnModal([&](TForm&) {
        P->SelectPage(*w->tbNb, 1);
        EXPECT_EQ(w->tbNb->PageIndex(), 1);
        P->Click(*w->cb1);
        EXPECT_FALSE(w->cb1->Checked());
        P->Click(*w->cb3);
        texts = Texts(*w);
        P->Choose(*w->Exit1);
    });
    w->ShowModal();
    EXPECT_EQ(texts,
              (std::vector<std::string>{", TForm1, 5", ", TButton, 120", ", TCheckBox, -3"}));
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("Software\\Vdx", false));
    EXPECT_FALSE(reg.ReadBool("ShowName"));
    EXPECT_TRUE(reg.ReadBool("ShowClassName"));
    EXPECT_FALSE(reg.ReadBool("ShowCaption"));
}

// Dialogs: F1 and About in the window, Help and Close in the not-running dialog.
TEST_P(Conformance, DialogsAndHelp) {
    auto w = NewWindow();
    P->OnModal([&](TForm& F) {
        P->PressF1(F);
        P->ExpectMessage();
        P->Choose(*w->mnuHelpAbout1);
        F.Close();
    });
    w->ShowModal();
    Owned<Tpx0100> dlg(new Tpx0100(nullptr));
    bool openAfterHelp = false;
    P->OnModal([&](TForm& F) {
        P->Type(*dlg->memError, "changed");
        P->Click(*dlg->Button2);
        openAfterHelp = F.Visible() && F.ModalResult() == mrNone;
        P->Click(*dlg->btnClose);
    });
    dlg->ShowModal();
    EXPECT_TRUE(openAfterHelp);
    EXPECT_EQ(dlg->memError->Lines().size(), 10u);
    EXPECT_EQ(dlg->memError->Lines()[0], "Error:");
    EXPECT_EQ(P->HelpJumps(), (std::vector<std::string>{"vdx3.hlp Help2100", " Help2000"}));
    ASSERT_EQ(P->Messages().size(), 1u);
    EXPECT_EQ(P->Messages()[0].substr(0, 21), "Docuvane Help Expert\r");
}

// A message that arrives while a modal window waits for the person is delivered there (the
// endpoint's thread queues it for the main thread), and its handler may close the window.
TEST_P(Conformance, QueuedCallsRunWhileAWindowIsOpen) {
    auto w = NewWindow();
    std::vector<std::string> delivered;
    FCommands.SetOnMessageAvail(TmsMessageAvail([&](TObject*, std::string Msg) {
        delivered.push_back(Msg);
        w->Close();
    }));
    P->OnModal([&](TForm&) { ASSERT_TRUE(SendToMailSlot(".", "HS", "ping")); });
    EXPECT_EQ(w->ShowModal(), mrCancel);
    EXPECT_EQ(delivered, (std::vector<std::string>{"ping"}));
}

INSTANTIATE_TEST_SUITE_P(Backends, Conformance, ::testing::Values("headless", "qt"),
                         [](const auto& Info) { return Info.param; });

// Only a window can be resized by a person: the form takes the new client size and lays out
// its controls again.
class ConformanceQt : public ExpertTest {
  protected:
    QtPerson P;
    TUiBackendScope FScope{P.Ui};
};

TEST_F(ConformanceQt, ResizingTheWindowLaysOutTheForm) {
    Owned<Tfrm0300> w(new Tfrm0300(nullptr));
    w->SetDesignForm(FDesign.get());
    P.OnModal([&](TForm& F) {
        QWidget* window = P.Ui.WidgetOf(F);
        window->resize(window->width() + 40, window->height() + 30);
        QtPerson::Settle();
        EXPECT_EQ(w->ClientWidth(), 362 + 40);
        EXPECT_EQ(w->tv1->Width(), 362 + 40);
        EXPECT_EQ(w->pnlBottom->Height(), 151);
        EXPECT_EQ(P.Ui.WidgetOf(*w->tv1)->width(), 362 + 40);
        F.Close();
    });
    w->ShowModal();
}

}  // namespace
