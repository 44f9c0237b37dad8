// Packages: shared libraries a program loads while it runs (dlopen) and unloads again. The
// library's undefined symbols are resolved against the program and the libraries it has loaded,
// so a package uses the program's own copy of the host (its menus, its editor registry).
#pragma once

#include <stdexcept>
#include <string>

namespace zk::platform {

// A package that cannot be loaded or lacks an entry; the text names the file and the loader's
// reason ("cannot load FILE: ...", "FILE has no entry NAME").
class EPackageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One loaded shared library; unloaded when the object goes. Not copyable.
class TSharedLibrary {
  public:
    // Loads Path with every symbol bound at once; raises EPackageError.
    explicit TSharedLibrary(const std::string& Path);
    ~TSharedLibrary();
    TSharedLibrary(const TSharedLibrary&) = delete;
    TSharedLibrary& operator=(const TSharedLibrary&) = delete;

    const std::string& Path() const { return FPath; }
    // The address of the exported symbol Name; raises EPackageError when there is none.
    void* Symbol(const char* Name) const;

  private:
    std::string FPath;
    void* FHandle;
};

}  // namespace zk::platform
