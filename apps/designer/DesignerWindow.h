// The designer's main window: the designed form in the middle, the component tree and the
// object inspector beside it, and the IDE's main menu (ToolServices) as its menu bar, into
// which the window puts its own File and Help commands. Packages add their menus to the same
// IDE menu; the bar follows (see MenuMirror.h).
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>

#include "apps/designer/ExpertPackage.h"
#include "apps/designer/FormSession.h"
#include "apps/designer/MenuMirror.h"

class QTreeWidget;
class QTreeWidgetItem;

namespace designer {

class TFormView;
class TInspector;

class TDesignerWindow : public QMainWindow {
  public:
    // Needs the IDE's ToolServices; adds the File and Help commands to its main menu.
    TDesignerWindow();
    // Takes the commands out of the IDE's menu again.
    ~TDesignerWindow() override;

    // File > Open: asks for a form file with a file dialog and opens it.
    void ChooseAndOpen();
    // Help > About the Designer.
    void ShowAbout();
    // Opens Path in place of the form shown (asking first when that has unsaved numbers). A
    // file that cannot be read is reported in a box; false then, and the shown form stays.
    bool OpenForm(const std::string& Path);
    // Store the form (Save As asks for a name with a file dialog); failures are reported in a
    // box. True when the form was stored.
    bool Save();
    bool SaveAs();
    bool SaveTo(const std::string& Path);
    // Selects the component named Name (the form's own name for the form); false if none.
    bool Select(const std::string& Name);
    // Tools > Help contexts: numbers the components without one in tree order (asking for the
    // first number and the step), and shows the report on the form's folder.
    void NumberUnset();
    void ShowReport();
    // Edit > Undo Numbering: takes the last numbering back.
    void UndoNumbering();
    // Rebuilds the menu bar when the IDE's menu changed.
    void SyncMenu() { FMenu->Sync(); }

    TFormSession* Session() const { return FSession.get(); }
    TFormView* FormView() const { return FView; }
    TInspector* Inspector() const { return FInspector; }
    QTreeWidget* Tree() const { return FTree; }

  protected:
    void closeEvent(QCloseEvent* Event) override;

  private:
    // With unsaved numbers asks whether to store them; false when the person cancels.
    bool MayDiscard();
    void ShowSelected(const zk::formfile::TFormNode* Node);
    void UpdateTitle();
    void Fail(const QString& What, const std::string& Why);

    std::unique_ptr<TFormSession> FSession;
    TFormView* FView;
    TInspector* FInspector;
    QTreeWidget* FTree;
    std::unique_ptr<TMenuMirror> FMenu;
    bool FSyncingTree = false;
};

// The window session of the program: a Qt application, the UI back end, the IDE, the package
// loaded for its length, and the window with FormFile (if any). Returns the exit status.
// ReplyChannel turns the Help Expert window's reply channel on for the run.
int RunWindow(int Argc, char** Argv, const std::string& FormFile, const std::string& Package,
              bool ReplyChannel);

}  // namespace designer
