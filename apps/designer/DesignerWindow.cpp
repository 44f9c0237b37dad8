#include "apps/designer/DesignerWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QDockWidget>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QScrollArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <climits>

#include "apps/designer/FormView.h"
#include "apps/designer/Inspector.h"
#include "apps/designer/UiBackend.h"
#include "zk/host/ide/ToolIntf.h"
#include "zk/host/platform/FileReplace.h"

namespace designer {

using namespace zk::ide;
using namespace zk::rtl;
using namespace zk::formfile;

namespace {

QString Qs(const std::string& S) { return QString::fromStdString(S); }

constexpr int32_t kCtrl = 0x4000, kShift = 0x2000;

// The window's own commands in the IDE's menu: menu name, item name, caption, short cut.
// The designer's own commands in the IDE's menu, each with what it does.
struct TOwnCommand {
    const char* Menu;
    const char* Name;
    const char* Caption;
    int32_t ShortCut;
    void (*Run)(TDesignerWindow&);  // null: a separator or a submenu
};
const TOwnCommand kCommands[] = {
    {"FileMenu", "FileOpenItem", "&Open...", kCtrl | 'O',
     [](TDesignerWindow& W) { W.ChooseAndOpen(); }},
    {"FileMenu", "FileSaveItem", "&Save", kCtrl | 'S', [](TDesignerWindow& W) { W.Save(); }},
    {"FileMenu", "FileSaveAsItem", "Save &As...", kCtrl | kShift | 'S',
     [](TDesignerWindow& W) { W.SaveAs(); }},
    {"FileMenu", "FileSep1", "-", 0, nullptr},
    {"FileMenu", "FileExitItem", "E&xit", 0, [](TDesignerWindow& W) { W.close(); }},
    {"EditMenu", "EditUndoNumberingItem", "&Undo Numbering", kCtrl | 'Z',
     [](TDesignerWindow& W) { W.UndoNumbering(); }},
    {"ToolsMenu", "HelpContextsMenu", "Help &contexts", 0, nullptr},
    {"HelpContextsMenu", "HelpContextsReportItem", "&Report...", 0,
     [](TDesignerWindow& W) { W.ShowReport(); }},
    {"HelpContextsMenu", "HelpContextsNumberItem", "&Number unset in tree order...", 0,
     [](TDesignerWindow& W) { W.NumberUnset(); }},
    {"HelpMenu", "HelpAboutDesignerItem", "&About the Designer", 0,
     [](TDesignerWindow& W) { W.ShowAbout(); }},
};

TIMenuItemIntf* Bar() { return ToolServices->GetMainMenu()->GetMenuItems(); }

void AddTreeNodes(QTreeWidgetItem* Parent, const TFormNode& Node) {
    for (const TFormNode& child : Node.Children) {
        auto* item = new QTreeWidgetItem(Parent, {Qs(child.Name + ": " + child.ClassName)});
        item->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<const void*>(&child)));
        AddTreeNodes(item, child);
    }
}

}  // namespace

TDesignerWindow::TDesignerWindow() {
    setObjectName(QStringLiteral("DesignerWindow"));
    resize(960, 600);
    auto* scroll = new QScrollArea;
    FView = new TFormView;
    scroll->setWidget(FView);
    scroll->setAlignment(Qt::AlignCenter);
    scroll->setBackgroundRole(QPalette::Dark);
    setCentralWidget(scroll);

    FTree = new QTreeWidget;
    FTree->setObjectName(QStringLiteral("ComponentTree"));
    FTree->setHeaderHidden(true);
    auto* treeDock = new QDockWidget(QStringLiteral("Object TreeView"));
    treeDock->setObjectName(QStringLiteral("TreeDock"));
    treeDock->setWidget(FTree);
    treeDock->setFeatures(QDockWidget::DockWidgetMovable);
    addDockWidget(Qt::LeftDockWidgetArea, treeDock);

    FInspector = new TInspector;
    FInspector->setObjectName(QStringLiteral("ObjectInspector"));
    auto* inspectorDock = new QDockWidget(QStringLiteral("Object Inspector"));
    inspectorDock->setObjectName(QStringLiteral("InspectorDock"));
    inspectorDock->setWidget(FInspector);
    inspectorDock->setFeatures(QDockWidget::DockWidgetMovable);
    addDockWidget(Qt::LeftDockWidgetArea, inspectorDock);
    resizeDocks({treeDock}, {300}, Qt::Horizontal);

    FView->OnSelect = [this](const TFormNode* Node) { ShowSelected(Node); };
    FInspector->OnChanged = [this] {
        UpdateTitle();
        SyncMenu();
    };
    connect(FTree, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* Item) {
        if (FSyncingTree || !Item) return;
        ShowSelected(
            static_cast<const TFormNode*>(Item->data(0, Qt::UserRole).value<const void*>()));
    });

    for (const TOwnCommand& c : kCommands) {
        TIMenuItemIntf* menu = Bar()->FindItem(c.Menu);
        if (!menu) continue;
        TIMenuClickEvent click;
        if (c.Run) click = TIMenuClickEvent([this, run = c.Run](TIMenuItemIntf*) { run(*this); });
        menu->InsertItem(-1, c.Caption, c.Name, "", c.ShortCut, 0, 0, {mfEnabled, mfVisible},
                         click);
    }
    FMenu = std::make_unique<TMenuMirror>(menuBar(), Bar(), [this](const std::string& Why) {
        QMessageBox::critical(this, QStringLiteral("Designer"), Qs(Why));
    });
    FMenu->Sync();
    statusBar()->showMessage(QStringLiteral("No form open: File > Open"));
    UpdateTitle();
}

