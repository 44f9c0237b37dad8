#include "host/platform/ProcessStart.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

extern char** environ;

namespace zk::platform {

namespace {

// One record on the report pipe; a pipe write this small is atomic.
struct TReport {
    TStartStep
        Step;  // Prepare: from the intermediate child; otherwise a failure of the program's child
    int Error;
    pid_t Pid;
};

// Only async-signal-safe calls from here on: the caller may have other threads, and a child
// forked from such a process may not take locks (malloc, stdio) that another thread held.
[[noreturn]] void ReportAndExit(int Fd, TStartStep Step, int Error, pid_t Pid, int Status) {
    TReport r{Step, Error, Pid};
    ssize_t ignored = ::write(Fd, &r, sizeof r);
    (void)ignored;
    ::_exit(Status);
}

[[noreturn]] void RunProgram(const TStartRequest& R, char* const* Argv, char* const* Envp, int Fd) {
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    // Ignored signals would stay ignored across exec; the program starts with the defaults.
    struct sigaction dfl {};
    dfl.sa_handler = SIG_DFL;
    for (int s = 1; s < NSIG; ++s) ::sigaction(s, &dfl, nullptr);
    if (R.NewSession) ::setsid();
    if (!R.Directory.empty() && ::chdir(R.Directory.c_str()) != 0)
        ReportAndExit(Fd, TStartStep::ChangeDirectory, errno, 0, 127);
    ::execve(R.Program.c_str(), Argv, Envp);
    ReportAndExit(Fd, TStartStep::Execute, errno, 0, 127);
}

std::vector<char*> Pointers(const std::vector<std::string>& Texts) {
    std::vector<char*> out;
    for (const std::string& t : Texts) out.push_back(const_cast<char*>(t.c_str()));
    out.push_back(nullptr);
    return out;
}

// 0 when Path is an executable regular file, otherwise the errno that says why not.
int CheckExecutable(const std::string& Path) {
    struct stat st {};
    if (::stat(Path.c_str(), &st) != 0) return errno;
    if (!S_ISREG(st.st_mode)) return EACCES;
    return ::access(Path.c_str(), X_OK) == 0 ? 0 : errno;
}

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
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return {errno, TStartStep::Prepare, 0};

    pid_t middle = ::fork();
    if (middle < 0) {
        int err = errno;
        ::close(fds[0]);
        ::close(fds[1]);
        return {err, TStartStep::Prepare, 0};
    }
    if (middle == 0) {
        ::close(fds[0]);
        pid_t program = ::fork();
        if (program == 0) RunProgram(Request, argv.data(), envp.data(), fds[1]);
        ReportAndExit(fds[1], TStartStep::Prepare, program < 0 ? errno : 0, program, 0);
    }

    ::close(fds[1]);
    while (::waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    // Reads until every writer is gone: the intermediate child has exited, and the program has
    // either executed (closing its end) or reported why not and exited.
    TStartResult result{0, TStartStep::None, 0};
    bool started = false;
    TReport r{};
    for (;;) {
        ssize_t n = ::read(fds[0], &r, sizeof r);
        if (n < 0 && errno == EINTR) continue;
        if (n != static_cast<ssize_t>(sizeof r)) break;
        if (r.Step == TStartStep::Prepare) {
            started = r.Error == 0;
            result.Pid = r.Pid;
            if (!started) result = {r.Error, TStartStep::Prepare, 0};
        } else {
            result.Error = r.Error;
            result.FailedStep = r.Step;
        }
    }
    ::close(fds[0]);
    if (!started && result.Error == 0) result = {ECHILD, TStartStep::Prepare, 0};
    if (result.Error != 0) result.Pid = 0;
    return result;
}

std::vector<std::string> CurrentEnvironment() {
    std::vector<std::string> env;
    for (char** e = environ; e && *e; ++e) env.emplace_back(*e);
    return env;
}

}  // namespace zk::platform
