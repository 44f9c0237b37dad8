#include "host/platform/ThreadPriority.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>

namespace zk::platform {

int CurrentThreadId() { return static_cast<int>(syscall(SYS_gettid)); }

void SetThreadNice(int ThreadId, int Nice) {
    setpriority(PRIO_PROCESS, static_cast<id_t>(ThreadId), Nice);
}

int GetThreadNice(int ThreadId) {
    errno = 0;
    return getpriority(PRIO_PROCESS, static_cast<id_t>(ThreadId));
}

}  // namespace zk::platform
