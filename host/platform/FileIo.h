// Whole-file reading and writing on a descriptor, shared by the configuration files and the
// documents the tools replace. Results are errno values, so each caller raises its own error.
#pragma once

#include <string>

namespace zk::platform {

// Appends everything Fd still holds to Text. 0, or the errno of the failed read.
int ReadToEnd(int Fd, std::string& Text);

// Writes all of Text to Fd. 0, or the errno of the failed write.
int WriteWhole(int Fd, const std::string& Text);

// The folder of Path: "." for a bare name, "/" for a name in the root.
std::string DirectoryOf(const std::string& Path);

// Finishes an atomic replacement: writes Text to Fd (open on the temporary file Temp beside
// Path), flushes it, renames Temp over Path and flushes the folder. 0, or the errno of the step
// that failed, named in Step ("write", "flush" or "replace"); Temp is then removed.
int CommitReplacement(int Fd, const std::string& Text, const std::string& Temp,
                      const std::string& Path, const char*& Step);

// Flushes the folder of Path, which makes a rename into it durable. Failure is not reported: the
// new content is in place either way.
void SyncDirectoryOf(const std::string& Path);

}  // namespace zk::platform
