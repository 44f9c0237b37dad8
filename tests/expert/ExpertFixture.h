// Shared ground for the expert's tests: a headless user interface, a private registry file and
// slot directory, a designed form read from a form file, and a listener on the authoring
// application's slot "HS" that records every command that really arrives.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "zk/expert/P0200.h"
#include "zk/expert/ReplyChannel.h"
#include "zk/host/forms/DesignedForm.h"
#include "zk/host/interfaces/headless/HeadlessUi.h"
#include "zk/host/registry/Registry.h"
#include "zk/mailslot/Zkmailslot.h"
#include "tests/host/registry/TempRegistry.h"
#include "tests/support/Namespaces.h"
#include "tests/support/TestSupport.h"

namespace zktest {

// A designed form: the form itself (help context 5), a button, a label (no HelpContext
// property), a check box with a negative number, and a main menu (no HelpContext).
inline const char* const kDesignedForm =
    "object Form1: TForm1\n"
    "  Caption = 'Orders'\n"
    "  HelpContext = 5\n"
    "  object OKButton: TButton\n"
    "    Caption = 'OK'\n"
    "    HelpContext = 120\n"
    "  end\n"
    "  object Label1: TLabel\n"
    "    Caption = 'Name:'\n"
    "  end\n"
    "  object Remember: TCheckBox\n"
    "    Caption = 'Remember me'\n"
    "    HelpContext = -3\n"
    "  end\n"
    "  object MainMenu1: TMainMenu\n"
    "  end\n"
    "end\n";

class ExpertTest : public ::testing::Test {
  protected:
    void SetUp() override {
        FCommands.SetSlot("HS");
        FCommands.SetOnBinMessageAvail(
            TmsBinMessageAvail([this](TObject*, char* Data, int32_t Len) {
                FReceived.emplace_back(Data, static_cast<size_t>(Len));
            }));
        FCommands.Open();
    }

    // The commands that reached "HS" so far, after letting pending deliveries run.
    std::vector<std::string> Commands(size_t Expected) {
        WaitUntil([&] { return FReceived.size() >= Expected; }, std::chrono::seconds(5));
        CheckSynchronize(20);
        return FReceived;
    }

    void SetRegistryBool(const std::string& Name, bool Value) {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Vdx", true));
        reg.WriteBool(Name, Value);
    }
    void SetRegistryString(const std::string& Name, const std::string& Value) {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("Software\\Vdx", true));
        reg.WriteString(Name, Value);
    }

    THeadlessUi Ui;
    TUiBackendScope FUiScope{Ui};
    TempRegistry FRegistry;
    SlotDir FSlots;
    TzkMailSlot FCommands{nullptr};
    std::vector<std::string> FReceived;
    Owned<TDesignedForm> FDesign{new TDesignedForm(kDesignedForm)};
};

// The package loaded as the IDE loads it, as often as a test says; every load is finalised, the
// editors unregistered and the reply channel's override dropped when the test ends.
class PackageLoadedTest : public ExpertTest {
  protected:
    void TearDown() override {
        SetReplyChannelOverride(std::nullopt);
        while (FLoaded-- > 0) P0200::Finalization();
        UnregisterPropertyEditors();
    }
    void Load() {
        P0200::Initialization();
        P0200::Register();
        ++FLoaded;
    }
    int FLoaded = 0;
};

}  // namespace zktest
