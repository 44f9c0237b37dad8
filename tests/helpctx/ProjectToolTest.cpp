// helpctx's project commands on one fixture project: forms in nested folders, Delphi and
// Lazarus, text and binary, with numbers repeated within a form and across forms, components
// without a number and classes the palette tables do not know.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "zk/formfile/FormDocument.h"
#include "tests/helpctx/ToolFixture.h"
#include "tests/support/Namespaces.h"

#ifdef ZK_HELPCTX_TOOL

namespace {

namespace fs = std::filesystem;

const std::string kOrders =
    "object OrdersForm: TOrdersForm\r\n"  // 1
    "  HelpContext = 100\r\n"
    "  Caption = 'Orders'\r\n"
    "  object Panel1: TPanel\r\n"  // 4
    "    HelpContext = 110\r\n"
    "    object Label1: TLabel\r\n"
    "      Caption = 'Name'\r\n"
    "    end\r\n"
    "    object btnOk: TButton\r\n"  // 9: no number
    "    end\r\n"
    "  end\r\n"
    "  object Gadget1: TGadget\r\n"  // 12: unknown class with a number, repeats Panel1
    "    HelpContext = 110\r\n"
    "  end\r\n"
    "  object Widget1: TWidget\r\n"  // unknown class without one: not counted
    "  end\r\n"
    "  inline Frame11: TFrame1\r\n"
    "    HelpContext = 120\r\n"
    "    object Edit1: TEdit\r\n"
    "      HelpContext = 121\r\n"
    "    end\r\n"
    "  end\r\n"
    "end\r\n";

const std::string kCustomers =
    "object CustomersForm: TCustomersForm\n"  // 1
    "  Caption = 'Customers'\n"
    "  HelpContext = 200\n"
    "  object Edit1: TEdit\n"  // 4: repeats OrdersForm
    "    HelpContext = 100\n"
    "  end\n"
    "  object Label1: TLabel\n"  // 7: a Lazarus label publishes it; no number
    "  end\n"
    "  object Timer1: TTimer\n"
    "  end\n"
    "  object btnSave: TButton\n"
    "    HelpContext = 201\n"
    "  end\n"
    "end\n";

const std::string kInvoice =
    "object InvoiceForm: TInvoiceForm\r\n"
    "  Caption = 'Invoice'\r\n"
    "  HelpContext = 300\r\n"
    "  object Memo1: TMemo\r\n"
    "    HelpContext = 301\r\n"
    "  end\r\n"
    "  object Edit1: TEdit\r\n"  // repeats CustomersForm
    "    HelpContext = 200\r\n"
    "  end\r\n"
    "end\r\n";

class ProjectToolTest : public zktest::HelpctxFixture {
  protected:
    std::string FProject = (FDir / "app").string();
    int FPlans = 0;
    std::string FOrders = FProject + "/Orders.dfm";
    std::string FCustomers = FProject + "/sub/Customers.lfm";
    std::string FInvoice = FProject + "/sub/deep/Invoice.DFM";

    void SetUp() override {
        HelpctxFixture::SetUp();
        fs::create_directories(FDir / "app/sub/deep");
        Write(FOrders, kOrders);
        Write(FCustomers, kCustomers);
        Write(FInvoice, TFormDocument::ReadText(kInvoice, "i").ToBinary());
        Write(FProject + "/sub/notes.txt", "not a form\n");
    }
    // Each plan its own file: the cases are all made before the first runs.
    std::string Plan(const std::string& Text) {
        return Write("plan" + std::to_string(++FPlans) + ".toml", Text);
    }
};

}  // namespace

