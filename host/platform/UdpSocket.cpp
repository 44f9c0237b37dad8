#include "zk/host/platform/UdpSocket.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <cerrno>
#include <system_error>

namespace zk::platform {

namespace {

[[noreturn]] void Fail(const std::string& What) {
    throw std::system_error(errno, std::generic_category(), What);
}

}  // namespace

TUdpSocket::TUdpSocket(uint32_t Ip, uint16_t Port)
    : FFd(socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0)) {
    const std::string where = IpText(Ip) + ':' + std::to_string(Port);
    if (!FFd.Valid()) Fail("socket for " + where);
    int on = 1;
    if (setsockopt(Fd(), SOL_SOCKET, SO_BROADCAST, &on, sizeof on) < 0)
        Fail("setsockopt on " + where);
    sockaddr_in sa = SocketAddress(Ip, Port);
    if (bind(Fd(), reinterpret_cast<sockaddr*>(&sa), sizeof sa) < 0) Fail("cannot bind " + where);
}

uint16_t TUdpSocket::Port() const {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    if (getsockname(Fd(), reinterpret_cast<sockaddr*>(&sa), &len) < 0) Fail("getsockname");
    return ntohs(sa.sin_port);
}

long TUdpSocket::Receive(char* Buf, size_t Len, uint32_t& FromIp, uint16_t& FromPort) {
    sockaddr_in sa{};
    socklen_t len = sizeof sa;
    ssize_t n;
    do {
        // MSG_TRUNC: the datagram's real size, so that an oversized one is seen as such.
        n = recvfrom(Fd(), Buf, Len, MSG_TRUNC, reinterpret_cast<sockaddr*>(&sa), &len);
    } while (n < 0 && errno == EINTR);
    if (n < 0) return -1;
    FromIp = ntohl(sa.sin_addr.s_addr);
    FromPort = ntohs(sa.sin_port);
    return static_cast<long>(n);
}

bool TUdpSocket::SendTo(std::string_view Data, uint32_t Ip, uint16_t Port) {
    sockaddr_in sa = SocketAddress(Ip, Port);
    ssize_t n;
    do {
        n = sendto(Fd(), Data.data(), Data.size(), 0, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
    } while (n < 0 && errno == EINTR);
    return n == static_cast<ssize_t>(Data.size());
}

std::vector<size_t> WaitReadable(const std::vector<int>& Fds, int TimeoutMs) {
    std::vector<pollfd> p;
    for (int fd : Fds) p.push_back(pollfd{fd, POLLIN, 0});
    std::vector<size_t> ready;
    if (poll(p.data(), p.size(), TimeoutMs) <= 0) return ready;
    for (size_t i = 0; i < p.size(); ++i)
        if (p[i].revents) ready.push_back(i);
    return ready;
}

}  // namespace zk::platform
