#include "zk/host/platform/ProcessStart.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "zk/host/platform/SysCalls.h"

extern char** environ;

namespace zk::platform {

namespace {

// What the intermediate child reports: posix_spawn's result and the program's process id.
struct TReport {
    int Error;
    pid_t Pid;
};

std::vector<char*> Pointers(const std::vector<std::string>& Texts) {
    std::vector<char*> out;
    for (const std::string& t : Texts) out.push_back(const_cast<char*>(t.c_str()));
    out.push_back(nullptr);
    return out;
}

// 0 when Path is an executable regular file, otherwise the errno that says why not.
int CheckExecutable(const std::string& Path) {
    struct stat st {};
    if (SysStat(Path.c_str(), &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return EACCES;
    return SysAccess(Path.c_str(), X_OK) == 0 ? 0 : errno;
}

// True when a program could change into Dir: a directory that may be searched.
bool CanEnter(const std::string& Dir) {
    struct stat st {};
    return SysStat(Dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
           SysAccess(Dir.c_str(), X_OK) == 0;
}

// How the program starts: every signal at its default (ignored ones would stay ignored across
// exec), an empty signal mask, a session of its own and /dev/null for its standard streams on
// request, and its working directory.
class TSpawnSetup {
  public:
    explicit TSpawnSetup(const TStartRequest& R) {
        if ((FError = ::posix_spawnattr_init(&FAttributes)) != 0) return;
        FHasAttributes = true;
        if ((FError = ::posix_spawn_file_actions_init(&FActions)) != 0) return;
        FHasActions = true;
        sigset_t all;
        sigset_t none;
        ::sigfillset(&all);
        ::sigemptyset(&none);
        short flags = POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK;
        if (R.NewSession) flags |= POSIX_SPAWN_SETSID;
        FError = ::posix_spawnattr_setsigdefault(&FAttributes, &all);
        if (FError == 0) FError = ::posix_spawnattr_setsigmask(&FAttributes, &none);
        if (FError == 0) FError = ::posix_spawnattr_setflags(&FAttributes, flags);
        for (int fd = 0; R.DetachStreams && fd <= 2 && FError == 0; ++fd)
            FError = ::posix_spawn_file_actions_addopen(&FActions, fd, "/dev/null",
                                                        fd == 0 ? O_RDONLY : O_WRONLY, 0);
        if (FError == 0 && !R.Directory.empty())
            FError = ::posix_spawn_file_actions_addchdir_np(&FActions, R.Directory.c_str());
    }
    ~TSpawnSetup() {
        if (FHasActions) ::posix_spawn_file_actions_destroy(&FActions);
        if (FHasAttributes) ::posix_spawnattr_destroy(&FAttributes);
    }
    TSpawnSetup(const TSpawnSetup&) = delete;
    TSpawnSetup& operator=(const TSpawnSetup&) = delete;

    int Error() const { return FError; }
    const posix_spawnattr_t* Attributes() const { return &FAttributes; }
    const posix_spawn_file_actions_t* Actions() const { return &FActions; }

  private:
    int FError = 0;
    bool FHasAttributes = false;
    bool FHasActions = false;
    posix_spawnattr_t FAttributes{};
    posix_spawn_file_actions_t FActions{};
};

}  // namespace

int FindProgram(const std::string& Name, std::string& Path) {
    if (Name.empty()) return ENOENT;
    if (Name.find('/') != std::string::npos) {
        int err = CheckExecutable(Name);
        if (err == 0) Path = Name;
        return err;
    }
    const char* env = std::getenv("PATH");
    std::string dirs = env ? env : "/usr/local/bin:/usr/bin:/bin";
    int result = ENOENT;
    size_t start = 0;
    for (;;) {
        size_t end = dirs.find(':', start);
        std::string dir = dirs.substr(start, end == std::string::npos ? end : end - start);
        std::string candidate = (dir.empty() ? "." : dir) + "/" + Name;
        int err = CheckExecutable(candidate);
        if (err == 0) {
            Path = candidate;
            return 0;
        }
        if (err == EACCES) result = EACCES;  // found but not runnable; a later one may be
        if (end == std::string::npos) return result;
        start = end + 1;
    }
}

TStartResult StartDetached(const TStartRequest& Request) {
    std::vector<char*> argv = Pointers(Request.Args);
    std::vector<char*> envp = Pointers(Request.Environment);
    const TSpawnSetup setup(Request);
    if (setup.Error() != 0) return {setup.Error(), TStartStep::Prepare, 0};
    int fds[2];
    if (SysPipe(fds, O_CLOEXEC) != 0) return {errno, TStartStep::Prepare, 0};

    const pid_t middle = SysFork();
    if (middle < 0) {
        const int err = errno;
        SysClose(fds[0]);
        SysClose(fds[1]);
        return {err, TStartStep::Prepare, 0};
    }
    if (middle == 0) {
        // The intermediate child: starts the program and exits at once, so the program is
        // handed to init. posix_spawn returns once the program has executed or failed to.
        TReport r{0, 0};
        r.Error = SysPosixSpawn(&r.Pid, Request.Program.c_str(), setup.Actions(),
                                setup.Attributes(), argv.data(), envp.data());
        SysExitChild(fds[1], &r, sizeof r, 0);
    }

    SysClose(fds[1]);
    SysWaitPid(middle, nullptr, 0);
    TReport r{};
    const ssize_t n = SysRead(fds[0], &r, sizeof r);
    SysClose(fds[0]);
    if (n != static_cast<ssize_t>(sizeof r)) return {ECHILD, TStartStep::Prepare, 0};
    if (r.Error == 0) return {0, TStartStep::None, r.Pid};
    // posix_spawn reports a failed change of directory like a failed exec; a directory that
    // cannot be entered tells the two apart.
    const bool noDirectory = !Request.Directory.empty() && !CanEnter(Request.Directory);
    return {r.Error, noDirectory ? TStartStep::ChangeDirectory : TStartStep::Execute, 0};
}

std::vector<std::string> CurrentEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) env.emplace_back(*e);
    return env;
}

}  // namespace zk::platform