TEST_F(ProjectToolTest, CheckPrintsOneSortedLinePerProblem) {
    const std::string kBlocks =
        "[[block]]\nforms = \"orders*.dfm\"\nstart = 100\nsize = 100\n"
        "[[block]]\nforms = [\"Cust*\", \"People*\"]\nstart = 200\nstep = 10\n";
    const std::string orders = FOrders + ":", customers = FCustomers + ":";
    const std::string repeatsAndGaps =
        orders + "9: OrdersForm.btnOk (TButton) has no help context number\n" + orders +
        "12: OrdersForm.Gadget1: 110 is also used by OrdersForm.Panel1 (" + FOrders + ":4)\n";
    // The forms no block matches share the numbers after the highest block.
    const std::string outOfRest =
        FInvoice + ":0: InvoiceForm.Edit1: 200 is outside this form's block 300..2147483647\n";
    struct Case {
        std::vector<std::string> Args;
        int Status;
        std::string Output;
    } cases[] = {
        {{"check", FProject},
         1,
         repeatsAndGaps + customers + "4: CustomersForm.Edit1: 100 is also used by OrdersForm (" +
             FOrders + ":1)\n" + customers +
             "7: CustomersForm.Label1 (TLabel) has no help context number\n" + FInvoice +
             ":0: InvoiceForm.Edit1: 200 is also used by CustomersForm (" + FCustomers + ":1)\n"},
        // Files named one by one, one of them twice; blocks checked, the rest after them.
        {{"check", FInvoice, FOrders, FProject + "/./Orders.dfm", "--plan", Plan(kBlocks)},
         1,
         repeatsAndGaps + outOfRest},
        {{"check", FInvoice, "--plan", Plan("[[block]]\nforms = '*'\nstart = 300\nsize=2\n")},
         1,
         FInvoice + ":0: InvoiceForm.Edit1: 200 is outside this form's block 300..301\n"},
        {{"check", FCustomers, "--plan", Plan(kBlocks)},
         1,
         customers + "4: CustomersForm.Edit1: 100 is outside this form's block 200..299\n" +
             customers + "7: CustomersForm.Label1 (TLabel) has no help context number\n"},
        {{"check", FInvoice, "--plan", Plan(kBlocks)}, 1, outOfRest},
        {{"check", FInvoice, "--plan", Plan("[[block]]\nforms = 'x'\nstart = 0\nsize = 1000\n")},
         1,
         FInvoice + ":0: InvoiceForm: 300 is outside this form's block 1000..2147483647\n" +
             FInvoice +
             ":0: InvoiceForm.Memo1: 301 is outside this form's block "
             "1000..2147483647\n" +
             FInvoice +
             ":0: InvoiceForm.Edit1: 200 is outside this form's block "
             "1000..2147483647\n"},
        // Failures: a form the reader's message, a plan that too; usage errors 2.
        {{"check", FProject + "/none"},
         1,
         "cannot read " + FProject + "/none: No such file or directory\n"},
        {{"check", FInvoice, "--plan",
          Plan("step = 1\n[[block]]\nforms = 'a'\nstart = 1\nsize = 'x'\n")},
         1,
         "helpctx: " + (FDir / "plan6.toml").string() + ":5:8: 'size' must be an integer\n"},
        {{"check", FInvoice, "--plan",
          Plan("[[block]]\nforms='a'\nstart=1\n[[block]]\nforms='b'\nstart=50\n")},
         1,
         "helpctx: " + (FDir / "plan7.toml").string() +
             ":4:1: the block 50..149 overlaps the block 1..100\n"},
        {{"check", FInvoice, "--plan", Plan("[[block]]\nform = 'a'\n")},
         1,
         "helpctx: " + (FDir / "plan8.toml").string() + ":2:1: unknown key 'form'\n"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Run(c.Args), c.Status) << c.Args[1];
        EXPECT_EQ(Output(), c.Output) << c.Args[1];
    }

    EXPECT_EQ(Run({"check"}), 2);
    EXPECT_EQ(Run({"check", FProject, "--plan"}), 2);
}

