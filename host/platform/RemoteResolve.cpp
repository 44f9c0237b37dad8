// Turning SERVER into NetBIOS names and addresses: the workgroup, address literals, the system
// resolver and broadcast name queries.
#include "zk/host/platform/RemoteResolve.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <cerrno>
#include <chrono>

#include "zk/host/platform/Ascii.h"
#include "zk/host/platform/Fd.h"
#include "zk/host/platform/Ipv4.h"
#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

namespace {

using TClock = std::chrono::steady_clock;

// Letters, digits, '-' and '_' in labels joined by single dots: what may be a host or NetBIOS
// name here. Anything else ("..", "a b") goes to neither resolver.
bool IsHostName(const std::string& S) {
    if (S.empty() || S.front() == '.' || S.back() == '.' || S.find("..") != std::string::npos)
        return false;
    for (char c : S) {
        const char u = UpperAscii(c);
        if (!((u >= 'A' && u <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.'))
            return false;
    }
    return true;
}

TNetBiosName UniqueNameOf(const std::string& Server) {
    std::string name = Server.substr(0, Server.find('.')).substr(0, 15);
    for (char& c : name) c = UpperAscii(c);
    return {name, 0x00};
}

bool ResolveByResolver(const std::string& Server, uint32_t& Ip) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    addrinfo* list = nullptr;
    if (SysGetAddrInfo(Server.c_str(), &hints, &list) != 0) return false;
    Ip = ntohl(reinterpret_cast<const sockaddr_in*>(list->ai_addr)->sin_addr.s_addr);
    SysFreeAddrInfo(list);
    return true;
}

// Two addresses on one segment (a second address, two cards on one LAN) share a broadcast
// address: one datagram there reaches every machine once.
bool FirstOnItsSegment(const std::vector<TNetInterface>& Interfaces, const TNetInterface& I) {
    for (const TNetInterface& other : Interfaces) {
        if (&other == &I) return true;
        if (other.Broadcast == I.Broadcast) return false;
    }
    return true;
}

uint16_t NextQueryId() {
    static std::atomic<uint16_t> id{
        static_cast<uint16_t>(TClock::now().time_since_epoch().count() & 0xFFFF)};
    return id.fetch_add(1);
}

// Waits up to Ms for a positive answer to query Id on Fd.
bool AwaitAnswer(int Fd, uint16_t Id, int Ms, uint32_t& Ip) {
    const auto end = TClock::now() + std::chrono::milliseconds(Ms);
    for (;;) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(end - TClock::now()).count();
        if (left <= 0) return false;
        pollfd p{Fd, POLLIN, 0};
        if (SysPoll(&p, 1, static_cast<int>(left)) < 0) return false;
        if ((p.revents & POLLIN) == 0) continue;
        char packet[576];
        const ssize_t got = SysRecv(Fd, packet, sizeof packet, MSG_DONTWAIT);
        if (got < 0) continue;
        uint16_t id = 0;
        std::string reason;
        if (DecodeNameQueryResponse(std::string_view(packet, static_cast<size_t>(got)), id, Ip,
                                    reason) &&
            id == Id)
            return true;
    }
}

}  // namespace

bool QueryNetBiosName(const TNetBiosName& Name, const std::vector<TNetInterface>& Interfaces,
                      uint32_t& Ip) {
    if (Interfaces.empty()) return false;
    TFd fd(SysSocket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0));
    const int on = 1;
    if (!fd.Valid() || SysSetSockOpt(fd.Get(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) != 0)
        return false;
    const uint16_t id = NextQueryId();
    const std::string query = EncodeNameQuery({id, Name, true});
    for (int round = 0; round < kNameQueryCount; ++round) {
        for (const TNetInterface& i : Interfaces) {
            if (!FirstOnItsSegment(Interfaces, i)) continue;
            const sockaddr_in to = SocketAddress(i.Broadcast, kNetBiosNamePort);
            SysSendTo(fd.Get(), query.data(), query.size(), 0,
                      reinterpret_cast<const sockaddr*>(&to), sizeof to);
        }
        if (AwaitAnswer(fd.Get(), id, kNameQueryWaitMs, Ip)) return true;
    }
    return false;
}

DWORD ResolveRemoteServer(const std::string& Server, const TNetBiosConfig& Config,
                          TRemoteTarget& Target) {
    if (Server == "*" || SameAsciiText(Server, Config.Workgroup)) {
        if (Config.Interfaces.empty()) return ERROR_BAD_NETPATH;
        Target.Type = TDatagramType::DirectGroup;
        Target.Destination = {Config.Workgroup, 0x00};
        for (const TNetInterface& i : Config.Interfaces)
            if (FirstOnItsSegment(Config.Interfaces, i))
                Target.Hops.push_back({i.Broadcast, i.Address});
        return ERROR_SUCCESS;
    }
    uint32_t ip = 0;
    Target.Type = TDatagramType::DirectUnique;
    if (ParseIp(Server, ip)) {
        // No NetBIOS name is known for a bare address: its text stands in for one.
        Target.Destination = {Server, 0x00};
    } else {
        if (!IsHostName(Server)) return ERROR_BAD_NETPATH;
        Target.Destination = UniqueNameOf(Server);
        if (!ResolveByResolver(Server, ip) &&
            !(Server.size() <= 15 && QueryNetBiosName(Target.Destination, Config.Interfaces, ip)))
            return ERROR_BAD_NETPATH;
    }
    Target.Hops = {{ip, 0}};
    return ERROR_SUCCESS;
}

}  // namespace zk::platform
