// This machine's NetBIOS name, workgroup and broadcast interfaces.
#include "zk/host/platform/NetBiosConfig.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <cstdlib>

#include "zk/host/platform/Ascii.h"
#include "zk/host/platform/ConfigFile.h"
#include "zk/host/platform/Ipv4.h"
#include "zk/host/platform/SysCalls.h"

namespace zk::platform {

namespace {

constexpr size_t kNetBiosNameMax = 15;

std::string_view Trim(std::string_view S) {
    const size_t first = S.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return S.substr(first, S.find_last_not_of(" \t\r") - first + 1);
}

// "NetBIOS  Name" -> "netbiosname": smb.conf ignores case and spaces in keys.
std::string KeyOf(std::string_view S) {
    std::string key;
    for (char c : S)
        if (c != ' ' && c != '\t') key += LowerAscii(c);
    return key;
}

std::vector<std::string> Words(std::string_view S) {
    std::vector<std::string> words;
    size_t at = 0;
    while (at < S.size()) {
        const size_t start = S.find_first_not_of(" \t,", at);
        if (start == std::string_view::npos) break;
        const size_t end = S.find_first_of(" \t,", start);
        words.emplace_back(S.substr(start, end - start));
        at = end;
    }
    return words;
}

std::string NetBiosForm(std::string_view S) {
    std::string out(S.substr(0, kNetBiosNameMax));
    for (char& c : out) c = UpperAscii(c);
    return out;
}

// '*' matches any run of bytes; everything else itself.
bool GlobMatch(std::string_view Pattern, std::string_view Text) {
    if (Pattern.empty()) return Text.empty();
    if (Pattern[0] == '*')
        return GlobMatch(Pattern.substr(1), Text) ||
               (!Text.empty() && GlobMatch(Pattern, Text.substr(1)));
    return !Text.empty() && Pattern[0] == Text[0] && GlobMatch(Pattern.substr(1), Text.substr(1));
}

// "10.0.0.0/8" or "10.0.0.0/255.0.0.0": the network and its mask.
bool ParseNetwork(const std::string& Word, uint32_t& Net, uint32_t& Mask) {
    const size_t slash = Word.find('/');
    if (slash == std::string::npos || !ParseIp(Word.substr(0, slash), Net)) return false;
    const std::string bits = Word.substr(slash + 1);
    if (ParseIp(bits, Mask)) return true;
    if (bits.empty() || bits.size() > 2 ||
        bits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const int n = std::atoi(bits.c_str());
    if (n > 32) return false;
    Mask = n == 0 ? 0 : ~uint32_t{0} << (32 - n);
    return true;
}

bool Picks(const std::string& Word, const TNetInterface& If) {
    uint32_t address = 0, net = 0, mask = 0;
    if (ParseIp(Word, address)) return If.Address == address;
    if (ParseNetwork(Word, net, mask)) return (If.Address & mask) == (net & mask);
    return GlobMatch(Word, If.Name);
}

// The file's content, or "" when it is absent or unreadable.
std::string ReadOptional(const char* Path) {
    try {
        return ReadConfigFile(Path).value_or("");
    } catch (const EConfigFileError&) {
        return "";
    }
}

}  // namespace

void ParseNetBiosSettings(std::string_view Text, TNetBiosSettings& Settings) {
    bool global = true;
    std::string line;
    size_t at = 0;
    while (at < Text.size()) {
        size_t end = Text.find('\n', at);
        if (end == std::string_view::npos) end = Text.size();
        std::string_view part = Text.substr(at, end - at);
        at = end + 1;
        if (!part.empty() && part.back() == '\r') part.remove_suffix(1);
        if (!part.empty() && part.back() == '\\') {
            line.append(part.substr(0, part.size() - 1));
            continue;
        }
        line.append(part);
        const std::string_view whole = Trim(line);
        if (!whole.empty() && whole[0] == '[') {
            global = KeyOf(whole.substr(1, whole.find(']') - 1)) == "global";
        } else if (global && !whole.empty() && whole[0] != '#' && whole[0] != ';') {
            const size_t eq = whole.find('=');
            if (eq != std::string_view::npos) {
                const std::string key = KeyOf(whole.substr(0, eq));
                const std::string_view value = Trim(whole.substr(eq + 1));
                if (key == "netbiosname")
                    Settings.NetBiosName = std::string(value);
                else if (key == "workgroup")
                    Settings.Workgroup = std::string(value);
                else if (key == "interfaces")
                    Settings.Interfaces = Words(value);
            }
        }
        line.clear();
    }
}

TNetBiosConfig ResolveNetBiosConfig(const TNetBiosSettings& Settings, const std::string& HostName,
                                    const std::vector<TNetInterface>& Live) {
    TNetBiosConfig config;
    config.Name = NetBiosForm(Settings.NetBiosName.empty()
                                  ? std::string_view(HostName).substr(0, HostName.find('.'))
                                  : std::string_view(Settings.NetBiosName));
    config.Workgroup = NetBiosForm(Settings.Workgroup.empty() ? "WORKGROUP" : Settings.Workgroup);
    for (const TNetInterface& i : Live) {
        bool picked = Settings.Interfaces.empty();
        for (const std::string& word : Settings.Interfaces) picked = picked || Picks(word, i);
        if (picked) config.Interfaces.push_back(i);
    }
    return config;
}

std::vector<TNetInterface> BroadcastInterfaces() {
    std::vector<TNetInterface> out;
    ifaddrs* list = nullptr;
    if (SysGetIfAddrs(&list) != 0) return out;
    for (const ifaddrs* a = list; a; a = a->ifa_next) {
        if (!a->ifa_addr || a->ifa_addr->sa_family != AF_INET || !a->ifa_netmask) continue;
        const unsigned wanted = IFF_UP | IFF_BROADCAST;
        if ((a->ifa_flags & wanted) != wanted || (a->ifa_flags & IFF_LOOPBACK) != 0) continue;
        TNetInterface i;
        i.Name = a->ifa_name;
        i.Address = ntohl(reinterpret_cast<const sockaddr_in*>(a->ifa_addr)->sin_addr.s_addr);
        i.Netmask = ntohl(reinterpret_cast<const sockaddr_in*>(a->ifa_netmask)->sin_addr.s_addr);
        i.Broadcast =
            a->ifa_broadaddr
                ? ntohl(reinterpret_cast<const sockaddr_in*>(a->ifa_broadaddr)->sin_addr.s_addr)
                : (i.Address | ~i.Netmask);
        out.push_back(i);
    }
    SysFreeIfAddrs(list);
    return out;
}

TNetBiosConfig LoadNetBiosConfig() {
    TNetBiosSettings settings;
    const char* chosen = std::getenv(kNetBiosConfigVariable);
    if (chosen && chosen[0] != '\0') {
        ParseNetBiosSettings(ReadOptional(chosen), settings);
    } else {
        ParseNetBiosSettings(ReadOptional(kSambaConfigPath), settings);
        ParseNetBiosSettings(ReadOptional(kNetBiosConfigPath), settings);
    }
    return ResolveNetBiosConfig(settings, SysHostName(), BroadcastInterfaces());
}

}  // namespace zk::platform
