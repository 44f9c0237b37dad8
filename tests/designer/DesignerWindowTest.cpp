// The designer's window driven through its widgets on the offscreen platform: a form opened,
// a component selected, its HelpContext typed and its ellipsis pressed, the package's menu
// used from the menu bar, the form stored and read back, and closing with unsaved numbers.
// The package's own windows are headless here, except in the main flow, where the Help Expert
// window is a Qt window too and is driven with the mouse and keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

#include "apps/designer/DesignerWindow.h"
#include "apps/designer/FormView.h"
#include "apps/designer/Inspector.h"
#include "tests/host/interfaces/Person.h"
#include "zk/host/ide/ToolIntf.h"
#include "zk/host/registry/Registry.h"

using namespace zk::forms;
using namespace zk::ide;
using namespace zk::formfile;

namespace {

std::string ReadFile(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// A folder of its own with the example form and a registry file of its own; the package's
// windows on the person's back end.
template <class TPerson>
class DesignerFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        FDir = std::filesystem::temp_directory_path() /
               ("designer-window-" + std::to_string(getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(FDir);
        std::filesystem::create_directories(FDir);
        setenv("DOCUVANE_REGISTRY", (FDir / "registry.toml").c_str(), 1);
        FForm = (FDir / "Orders.dfm").string();
        std::filesystem::copy_file(ZK_EXAMPLE_FORM, FForm);
        FPackage.Load(designer::TExpertPackage::DefaultPath());
    }
    void TearDown() override {
        FWindow.reset();
        FPackage.Unload();
        std::filesystem::remove_all(FDir);
    }
    designer::TDesignerWindow& Window() {
        if (!FWindow) FWindow = std::make_unique<designer::TDesignerWindow>();
        return *FWindow;
    }
    static void SetPath(const std::string& Path) {
        zk::registry::TRegistry reg;
        reg.OpenKey("Software\\Vdx", true);
        reg.WriteString("Path", Path);
    }
    // Answers the next message box with Button as soon as it shows; its text goes to Text.
    static void Answer(QMessageBox::StandardButton Button, QString* Text) {
        QTimer::singleShot(0, [Button, Text] {
            for (int i = 0; i < 500; ++i) {
                if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                    *Text = box->text();
                    box->button(Button)->click();
                    return;
                }
                QApplication::processEvents(QEventLoop::AllEvents, 10);
            }
        });
    }
    QAction* Action(const char* Name) {
        return Window().menuBar()->template findChild<QAction*>(Name);
    }
    void Type(const QString& Text) {
        QLineEdit* edit = Window().Inspector()->HelpContextEdit();
        ASSERT_NE(edit, nullptr);
        edit->setText(Text);
        emit edit->editingFinished();
    }
    void SelectInTree(const QString& Text) {
        auto items = Window().Tree()->findItems(Text, Qt::MatchStartsWith | Qt::MatchRecursive);
        ASSERT_EQ(items.size(), 1);
        Window().Tree()->setCurrentItem(items[0]);
    }
    std::vector<std::string> MenuBarNames() {
        std::vector<std::string> names;
        for (QAction* a : Window().menuBar()->actions())
            names.push_back(a->objectName().toStdString());
        return names;
    }

    TPerson FPerson;
    TUiBackendScope FScope{FPerson.Backend()};
    TIdeHost FIde;
    designer::TExpertPackage FPackage;
    std::unique_ptr<designer::TDesignerWindow> FWindow;
    std::filesystem::path FDir;
    std::string FForm;
};
using DesignerWindowTest = DesignerFixture<zktest::HeadlessPerson>;
using DesignerQtFlowTest = DesignerFixture<zktest::QtPerson>;

}  // namespace

