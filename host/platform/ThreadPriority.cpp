#include "zk/host/platform/ThreadPriority.h"

#include <sys/resource.h>

#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

int CurrentThreadId() { return SysGetTid(); }

void SetThreadNice(int ThreadId, int Nice) {
    SysSetPriority(PRIO_PROCESS, static_cast<id_t>(ThreadId), Nice);
}

int GetThreadNice(int ThreadId) {
    return SysGetPriority(PRIO_PROCESS, static_cast<id_t>(ThreadId));
}

}  // namespace zk::platform
