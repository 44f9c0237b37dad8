// A user's form file opened for designing: which components it gets, and that saving changes
// the HelpContext lines and nothing else.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HeadlessFixture.h"
#include "zk/host/forms/DesignedForm.h"
#include "zk/host/forms/StdCtrls.h"
#include "zk/host/rtl/TypInfo.h"
#include "tests/support/Namespaces.h"

namespace {

using zktest::HeadlessTest;

std::string Crlf(std::string Text) {
    std::string out;
    for (char c : Text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

const std::string kForm = Crlf(
    "object Form1: TForm1\n"
    "  Left = 10\n"
    "  Caption = 'Orders'\n"
    "  OnCreate = FormCreate\n"
    "  object Panel1: TPanel\n"
    "    HelpContext = 7\n"
    "    object OKButton: TButton\n"
    "      Caption = 'O'#75\n"
    "      OnClick = OKButtonClick\n"
    "    end\n"
    "    object Grid: TStringGrid\n"
    "      Options = [goEditing, goTabs]\n"
    "    end\n"
    "  end\n"
    "  object Label1: TLabel\n"
    "    Caption = 'Name:'\n"
    "  end\n"
    "  object Gadget: TMyGadget\n"
    "    HelpContext = 3\n"
    "    Items.Strings = (\n"
    "      'a'\n"
    "      'b')\n"
    "  end\n"
    "  inline Frame1: TAddressFrame\n"
    "    object Street: TEdit\n"
    "      Text = 'x'\n"
    "    end\n"
    "  end\n"
    "  object Timer1: TTimer\n"
    "  end\n"
    "end\n");

class DesignedFormTest : public HeadlessTest {};

TEST_F(DesignedFormTest, ComponentsComeFromTheFileWhateverTheirClasses) {
    TOwned<TDesignedForm> form(new TDesignedForm(kForm, "Orders.dfm"));
    EXPECT_EQ(form->ClassName(), "TForm1");
    EXPECT_TRUE(form->ComponentState().Contains(csDesigning));
    struct Row {
        const char* Name;
        const char* Class;
        bool Host;        // the host's own class
        int HelpContext;  // -1: not published
    } rows[] = {
        {"Panel1", "TPanel", true, 7},     {"OKButton", "TButton", true, 0},
        {"Grid", "TStringGrid", false, 0}, {"Label1", "TLabel", true, -1},
        {"Gadget", "TMyGadget", false, 3}, {"Frame1", "TAddressFrame", false, 0},
        {"Timer1", "TTimer", false, -1},
    };
    ASSERT_EQ(form->ComponentCount(), static_cast<int32_t>(std::size(rows)));
    for (int32_t i = 0; i < form->ComponentCount(); ++i) {
        TComponent* c = form->Components(i);
        const Row& r = rows[i];
        SCOPED_TRACE(r.Name);
        EXPECT_EQ(c->Name(), r.Name);
        EXPECT_EQ(c->ClassName(), r.Class);
        EXPECT_EQ(dynamic_cast<TDesignedComponent*>(c) == nullptr, r.Host);
        EXPECT_TRUE(c->ComponentState().Contains(csDesigning));
        const TPropInfo* help = GetPropInfo(c, "HelpContext");
        EXPECT_EQ(help ? GetOrdProp(c, help) : -1, r.HelpContext);
    }
    // Host controls take the values that fit them; the frame owns what is inside it.
    auto* ok = static_cast<TButton*>(form->FindComponent("OKButton"));
    EXPECT_EQ(ok->Caption(), "OK");
    EXPECT_EQ(ok->Parent(), form->FindComponent("Panel1"));
    EXPECT_FALSE(ok->OnClick());
    EXPECT_EQ(GetStrProp(form.get(), "Caption"), "Orders");
    TComponent* frame = form->FindComponent("Frame1");
    ASSERT_EQ(frame->ComponentCount(), 1);
    EXPECT_EQ(frame->Components(0)->ClassName(), "TEdit");
    EXPECT_EQ(GetOrdProp(frame->Components(0), "HelpContext"), 0);
}

TEST_F(DesignedFormTest, SavingChangesOnlyTheHelpContextLines) {
    TOwned<TDesignedForm> form(new TDesignedForm(kForm, "Orders.dfm"));
    EXPECT_EQ(form->Save(), kForm);
    EXPECT_FALSE(form->Modified());

    SetOrdProp(form.get(), "HelpContext", 100);
    SetOrdProp(form->FindComponent("Panel1"), "HelpContext", 0);
    SetOrdProp(form->FindComponent("OKButton"), "HelpContext", 120);
    SetOrdProp(form->FindComponent("Gadget"), "HelpContext", -2147483648LL);
    SetOrdProp(form->FindComponent("Frame1")->Components(0), "HelpContext", 9);
    EXPECT_TRUE(form->Modified());
    std::string saved = form->Save();
    EXPECT_EQ(saved, Crlf("object Form1: TForm1\n"
                          "  Left = 10\n"
                          "  Caption = 'Orders'\n"
                          "  OnCreate = FormCreate\n"
                          "  HelpContext = 100\n"
                          "  object Panel1: TPanel\n"
                          "    object OKButton: TButton\n"
                          "      Caption = 'O'#75\n"
                          "      OnClick = OKButtonClick\n"
                          "      HelpContext = 120\n"
                          "    end\n"
                          "    object Grid: TStringGrid\n"
                          "      Options = [goEditing, goTabs]\n"
                          "    end\n"
                          "  end\n"
                          "  object Label1: TLabel\n"
                          "    Caption = 'Name:'\n"
                          "  end\n"
                          "  object Gadget: TMyGadget\n"
                          "    HelpContext = -2147483648\n"
                          "    Items.Strings = (\n"
                          "      'a'\n"
                          "      'b')\n"
                          "  end\n"
                          "  inline Frame1: TAddressFrame\n"
                          "    object Street: TEdit\n"
                          "      Text = 'x'\n"
                          "      HelpContext = 9\n"
                          "    end\n"
                          "  end\n"
                          "  object Timer1: TTimer\n"
                          "  end\n"
                          "end\n"));
    // What was written reads back as it was set.
    TOwned<TDesignedForm> again(new TDesignedForm(saved, "Orders.dfm"));
    EXPECT_EQ(GetOrdProp(again->FindComponent("Gadget"), "HelpContext"), -2147483648LL);
    EXPECT_EQ(again->Save(), saved);
}

TEST_F(DesignedFormTest, TheLibraryOfTheFileDecidesWhoPublishesHelpContext) {
    const std::string text =
        "object Form1: TForm1\n  object Label1: TLabel\n  end\n"
        "  object Item1: TMenuItem\n  end\n  object Timer1: TTimer\n  end\nend\n";
    struct Case {
        const char* File;
        bool Label, Item, Timer;
    } cases[] = {{"Main.dfm", false, true, false}, {"main.lfm", true, true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        TOwned<TDesignedForm> form(new TDesignedForm(text, c.File));
        EXPECT_EQ(GetPropInfo(form->FindComponent("Label1"), "HelpContext") != nullptr, c.Label);
        EXPECT_EQ(GetPropInfo(form->FindComponent("Item1"), "HelpContext") != nullptr, c.Item);
        EXPECT_EQ(GetPropInfo(form->FindComponent("Timer1"), "HelpContext") != nullptr, c.Timer);
    }
}

TEST_F(DesignedFormTest, ABinaryFormIsSavedBinary) {
    std::string binary = TFormDocument::Read(kForm, "Orders.dfm").ToBinary();
    TOwned<TDesignedForm> form(new TDesignedForm(binary, "Orders.dfm"));
    EXPECT_EQ(form->Save(), binary);
    SetOrdProp(form->FindComponent("OKButton"), "HelpContext", 120);
    std::string saved = form->Save();
    ASSERT_EQ(saved.rfind("TPF0", 0), 0u);
    TOwned<TDesignedForm> again(new TDesignedForm(saved, "Orders.dfm"));
    EXPECT_EQ(GetOrdProp(again->FindComponent("OKButton"), "HelpContext"), 120);
    EXPECT_EQ(GetOrdProp(again->FindComponent("Panel1"), "HelpContext"), 7);
}

TEST_F(DesignedFormTest, FilesTheFormCannotTakeAreRefusedWithTheirPlace) {
    struct Case {
        const char* Text;
        const char* Message;
    } cases[] = {
        {"object Form1: TForm1\n  HelpContext = 2147483648\nend\n",
         "F.dfm:2:3: expected an integer HelpContext value from -2147483648 to 2147483647"},
        {"object Form1: TForm1\n  HelpContext = 'x'\nend\n",
         "F.dfm:2:3: expected an integer HelpContext value from -2147483648 to 2147483647"},
        {"object Form1: TForm1\n  object A: TButton\n  end\n  object a: TEdit\n  end\nend\n",
         "F.dfm:4:3: "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        try {
            TDesignedForm form(c.Text, "F.dfm");
            ADD_FAILURE() << "accepted";
        } catch (const EFormFileError& e) {
            EXPECT_EQ(e.Message().rfind(c.Message, 0), 0u) << e.Message();
        }
    }
}

}  // namespace
