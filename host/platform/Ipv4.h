// IPv4 addresses as the NetBIOS code keeps them: 32-bit numbers in host byte order.
#pragma once

#include <netinet/in.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace zk::platform {

// "10.1.2.3".
std::string IpText(uint32_t Ip);
// "a.b.c.d" into Ip; false for anything else.
bool ParseIp(std::string_view Text, uint32_t& Ip);
// The socket address of Ip:Port.
sockaddr_in SocketAddress(uint32_t Ip, uint16_t Port);

}  // namespace zk::platform