TEST_F(ProjectToolTest, ReportCountsPerFormAndInTotal) {
    ASSERT_EQ(Run({"report", "--json", FProject}), 0) << Output();
    EXPECT_EQ(Output(),
              "{\"forms\":[\n"
              "{\"file\":\"" +
                  FOrders +
                  "\",\"form\":\"OrdersForm\",\"class\":\"TOrdersForm\",\"binary\":false,"
                  "\"components\":6,\"numbered\":5,\"unset\":[\"OrdersForm.btnOk\"],"
                  "\"repeats\":[100,110],\"unknownClasses\":[\"TWidget\"]},\n"
                  "{\"file\":\"" +
                  FCustomers +
                  "\",\"form\":\"CustomersForm\",\"class\":\"TCustomersForm\",\"binary\":false,"
                  "\"components\":4,\"numbered\":3,\"unset\":[\"CustomersForm.Label1\"],"
                  "\"repeats\":[100,200],\"unknownClasses\":[]},\n"
                  "{\"file\":\"" +
                  FInvoice +
                  "\",\"form\":\"InvoiceForm\",\"class\":\"TInvoiceForm\",\"binary\":true,"
                  "\"components\":3,\"numbered\":3,\"unset\":[],\"repeats\":[200],"
                  "\"unknownClasses\":[]}],\n"
                  "\"total\":{\"forms\":3,\"components\":13,\"numbered\":11,\"unset\":2,"
                  "\"repeats\":3},\n"
                  "\"repeats\":[\n"
                  "{\"helpContext\":100,\"uses\":[{\"file\":\"" +
                  FOrders + "\",\"line\":1,\"path\":\"OrdersForm\"},{\"file\":\"" + FCustomers +
                  "\",\"line\":4,\"path\":\"CustomersForm.Edit1\"}]},\n"
                  "{\"helpContext\":110,\"uses\":[{\"file\":\"" +
                  FOrders + "\",\"line\":4,\"path\":\"OrdersForm.Panel1\"},{\"file\":\"" + FOrders +
                  "\",\"line\":12,\"path\":\"OrdersForm.Gadget1\"}]},\n"
                  "{\"helpContext\":200,\"uses\":[{\"file\":\"" +
                  FCustomers + "\",\"line\":1,\"path\":\"CustomersForm\"},{\"file\":\"" + FInvoice +
                  "\",\"line\":0,\"path\":\"InvoiceForm.Edit1\"}]}]}\n");
    ASSERT_EQ(Run({"report", FCustomers}), 0) << Output();
    EXPECT_EQ(Output(), FCustomers +
                            ": CustomersForm (TCustomersForm): 4 publish HelpContext, 3 numbered; "
                            "without a number: CustomersForm.Label1\n"
                            "total: 1 forms, 4 publish HelpContext, 3 numbered, 1 without a "
                            "number, 0 numbers repeated\n");
}

