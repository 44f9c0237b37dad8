// A second process for cross-process tests.
//   slot_peer [OPTIONS] write NAME COUNT TAG   writes COUNT messages "TAG:i" (i from 0) to slot
//   NAME slot_peer [OPTIONS] own NAME                owns local slot NAME until killed or stdin
//   closes slot_peer [OPTIONS] flood NAME MILLIS       keeps sending to NAME for MILLIS ms,
//   ignoring failures slot_peer [OPTIONS] sendraw SOCKET TEXT     sends TEXT straight to the socket
//   file SOCKET,
//                                               past the library's checks, as a hostile program
// Options, before the command:
//   --as-uid N      runs as user and group N (needs root), without supplementary groups
//   --bound COUNT   stages at most COUNT messages in slots this process owns
// Exit status 0 on success, 1 on a failed call, 2 on a usage error.
#include <grp.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "zk/host/platform/StagingQueue.h"
#include "zk/host/win32/Windows.h"
#include "tests/support/Namespaces.h"

static int Write(const std::string& name, long count, const std::string& tag) {
    std::string path = "\\\\.\\mailslot\\" + name;
    for (long i = 0; i < count; ++i) {
        THandle h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
        if (h == INVALID_HANDLE_VALUE) {
            std::fprintf(stderr, "open failed: %u\n", GetLastError());
            return 1;
        }
        std::string msg = tag + ":" + std::to_string(i);
        DWORD written = 0;
        bool ok = WriteFile(h, msg.data(), static_cast<DWORD>(msg.size()), &written, nullptr);
        CloseHandle(h);
        if (!ok || written != msg.size()) {
            std::fprintf(stderr, "write failed: %u\n", GetLastError());
            return 1;
        }
    }
    return 0;
}

static int Own(const std::string& name) {
    std::string path = "\\\\.\\mailslot\\" + name;
    THandle h = CreateMailslotA(path.c_str(), 0, MAILSLOT_WAIT_FOREVER, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "create failed: %u\n", GetLastError());
        return 1;
    }
    std::puts("owned");
    std::fflush(stdout);
    char c;
    while (read(0, &c, 1) > 0) {
    }
    CloseHandle(h);
    return 0;
}

static int Flood(const std::string& name, long millis) {
    std::string path = "\\\\.\\mailslot\\" + name;
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(millis);
    long i = 0;
    while (std::chrono::steady_clock::now() < end) {
        THandle h = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, 0);
        if (h == INVALID_HANDLE_VALUE) {
            usleep(200);
            continue;
        }
        std::string msg = "flood:" + std::to_string(i++);
        DWORD written = 0;
        WriteFile(h, msg.data(), static_cast<DWORD>(msg.size()), &written, nullptr);
        CloseHandle(h);
    }
    return 0;
}

static int SendRaw(const std::string& socket, const std::string& text) {
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    if (socket.size() >= sizeof addr.sun_path) return 2;
    std::memcpy(addr.sun_path, socket.c_str(), socket.size() + 1);
    int fd = ::socket(AF_UNIX, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) return 1;
    ssize_t sent =
        sendto(fd, text.data(), text.size(), 0, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    int err = errno;
    close(fd);
    if (sent == static_cast<ssize_t>(text.size())) return 0;
    std::fprintf(stderr, "sendto failed: %s\n", std::strerror(err));
    return 1;
}

static bool BecomeUser(long id) {
    auto n = static_cast<uid_t>(id);
    return setgroups(0, nullptr) == 0 && setresgid(n, n, n) == 0 && setresuid(n, n, n) == 0;
}

int main(int argc, char** argv) {
    int at = 1;
    while (at + 1 < argc && std::strncmp(argv[at], "--", 2) == 0) {
        std::string option = argv[at];
        long value = std::atol(argv[at + 1]);
        if (option == "--as-uid") {
            if (!BecomeUser(value)) {
                std::fprintf(stderr, "cannot become uid %ld: %s\n", value, std::strerror(errno));
                return 2;
            }
        } else if (option == "--bound") {
            zk::platform::SetStageBounds(
                {static_cast<size_t>(value), zk::platform::kStageMaxBytes});
        } else {
            break;
        }
        at += 2;
    }
    int left = argc - at;
    std::string cmd = left > 0 ? argv[at] : "";
    char** arg = argv + at;
    if (cmd == "write" && left == 4) return Write(arg[1], std::atol(arg[2]), arg[3]);
    if (cmd == "own" && left == 2) return Own(arg[1]);
    if (cmd == "flood" && left == 3) return Flood(arg[1], std::atol(arg[2]));
    if (cmd == "sendraw" && left == 3) return SendRaw(arg[1], arg[2]);
    std::fprintf(stderr,
                 "usage: slot_peer [--as-uid N] [--bound COUNT] write NAME COUNT TAG | own NAME | "
                 "flood NAME MILLIS | sendraw SOCKET TEXT\n");
    return 2;
}
