// This machine's NetBIOS identity from smb.conf-style text, the host name and the interfaces.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/Namespaces.h"
#include "zk/host/platform/NetBiosConfig.h"

using namespace zk::platform;

namespace {

const std::vector<TNetInterface> kLive = {
    {"eth0", 0x0AC90001, 0xFFFFFF00, 0x0AC900FF},   // 10.201.0.1/24
    {"eth1", 0xC0A80105, 0xFFFF0000, 0xC0A8FFFF},   // 192.168.1.5/16
    {"wlan0", 0xAC100002, 0xFFF00000, 0xAC1FFFFF},  // 172.16.0.2/12
};

}  // namespace

TEST(NetBiosConfig, SettingsAndDefaultsMakeTheIdentity) {
    struct TCase {
        const char* Text;
        const char* Host;
        const char* Name;
        const char* Workgroup;
        std::vector<std::string> Interfaces;
    };
    const TCase cases[] = {
        {"", "build-host.example.org", "BUILD-HOST", "WORKGROUP", {"eth0", "eth1", "wlan0"}},
        {"", "a-very-long-host-name", "A-VERY-LONG-HOS", "WORKGROUP", {"eth0", "eth1", "wlan0"}},
        {"[global]\n  NetBIOS Name = box7\n\tworkgroup=Office\ninterfaces = eth1\n",
         "h",
         "BOX7",
         "OFFICE",
         {"eth1"}},
        // Comments, other sections, a continued line and the three kinds of interface words.
        {"# netbios name = no\n; workgroup = no\n[homes]\nworkgroup = no\n[GLOBAL]\n"
         "interfaces = 10.201.0.1 \\\n  192.168.0.0/16, wl*\nserver string = x\n",
         "h",
         "H",
         "WORKGROUP",
         {"eth0", "eth1", "wlan0"}},
        {"interfaces = 172.16.0.0/255.240.0.0 10.0.0.0/33 nosuch\r\nworkgroup = "
         "a-workgroup-name-too-long\r\n",
         "h",
         "H",
         "A-WORKGROUP-NAM",
         {"wlan0"}},
    };
    for (const TCase& c : cases) {
        TNetBiosSettings settings;
        ParseNetBiosSettings(c.Text, settings);
        const TNetBiosConfig config = ResolveNetBiosConfig(settings, c.Host, kLive);
        EXPECT_EQ(config.Name, c.Name) << c.Text;
        EXPECT_EQ(config.Workgroup, c.Workgroup) << c.Text;
        std::vector<std::string> names;
        for (const TNetInterface& i : config.Interfaces) names.push_back(i.Name);
        EXPECT_EQ(names, c.Interfaces) << c.Text;
    }
}

TEST(NetBiosConfig, OurFileOverridesSamba) {
    TNetBiosSettings settings;
    ParseNetBiosSettings("[global]\nnetbios name = SAMBA\nworkgroup = SAMBAWG\n", settings);
    ParseNetBiosSettings("workgroup = OURS\n", settings);
    const TNetBiosConfig config = ResolveNetBiosConfig(settings, "h", {});
    EXPECT_EQ(config.Name, "SAMBA");
    EXPECT_EQ(config.Workgroup, "OURS");
    EXPECT_TRUE(config.Interfaces.empty());
}