TEST_F(ProjectToolTest, MapWritesTheHeaderAndAliasFilesSortedOrNothing) {
    std::string h = (FDir / "help.h").string(), ali = (FDir / "help.ali").string();
    const std::string kHeader =
        "#define IDH_CustomersForm 200\n"
        "#define IDH_CustomersForm_Edit1 100\n"
        "#define IDH_CustomersForm_btnSave 201\n"
        "#define IDH_InvoiceForm 300\n"
        "#define IDH_InvoiceForm_Edit1 200\n"
        "#define IDH_InvoiceForm_Memo1 301\n"
        "#define IDH_OrdersForm 100\n"
        "#define IDH_OrdersForm_Frame11 120\n"
        "#define IDH_OrdersForm_Frame11_Edit1 121\n"
        "#define IDH_OrdersForm_Gadget1 110\n"
        "#define IDH_OrdersForm_Panel1 110\n";
    const std::string kAlias =
        "IDH_CustomersForm=CustomersForm.htm\n"
        "IDH_CustomersForm_Edit1=CustomersForm.htm#Edit1\n"
        "IDH_CustomersForm_btnSave=CustomersForm.htm#btnSave\n"
        "IDH_InvoiceForm=InvoiceForm.htm\n"
        "IDH_InvoiceForm_Edit1=InvoiceForm.htm#Edit1\n"
        "IDH_InvoiceForm_Memo1=InvoiceForm.htm#Memo1\n"
        "IDH_OrdersForm=OrdersForm.htm\n"
        "IDH_OrdersForm_Frame11=OrdersForm.htm#Frame11\n"
        "IDH_OrdersForm_Frame11_Edit1=OrdersForm.htm#Frame11_Edit1\n"
        "IDH_OrdersForm_Gadget1=OrdersForm.htm#Gadget1\n"
        "IDH_OrdersForm_Panel1=OrdersForm.htm#Panel1\n";
    std::string copy = (FDir / "Copy.dfm").string();
    Write(copy, kOrders);
    struct Case {
        std::vector<std::string> Args;
        int Status;
        std::string Output, Header, Alias;
    } cases[] = {
        {{"map", FProject, "--header", h, "--alias", ali}, 0, "", kHeader, kAlias},
        {{"map", FInvoice, "--header", h, "--alias", ali, "--prefix", "HLP.", "--topics",
          "t/<form>-<component>#<number>,<context>"},
         0,
         "",
         "#define HLP.InvoiceForm 300\n#define HLP.InvoiceForm_Edit1 200\n"
         "#define HLP.InvoiceForm_Memo1 301\n",
         "HLP.InvoiceForm=t/InvoiceForm-#300,HLP.InvoiceForm\n"
         "HLP.InvoiceForm_Edit1=t/InvoiceForm-Edit1#200,HLP.InvoiceForm_Edit1\n"
         "HLP.InvoiceForm_Memo1=t/InvoiceForm-Memo1#301,HLP.InvoiceForm_Memo1\n"},
        // Failures leave both files as they were.
        {{"map", FProject, "--header", h, "--alias", (FDir / "no/dir.ali").string()},
         1,
         "helpctx: cannot write " + (FDir / "no/dir.ali").string() +
             ": No such file or directory\n",
         "old\n",
         "old\n"},
        {{"map", FOrders, copy, "--header", h},
         1,
         "helpctx: the context string IDH_OrdersForm would name both OrdersForm (" + FOrders +
             ":1) and OrdersForm (" + copy + ":1)\n",
         "old\n",
         "old\n"},
        {{"map", FOrders, "--header", h, "--prefix", "ID-"}, 2, "", "old\n", "old\n"},
        {{"map", FOrders, "--header", h, "--alias", h}, 2, "", "old\n", "old\n"},
    };
    for (const Case& c : cases) {
        Write(h, "old\n");
        Write(ali, "old\n");
        EXPECT_EQ(Run(c.Args), c.Status) << c.Args[1];
        if (c.Status != 2) {
            EXPECT_EQ(Output(), c.Output) << c.Args[1];
        }
        EXPECT_EQ(zktest::ReadFileText(h), c.Header) << c.Args[1];
        EXPECT_EQ(zktest::ReadFileText(ali), c.Alias) << c.Args[1];
    }
}

TEST_F(ProjectToolTest, ReportMarksNumbersOutsideTheirBlockAsJsonAndHtml) {
    std::string plan = Plan("[[block]]\nforms = 'Invoice*'\nstart = 300\nsize = 2\n");
    ASSERT_EQ(Run({"report", "--json", FInvoice, "--plan", plan}), 0) << Output();
    EXPECT_NE(Output().find("\"unknownClasses\":[],\"block\":[300,301],\"outside\":["
                            "{\"path\":\"InvoiceForm.Edit1\",\"helpContext\":200}]}],\n"
                            "\"total\":{\"forms\":1,\"components\":3,\"numbered\":3,"
                            "\"unset\":0,\"repeats\":0,\"outside\":1}"),
              std::string::npos)
        << Output();
    std::string html = (FDir / "report.html").string();
    ASSERT_EQ(Run({"report", FProject, "--html", html, "--plan", plan}), 0) << Output();
    EXPECT_EQ(Output(), "");
    std::string page = zktest::ReadFileText(html);
    // One row a component, marked by what is wrong with it.
    for (const char* row :
         {"<tr class=\"unset\"><td>OrdersForm.btnOk</td><td>TButton</td>",
          "<tr class=\"repeat\"><td>OrdersForm.Panel1</td><td>TPanel</td><td "
          "class=\"n\">4</td><td class=\"n\">110</td><td>also "
          "OrdersForm.Gadget1; outside the block</td></tr>",
          "<tr class=\"outside\"><td>OrdersForm.Frame11</td>", "<tr><td>InvoiceForm.Memo1</td>"})
        EXPECT_NE(page.find(row), std::string::npos) << row;
    EXPECT_EQ(page.find("<script"), std::string::npos);
}

