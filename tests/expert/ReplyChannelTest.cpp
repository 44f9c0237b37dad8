// The window's reply channel: when it is on, what the window sends and shows, and the whole
// round trip through the stand-in authoring application in a process of its own.
#include <filesystem>
#include <optional>

#include "zk/expert/P0300.h"
#include "tests/expert/ExpertFixture.h"
#include "tests/support/FrozenClock.h"
#include "tests/support/ManualClock.h"
#include "tests/support/Namespaces.h"

using namespace zktest;

namespace {

class ReplyChannelTest : public PackageLoadedTest {
  protected:
    static bool Visible(const Tfrm0300& W, bool Expected) {
        for (const TControl* c : std::initializer_list<const TControl*>{
                 W._10lblTopicId, W._10edtTopic, W._10lblHCI, W._10edtHCI, W._10btnNewTopic,
                 W._10btnEditTopic})
            if (c->Visible() != Expected) return false;
        // Nothing fills the keyword memos, so they stay hidden either way.
        for (const TControl* c : std::initializer_list<const TControl*>{
                 W._10lblCCKeyword, W._10memCCKeywords, W._10lblCCAKeywords, W._10memCCAKeyWords})
            if (c->Visible()) return false;
        return true;
    }
    // The threads of this process now.
    static size_t Threads() {
        auto tasks = std::filesystem::directory_iterator("/proc/self/task");
        return static_cast<size_t>(std::distance(begin(tasks), end(tasks)));
    }
};

}  // namespace

// Registry value and override decide; with the channel off the window sends and shows exactly
// what it does without one, and a taken reply slot name makes the window take the next one.
TEST_F(ReplyChannelTest, SwitchDecidesWhatTheWindowSendsAndShows) {
    struct Case {
        const char* Name;
        std::optional<std::string> Registry;  // "1", "0", "text"; nullopt: no value
        std::optional<bool> Override;
        bool FirstNameTaken;
        const char* ReplySlot;  // nullptr: channel off
    };
    const Case cases[] = {
        {"no value", std::nullopt, std::nullopt, false, nullptr},
        {"value 0", "0", std::nullopt, false, nullptr},
        {"text value", "text", std::nullopt, false, nullptr},
        {"value 1", "1", std::nullopt, false, "HSReply1"},
        {"override off", "1", false, false, nullptr},
        {"override on", std::nullopt, true, false, "HSReply1"},
        {"name taken", "1", std::nullopt, true, "HSReply2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        {
            TRegistry reg;
            ASSERT_TRUE(reg.OpenKey("Software\\Vdx", true));
            reg.DeleteValue(ReplyChannelValue);
            if (c.Registry == "text")
                reg.WriteString(ReplyChannelValue, "yes");
            else if (c.Registry)
                reg.WriteBool(ReplyChannelValue, *c.Registry == "1");
        }
        SetReplyChannelOverride(c.Override);
        TzkMailSlot other(nullptr);  // another window's reply slot
        if (c.FirstNameTaken) {
            other.SetSlot("HSReply1");
            other.Open();
        }
        FReceived.clear();
        Owned<Tfrm0300> w(new Tfrm0300(nullptr));
        w->SetDesignForm(FDesign.get());
        EXPECT_TRUE(Visible(*w, false));
        Ui.OnModal([&](TForm&) {
            EXPECT_TRUE(Visible(*w, c.ReplySlot != nullptr));
            if (c.ReplySlot) {
                ASSERT_NE(w->ReplySlot(), nullptr);
                EXPECT_EQ(w->ReplySlot()->Slot(), c.ReplySlot);
                EXPECT_TRUE(w->ReplySlot()->Active());
            } else {
                EXPECT_EQ(w->ReplySlot(), nullptr);
            }
            Ui.Select(*w->tv1, *w->tv1->Items().Item(1));
            w->_10btnNewTopic->Click();
            Ui.CloseWindow(*w);
        });
        w->ShowModal();
        if (c.ReplySlot) {
            EXPECT_EQ(Commands(2), (std::vector<std::string>{ReplyToMessage(c.ReplySlot), "IM3"}));
            w.reset();
            EXPECT_FALSE(SendToMailSlot(".", c.ReplySlot, "INIT,a,b,1,2"));  // released
        } else {
            EXPECT_EQ(Commands(1), std::vector<std::string>{"IM3"});
            EXPECT_FALSE(SendToMailSlot(".", "HSReply1", "INIT,a,b,1,2"));  // none was opened
        }
        EXPECT_TRUE(Ui.Messages().empty());
    }
}

