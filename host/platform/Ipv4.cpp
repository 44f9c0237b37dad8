#include "zk/host/platform/Ipv4.h"

#include <arpa/inet.h>

namespace zk::platform {

std::string IpText(uint32_t Ip) {
    return std::to_string(Ip >> 24) + '.' + std::to_string((Ip >> 16) & 0xFF) + '.' +
           std::to_string((Ip >> 8) & 0xFF) + '.' + std::to_string(Ip & 0xFF);
}

bool ParseIp(std::string_view Text, uint32_t& Ip) {
    in_addr a{};
    if (Text.size() > 15 || inet_pton(AF_INET, std::string(Text).c_str(), &a) != 1) return false;
    Ip = ntohl(a.s_addr);
    return true;
}

sockaddr_in SocketAddress(uint32_t Ip, uint16_t Port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(Port);
    a.sin_addr.s_addr = htonl(Ip);
    return a;
}

}  // namespace zk::platform
