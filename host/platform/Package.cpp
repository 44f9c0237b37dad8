#include "zk/host/platform/Package.h"

#include <dlfcn.h>

namespace zk::platform {

namespace {

std::string LoaderReason() {
    const char* why = dlerror();
    return why ? why : "unknown reason";
}

}  // namespace

TSharedLibrary::TSharedLibrary(const std::string& Path)
    : FPath(Path), FHandle(dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL)) {
    if (!FHandle) throw EPackageError("cannot load " + Path + ": " + LoaderReason());
}

TSharedLibrary::~TSharedLibrary() { dlclose(FHandle); }

void* TSharedLibrary::Symbol(const char* Name) const {
    dlerror();
    void* address = dlsym(FHandle, Name);
    if (!address) throw EPackageError(FPath + " has no entry " + Name);
    return address;
}

}  // namespace zk::platform
