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

// Flushes the folder of Path, which makes a rename into it durable. Failure is not reported: the
// new content is in place either way.
void SyncDirectoryOf(const std::string& Path);

}  // namespace zk::platform
