// Which objects of a form carry a help context, and the names helpctx gives them.
#include <gtest/gtest.h>

#include "zk/formfile/FormDocument.h"
#include "zk/formfile/HelpContextClasses.h"
#include "tests/support/Namespaces.h"

namespace {

const std::string kForm =
    "object Form1: TForm1\n"
    "  Caption = 'Orders'\n"  // what tells a form from a data module of a class not known
    "  object Panel1: TPanel\n"
    "    object Label1: TLabel\n"  // only Lazarus's labels publish it
    "    end\n"
    "    object btnOk: TButton\n"
    "    end\n"
    "  end\n"
    "  object Timer1: TTimer\n"  // neither library's timers
    "  end\n"
    "  object Gadget1: TGadget\n"  // unknown, but it stores one
    "    HelpContext = 9\n"
    "  end\n"
    "  object Other1: TOther\n"  // unknown and storing none
    "  end\n"
    "  inline Frame11: TFrame1\n"  // a frame's components go through the frame
    "    object Edit1: TEdit\n"
    "    end\n"
    "  end\n"
    "end\n";

std::string Targets(TFormLibrary Library, const std::string& Text) {
    TFormDocument doc = TFormDocument::ReadText(Text, "t");
    std::string out;
    for (const THelpTarget& t : HelpContextTargets(Library, doc.Root()))
        out += t.Path + "=" + t.Node->ClassName + " ";
    return out;
}

TEST(HelpTargetsTest, TargetsInTreeOrderByTheFormsLibrary) {
    struct Case {
        TFormLibrary Library;
        std::string Text, Targets;
    } cases[] = {
        {TFormLibrary::Delphi, kForm,
         "Form1=TForm1 Form1.Panel1=TPanel Form1.btnOk=TButton Form1.Gadget1=TGadget "
         "Form1.Frame11=TFrame1 Form1.Frame11.Edit1=TEdit "},
        {TFormLibrary::Lazarus, kForm,
         "Form1=TForm1 Form1.Panel1=TPanel Form1.Label1=TLabel Form1.btnOk=TButton "
         "Form1.Gadget1=TGadget Form1.Frame11=TFrame1 Form1.Frame11.Edit1=TEdit "},
        // A data module has no help of its own; a component on it may.
        {TFormLibrary::Delphi,
         "object DM: TDataModule1\n  object Table1: TTable\n  end\n  object Dlg: TOpenDialog\n"
         "  end\nend\n",
         "DM.Dlg=TOpenDialog "},
        // Under an unnamed root the components go by their own names.
        {TFormLibrary::Delphi,
         "object TForm2\n  ClientHeight = 9\n  object Edit1: TEdit\n  end\nend\n",
         "=TForm2 Edit1=TEdit "},
    };
    for (const Case& c : cases) EXPECT_EQ(Targets(c.Library, c.Text), c.Targets) << c.Text;
}

}  // namespace
