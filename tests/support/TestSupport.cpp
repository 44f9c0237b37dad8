#include "tests/support/TestSupport.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include "zk/host/rtl/Classes.h"
#include "zk/host/rtl/Threads.h"
#include "tests/support/Namespaces.h"

extern char** environ;

namespace zktest {

SlotDir::SlotDir() {
    char tmpl[] = "/tmp/zkslots-XXXXXX";
    char* dir = mkdtemp(tmpl);
    FPath = dir ? dir : "/tmp";
    if (const char* old = std::getenv("MAILSLOT_DIR")) {
        FOld = old;
        FHadOld = true;
    }
    setenv("MAILSLOT_DIR", FPath.c_str(), 1);
}

SlotDir::~SlotDir() {
    if (FHadOld)
        setenv("MAILSLOT_DIR", FOld.c_str(), 1);
    else
        unsetenv("MAILSLOT_DIR");
    std::error_code ec;
    std::filesystem::remove_all(FPath, ec);
}

std::string UniqueSlotName(const std::string& stem) {
    static std::atomic<int> counter{0};
    return stem + "_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
}

bool WaitUntil(const std::function<bool()>& Cond, std::chrono::milliseconds Timeout) {
    auto deadline = std::chrono::steady_clock::now() + Timeout;
    while (!Cond()) {
        if (std::chrono::steady_clock::now() >= deadline) return Cond();
        CheckSynchronize(5);
    }
    return true;
}

static int Spawn(const std::string& Program, const std::vector<std::string>& Args,
                 const std::string& OutputFile) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(Program.c_str()));
    for (auto& a : Args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!OutputFile.empty()) {
        posix_spawn_file_actions_addopen(&actions, 1, OutputFile.c_str(),
                                         O_WRONLY | O_CREAT | O_TRUNC, 0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
    }
    pid_t pid = -1;
    int rc = posix_spawn(&pid, Program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

static int Reap(int pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

int RunProgram(const std::string& Program, const std::vector<std::string>& Args,
               const std::string& OutputFile) {
    int pid = Spawn(Program, Args, OutputFile);
    return pid < 0 ? -1 : Reap(pid);
}

Child::Child(const std::string& Program, const std::vector<std::string>& Args,
             const std::string& OutputFile)
    : FPid(Spawn(Program, Args, OutputFile)) {}

std::string ReadFileText(const std::string& Path) {
    std::ifstream in(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

Child::~Child() { Wait(); }

int Child::Wait() {
    if (FPid > 0) {
        FStatus = Reap(FPid);
        FPid = -1;
    }
    return FStatus;
}

}  // namespace zktest