TEST_F(DesignerWindowTest, HelpContextIsEditedSavedAndReadBackChangingOnlyItsLine) {
    const std::string original = ReadFile(FForm);
    ASSERT_TRUE(Window().OpenForm(FForm));
    SelectInTree("btnCancel");
    EXPECT_EQ(Window().FormView()->Selected()->Name, "btnCancel");
    EXPECT_EQ(Window().Inspector()->HelpContextEdit()->text(), "0");
    EXPECT_TRUE(Window().Inspector()->EllipsisButton()->isVisibleTo(Window().Inspector()));

    Type("0042");
    EXPECT_EQ(Window().Inspector()->HelpContextEdit()->text(), "42");
    QString box;
    Answer(QMessageBox::Ok, &box);
    Type("4x2");
    EXPECT_EQ(box, "'4x2' is not a valid integer value");
    EXPECT_EQ(Window().Inspector()->HelpContextEdit()->text(), "42");
    EXPECT_TRUE(Window().windowTitle().contains("Orders.dfm*"));

    // No "Path": the not-running dialog; a program that starts: the Help Expert window.
    Window().Inspector()->EllipsisButton()->click();
    SetPath("/bin/true");
    Window().Inspector()->EllipsisButton()->click();
    std::vector<std::string> shown;
    for (const TShownForm& f : FPerson.Ui.ShownForms()) shown.push_back(f.ClassName);
    EXPECT_EQ(shown, (std::vector<std::string>{"Tpx0100", "Tfrm0300"}));

    Action("FileSaveItem")->trigger();
    std::string expected = original;
    // A new line goes after the component's last property, with its indentation.
    size_t at = expected.find("    TabOrder = 3\n");
    ASSERT_NE(at, std::string::npos);
    expected.insert(at + 17, "    HelpContext = 42\n");
    EXPECT_EQ(ReadFile(FForm), expected);
    EXPECT_FALSE(Window().windowTitle().contains("*"));

    // Read back in a new window: the number is there.
    FWindow.reset();
    ASSERT_TRUE(Window().OpenForm(FForm));
    ASSERT_TRUE(Window().Select("btnCancel"));
    EXPECT_EQ(Window().Inspector()->HelpContextEdit()->text(), "42");
}

// The main flow in real windows: the ellipsis starts the authoring application and opens the
// Help Expert window; there a node is clicked, a number typed, another node clicked and
// "E&xit and Save Changes" chosen from its menu bar; the form is saved and read back.
TEST_F(DesignerQtFlowTest, EllipsisNumbersThroughTheHelpExpertWindowAndTheFormIsSaved) {
    const std::string original = ReadFile(FForm);
    SetPath("/bin/true");
    ASSERT_TRUE(Window().OpenForm(FForm));
    Window().show();
    SelectInTree("btnCancel");
    std::vector<std::string> nodes;
    std::string caption;
    FPerson.OnModal([&](TForm& F) {
        caption = F.Caption();
        auto& tree = static_cast<TTreeView&>(*F.FindComponent("tv1"));
        auto& edit = static_cast<TCustomEdit&>(*F.FindComponent("_10edit"));
        auto node = [&tree](const std::string& Name) {
            for (TTreeNode* n = tree.Items().GetFirstNode(); n; n = n->GetNext())
                if (n->Text().rfind(Name + ",", 0) == 0) return n;
            ADD_FAILURE() << "no node for " << Name;
            return tree.Items().GetFirstNode();
        };
        FPerson.Select(tree, *node("btnCancel"));
        FPerson.Type(edit, "0077");
        FPerson.Select(tree, *node("btnOK"));
        for (TTreeNode* n = tree.Items().GetFirstNode(); n; n = n->GetNext())
            nodes.push_back(n->Text());
        FPerson.Choose(static_cast<TMenuItem&>(*F.FindComponent("mnuFileExit")));
    });
    QTest::mouseClick(Window().Inspector()->EllipsisButton(), Qt::LeftButton);
    EXPECT_EQ(caption, "Docuvane Expert");
    EXPECT_EQ(nodes, (std::vector<std::string>{
                         "OrdersForm, TOrdersForm, Orders, 100", "edtCustomer, TEdit, 0",
                         "chkExpress, TCheckBox, Express delivery, 0", "btnOK, TButton, OK, 110",
                         "btnCancel, TButton, Cancel, 77"}));
    EXPECT_EQ(Window().Inspector()->HelpContextEdit()->text(), "77");

    Action("FileSaveItem")->trigger();
    std::string expected = original;
    size_t at = expected.find("    TabOrder = 3\n");
    ASSERT_NE(at, std::string::npos);
    expected.insert(at + 17, "    HelpContext = 77\n");
    EXPECT_EQ(ReadFile(FForm), expected);
}

