// What the benchmark programs share: a private slot directory for the run.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace zkbench {

// A fresh slot directory, made on first use and set as MAILSLOT_DIR for the whole run.
inline const std::string& SlotDir() {
    static const std::string dir = [] {
        char tmpl[] = "/tmp/zkbench-XXXXXX";
        std::string d = mkdtemp(tmpl);
        setenv("MAILSLOT_DIR", d.c_str(), 1);
        return d;
    }();
    return dir;
}

// Removes the slot directory at the end of the run.
inline void RemoveSlotDir() {
    std::error_code ec;
    std::filesystem::remove_all(SlotDir(), ec);
}

}  // namespace zkbench