TEST_F(ProjectToolTest, NumberByPlanChangesOnlyHelpContextLinesOrNothing) {
    std::string plan = Plan(
        "step = 1\n[[block]]\nforms = 'orders*'\nstart = 1000\nstep = 10\n"
        "[[block]]\nforms = 'Invoice.dfm'\nstart = 2000\nsize = 3\n");
    std::string ordersDiff = "--- a/" + FOrders + "\n+++ b/" + FOrders +
                             "\n"
                             "@@ -1,23 +1,24 @@\n"
                             " object OrdersForm: TOrdersForm\r\n"
                             "-  HelpContext = 100\r\n"
                             "+  HelpContext = 1000\r\n"
                             "   Caption = 'Orders'\r\n"
                             "   object Panel1: TPanel\r\n"
                             "-    HelpContext = 110\r\n"
                             "+    HelpContext = 1010\r\n"
                             "     object Label1: TLabel\r\n"
                             "       Caption = 'Name'\r\n"
                             "     end\r\n"
                             "     object btnOk: TButton\r\n"
                             "+      HelpContext = 1020\r\n"
                             "     end\r\n"
                             "   end\r\n"
                             "   object Gadget1: TGadget\r\n"
                             "-    HelpContext = 110\r\n"
                             "+    HelpContext = 1030\r\n"
                             "   end\r\n"
                             "   object Widget1: TWidget\r\n"
                             "   end\r\n"
                             "   inline Frame11: TFrame1\r\n"
                             "-    HelpContext = 120\r\n"
                             "+    HelpContext = 1040\r\n"
                             "     object Edit1: TEdit\r\n"
                             "-      HelpContext = 121\r\n"
                             "+      HelpContext = 1050\r\n"
                             "     end\r\n"
                             "   end\r\n"
                             " end\r\n";
    // Only the components without a number; the rest of the project shares 2003 and up and a
    // new number skips those in use.
    std::string unsetDiff = "--- a/" + FCustomers + "\n+++ b/" + FCustomers +
                            "\n"
                            "@@ -5,6 +5,7 @@\n"
                            "     HelpContext = 100\n"
                            "   end\n"
                            "   object Label1: TLabel\n"
                            "+    HelpContext = 2003\n"
                            "   end\n"
                            "   object Timer1: TTimer\n"
                            "   end\n"
                            "--- a/" +
                            FOrders + "\n+++ b/" + FOrders +
                            "\n"
                            "@@ -7,6 +7,7 @@\n"
                            "       Caption = 'Name'\r\n"
                            "     end\r\n"
                            "     object btnOk: TButton\r\n"
                            "+      HelpContext = 1000\r\n"
                            "     end\r\n"
                            "   end\r\n"
                            "   object Gadget1: TGadget\r\n";
    std::string before = zktest::ReadFileText(FOrders);
    ASSERT_EQ(Run({"number", FOrders, "--plan", plan, "--dry-run"}), 0) << Output();
    EXPECT_EQ(Output(), ordersDiff);
    ASSERT_EQ(Run({"number", FCustomers, FOrders, "--plan", plan, "--only-unset", "--dry-run"}), 0);
    EXPECT_EQ(Output(), unsetDiff);
    EXPECT_EQ(zktest::ReadFileText(FOrders), before);

    // A full block fails before any file changes; a full run then passes check (the unknown
    // TWidget stores no number).
    std::string binary = zktest::ReadFileText(FInvoice);
    std::string small = Plan("[[block]]\nforms = 'Invoice.dfm'\nstart = 1\nsize = 2\n");
    EXPECT_EQ(Run({"number", FProject, "--plan", small}), 1);
    EXPECT_EQ(Output(), "helpctx: " + FInvoice +
                            ": the block 1..2 has no number left for InvoiceForm.Edit1\n");
    EXPECT_EQ(zktest::ReadFileText(FOrders), before);
    EXPECT_EQ(zktest::ReadFileText(FInvoice), binary);
    ASSERT_EQ(Run({"number", FProject, "--plan", plan}), 0) << Output();
    EXPECT_EQ(Run({"check", FProject, "--plan", plan}), 0);
    EXPECT_EQ(Output(), "");
    EXPECT_NE(zktest::ReadFileText(FInvoice), binary);
    EXPECT_EQ(TFormDocument::Read(zktest::ReadFileText(FInvoice), "i").ToText(),
              "object InvoiceForm: TInvoiceForm\r\n  Caption = 'Invoice'\r\n"
              "  HelpContext = 2000\r\n  object Memo1: TMemo\r\n    HelpContext = 2001\r\n"
              "  end\r\n  object Edit1: TEdit\r\n    HelpContext = 2002\r\n  end\r\nend\r\n");

    EXPECT_EQ(Run({"number", FOrders, "--plan", plan, "--start", "1"}), 2);
    EXPECT_EQ(Run({"number", FOrders, "--step", "1"}), 2);
}

