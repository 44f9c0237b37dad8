#include "zk/host/platform/Fd.h"

#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

TFd::~TFd() {
    if (FFd >= 0) SysClose(FFd);
}

int TFd::Release() {
    int fd = FFd;
    FFd = -1;
    return fd;
}

}  // namespace zk::platform
