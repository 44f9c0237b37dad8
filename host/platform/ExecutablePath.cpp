#include "zk/host/platform/ExecutablePath.h"

#include <unistd.h>

#include <climits>

namespace zk::platform {

std::string ExecutablePath() {
    char path[PATH_MAX];
    ssize_t got = ::readlink("/proc/self/exe", path, sizeof path);
    if (got <= 0 || static_cast<size_t>(got) == sizeof path) return {};
    return std::string(path, static_cast<size_t>(got));
}

}  // namespace zk::platform
