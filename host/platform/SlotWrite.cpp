// Opening a slot for writing and writing one message per call.
#include "zk/host/platform/SlotWrite.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <atomic>
#include <cerrno>
#include <memory>

#include "zk/host/platform/RemoteWrite.h"
#include "zk/host/platform/SlotDirectory.h"
#include "zk/host/platform/SlotPath.h"
#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

namespace {

std::atomic<uint32_t> GSendWaitMs{kDefaultSendWaitMs};

// The limit the slot's owner published beside its socket; 0 when it published none.
uint32_t ReadMaxSize(const std::string& SocketPath) {
    std::string path = SlotMaxSizePath(SocketPath);
    TFd fd(SysOpen(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (!fd.Valid()) return 0;
    char text[32];
    ssize_t got = SysRead(fd.Get(), text, sizeof text);
    uint32_t size = 0;
    if (got <= 0 || !ParseMaxSize(std::string(text, static_cast<size_t>(got)), size)) return 0;
    return size;
}

// Sets the bounded wait for a full slot and enough send buffer for the largest message.
DWORD PrepareSocket(int Fd) {
    // Set without asking first: the kernel doubles the value asked for (capped by wmem_max), so
    // the buffer holds at least kMinSendBuffer wherever the default was, and a look would cost
    // one more call per message for writers that open, send and close.
    if (SysSetSockOpt(Fd, SOL_SOCKET, SO_SNDBUF, &kMinSendBuffer, sizeof kMinSendBuffer) != 0)
        return Win32ErrorOf(errno);
    uint32_t ms = SendWaitMs();
    timeval wait{static_cast<time_t>(ms / 1000), static_cast<suseconds_t>((ms % 1000) * 1000)};
    if (SysSetSockOpt(Fd, SOL_SOCKET, SO_SNDTIMEO, &wait, sizeof wait) != 0)
        return Win32ErrorOf(errno);
    return ERROR_SUCCESS;
}

}  // namespace

void SetSendWaitMs(uint32_t Milliseconds) {
    // A zero SO_SNDTIMEO would mean "wait forever".
    GSendWaitMs.store(Milliseconds == 0 ? 1 : Milliseconds);
}

uint32_t SendWaitMs() { return GSendWaitMs.load(); }

DWORD TSlotWriter::Send(const void* Buffer, DWORD Size) {
    if (MaxMessageSize != 0 && Size > MaxMessageSize) return ERROR_INVALID_PARAMETER;
    static const char kNothing = 0;
    ssize_t sent = SysSend(FFd.Get(), Buffer ? Buffer : &kNothing, Size, MSG_NOSIGNAL);
    if (sent < 0) {
        // The slot's owner closed it since this handle was opened.
        if (errno == ECONNREFUSED || errno == ENOTCONN) return ERROR_FILE_NOT_FOUND;
        return Win32ErrorOf(errno);
    }
    return ERROR_SUCCESS;
}

DWORD OpenSlotWriter(const std::string& Path, THandle& Handle) {
    TSlotPath path;
    if (!ParseSlotPath(Path, path)) return ERROR_BAD_PATHNAME;
    // The host name only when the server is not ".", which is nearly every call.
    if (path.Server != "." && !IsLocalServer(path.Server, SysHostName()))
        return OpenRemoteSlotWriter(path, Handle);
    std::string dir;
    DWORD err = OpenSlotDirectory(false, dir);
    if (err != ERROR_SUCCESS) return err;
    std::string socketPath = SlotSocketPath(dir, path.Name);
    if (socketPath.empty()) return ERROR_BAD_PATHNAME;

    TFd fd(OpenDatagramSocket(false));
    if (!fd.Valid()) return Win32ErrorOf(errno);
    err = PrepareSocket(fd.Get());
    if (err != ERROR_SUCCESS) return err;
    err = ConnectSlotSocket(fd.Get(), socketPath);
    if (err != ERROR_SUCCESS) return err;
    // The socket changes hands only once the writer exists, so running out of memory on the
    // way still closes it.
    const uint32_t maxSize = ReadMaxSize(socketPath);
    auto writer = std::make_shared<TSlotWriter>(std::move(fd), maxSize);
    Handle = AddHandle(std::move(writer));
    return ERROR_SUCCESS;
}

}  // namespace zk::platform
