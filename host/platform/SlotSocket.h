// Socket plumbing shared by the slot's owner and its writers: the AF_UNIX datagram socket and
// the connect that tells a live slot from a missing or dead one.
#pragma once

#include <string>

#include "zk/host/platform/ErrorCodes.h"
#include "zk/host/platform/Fd.h"

namespace zk::platform {

// A new close-on-exec AF_UNIX datagram socket (non-blocking when NonBlocking); -1 with errno
// set on failure.
int OpenDatagramSocket(bool NonBlocking);

// Binds Fd at Path; returns 0 or -1 with errno set.
int BindSlotSocket(int Fd, const std::string& Path);

// Connects Fd to the slot socket at Path. ERROR_SUCCESS when a live socket listens there;
// ERROR_FILE_NOT_FOUND when nothing is there or its owner is gone (ECONNREFUSED).
DWORD ConnectSlotSocket(int Fd, const std::string& Path);

}  // namespace zk::platform
