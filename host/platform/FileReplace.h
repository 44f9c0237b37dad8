// Reading a user's file whole and replacing it atomically: the new content goes to a temporary
// file in the same folder, gets the original's mode, is flushed and renamed over the original,
// so a reader sees the old content or the new one and a failed write leaves the original as it
// was. Unlike ConfigFile.h there is no lock: these are documents a person or a script edits.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace zk::platform {

// The text names the file and the system's reason: "cannot read PATH: Is a directory".
class EFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The whole content of Path; "-" reads standard input.
std::string ReadWholeFile(const std::string& Path);

// Replaces (or creates) Path with Content as described above; "-" writes standard output. A new
// file gets mode 0666 less the umask. A symbolic link stays: the file it leads to is replaced.
void ReplaceFile(const std::string& Path, const std::string& Content);

// Replaces several files as ReplaceFile does, all or none: every new content is written beside
// its file and flushed (one syncfs per file system) before the first is renamed over, so a
// failed write (a full disk, a read-only folder) leaves every file as it was; after the renames
// each folder is flushed once. Files are written and renamed on a few threads at a time. A
// failed rename is reported after the others were made. "-" is standard output, written last.
void ReplaceFiles(const std::vector<std::pair<std::string, std::string>>& Files);

}  // namespace zk::platform