// From the inspector's ellipsis: the started stand-in owns "HS", answers "IM3" on the window's
// reply slot with its numbering, and the next "New Topic" counts on from it into the component.
TEST_F(ReplyChannelTest, NewTopicIsNumberedByTheStandInAcrossProcesses) {
    // The authoring application owns "HS" now; the test's own wait thread ends.
    const size_t threadsBefore = Threads();
    FCommands.Close();
    ASSERT_TRUE(WaitUntil([&] { return Threads() == threadsBefore - 1; }));
    const size_t threads = threadsBefore - 1;
    SetRegistryBool(ReplyChannelValue, true);
    std::string started = FSlots.Path() + "/started";
    std::string log = FSlots.Path() + "/commands.log";
    SetRegistryString("Path", std::string(ZK_DOCUVANE_APP) + " --started-file '" + started +
                                  "' --log '" + log + "' --exit-after 2");
    TIdeHost ide;
    Load();
    TManualClock& clock = zktest::LastingClock();
    TClockScope scope(clock);
    TFormDesigner designer(FDesign.get());
    TObjectInspector inspector(&designer);
    TComponent* ok = FDesign->FindComponent("OKButton");
    auto steps = [&](Tfrm0300& w) {
        ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(started); }));
        EXPECT_EQ(Threads(), threads + 1);           // the reply slot's wait thread
        Ui.Select(*w.tv1, *w.tv1->Items().Item(1));  // OKButton
        Ui.Click(*w._10btnNewTopic);                 // before any numbering: 0
        EXPECT_EQ(w._10edit->Value(), 0);
        ASSERT_TRUE(WaitUntil([&] { return w._10edtTopic->Text() == "H500"; }));
        EXPECT_EQ(w._10edtHCI->Text(), "T-500");
        EXPECT_EQ(w.TopicStep(), 10);
        Ui.Click(*w._10btnNewTopic);
        EXPECT_EQ(w._10edit->Value(), 510);
        EXPECT_EQ(w._10edtTopic->Text(), "T-510");
        EXPECT_EQ(w._10edtHCI->Text(), "H510");
        ASSERT_TRUE(WaitUntil([&] { return Ui.Messages().size() == 2; }));
        Ui.Select(*w.tv1, *w.tv1->Items().Item(0));  // commits 510 into OKButton's node
        Ui.Choose(*w.mnuFileExit);
    };
    Ui.OnModal([&](TForm& f) {
        steps(dynamic_cast<Tfrm0300&>(f));
        if (f.ModalResult() == mrNone) Ui.CloseWindow(f);  // a step failed: do not hang
    });
    EXPECT_TRUE(inspector.PressEllipsis(ok, "HelpContext"));
    EXPECT_EQ(Ui.Messages(), (std::vector<std::string>{"!INIT", "!INIT"}));
    EXPECT_EQ(GetOrdProp(ok, "HelpContext"), 510);
    // The stand-in left after its two commands (REPLYTO does not count) and took "HS" with it;
    // its log has the bytes as they arrived, one message a line.
    EXPECT_TRUE(WaitUntil([&] { return !std::filesystem::exists(FSlots.Path() + "/hs"); }));
    EXPECT_EQ(ReadFileText(log), "REPLYTO,HSReply1\nIM3\nREPLYTO,HSReply1\nIM3\n");
    // The window's slot and its wait thread went with the window.
    EXPECT_FALSE(SendToMailSlot(".", "HSReply1", "INIT,a,b,1,2"));
    EXPECT_TRUE(WaitUntil([&] { return Threads() == threads; })) << Threads();
}
