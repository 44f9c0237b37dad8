// A second process for cross-process tests.
//   slot_peer write NAME COUNT TAG    writes COUNT messages "TAG:i" (i from 0) to local slot NAME
//   slot_peer own NAME                 owns local slot NAME until killed or stdin closes
//   slot_peer flood NAME MILLIS        keeps sending to NAME for MILLIS ms, ignoring failures
// Exit status 0 on success, 1 on a failed call, 2 on a usage error.
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/win32/Windows.h"
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

int main(int argc, char** argv) {
    std::string cmd = argc > 1 ? argv[1] : "";
    if (cmd == "write" && argc == 5) return Write(argv[2], std::atol(argv[3]), argv[4]);
    if (cmd == "own" && argc == 3) return Own(argv[2]);
    if (cmd == "flood" && argc == 4) return Flood(argv[2], std::atol(argv[3]));
    std::fprintf(stderr, "usage: slot_peer write NAME COUNT TAG | own NAME | flood NAME MILLIS\n");
    return 2;
}