TEST_F(ProjectToolTest, ImportSetsTheNumbersAMapFileNamesAndReportsTheRest) {
    std::string h = (FDir / "help.h").string();
    // A resource header as people keep them: a guard, a text define, names in another case.
    Write(h,
          "// help map\n"
          "#ifndef HELP_H\n"
          "#define HELP_H\n"
          "#define IDH_OrdersForm_btnOk 7\n"
          "#define  IDH_Gone_Button1\t8\r\n"
          "#define IDH_InvoiceForm_Edit1 0x2A\n"
          "#define IDH_VERSION_STRING \"1.0\"\n"
          "#define IDH_CUSTOMERSFORM_label1 12 /* a comment */\n"
          "#endif\n");
    ASSERT_EQ(Run({"import", h, FProject}), 0);
    EXPECT_EQ(Output(), h + ":5: IDH_Gone_Button1 names no component\n");
    std::string customers = kCustomers;
    customers.insert(customers.find("  end\n  object Timer1"), "    HelpContext = 12\n");
    EXPECT_EQ(zktest::ReadFileText(FCustomers), customers);
    std::string orders = kOrders;
    orders.replace(orders.find("    object btnOk: TButton\r\n") + 27, 0,
                   "      HelpContext = 7\r\n");
    EXPECT_EQ(zktest::ReadFileText(FOrders), orders);
    ASSERT_EQ(Run({"list", FInvoice}), 0);
    EXPECT_NE(Output().find("InvoiceForm.Edit1\tTEdit\t42"), std::string::npos) << Output();

    // Failures change no file.
    std::string other = (FDir / "Other.dfm").string();
    Write(other, "object ORDERSFORM: TOrdersForm2\r\n  object PANEL1: TPanel\r\n  end\r\nend\r\n");
    struct Case {
        std::string Header;
        std::vector<std::string> Project;
        std::string Output;
    } cases[] = {
        {"#define IDH_OrdersForm 9\n#define IDH_ordersform_Panel1 x\n",
         {FProject},
         h + ":2: expected #define NAME NUMBER (a 32-bit integer)"},
        {"#define IDH_ordersform_panel1 9\n",
         {FProject, other},
         h + ":1: IDH_ordersform_panel1 would name both ORDERSFORM.PANEL1 (" + other +
             ":2) and OrdersForm.Panel1 (" + FOrders + ":4)"},
    };
    for (const Case& c : cases) {
        Write(h, c.Header);
        std::vector<std::string> args{"import", h};
        args.insert(args.end(), c.Project.begin(), c.Project.end());
        EXPECT_EQ(Run(args), 1);
        EXPECT_EQ(Output(), "helpctx: " + c.Output + "\n");
        EXPECT_EQ(zktest::ReadFileText(FOrders), orders);
    }
}

