// Points the registry at a file in a fresh private directory for the lifetime of the object
// (DOCUVANE_REGISTRY), and removes the directory afterwards. Header-only, so that any test
// program can use it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace zktest {

class TempRegistry {
  public:
    TempRegistry() {
        char tmpl[] = "/tmp/zkregistry-XXXXXX";
        const char* dir = ::mkdtemp(tmpl);
        FDir = dir ? dir : "/tmp";
        FFile = FDir + "/registry.toml";
        if (const char* old = std::getenv("DOCUVANE_REGISTRY")) {
            FOld = old;
            FHadOld = true;
        }
        ::setenv("DOCUVANE_REGISTRY", FFile.c_str(), 1);
    }
    ~TempRegistry() {
        if (FHadOld)
            ::setenv("DOCUVANE_REGISTRY", FOld.c_str(), 1);
        else
            ::unsetenv("DOCUVANE_REGISTRY");
        std::error_code ec;
        std::filesystem::remove_all(FDir, ec);
    }
    TempRegistry(const TempRegistry&) = delete;
    TempRegistry& operator=(const TempRegistry&) = delete;

    const std::string& Dir() const { return FDir; }
    const std::string& File() const { return FFile; }
    // The registry file's bytes ("" when it does not exist).
    std::string Content() const {
        std::ifstream in(FFile, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    // Replaces the registry file with Text.
    void SetContent(const std::string& Text) const {
        std::ofstream(FFile, std::ios::binary | std::ios::trunc) << Text;
    }

  private:
    std::string FDir;
    std::string FFile;
    std::string FOld;
    bool FHadOld = false;
};

}  // namespace zktest
