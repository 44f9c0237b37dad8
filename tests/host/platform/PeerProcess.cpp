#include "tests/host/platform/PeerProcess.h"
#include "tests/support/Namespaces.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

extern char** environ;

namespace zktest {

TPeerProcess::TPeerProcess(const std::vector<std::string>& Args) {
    int in[2];
    int out[2];
    if (pipe2(in, O_CLOEXEC) != 0) return;
    if (pipe2(out, O_CLOEXEC) != 0) {
        close(in[0]);
        close(in[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, in[0], 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    std::string program = ZK_SLOT_PEER;
    std::vector<char*> argv{program.data()};
    std::vector<std::string> args = Args;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&FPid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0)
        FPid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(in[0]);
    close(out[1]);
    FIn = in[1];
    FOut = out[0];
}

TPeerProcess::~TPeerProcess() {
    Kill();
    Wait();
    CloseInput();
    if (FOut >= 0) close(FOut);
}

std::string TPeerProcess::ReadLine(std::chrono::milliseconds Timeout) {
    auto deadline = std::chrono::steady_clock::now() + Timeout;
    for (;;) {
        size_t eol = FPending.find('\n');
        if (eol != std::string::npos) {
            std::string line = FPending.substr(0, eol);
            FPending.erase(0, eol + 1);
            return line;
        }
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline -
                                                                 std::chrono::steady_clock::now());
        if (FOut < 0 || left.count() <= 0) return "";
        pollfd p{FOut, POLLIN, 0};
        int ready = poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return "";
        char buf[256];
        ssize_t got = read(FOut, buf, sizeof buf);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return "";
        FPending.append(buf, static_cast<size_t>(got));
    }
}

void TPeerProcess::CloseInput() {
    if (FIn >= 0) close(FIn);
    FIn = -1;
}

void TPeerProcess::Kill() {
    if (FPid > 0) kill(FPid, SIGKILL);
}

int TPeerProcess::Wait() {
    if (FPid > 0) {
        int status = 0;
        while (waitpid(FPid, &status, 0) < 0 && errno == EINTR) {
        }
        FStatus = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        FPid = -1;
    }
    return FStatus;
}

}  // namespace zktest