// check and report judge every form they can read and name the others; the commands that write
// change nothing while any form cannot be read, and name each.
TEST_F(ProjectToolTest, UnreadableFormsAreNamedAndTheOthersJudged) {
    Write(FProject + "/Cut.dfm", std::string("TPF0\x06TForm1\x05"
                                             "Form1"));
    Write(FProject + "/sub/Broken.lfm", "object F: TF\n  Left = )\nend\n");
    const std::string cut =
        FProject + "/Cut.dfm: byte 17: expected more data, found the end of the stream";
    const std::string broken = FProject + "/sub/Broken.lfm:2:10: expected a value, found ')'";
    EXPECT_EQ(Run({"check", FProject}), 1);
    EXPECT_EQ(Output(),
              cut + "\n" + FOrders + ":9: OrdersForm.btnOk (TButton) has no help context number\n" +
                  FOrders +
                  ":12: OrdersForm.Gadget1: 110 is also used by "
                  "OrdersForm.Panel1 (" +
                  FOrders + ":4)\n" + broken + "\n" + FCustomers +
                  ":4: CustomersForm.Edit1: 100 is also used by "
                  "OrdersForm (" +
                  FOrders + ":1)\n" + FCustomers +
                  ":7: CustomersForm.Label1 (TLabel) has no help context number\n" + FInvoice +
                  ":0: InvoiceForm.Edit1: 200 is also used by "
                  "CustomersForm (" +
                  FCustomers + ":1)\n");
    EXPECT_EQ(Run({"report", FProject}), 1);
    EXPECT_NE(Output().find("unreadable: " + cut + "\nunreadable: " + broken +
                            "\ntotal: 3 forms, 13 publish HelpContext, 11 numbered, 2 without a "
                            "number, 3 numbers repeated, 2 forms unreadable\n"),
              std::string::npos)
        << Output();
    EXPECT_EQ(Run({"report", "--json", FProject}), 1);
    EXPECT_NE(Output().find("\"repeats\":3,\"unreadable\":2}"), std::string::npos) << Output();
    EXPECT_NE(Output().find("]}],\n\"unreadable\":[\n{\"file\":\"" + FProject +
                            "/Cut.dfm\",\"error\":\"" + cut + "\"},\n{\"file\":\"" + FProject +
                            "/sub/Broken.lfm\",\"error\":\"" + broken + "\"}]}\n"),
              std::string::npos)
        << Output();
    std::string html = (FDir / "report.html").string();
    EXPECT_EQ(Run({"report", FProject, "--html", html}), 1);
    EXPECT_NE(zktest::ReadFileText(html).find("<li>" + broken + "</li>"), std::string::npos);

    std::string map = Write("help.h", "#define IDH_OrdersForm 7\n");
    for (std::vector<std::string> args :
         {std::vector<std::string>{"number", FProject, "--start", "1", "--step", "1"},
          {"map", FProject, "--header", (FDir / "new.h").string()},
          {"import", map, FProject}}) {
        EXPECT_EQ(Run(args), 1) << args[0];
        EXPECT_EQ(Output(), "helpctx: " + cut + "\nhelpctx: " + broken + "\n") << args[0];
    }
    EXPECT_EQ(zktest::ReadFileText(FOrders), kOrders);
    EXPECT_FALSE(fs::exists(FDir / "new.h"));
}

