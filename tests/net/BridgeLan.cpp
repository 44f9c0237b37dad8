#include "tests/net/BridgeLan.h"

#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "zk/host/platform/NetBios.h"

namespace zktest {

namespace {

constexpr const char* kNobody = "65534";

std::string MakeDir(const std::string& Template) {
    std::string t = Template + "XXXXXX";
    if (!mkdtemp(t.data())) throw std::runtime_error("cannot make " + Template);
    return t;
}

std::string SlotFile(const std::string& Slot) {
    std::string file;
    for (char c : Slot) {
        const auto u = static_cast<unsigned char>(c);
        if ((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_' || c == '-')
            file += c;
        else if (c >= 'A' && c <= 'Z')
            file += static_cast<char>(c - 'A' + 'a');
        else {
            static const char hex[] = "0123456789ABCDEF";
            file += '%';
            file += hex[u >> 4];
            file += hex[u & 15];
        }
    }
    return file;
}

}  // namespace

std::vector<std::string> Lines(const std::string& Text) {
    std::vector<std::string> lines;
    std::istringstream in(Text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

BridgeLan::BridgeLan(int Hosts)
    : FSegment("br", static_cast<unsigned>(Hosts)), FWork(MakeDir("/tmp/zkbridge-")) {
    for (int h = 1; h <= Hosts; ++h) {
        HostState host;
        host.SlotDir = MakeDir(FWork + "/slots" + std::to_string(h) + "-");
        if (chown(host.SlotDir.c_str(), 65534, 65534) != 0)
            throw std::runtime_error("cannot give " + host.SlotDir + " to nobody");
        host.Config = FWork + "/netbios" + std::to_string(h) + ".conf";
        std::ofstream(host.Config) << "netbios name = " << Name(h) << "\nworkgroup = ZKLAN\n"
                                   << "interfaces = eth0\n";
        FHosts.push_back(host);
    }
    // Programs running as nobody read their configuration and write nothing here.
    std::filesystem::permissions(FWork, std::filesystem::perms(0755));
}

BridgeLan::~BridgeLan() {
    for (auto& c : FStarted) Stop(*c);
    std::error_code ec;
    std::filesystem::remove_all(FWork, ec);
}

uint32_t BridgeLan::IpValue(int Host) const {
    uint32_t ip = 0;
    zk::platform::ParseIp(Ip(Host), ip);
    return ip;
}

std::vector<std::string> BridgeLan::InHost(int Host, std::vector<std::string> Command,
                                           bool AsNobody) const {
    std::vector<std::string> args = {"netns",
                                     "exec",
                                     FSegment.Namespace(Host),
                                     "env",
                                     "MAILSLOT_DIR=" + SlotDir(Host),
                                     "MAILSLOT_NETBIOS_CONF=" + FHosts[Host - 1].Config};
    if (AsNobody)
        for (std::string a : {"setpriv", "--reuid", kNobody, "--regid", kNobody, "--clear-groups"})
            args.push_back(a);
    args.insert(args.end(), Command.begin(), Command.end());
    return args;
}

Child& BridgeLan::Start(int Host, const std::string& Tag, std::vector<std::string> Command,
                        bool AsNobody) {
    FStarted.push_back(std::make_unique<Child>("/usr/sbin/ip", InHost(Host, Command, AsNobody),
                                               FWork + "/" + Tag + ".out"));
    return *FStarted.back();
}

int BridgeLan::Run(int Host, std::vector<std::string> Command, const std::string& Tag) {
    return RunProgram("/usr/sbin/ip", InHost(Host, Command, false), FWork + "/" + Tag + ".out");
}

int BridgeLan::Stop(Child& Started) {
    if (Started.Pid() > 0) kill(Started.Pid(), SIGTERM);
    return Started.Wait();
}

Child& BridgeLan::StartBridge(int Host, std::vector<std::string> Extra) {
    std::vector<std::string> command = {ZK_MAILSLOT_TOOL, "bridge"};
    command.insert(command.end(), Extra.begin(), Extra.end());
    const std::string tag = "bridge" + std::to_string(Host);
    Child& bridge = Start(Host, tag, command);
    if (!WaitUntil([&] { return Output(tag).find("bridge ") != std::string::npos; }))
        throw std::runtime_error("the bridge on host " + std::to_string(Host) +
                                 " did not start: " + Output(tag));
    return bridge;
}

Child& BridgeLan::StartListener(int Host, const std::string& Tag, std::vector<std::string> Args,
                                const std::string& Slot) {
    Args.insert(Args.begin(), ZK_MAILSLOT_TOOL);
    Child& listener = Start(Host, Tag, Args, true);
    const std::string socket = SlotDir(Host) + "/" + SlotFile(Slot);
    if (!WaitUntil([&] { return std::filesystem::exists(socket); }))
        throw std::runtime_error("no slot " + Slot + ": " + Output(Tag));
    return listener;
}

std::string BridgeLan::Counts(Child& Bridge, const std::string& Tag) {
    auto countLines = [&] {
        size_t n = 0;
        for (const std::string& l : Lines(Output(Tag))) n += l.rfind("delivered ", 0) == 0;
        return n;
    };
    const size_t before = countLines();
    kill(Bridge.Pid(), SIGUSR1);
    WaitUntil([&] { return countLines() > before; });
    std::string last;
    for (const std::string& l : Lines(Output(Tag)))
        if (l.rfind("delivered ", 0) == 0) last = l;
    return last;
}

std::unique_ptr<zk::platform::TUdpSocket> BridgeLan::Socket(int Host, uint16_t Port) {
    std::unique_ptr<zk::platform::TUdpSocket> socket;
    FSegment.RunIn(static_cast<unsigned>(Host), [&] {
        socket = std::make_unique<zk::platform::TUdpSocket>(IpValue(Host), Port);
    });
    return socket;
}

}  // namespace zktest