void TDesignerWindow::ChooseAndOpen() {
    QFileDialog dialog(this, QStringLiteral("Open Form"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilter(QStringLiteral("Form files (*.dfm *.lfm);;All files (*)"));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        OpenForm(dialog.selectedFiles().first().toStdString());
}

void TDesignerWindow::ShowAbout() {
    QMessageBox::about(this, QStringLiteral("About the Designer"),
                       QStringLiteral("Form designer with the Docuvane Help Expert"));
}

TDesignerWindow::~TDesignerWindow() {
    if (!ToolServices) return;
    for (const TOwnCommand& c : kCommands)
        if (TIMenuItemIntf* item = Bar()->FindItem(c.Name)) item->DestroyMenuItem();
}

void TDesignerWindow::NumberUnset() {
    if (!FSession) return;
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("NumberUnsetDialog"));
    dialog.setWindowTitle(QStringLiteral("Number Unset in Tree Order"));
    auto* start = new QSpinBox;
    start->setObjectName(QStringLiteral("StartEdit"));
    start->setRange(1, INT32_MAX);
    start->setValue(static_cast<int>(std::min<int64_t>(FSession->HighestNumber() + 1, INT32_MAX)));
    auto* step = new QSpinBox;
    step->setObjectName(QStringLiteral("StepEdit"));
    step->setRange(1, 1000000);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QFormLayout(&dialog);
    layout->addRow(QStringLiteral("&First number:"), start);
    layout->addRow(QStringLiteral("&Step:"), step);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return;
    int32_t given = FSession->NumberUnset(start->value(), step->value());
    ShowSelected(FView->Selected());
    UpdateTitle();
    statusBar()->showMessage(
        given ? QStringLiteral("Numbered %1 components (Edit > Undo Numbering takes them back)")
                    .arg(given)
              : QStringLiteral("Every component has a number"));
}

void TDesignerWindow::UndoNumbering() {
    if (!FSession || !FSession->CanUndoNumbering()) {
        statusBar()->showMessage(QStringLiteral("No numbering to undo"));
        return;
    }
    FSession->UndoNumbering();
    ShowSelected(FView->Selected());
    UpdateTitle();
    statusBar()->showMessage(QStringLiteral("Numbering undone"));
}

void TDesignerWindow::ShowReport() {
    if (!FSession) return;
    std::vector<std::string> skipped;
    std::string html = FSession->ReportHtml(skipped);
    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("HelpContextsReport"));
    dialog.setWindowTitle(QStringLiteral("Help Contexts Report"));
    dialog.resize(720, 560);
    auto* view = new QTextBrowser;
    view->setObjectName(QStringLiteral("ReportView"));
    view->setHtml(Qs(html));
    auto* layout = new QVBoxLayout(&dialog);
    layout->addWidget(view);
    if (!skipped.empty()) {
        QString text = QStringLiteral("Not in the report:");
        for (const std::string& s : skipped) text += "\n" + Qs(s);
        layout->addWidget(new QLabel(text));
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.exec();
}

void TDesignerWindow::Fail(const QString& What, const std::string& Why) {
    QMessageBox::critical(this, QStringLiteral("Designer"), What + "\n\n" + Qs(Why));
}

bool TDesignerWindow::OpenForm(const std::string& Path) {
    if (!MayDiscard()) return false;
    std::unique_ptr<TFormSession> session;
    try {
        session = std::make_unique<TFormSession>(Path);
    } catch (const Exception& e) {
        Fail(QStringLiteral("Cannot open %1.").arg(Qs(Path)), e.Message());
        return false;
    } catch (const std::runtime_error& e) {
        Fail(QStringLiteral("Cannot open %1.").arg(Qs(Path)), e.what());
        return false;
    }
    FInspector->Show(nullptr, nullptr);
    FView->SetForm(nullptr);
    FSession = std::move(session);
    const TFormNode& root = FSession->Document().Root();
    FSyncingTree = true;
    FTree->clear();
    auto* top = new QTreeWidgetItem(FTree, {Qs(root.Name + ": " + root.ClassName)});
    top->setData(0, Qt::UserRole, QVariant::fromValue(static_cast<const void*>(&root)));
    AddTreeNodes(top, root);
    FTree->expandAll();
    FSyncingTree = false;
    FView->SetForm(&FSession->Form());
    ShowSelected(&root);
    statusBar()->showMessage(Qs(Path));
    return true;
}

void TDesignerWindow::ShowSelected(const TFormNode* Node) {
    FView->SetSelected(Node);
    FSyncingTree = true;
    for (QTreeWidgetItemIterator it(FTree); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).value<const void*>() == Node) FTree->setCurrentItem(*it);
    FSyncingTree = false;
    FInspector->Show(FSession.get(), Node);
}

