// The Help Expert package as the designer loads it: the shared library is loaded, its units
// initialised (the menu goes into the IDE's main menu) and its design-time parts registered;
// unloading finalises it (the menu goes), forgets its editors and unloads the library.
#pragma once

#include <memory>
#include <string>

#include "zk/host/platform/Package.h"

namespace designer {

class TExpertPackage {
  public:
    TExpertPackage() = default;
    // Unloads the package when loaded.
    ~TExpertPackage();
    TExpertPackage(const TExpertPackage&) = delete;
    TExpertPackage& operator=(const TExpertPackage&) = delete;

    // The package file: for a program run from the build tree the one built with it, else
    // ../lib/docuvane/HelpExpert.so (the install's library folder) from the program's folder.
    static std::string DefaultPath();

    // Loads the package at Path, runs its initialisation, then its registration. Raises
    // zk::platform::EPackageError when it cannot be loaded ("cannot load PATH: no such file"); what
    // the package's own entries raise propagates (the package is unloaded again then).
    void Load(const std::string& Path);
    // Runs the finalisation, forgets the registered editors and unloads the library; nothing
    // when not loaded.
    void Unload();
    // Turns the Help Expert window's reply channel on or off for this run, whatever the
    // registry says. The package must be loaded.
    void SetReplyChannel(bool On);
    bool Loaded() const { return static_cast<bool>(FLibrary); }
    const std::string& Path() const;

  private:
    std::unique_ptr<zk::platform::TSharedLibrary> FLibrary;
    bool FInitialized = false;
};

}  // namespace designer
