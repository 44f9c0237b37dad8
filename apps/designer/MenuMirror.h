// The IDE's main menu (ToolServices) shown in a Qt menu bar: each top-level menu a QMenu and
// each command a QAction named like the IDE's item, whose trigger clicks that item. Sync
// rebuilds the bar whenever the IDE's menu changed since the last call; it runs after every
// command and whenever the designer loads or unloads a package.
#pragma once

#include <functional>
#include <string>

#include "zk/host/ide/ToolIntf.h"

class QMenu;
class QMenuBar;

namespace designer {

class TMenuMirror {
  public:
    // Mirrors Source's sub-items into Bar (not owned). OnError receives what a command raised.
    TMenuMirror(QMenuBar* Bar, zk::ide::TIMenuItemIntf* Source,
                std::function<void(const std::string&)> OnError);
    void Sync();

  private:
    void Build(QMenu* Menu, zk::ide::TIMenuItemIntf* Item);
    void Click(zk::ide::TIMenuItemIntf* Item);
    std::string Signature() const;

    QMenuBar* FBar;
    zk::ide::TIMenuItemIntf* FSource;
    std::function<void(const std::string&)> FOnError;
    std::string FShown;
};

}  // namespace designer
