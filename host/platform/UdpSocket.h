// UDP sockets for the NetBIOS name and datagram services: bound to one IPv4 address and port,
// reading each datagram with its source, sending to any address. Addresses and ports are in host
// byte order. Failures throw std::system_error with the call and the address in its text.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "zk/host/platform/Fd.h"
#include "zk/host/platform/Ipv4.h"

namespace zk::platform {

class TUdpSocket {
  public:
    // Binds Ip:Port with broadcasts allowed; 0 and 0 bind any address, a free port. Without
    // SO_REUSEADDR: a port another daemon holds (nmbd) is refused, not shared in silence.
    TUdpSocket(uint32_t Ip, uint16_t Port);
    int Fd() const { return FFd.Get(); }
    // The port the socket is bound to.
    uint16_t Port() const;
    // Reads one datagram into Buf (Len bytes at most) without waiting: its full size (which may
    // exceed Len: the datagram is cut), or -1 when none is waiting.
    long Receive(char* Buf, size_t Len, uint32_t& FromIp, uint16_t& FromPort);
    // Sends Data as one datagram; false (errno set) when the kernel refuses it.
    bool SendTo(std::string_view Data, uint32_t Ip, uint16_t Port);

  private:
    TFd FFd;
};

// Waits until one of Fds can be read or TimeoutMs pass (-1: no limit): the indexes of those
// that can, empty after the time-out. EINTR ends the wait with an empty result.
std::vector<size_t> WaitReadable(const std::vector<int>& Fds, int TimeoutMs);

}  // namespace zk::platform
