// Starting programs that run on their own. The started program is the grandchild of the
// caller: an intermediate child starts it with posix_spawn and exits at once and is reaped
// before the call returns, so the program is never the caller's child and leaves no zombie
// behind, whenever it ends. Errors of the exec (a missing interpreter, a bad format, a missing
// directory) still reach the caller, through a close-on-exec pipe from the intermediate child.
// Every system call goes through the SysCalls seam, so tests can make any step fail.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace zk::platform {

struct TStartRequest {
    std::string Program;                   // the file to execute, as FindProgram gave it
    std::vector<std::string> Args;         // the program's arguments, its name first
    std::vector<std::string> Environment;  // "NAME=value" entries
    std::string Directory;                 // the working directory; empty: the caller's
    bool NewSession = false;               // detach from the caller's terminal and session
    // Standard input, output and error on /dev/null instead of the caller's, so that the
    // program keeps no pipe or terminal of the caller open (a reader of the caller's output
    // sees its end when the caller ends, not when the program does).
    bool DetachStreams = false;
};

// Finds the file that a program Name stands for: with a slash in it, Name itself; otherwise
// the first executable regular file Name in the directories of PATH (an empty entry is the
// working directory; "/usr/local/bin:/usr/bin:/bin" when PATH is unset). Returns 0 and sets
// Path, or an errno: ENOENT when there is none, EACCES when it exists but cannot be executed
// (also a directory), ENOTDIR when a part of the path is no directory.
int FindProgram(const std::string& Name, std::string& Path);

// The step at which a start failed.
enum class TStartStep { None, Prepare, ChangeDirectory, Execute };

struct TStartResult {
    int Error = 0;  // errno of the failed step, 0 when the program runs
    TStartStep FailedStep = TStartStep::None;
    pid_t Pid = 0;  // the program's process id when it runs
};

// Starts Request without waiting for it. Prepare covers the start-up attributes, the pipe and
// the intermediate child; Execute every failure to start the program itself.
TStartResult StartDetached(const TStartRequest& Request);

// The calling process's environment as "NAME=value" entries.
std::vector<std::string> CurrentEnvironment();

}  // namespace zk::platform