// A page control shows one sheet, the stored ActivePage, until a component on another one is
// selected; captions read as the file's 8-bit code page or as UTF-8, as the file has them.
TEST_F(DesignerWindowTest, FormViewShowsTheSheetOfTheSelectionAndEightBitCaptions) {
    const std::string form = (FDir / "Pages.dfm").string();
    std::ofstream(form, std::ios::binary)
        << "object F: TForm\r\n  Caption = 'caf'#233\r\n  ClientWidth = 300\r\n"
           "  ClientHeight = 200\r\n  object P: TPageControl\r\n    Width = 280\r\n"
           "    Height = 180\r\n    ActivePage = S2\r\n  object S1: TTabSheet\r\n"
           "    Caption = 'caf\xc3\xa9'\r\n"
           "    object A: TEdit\r\n      Width = 50\r\n      Height = 20\r\n    end\r\n"
           "  end\r\n  object S2: TTabSheet\r\n    object B: TEdit\r\n      Width = 50\r\n"
           "      Height = 20\r\n    end\r\n  end\r\n  end\r\nend\r\n";
    ASSERT_TRUE(Window().OpenForm(form));
    designer::TFormView& view = *Window().FormView();
    ASSERT_TRUE(Window().Select("A"));
    const zk::formfile::TFormNode* a = view.Selected();
    ASSERT_TRUE(Window().Select("B"));
    const zk::formfile::TFormNode* b = view.Selected();
    ASSERT_TRUE(Window().Select("F"));
    EXPECT_TRUE(view.BoundsOf(*a).isNull());  // on S1, behind the stored ActivePage
    EXPECT_FALSE(view.BoundsOf(*b).isNull());
    ASSERT_TRUE(Window().Select("A"));
    EXPECT_FALSE(view.BoundsOf(*a).isNull());
    EXPECT_TRUE(view.BoundsOf(*b).isNull());
    // #233 in a Delphi form, the UTF-8 bytes of a Lazarus one: both are "café" on the screen.
    const zk::formfile::TFormNode& root = Window().Session()->Document().Root();
    EXPECT_EQ(designer::StoredText(root, "Caption"), QString::fromUtf8("caf\u00e9"));
    EXPECT_EQ(designer::StoredText(root.Children[0].Children[0], "Caption"),
              QString::fromUtf8("caf\u00e9"));
}

TEST_F(DesignerWindowTest, ClosingWithUnsavedNumbersAsksFirstAndErrorsAreBoxes) {
    QString box;
    Answer(QMessageBox::Ok, &box);
    EXPECT_FALSE(Window().OpenForm((FDir / "missing.dfm").string()));
    EXPECT_TRUE(
        box.startsWith("Cannot open " + QString::fromStdString((FDir / "missing.dfm").string())))
        << box.toStdString();
    EXPECT_TRUE(box.contains("No such file or directory")) << box.toStdString();

    const std::string original = ReadFile(FForm);
    ASSERT_TRUE(Window().OpenForm(FForm));
    Window().show();
    Type("7");
    struct Case {
        QMessageBox::StandardButton Answer;
        bool Closed;
        bool Stored;
    } cases[] = {{QMessageBox::Cancel, false, false}, {QMessageBox::Discard, true, false}};
    for (const Case& c : cases) {
        box.clear();
        Answer(c.Answer, &box);
        EXPECT_EQ(Window().close(), c.Closed);
        EXPECT_TRUE(box.contains("changed")) << box.toStdString();
        EXPECT_EQ(ReadFile(FForm) == original, !c.Stored);
    }
    // Storing where no file can go is a box with the reason, and the window stays modified.
    Window().show();
    Answer(QMessageBox::Ok, &box);
    EXPECT_FALSE(Window().SaveTo((FDir / "no/such/dir/Orders.dfm").string()));
    EXPECT_TRUE(box.startsWith("Cannot store ")) << box.toStdString();
    EXPECT_TRUE(Window().windowTitle().contains("*"));
}

