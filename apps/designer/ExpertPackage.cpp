#include "apps/designer/ExpertPackage.h"

#include <filesystem>

#include "zk/host/ide/DesignIntf.h"
#include "zk/host/platform/ExecutablePath.h"

namespace designer {

namespace {

using TEntry = void (*)();

TEntry Entry(const zk::platform::TSharedLibrary& Library, const char* Name) {
    return reinterpret_cast<TEntry>(Library.Symbol(Name));
}

}  // namespace

TExpertPackage::~TExpertPackage() { Unload(); }

std::string TExpertPackage::DefaultPath() {
    const std::filesystem::path program = zk::platform::ExecutablePath();
    // The program's path has its links resolved; the build tree's must be compared alike.
    std::error_code ignored;
    const std::string tree = std::filesystem::weakly_canonical(ZK_BUILD_TREE, ignored).string();
    if (program.string().rfind(tree + "/", 0) == 0) return ZK_HELP_EXPERT_PACKAGE;
    // Relative to the program, so that an install keeps working wherever its prefix is moved.
    return (program.parent_path() / ZK_HELP_EXPERT_FROM_PROGRAM).lexically_normal().string();
}

const std::string& TExpertPackage::Path() const {
    static const std::string none;
    return FLibrary ? FLibrary->Path() : none;
}

void TExpertPackage::Load(const std::string& Path) {
    Unload();
    // The loader's own text would name the file twice.
    std::error_code ignored;
    if (!std::filesystem::exists(Path, ignored))
        throw zk::platform::EPackageError("cannot load " + Path + ": no such file");
    auto library = std::make_unique<zk::platform::TSharedLibrary>(Path);
    TEntry initialize = Entry(*library, "ZkPackageInitialize");
    TEntry registerParts = Entry(*library, "ZkPackageRegister");
    Entry(*library, "ZkPackageFinalize");
    library->Symbol("ZkPackageSetReplyChannel");
    FLibrary = std::move(library);
    try {
        initialize();
        FInitialized = true;
        registerParts();
    } catch (...) {
        Unload();
        throw;
    }
}

void TExpertPackage::SetReplyChannel(bool On) {
    reinterpret_cast<void (*)(int)>(FLibrary->Symbol("ZkPackageSetReplyChannel"))(On ? 1 : 0);
}

void TExpertPackage::Unload() {
    if (!FLibrary) return;
    if (FInitialized) Entry(*FLibrary, "ZkPackageFinalize")();
    FInitialized = false;
    // The registered editor classes live in the library's memory.
    zk::ide::UnregisterPropertyEditors();
    FLibrary.reset();
}

}  // namespace designer
