// The package's IDE side: the "Docu&vane" menu put into the IDE's main menu just before its Help
// menu, the registration of the help-context property editor, and that editor.
#pragma once

#include <string>

#include "zk/host/ide/DesignIntf.h"
#include "zk/host/ide/ToolIntf.h"

namespace zk::expert {

// Serves the menu's click handlers; never instantiated.
class TMenuClickClass {
  public:
    // "&Start Docuvane": starts the command line "Path" from the registry, shown normally.
    static void StartClick(ide::TIMenuItemIntf* Sender);
    // "&About": the About box.
    static void AboutClick(ide::TIMenuItemIntf* Sender);
};

// Edits every HelpContext property of type THelpContext like an integer, with an ellipsis that
// starts the authoring application and opens the Help Expert window for the designed form.
class TDocuvaneContextProperty : public ide::TIntegerProperty {
    ZK_CLASS(TDocuvaneContextProperty)
  public:
    using TIntegerProperty::TIntegerProperty;
    void Edit() override;
    ide::TPropertyAttributes GetAttributes() override;
    std::string GetValue() override;
    void SetValue(const std::string& Value) override;
};

namespace P0200 {

// The unit's initialisation and finalisation, as the package loader runs them: the first
// initialisation installs the menu, the last finalisation removes it.
void Initialization();
void Finalization();
// Registers TDocuvaneContextProperty for THelpContext "HelpContext" on TPersistent.
void Register();

// Inserts the menu before the IDE's "HelpMenu"; nothing when there is none.
void InstallMenu();
// Destroys the first top-level item named "DocuvaneMenu", if any.
void RemoveMenu();
// Reads "Path" from Software\Vdx of the current user (empty when missing).
std::string ReadDocuvanePath();

}  // namespace P0200

}  // namespace zk::expert