TEST_F(DesignerWindowTest, MenuBarMirrorsTheIdeMenuAndItsPackageCommands) {
    std::vector<std::string> names;
    for (const TIdeMenu& m : TIdeHost::DefaultMenus()) names.push_back(m.Name);
    names.insert(names.end() - 1, "DocuvaneMenu");
    EXPECT_EQ(MenuBarNames(), names);
    auto* docuvane = Window().menuBar()->findChild<QMenu*>("DocuvaneMenu");
    ASSERT_NE(docuvane, nullptr);
    EXPECT_EQ(docuvane->title(), "Docu&vane");
    std::vector<std::string> items;
    for (QAction* a : docuvane->actions())
        items.push_back(a->objectName().toStdString() + (a->isSeparator() ? "|" : ":") +
                        a->text().toStdString());
    EXPECT_EQ(items, (std::vector<std::string>{"DocuvaneItem:&Start Docuvane", "M1Sep1|",
                                               "DocuvaneAboutItem:&About"}));

    Action("DocuvaneItem")->trigger();  // no "Path"
    Action("DocuvaneAboutItem")->trigger();
    ASSERT_EQ(FPerson.Ui.Messages().size(), 2u);
    EXPECT_EQ(FPerson.Ui.Messages()[0], "Docuvane failed to Start.");
    EXPECT_EQ(FPerson.Ui.Messages()[1].rfind("Docuvane Expert 3.0 (Beta Release 4)\n", 0), 0u);

    // A command the package inserts later shows up; unloading takes the whole menu away.
    ToolServices->GetMainMenu()
        ->FindMenuItem("DocuvaneMenu")
        ->InsertItem(-1, "&Late", "LateItem", "", 0, 0, 0, {mfEnabled, mfVisible}, {});
    Window().SyncMenu();
    EXPECT_NE(Action("LateItem"), nullptr);
    FPackage.Unload();
    Window().SyncMenu();
    names.erase(names.end() - 2);
    EXPECT_EQ(MenuBarNames(), names);
}

