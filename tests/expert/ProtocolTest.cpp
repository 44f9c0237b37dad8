// The command protocol with the authoring application: commands that really reach "HS", and
// what the window does with each reply.
#include "zk/expert/P0300.h"
#include "tests/expert/ExpertFixture.h"
#include "tests/support/Namespaces.h"

using namespace zktest;

namespace {

class ProtocolTest : public ExpertTest {
  protected:
    void SetUp() override {
        ExpertTest::SetUp();
        FWindow.reset(new Tfrm0300(nullptr));
        FWindow->SetDesignForm(FDesign.get());
    }
    void Reply(const std::string& Text) { FWindow->zksMailMessageAvail(nullptr, Text); }
    Owned<Tfrm0300> FWindow;
};

}  // namespace

TEST_F(ProtocolTest, InitStoresTheFieldsAndNewTopicAdvancesTheNumber) {
    Reply("INIT,T-,H,10,500");
    EXPECT_EQ(Ui.Messages(), std::vector<std::string>{"!INIT"});
    EXPECT_EQ(FWindow->TopicStep(), 10);
    EXPECT_EQ(FWindow->TopicNumber(), 500);
    EXPECT_EQ(FWindow->_10edtTopic->Text(), "H500");
    EXPECT_EQ(FWindow->_10edtHCI->Text(), "T-500");
    Ui.OnModal([&](TForm&) {
        Ui.Select(*FWindow->tv1, *FWindow->tv1->Items().Item(1));
        FWindow->_10btnNewTopic->Click();  // hidden from people, so driven from code
        Ui.CloseWindow(*FWindow);
    });
    FWindow->ShowModal();
    EXPECT_EQ(FWindow->TopicNumber(), 510);
    EXPECT_EQ(FWindow->_10edtTopic->Text(), "T-510");
    EXPECT_EQ(FWindow->_10edtHCI->Text(), "H510");
    EXPECT_EQ(FWindow->_10edit->Value(), 510);
    EXPECT_EQ(Commands(1), std::vector<std::string>{"IM3"});
}

TEST_F(ProtocolTest, NewTopicNeedsASelectedNode) {
    FWindow->_10btnNewTopic->Click();
    EXPECT_EQ(Ui.Messages(),
              std::vector<std::string>{"Please select a Component to create a new Help Topic"});
    EXPECT_EQ(FWindow->TopicNumber(), 0);
    EXPECT_TRUE(Commands(0).empty());
}

TEST_F(ProtocolTest, NewTopicBeforeAnyInitGivesZero) {
    Ui.OnModal([&](TForm&) {
        Ui.Select(*FWindow->tv1, *FWindow->tv1->Items().Item(0));
        Ui.Type(*FWindow->_10edit, "42");
        FWindow->_10btnNewTopic->Click();
        Ui.CloseWindow(*FWindow);
    });
    FWindow->ShowModal();
    EXPECT_EQ(FWindow->_10edit->Value(), 0);
    EXPECT_EQ(FWindow->_10edtTopic->Text(), "0");
    EXPECT_EQ(FWindow->_10edtHCI->Text(), "0");
    EXPECT_EQ(Commands(1), std::vector<std::string>{"IM3"});
}

TEST_F(ProtocolTest, EditTopicSendsEditdoc) {
    FWindow->_10btnEditTopic->Click();
    EXPECT_EQ(Commands(1), std::vector<std::string>{"EDITDOC"});
}

TEST_F(ProtocolTest, RepliesThatSendAFollowUpCommand) {
    Reply("FILEOPEN");
    Reply("FILEOPEN,project.dvn");
    Reply("PRJ!");
    Reply("PRJS!");
    EXPECT_EQ(Commands(4), (std::vector<std::string>{"PRJ?", "PRJ?", "DOC1", "DOC2,"}));
    EXPECT_EQ(Ui.Messages(),
              (std::vector<std::string>{"!FILEOPEN", "!FILEOPEN", "!PRJ!", "!PRJS!"}));
}

TEST_F(ProtocolTest, RepliesThatShowAMessage) {
    Reply("FILECLOSED");
    Reply("PRJX,ignored");
    Reply("");
    Reply("init,a,b,1,2");
    Reply(" INIT,a,b,1,2");
    Reply("INIT ,a,b,1,2");
    Reply("SOMETHING,else");
    EXPECT_EQ(Ui.Messages(),
              (std::vector<std::string>{"!FILECLOSED", "Please open a file in Docuvane", "!PRJX",
                                        "Please ensure a file-project is created.", "!", "!init",
                                        "! INIT", "!INIT ", "!SOMETHING"}));
    EXPECT_EQ(FWindow->TopicNumber(), 0);
    EXPECT_TRUE(FWindow->FirstPrefix().empty());
    EXPECT_TRUE(Commands(0).empty());
}

TEST_F(ProtocolTest, InitWithEmptyPrefixes) {
    Reply("INIT,,,0,7");
    EXPECT_EQ(FWindow->FirstPrefix(), "");
    EXPECT_EQ(FWindow->SecondPrefix(), "");
    EXPECT_EQ(FWindow->TopicStep(), 0);
    EXPECT_EQ(FWindow->TopicNumber(), 7);
    EXPECT_EQ(FWindow->_10edtTopic->Text(), "7");
    EXPECT_EQ(FWindow->_10edtHCI->Text(), "7");
}

TEST_F(ProtocolTest, BadNumberRaisesWithTheFieldsAlreadyTakenKept) {
    Reply("INIT,A,B,3,4");
    EXPECT_THROW(Reply("INIT,X,Y,5,five"), EConvertError);
    EXPECT_EQ(FWindow->FirstPrefix(), "X");
    EXPECT_EQ(FWindow->SecondPrefix(), "Y");
    EXPECT_EQ(FWindow->TopicStep(), 5);
    EXPECT_EQ(FWindow->TopicNumber(), 4);
    EXPECT_EQ(FWindow->_10edtTopic->Text(), "B4");   // the edits keep their old texts
    EXPECT_THROW(Reply("INIT,P,Q"), EConvertError);  // a missing step is an empty word
    EXPECT_EQ(FWindow->FirstPrefix(), "P");
}

TEST_F(ProtocolTest, RepliesDeliveredByAnEndpointReachTheHandler) {
    TzkMailSlot replies(nullptr);
    replies.SetSlot(UniqueSlotName("replies"));
    replies.SetOnMessageAvail(TmsMessageAvail::Bind(FWindow.get(), &Tfrm0300::zksMailMessageAvail));
    replies.Open();
    ASSERT_TRUE(SendToMailSlot(".", replies.Slot(), "PRJS!"));
    EXPECT_EQ(Commands(1), std::vector<std::string>{"DOC2,"});
}
