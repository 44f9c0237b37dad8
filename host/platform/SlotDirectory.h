// The slot directory: where this user's slot sockets live, and the lock that serialises
// creating and removing them. The directory is $MAILSLOT_DIR (trailing slashes and "/."
// dropped), else $XDG_RUNTIME_DIR/mailslot, else /tmp/mailslot-<uid>. It must be a real
// directory (not a symlink) owned by this user with no access for group or others, since any
// socket in it receives this user's messages.
#pragma once

#include <string>

#include "zk/host/platform/ErrorCodes.h"

namespace zk::platform {

// The directory the environment names, without looking at the file system.
std::string SlotDirectoryPath();

// Checks the slot directory and returns its path in Dir. CreateMissing: make a missing
// directory with mode 0700 (the slot owner's side); otherwise a missing directory fails with
// ERROR_FILE_NOT_FOUND, since no slot can exist. A symlink, a non-directory, a directory owned
// by another user or one with any permission bit for group or others fails with
// ERROR_ACCESS_DENIED, and the reason (naming the directory and, for a mode, the mode) goes to
// standard error once per process.
DWORD OpenSlotDirectory(bool CreateMissing, std::string& Dir);

// Holds the exclusive lock on the directory's lock file for its lifetime. Every check, unlink
// and bind of a slot socket happens under it, so two creators never both reclaim a stale name
// and a closing owner never removes its successor's socket.
class TSlotDirLock {
  public:
    explicit TSlotDirLock(const std::string& Dir);
    ~TSlotDirLock();
    TSlotDirLock(const TSlotDirLock&) = delete;
    TSlotDirLock& operator=(const TSlotDirLock&) = delete;
    // ERROR_SUCCESS when the lock is held, else why it could not be taken.
    DWORD Error() const { return FError; }

  private:
    int FFd = -1;
    DWORD FError = ERROR_SUCCESS;
};

}  // namespace zk::platform