// Under a real X server (xvfb-run): the designer with its "Docu&vane" menu open, as a picture.
// Runs Act on the dialog named Name as soon as it is the modal window.
static void OnDialog(const char* Name, std::function<void(QDialog&)> Act) {
    QTimer::singleShot(0, [Name, Act] {
        for (int i = 0; i < 500; ++i) {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (dialog && dialog->objectName() == Name) return Act(*dialog);
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
    });
}

TEST_F(DesignerWindowTest, HelpContextsMenuNumbersUnsetInTreeOrderUndoesAndReports) {
    const std::string original = ReadFile(FForm);
    ASSERT_TRUE(Window().OpenForm(FForm));
    auto number = [this](int Start, int Step) {
        OnDialog("NumberUnsetDialog", [Start, Step](QDialog& d) {
            // Proposed: past the highest number the form uses.
            EXPECT_EQ(d.findChild<QSpinBox*>("StartEdit")->value(), 111);
            d.findChild<QSpinBox*>("StartEdit")->setValue(Start);
            d.findChild<QSpinBox*>("StepEdit")->setValue(Step);
            d.accept();
        });
        Action("HelpContextsNumberItem")->trigger();
    };
    // 100 and 110 are the form's and btnOK's: skipped.
    number(100, 10);
    EXPECT_TRUE(Window().Session()->Modified());
    EXPECT_EQ(Window().Inspector()->HelpContextEdit()->text(), "100");  // the form, selected
    Action("EditUndoNumberingItem")->trigger();
    EXPECT_FALSE(Window().Session()->Modified());
    number(100, 10);

    std::string text;
    OnDialog("HelpContextsReport", [&text](QDialog& d) {
        auto* view = d.findChild<QTextBrowser*>("ReportView");
        text = view->toPlainText().toStdString();
        d.grab().save(QString::fromStdString(std::string(ZK_SCREENSHOT_DIR) +
                                             "/designer-help-contexts-report.png"));
        d.reject();
    });
    Action("HelpContextsReportItem")->trigger();
    // The open form as it stands, unsaved numbers included.
    EXPECT_NE(text.find("5 of 5 numbered"), std::string::npos) << text;
    EXPECT_NE(text.find("OrdersForm.btnCancel\nTButton\n41\n140"), std::string::npos) << text;

    Action("FileSaveItem")->trigger();
    std::string expected = original;
    for (auto [after, number] :
         {std::pair{"    TabOrder = 3\n", "140"}, std::pair{"    TabOrder = 1\n", "130"},
          std::pair{"    TabOrder = 0\n", "120"}}) {
        size_t at = expected.find(after) + std::string(after).size();
        expected.insert(at, std::string("    HelpContext = ") + number + "\n");
    }
    EXPECT_EQ(ReadFile(FForm), expected);
    // Saved: nothing to undo any more.
    Action("EditUndoNumberingItem")->trigger();
    EXPECT_EQ(ReadFile(FForm), expected);
    EXPECT_FALSE(Window().Session()->Modified());
}

// Three forms of different styles: a classic dialog, a main window with menu, tool bar, page
// control and status bar, and a Lazarus form with anchors and border spacing; each with an edit
// that stores no text.
struct TStyle {
    const char* File;
    const char* Text;
    const char* EmptyEdit;
};
const TStyle kStyles[] = {
    {"Dialog.dfm",
     "object Dialog: TDialog\r\n  BorderStyle = bsDialog\r\n  Caption = 'Customer'\r\n"
     "  ClientWidth = 330\r\n  ClientHeight = 190\r\n"
     "  object Box: TGroupBox\r\n    Left = 8\r\n    Top = 8\r\n    Width = 314\r\n"
     "    Height = 105\r\n    Caption = 'Address'\r\n"
     "    object LName: TLabel\r\n      Left = 12\r\n      Top = 24\r\n      Width = 31\r\n"
     "      Height = 13\r\n      Caption = '&Name:'\r\n    end\r\n"
     "    object EName: TEdit\r\n      Left = 80\r\n      Top = 20\r\n      Width = 220\r\n"
     "      Height = 21\r\n      Text = 'Ada Lovelace'\r\n    end\r\n"
     "    object LCity: TLabel\r\n      Left = 12\r\n      Top = 52\r\n      Width = 24\r\n"
     "      Height = 13\r\n      Caption = '&City:'\r\n    end\r\n"
     "    object ECity: TEdit\r\n      Left = 80\r\n      Top = 48\r\n      Width = 220\r\n"
     "      Height = 21\r\n    end\r\n"
     "    object Vip: TCheckBox\r\n      Left = 80\r\n      Top = 78\r\n      Width = 120\r\n"
     "      Height = 17\r\n      Caption = 'Key account'\r\n    end\r\n  end\r\n"
     "  object Kind: TRadioGroup\r\n    Left = 8\r\n    Top = 118\r\n    Width = 150\r\n"
     "    Height = 64\r\n    Caption = 'Kind'\r\n  end\r\n"
     "  object Ok: TButton\r\n    Left = 166\r\n    Top = 157\r\n    Width = 75\r\n"
     "    Height = 25\r\n    Caption = 'OK'\r\n    Default = True\r\n  end\r\n"
     "  object Cancel: TButton\r\n    Left = 247\r\n    Top = 157\r\n    Width = 75\r\n"
     "    Height = 25\r\n    Caption = 'Cancel'\r\n  end\r\nend\r\n",
     "ECity"},
    {"Main.dfm",
     "object Main: TMain\r\n  Caption = 'Orders'\r\n  ClientWidth = 480\r\n"
     "  ClientHeight = 300\r\n  Menu = Menu\r\n"
     "  object Bar: TToolBar\r\n    Width = 480\r\n    Height = 29\r\n"
     "    object TbNew: TToolButton\r\n      Top = 2\r\n      Caption = 'N'\r\n    end\r\n"
     "    object TbOpen: TToolButton\r\n      Left = 23\r\n      Top = 2\r\n"
     "      Caption = 'O'\r\n    end\r\n"
     "    object TbGap: TToolButton\r\n      Left = 46\r\n      Top = 2\r\n      Width = 8\r\n"
     "      Style = tbsSeparator\r\n    end\r\n"
     "    object TbFind: TToolButton\r\n      Left = 54\r\n      Top = 2\r\n"
     "      Caption = 'F'\r\n    end\r\n  end\r\n"
     "  object Pages: TPageControl\r\n    Top = 29\r\n    Width = 480\r\n    Height = 252\r\n"
     "    ActivePage = Items\r\n    Align = alClient\r\n"
     "    object Orders: TTabSheet\r\n      Caption = 'Orders'\r\n    end\r\n"
     "    object Items: TTabSheet\r\n      Caption = 'Items'\r\n"
     "      object Grid: TVirtualStringTree\r\n        Width = 472\r\n        Height = 180\r\n"
     "        Align = alClient\r\n      end\r\n"
     "      object Filter: TPanel\r\n        Width = 472\r\n        Height = 44\r\n"
     "        Align = alTop\r\n"
     "        object Find: TEdit\r\n          Left = 8\r\n          Top = 11\r\n"
     "          Width = 200\r\n          Height = 21\r\n        end\r\n"
     "        object Go: TButton\r\n          Left = 216\r\n          Top = 9\r\n"
     "          Width = 75\r\n          Height = 25\r\n          Caption = '&Search'\r\n"
     "        end\r\n"
     "        object Clear: TButton\r\n          Left = 300\r\n          Top = 9\r\n"
     "          Width = 75\r\n          Height = 25\r\n          Caption = 'Clear'\r\n"
     "          Visible = False\r\n        end\r\n      end\r\n    end\r\n  end\r\n"
     "  object Status: TStatusBar\r\n    Top = 281\r\n    Width = 480\r\n    Height = 19\r\n"
     "    Panels = <\r\n      item\r\n        Text = 'Ready'\r\n        Width = 120\r\n"
     "      end\r\n      item\r\n        Text = '12 orders'\r\n        Width = 50\r\n"
     "      end>\r\n  end\r\n"
     "  object Images: TImageList\r\n    Left = 400\r\n    Top = 220\r\n  end\r\n"
     "  object Menu: TMainMenu\r\n    Left = 440\r\n    Top = 220\r\n"
     "    object MFile: TMenuItem\r\n      Caption = '&File'\r\n    end\r\n"
     "    object MEdit: TMenuItem\r\n      Caption = '&Edit'\r\n    end\r\n  end\r\nend\r\n",
     "Find"},
    {"Settings.lfm",
     "object Settings: TSettings\n  Left = 300\n  Height = 260\n  Top = 200\n"
     "  Width = 360\n  Caption = 'Einstellungen'\n  ClientHeight = 260\n"
     "  ClientWidth = 360\n"
     "  object Head: TPanel\n    Left = 0\n    Height = 40\n    Top = 0\n    Width = 360\n"
     "    Align = alTop\n    BevelOuter = bvNone\n    Caption = 'Ordner'\n  end\n"
     "  object Folders: TListBox\n    Left = 6\n    Height = 150\n    Top = 46\n"
     "    Width = 348\n    Align = alClient\n    BorderSpacing.Around = 6\n  end\n"
     "  object Bottom: TPanel\n    Left = 0\n    Height = 58\n    Top = 202\n"
     "    Width = 360\n    Align = alBottom\n"
     "    object Path: TEdit\n      Left = 8\n      Height = 23\n      Top = 4\n"
     "      Width = 344\n      Anchors = [akTop, akLeft, akRight]\n    end\n"
     "    object Close: TBitBtn\n      Left = 272\n      Height = 26\n      Top = 28\n"
     "      Width = 80\n      Anchors = [akRight, akBottom]\n      Caption = 'Schlie\xc3\x9f"
     "en'\n    end\n  end\nend\n",
     "Path"},
};

// The three forms drawn as the surface draws them and stored as pictures
// (build/tests/designer-form-*.png). An edit with no stored text is empty, a class nobody knows
// is a framed placeholder, not a bare name.
TEST_F(DesignerWindowTest, FormStylesDrawnFromTheirComponents) {
    for (const TStyle& s : kStyles) {
        SCOPED_TRACE(s.File);
        const std::string path = (FDir / s.File).string();
        std::ofstream(path, std::ios::binary) << s.Text;
        ASSERT_TRUE(Window().OpenForm(path));
        designer::TFormView& view = *Window().FormView();
        QImage shot = view.grab().toImage();
        ASSERT_TRUE(shot.save(QString::fromStdString(std::string(ZK_SCREENSHOT_DIR) +
                                                     "/designer-form-" + s.File + ".png")));
        std::set<QRgb> colours;
        for (int y = 0; y < shot.height(); y += 3)
            for (int x = 0; x < shot.width(); x += 3) colours.insert(shot.pixel(x, y));
        EXPECT_GT(colours.size(), 6u) << "the picture is blank";
        // Inside the edit's border nothing but white: no name drawn in it.
        QRect edit = view.BoundsOf(*Window().Session()->Document().Find(s.EmptyEdit));
        ASSERT_FALSE(edit.isNull());
        for (int y = edit.top() + 2; y < edit.bottom() - 1; ++y)
            for (int x = edit.left() + 2; x < edit.right() - 1; ++x)
                ASSERT_EQ(shot.pixel(x, y), qRgb(255, 255, 255)) << x << "," << y;
    }
}

// A click on the surface selects the topmost control under the pointer, in the tree and the
// inspector too; a tab shows its page; a selection in the tree shows the page it is on.
TEST_F(DesignerWindowTest, ClickOnTheSurfaceSelectsTheTopmostControlAndTabsShowPages) {
    const std::string path = (FDir / kStyles[1].File).string();
    std::ofstream(path, std::ios::binary) << kStyles[1].Text;
    ASSERT_TRUE(Window().OpenForm(path));
    designer::TFormView& view = *Window().FormView();
    const TFormDocument& doc = Window().Session()->Document();
    auto click = [&](const char* Name) {
        QRect r = view.BoundsOf(*doc.Find(Name));
        ASSERT_FALSE(r.isNull()) << Name;
        QTest::mouseClick(&view, Qt::LeftButton, {}, r.center());
    };
    // The edit lies on a panel on a sheet on the page control: the edit wins.
    click("Find");
    EXPECT_EQ(view.Selected()->Name, "Find");
    EXPECT_TRUE(Window().Tree()->currentItem()->text(0).startsWith("Find: TEdit"));
    EXPECT_EQ(Window().Inspector()->item(0, 1)->text(), "Find");  // the Name row
    // A hidden button is still drawn (dimmed) and can be picked.
    click("Clear");
    EXPECT_EQ(view.Selected()->Name, "Clear");
    // An icon lies over the unknown grid.
    click("Images");
    EXPECT_EQ(view.Selected()->Name, "Images");
    // The other sheet's tab: that sheet shows, the edit on the first no longer does.
    click("Orders");
    EXPECT_EQ(view.Selected()->Name, "Orders");
    EXPECT_TRUE(view.BoundsOf(*doc.Find("Find")).isNull());
    SelectInTree("Go: TButton");
    EXPECT_EQ(view.Selected()->Name, "Go");
    EXPECT_FALSE(view.BoundsOf(*doc.Find("Find")).isNull());
}

TEST_F(DesignerWindowTest, ScreenshotWithTheDocuvaneMenuOpen) {
    if (QGuiApplication::platformName() != "xcb") GTEST_SKIP() << "needs an X display";
    ASSERT_TRUE(Window().OpenForm(FForm));
    Window().Select("btnOK");
    Window().show();
    Window().move(0, 0);
    auto* docuvane = Window().menuBar()->findChild<QMenu*>("DocuvaneMenu");
    ASSERT_NE(docuvane, nullptr);
    for (int i = 0; i < 50; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
    Window().menuBar()->setActiveAction(docuvane->menuAction());
    for (int i = 0; i < 50 && !docuvane->isVisible(); ++i)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    for (int i = 0; i < 30; ++i) QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_TRUE(docuvane->isVisible());
    QRect area = Window().frameGeometry().united(docuvane->geometry());
    QImage shot = QGuiApplication::primaryScreen()->grabWindow(0).copy(area).toImage();
    std::string file = std::string(ZK_SCREENSHOT_DIR) + "/designer-docuvane-menu.png";
    ASSERT_TRUE(shot.save(QString::fromStdString(file)));
    QImage back(QString::fromStdString(file));
    EXPECT_EQ(back.size(), area.size());
    EXPECT_GE(back.width(), 960);
    std::set<QRgb> colours;
    for (int y = 0; y < back.height(); y += 7)
        for (int x = 0; x < back.width(); x += 7) colours.insert(back.pixel(x, y));
    EXPECT_GT(colours.size(), 8u) << "the picture is blank";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM") && !std::getenv("DISPLAY"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