// A plan declares the numbers that components share on purpose, by any or by those it names.
TEST_F(ProjectToolTest, SharedNumbersThePlanDeclaresAreNoProblem) {
    std::string plan =
        Plan("[shared]\n100 = ['OrdersForm', 'customersform.edit1']\n200 = ['CustomersForm']\n");
    EXPECT_EQ(Run({"check", FProject, "--plan", plan}), 1);
    EXPECT_EQ(Output(),
              FOrders + ":9: OrdersForm.btnOk (TButton) has no help context number\n" + FOrders +
                  ":12: OrdersForm.Gadget1: 110 is also used by "
                  "OrdersForm.Panel1 (" +
                  FOrders + ":4)\n" + FCustomers +
                  ":7: CustomersForm.Label1 (TLabel) has no help context number\n" + FInvoice +
                  ":0: InvoiceForm.Edit1: 200 is shared only by "
                  "CustomersForm\n");
    EXPECT_EQ(Run({"check", FInvoice, FCustomers, "--plan", Plan("shared = [100, 200]\n")}), 1);
    EXPECT_EQ(Output(),
              FCustomers + ":7: CustomersForm.Label1 (TLabel) has no help context number\n");

    ASSERT_EQ(Run({"report", FProject, "--plan", plan}), 0) << Output();
    for (const std::string& line :
         {FOrders + ": OrdersForm (TOrdersForm): 6 publish HelpContext, 5 numbered; without a "
                    "number: OrdersForm.btnOk; repeated: 110; shared: 100; unknown classes: "
                    "TWidget\n",
          std::string(
              "total: 3 forms, 13 publish HelpContext, 11 numbered, 2 without a number, 2 numbers "
              "repeated, 1 shared, 0 outside their block\n"),
          "shared 100: OrdersForm (" + FOrders + ":1) CustomersForm.Edit1 (" + FCustomers +
              ":4)\n"})
        EXPECT_NE(Output().find(line), std::string::npos) << line << Output();
    ASSERT_EQ(Run({"report", "--json", FProject, "--plan", plan}), 0) << Output();
    for (const std::string& part :
         {std::string("\"repeats\":[110],\"shared\":[100],\"unknownClasses\":[\"TWidget\"]"),
          std::string("\"total\":{\"forms\":3,\"components\":13,\"numbered\":11,\"unset\":2,"
                      "\"repeats\":2,\"shared\":1,\"outside\":0}"),
          "\"shared\":[\n{\"helpContext\":100,\"uses\":[{\"file\":\"" + FOrders +
              "\",\"line\":1,\"path\":\"OrdersForm\"},{\"file\":\"" + FCustomers +
              "\",\"line\":4,\"path\":\"CustomersForm.Edit1\"}]}]}\n"})
        EXPECT_NE(Output().find(part), std::string::npos) << part << Output();
    std::string html = (FDir / "report.html").string();
    ASSERT_EQ(Run({"report", FProject, "--html", html, "--plan", plan}), 0) << Output();
    EXPECT_NE(zktest::ReadFileText(html).find("<tr class=\"shared\"><td>OrdersForm</td>"),
              std::string::npos);
}

// JSON is UTF-8 whatever the bytes of a name: 8-bit ones are read as Windows-1252.
TEST_F(ProjectToolTest, JsonIsUtf8) {
    const std::string form = "object Form1: TForm1\r\n  object Edit1: TEdit\r\n  end\r\nend\r\n";
    std::string latin = Write("Caf\xe9\x80.dfm", form), utf8 = Write(
                                                            "Gr\xc3\xb6\xc3\x9f"
                                                            "e.dfm",
                                                            form);
    ASSERT_EQ(Run({"list", "--json", latin, utf8}), 0) << Output();
    EXPECT_EQ(Output(), "{\"file\":\"" + (FDir / "Caf\xc3\xa9\xe2\x82\xac.dfm").string() +
                            "\",\"line\":2,\"path\":\"Form1.Edit1\",\"class\":\"TEdit\","
                            "\"helpContext\":0}\n{\"file\":\"" +
                            utf8 +
                            "\",\"line\":2,\"path\":\"Form1.Edit1\",\"class\":\"TEdit\","
                            "\"helpContext\":0}\n");
    ASSERT_EQ(Run({"report", "--json", latin}), 0) << Output();
    EXPECT_NE(
        Output().find("{\"file\":\"" + (FDir / "Caf\xc3\xa9\xe2\x82\xac.dfm").string() + "\""),
        std::string::npos)
        << Output();
}

#endif
