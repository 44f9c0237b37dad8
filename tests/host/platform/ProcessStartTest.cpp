// A started program and the caller's standard streams: a detached one must not keep the
// caller's pipe open, or a reader of the caller's output ("designer ... | cat") waits for it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "zk/host/platform/ProcessStart.h"

namespace {

using namespace zk::platform;

std::string LinkOf(const std::string& Path) {
    char buf[256];
    ssize_t n = ::readlink(Path.c_str(), buf, sizeof buf - 1);
    return n < 0 ? "(none)" : std::string(buf, static_cast<size_t>(n));
}

// The session id field of /proc/PID/stat.
std::string SessionOf(pid_t Pid) {
    std::ifstream in("/proc/" + std::to_string(Pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t close = stat.rfind(')');
    if (close == std::string::npos) return "";
    char state = 0;
    int ppid = 0, pgrp = 0, session = 0;
    if (std::sscanf(stat.c_str() + close + 1, " %c %d %d %d", &state, &ppid, &pgrp, &session) != 4)
        return "";
    return std::to_string(session);
}

// Starts a long sleep with the caller's descriptors 0, 1 and 2 on a pipe (0 on its read end,
// 1 and 2 on its write end), puts the caller's own descriptors back, and reports whether the
// pipe's reader sees its end once the caller has closed its write end (asked only of a
// detached program), what the program's descriptors are, and its session. Kills the program
// afterwards.
struct TStreamsSeen {
    bool ReaderSeesEnd = false;
    std::string Fd[3];
    std::string Session;
    pid_t Pid = 0;
};

TStreamsSeen StartWithPipedStreams(bool Detach) {
    TStreamsSeen seen;
    std::string sleep;
    EXPECT_EQ(FindProgram("sleep", sleep), 0);
    int out[2];
    int in[2];
    EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
    EXPECT_EQ(::pipe2(in, O_CLOEXEC), 0);
    int saved[3] = {::dup(0), ::dup(1), ::dup(2)};
    ::dup2(in[0], 0);
    ::dup2(out[1], 1);
    ::dup2(out[1], 2);
    TStartRequest request;
    request.Program = sleep;
    request.Args = {"sleep", "120"};
    request.Environment = CurrentEnvironment();
    request.NewSession = Detach;
    request.DetachStreams = Detach;
    TStartResult started = StartDetached(request);
    for (int fd = 0; fd < 3; ++fd) {
        ::dup2(saved[fd], fd);
        ::close(saved[fd]);
    }
    ::close(out[1]);
    ::close(in[0]);
    EXPECT_EQ(started.Error, 0);
    seen.Pid = started.Pid;
    if (started.Pid > 0) {
        for (int fd = 0; fd < 3; ++fd)
            seen.Fd[fd] =
                LinkOf("/proc/" + std::to_string(started.Pid) + "/fd/" + std::to_string(fd));
        seen.Session = SessionOf(started.Pid);
    }
    if (Detach) {
        // The time limit only guards against hanging: a detached program's end is there at
        // once, a holding one would keep it away for its two minutes.
        pollfd p{out[0], POLLIN, 0};
        char c;
        seen.ReaderSeesEnd = ::poll(&p, 1, 20000) == 1 && ::read(out[0], &c, 1) == 0;
    }
    if (started.Pid > 0) ::kill(started.Pid, SIGKILL);
    ::close(out[0]);
    ::close(in[1]);
    return seen;
}

}  // namespace

TEST(ProcessStart, DetachedStreamsLeaveTheCallersPipeToTheCaller) {
    TStreamsSeen detached = StartWithPipedStreams(true);
    EXPECT_TRUE(detached.ReaderSeesEnd);
    for (const std::string& fd : detached.Fd) EXPECT_EQ(fd, "/dev/null");
    EXPECT_EQ(detached.Session, std::to_string(detached.Pid));

    // The same start without detaching shares the pipe: the check above can see the fault.
    TStreamsSeen shared = StartWithPipedStreams(false);
    EXPECT_EQ(shared.Fd[1].rfind("pipe:", 0), 0u) << shared.Fd[1];
    EXPECT_EQ(shared.Fd[0].rfind("pipe:", 0), 0u) << shared.Fd[0];
    EXPECT_NE(shared.Session, std::to_string(shared.Pid));
}
