// Writing to a slot on another machine: one NetBIOS datagram per message.
#include "zk/host/platform/RemoteWrite.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <memory>

#include "zk/host/platform/Ipv4.h"
#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

namespace {

constexpr size_t kSourceIpAt = 4;  // in the datagram header

// Datagram ids count up across the process, from a start that differs between processes.
uint16_t NextDatagramId() {
    static std::atomic<uint16_t> id{
        static_cast<uint16_t>(std::chrono::steady_clock::now().time_since_epoch().count() >> 10)};
    return id.fetch_add(1);
}

bool LocalAddress(int Fd, sockaddr_in& Out) {
    socklen_t len = sizeof Out;
    return SysGetSockName(Fd, reinterpret_cast<sockaddr*>(&Out), &len) == 0;
}

// An ephemeral port, named in the header. Windows sends from 138, which its datagram service
// owns; here port 138 belongs to the receiving bridge (or nmbd), and a writer that held it would
// keep them from starting and collect the network's broadcasts unread. Receivers take the
// datagram whatever its source port. Returns the port bound, or 0 with errno set.
uint16_t BindSourcePort(int Fd) {
    sockaddr_in a = SocketAddress(INADDR_ANY, 0);
    if (SysBind(Fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0) return 0;
    return LocalAddress(Fd, a) ? ntohs(a.sin_port) : 0;
}

// The address the kernel would send from to reach Ip: connect, look, and connect back to
// nothing, so that no ICMP error of a later send is reported as a failed write.
uint32_t SourceAddressFor(int Fd, uint32_t Ip) {
    const sockaddr_in to = SocketAddress(Ip, kNetBiosDatagramPort);
    sockaddr_in local{};
    uint32_t source = 0;
    if (SysConnect(Fd, reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0 &&
        LocalAddress(Fd, local))
        source = ntohl(local.sin_addr.s_addr);
    sockaddr none{};
    none.sa_family = AF_UNSPEC;
    SysConnect(Fd, &none, sizeof none);
    return source;
}

}  // namespace

DWORD TRemoteSlotWriter::Send(const void* Buffer, DWORD Size) {
    if (Size > MaxMessageSize || FTemplate.Mailslot.size() + 1 + Size > kRemoteNameAndDataMax)
        return ERROR_INVALID_PARAMETER;
    TMailslotDatagram d = FTemplate;
    d.Id = NextDatagramId();
    if (Size != 0) d.Data.assign(static_cast<const char*>(Buffer), Size);
    std::string packet = EncodeMailslotDatagram(d);
    DWORD result = ERROR_SUCCESS;
    for (const TRemoteHop& hop : FTarget.Hops) {
        const uint32_t source = htonl(hop.SourceIp);
        packet.replace(kSourceIpAt, sizeof source, reinterpret_cast<const char*>(&source),
                       sizeof source);
        const sockaddr_in to = SocketAddress(hop.Ip, kNetBiosDatagramPort);
        if (SysSendTo(Fd(), packet.data(), packet.size(), MSG_NOSIGNAL,
                      reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0 &&
            result == ERROR_SUCCESS)
            result = Win32ErrorOf(errno);
    }
    return result;
}

DWORD OpenRemoteSlotWriter(const TSlotPath& Path, THandle& Handle) {
    const TNetBiosConfig config = LoadNetBiosConfig();
    TRemoteTarget target;
    DWORD err = ResolveRemoteServer(Path.Server, config, target);
    if (err != ERROR_SUCCESS) return err;

    TFd fd(SysSocket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    if (!fd.Valid()) return Win32ErrorOf(errno);
    const int on = 1;
    if (SysSetSockOpt(fd.Get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
        return Win32ErrorOf(errno);
    for (TRemoteHop& hop : target.Hops)
        if (hop.SourceIp == 0) hop.SourceIp = SourceAddressFor(fd.Get(), hop.Ip);
    // Bound after the probes: undoing a probe's connect gives up a port the kernel picked, and
    // the header must name the port the datagrams really leave from.
    TMailslotDatagram d;
    d.SourcePort = BindSourcePort(fd.Get());
    if (d.SourcePort == 0) return Win32ErrorOf(errno);
    d.Type = target.Type;
    d.Source = {config.Name, 0x00};
    d.Destination = target.Destination;
    d.Mailslot = "\\MAILSLOT\\" + Path.Name;
    auto writer =
        std::make_shared<TRemoteSlotWriter>(std::move(fd), std::move(d), std::move(target));
    Handle = AddHandle(std::move(writer));
    return ERROR_SUCCESS;
}

}  // namespace zk::platform