bool TDesignerWindow::Select(const std::string& Name) {
    if (!FSession) return false;
    const TFormNode* node = FSession->Document().Find(Name);
    if (!node) return false;
    ShowSelected(node);
    return true;
}

bool TDesignerWindow::SaveTo(const std::string& Path) {
    if (!FSession) return false;
    try {
        FSession->SaveAs(Path);
    } catch (const std::runtime_error& e) {
        Fail(QStringLiteral("Cannot store %1.").arg(Qs(Path)), e.what());
        return false;
    }
    statusBar()->showMessage(QStringLiteral("Stored %1").arg(Qs(Path)));
    UpdateTitle();
    return true;
}

bool TDesignerWindow::Save() { return FSession && SaveTo(FSession->FileName()); }

bool TDesignerWindow::SaveAs() {
    if (!FSession) return false;
    QFileDialog dialog(this, QStringLiteral("Save Form As"), Qs(FSession->FileName()));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    return SaveTo(dialog.selectedFiles().first().toStdString());
}

bool TDesignerWindow::MayDiscard() {
    if (!FSession || !FSession->Modified()) return true;
    auto answer = QMessageBox::question(
        this, QStringLiteral("Designer"),
        QStringLiteral("The help-context numbers of %1 changed. Store them?")
            .arg(Qs(FSession->FileName())),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Cancel) return false;
    return answer == QMessageBox::Discard || Save();
}

void TDesignerWindow::closeEvent(QCloseEvent* Event) {
    if (MayDiscard())
        Event->accept();
    else
        Event->ignore();
}

void TDesignerWindow::UpdateTitle() {
    QString title = QStringLiteral("Designer");
    if (FSession)
        title = Qs(FSession->FileName()) + (FSession->Modified() ? "*" : "") + " - " + title;
    setWindowTitle(title);
}

int RunWindow(int Argc, char** Argv, const std::string& FormFile, const std::string& Package,
              bool ReplyChannel) {
    QApplication app(Argc, Argv);
    std::unique_ptr<TInstalledUi> ui = InstallUiBackend();
    TIdeHost ide;
    TDesignerWindow window;
    int status;
    {
        TExpertPackage package;
        try {
            package.Load(Package);
            if (ReplyChannel) package.SetReplyChannel(true);
        } catch (const std::exception& e) {
            const auto* own = dynamic_cast<const Exception*>(&e);
            QMessageBox::warning(&window, QStringLiteral("Designer"),
                                 QStringLiteral("The Help Expert package was not loaded.\n\n") +
                                     Qs(own ? own->Message() : e.what()));
        }
        window.SyncMenu();
        if (!FormFile.empty()) window.OpenForm(FormFile);
        window.show();
        status = app.exec();
    }
    window.SyncMenu();
    return status;
}

}  // namespace designer
