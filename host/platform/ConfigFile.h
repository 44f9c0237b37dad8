// Small per-user configuration files: read whole, and rewritten atomically under a lock that
// serialises writers in all processes. Reading takes no lock: a writer replaces the file by a
// rename, so a reader sees either the old content or the new one, never a mix.
#pragma once

#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

namespace zk::platform {

// A configuration file could not be read or written; the text names the file and the cause.
class EConfigFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The whole content of Path, or nothing when the file does not exist. Other failures raise
// EConfigFileError.
std::optional<std::string> ReadConfigFile(const std::string& Path);

// Receives the current content (nothing when the file does not exist) and returns the new
// content, or nothing to leave the file as it is. May raise; the file then stays unchanged.
using TConfigEdit = std::function<std::optional<std::string>(const std::optional<std::string>&)>;

// Reads Path and replaces it with Edit's result, holding an exclusive lock on Path + ".lock"
// from the read to the replacement, so that concurrent writers in other processes never lose
// each other's changes. The new content goes to a temporary file in the same directory, is
// flushed to disk and renamed over Path. Missing parent directories are created (mode 0700);
// the file gets mode 0600. Failures raise EConfigFileError and leave Path unchanged.
void RewriteConfigFile(const std::string& Path, const TConfigEdit& Edit);

// The user's configuration directory: $XDG_CONFIG_HOME when set and absolute, otherwise
// $HOME/.config, otherwise the password database's home directory + "/.config".
std::string UserConfigHome();

}  // namespace zk::platform
