// Creating a slot and removing it again: claiming the name in the slot directory, the size
// sidecar, and the orderly removal when the owner closes it.
#include <fcntl.h>
#include <sys/eventfd.h>
#include <sys/stat.h>

#include <cerrno>
#include <memory>

#include "zk/host/platform/HandleTable.h"
#include "zk/host/platform/Slot.h"
#include "zk/host/platform/SlotDirectory.h"
#include "zk/host/platform/SlotPath.h"
#include "zk/host/platform/SlotPump.h"
#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

namespace {

// Frees the name at SocketPath for a new owner: a socket whose owner is gone is removed, a live
// one refuses with ERROR_ALREADY_EXISTS. Runs under the directory lock.
DWORD ClaimName(const std::string& SocketPath) {
    struct stat st {};
    if (SysLstat(SocketPath.c_str(), &st) != 0)
        return errno == ENOENT ? ERROR_SUCCESS : Win32ErrorOf(errno);
    if (!S_ISSOCK(st.st_mode)) return ERROR_ACCESS_DENIED;
    TFd probe(OpenDatagramSocket(false));
    if (!probe.Valid()) return Win32ErrorOf(errno);
    DWORD err = ConnectSlotSocket(probe.Get(), SocketPath);
    if (err == ERROR_SUCCESS) return ERROR_ALREADY_EXISTS;
    if (err != ERROR_FILE_NOT_FOUND) return err;
    if (SysUnlink(SocketPath.c_str()) != 0 && errno != ENOENT) return Win32ErrorOf(errno);
    return ERROR_SUCCESS;
}

// Publishes the slot's size limit for writers, replacing the file atomically; a slot without a
// limit removes any sidecar a dead owner left. Runs under the directory lock, before the bind,
// so a writer that can connect always finds the current limit.
DWORD PublishMaxSize(const std::string& SocketPath, DWORD MaxMessageSize) {
    std::string path = SlotMaxSizePath(SocketPath);
    if (MaxMessageSize == 0) {
        if (SysUnlink(path.c_str()) != 0 && errno != ENOENT) return Win32ErrorOf(errno);
        return ERROR_SUCCESS;
    }
    std::string temp = path + ".new";
    std::string text = FormatMaxSize(MaxMessageSize);
    TFd fd(SysOpen(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600));
    if (!fd.Valid()) return Win32ErrorOf(errno);
    if (SysWrite(fd.Get(), text.data(), text.size()) != static_cast<ssize_t>(text.size())) {
        DWORD err = Win32ErrorOf(errno);
        SysUnlink(temp.c_str());
        return err;
    }
    if (SysRename(temp.c_str(), path.c_str()) != 0) {
        DWORD err = Win32ErrorOf(errno);
        SysUnlink(temp.c_str());
        return err;
    }
    return ERROR_SUCCESS;
}

// Claims the name and binds Fd there; fills Files. Runs under the directory lock.
DWORD BindUnderLock(int Fd, DWORD MaxMessageSize, TSlotFiles& Files) {
    DWORD err = ClaimName(Files.Socket);
    if (err != ERROR_SUCCESS) return err;
    err = PublishMaxSize(Files.Socket, MaxMessageSize);
    if (err != ERROR_SUCCESS) return err;
    if (BindSlotSocket(Fd, Files.Socket) != 0) {
        // Only a creator that ignores the lock can have taken the name since ClaimName.
        err = errno == EADDRINUSE ? ERROR_ALREADY_EXISTS : Win32ErrorOf(errno);
        if (MaxMessageSize != 0) SysUnlink(SlotMaxSizePath(Files.Socket).c_str());
        return err;
    }
    // Connecting needs write permission on the socket file, and its mode followed the umask:
    // only this user may write to the slot, even should the directory be opened up later.
    struct stat st {};
    if (SysChmod(Files.Socket.c_str(), 0600) != 0 || SysLstat(Files.Socket.c_str(), &st) != 0) {
        err = Win32ErrorOf(errno);
        SysUnlink(Files.Socket.c_str());
        SysUnlink(SlotMaxSizePath(Files.Socket).c_str());
        return err;
    }
    Files.Device = st.st_dev;
    Files.Inode = st.st_ino;
    return ERROR_SUCCESS;
}

}  // namespace

TSlot::TSlot(int Fd, int WakeFd, TSlotFiles Files, DWORD MaxMessageSize, DWORD ReadTimeout)
    : MaxMessageSize(MaxMessageSize),
      ReadTimeout(ReadTimeout),
      FFd(Fd),
      FWake(WakeFd),
      FFiles(std::move(Files)),
      FPumpId(TSlotPump::NewId()) {}

DWORD TSlot::StartPumping(const std::shared_ptr<TSlot>& Self) {
    DWORD err = ERROR_SUCCESS;
    TSlotPump* pump = TSlotPump::Get(err);
    if (pump == nullptr) return err;
    std::lock_guard<std::mutex> lock(FLock);
    err = pump->Add(FPumpId, FFd.Get(), Self);
    if (err != ERROR_SUCCESS) return err;
    FPump = pump;
    FWatched = true;
    return ERROR_SUCCESS;
}

void TSlot::Close() {
    RemoveFiles();
    TSlotPump* pump = nullptr;
    {
        std::lock_guard<std::mutex> lock(FLock);
        FClosed = true;
        // Out of the epoll set before anything else can close the socket.
        if (FWatched) FPump->Unwatch(FFd.Get());
        FWatched = false;
        pump = FPump;
        WakeReadersLocked();
    }
    if (pump) pump->Forget(FPumpId);
}

void TSlot::RemoveFiles() {
    // Without the lock (it could not be opened) removal is still safe: while this socket is
    // bound nobody can have reclaimed the name, and the inode check below holds either way.
    TSlotDirLock lock(FFiles.Dir);
    struct stat st {};
    if (SysLstat(FFiles.Socket.c_str(), &st) != 0) return;
    if (st.st_dev != FFiles.Device || st.st_ino != FFiles.Inode) return;
    SysUnlink(FFiles.Socket.c_str());
    SysUnlink(SlotMaxSizePath(FFiles.Socket).c_str());
}

DWORD CreateSlot(const std::string& Path, DWORD MaxMessageSize, DWORD ReadTimeout,
                 THandle& Handle) {
    TSlotPath path;
    if (!ParseSlotPath(Path, path) || path.Server != ".") return ERROR_BAD_PATHNAME;
    TSlotFiles files;
    DWORD err = OpenSlotDirectory(true, files.Dir);
    if (err != ERROR_SUCCESS) return err;
    files.Socket = SlotSocketPath(files.Dir, path.Name);
    if (files.Socket.empty()) return ERROR_BAD_PATHNAME;

    TFd fd(OpenDatagramSocket(true));
    if (!fd.Valid()) return Win32ErrorOf(errno);
    TFd wake(SysEventFd(0, EFD_CLOEXEC | EFD_NONBLOCK));
    if (!wake.Valid()) return Win32ErrorOf(errno);
    {
        TSlotDirLock lock(files.Dir);
        if (lock.Error() != ERROR_SUCCESS) return lock.Error();
        err = BindUnderLock(fd.Get(), MaxMessageSize, files);
        if (err != ERROR_SUCCESS) return err;
    }
    auto slot = std::make_shared<TSlot>(fd.Release(), wake.Release(), std::move(files),
                                        MaxMessageSize, ReadTimeout);
    err = slot->StartPumping(slot);
    if (err != ERROR_SUCCESS) {
        slot->Close();  // removes its files again
        return err;
    }
    Handle = AddHandle(std::move(slot));
    return ERROR_SUCCESS;
}

}  // namespace zk::platform
