// mailslot: listen on a local mailslot or send one message to a slot; send and receive popups.
#include <CLI/CLI.hpp>

#include <cstdio>

#include "apps/UsageError.h"
#include "apps/mailslot/Bridge.h"
#include "apps/mailslot/Commands.h"
#include "apps/mailslot/Formats.h"

using namespace mailslot_tool;

static int Run(int argc, char** argv) {
    CLI::App app{"Send messages to mailslots and listen on them.", "mailslot"};
    app.set_version_flag("--version", "mailslot " ZK_VERSION);
    app.require_subcommand(1);
    auto formatCheck = CLI::IsMember([] {
        std::vector<std::string> names;
        for (const Format& f : Formats()) names.push_back(f.Name);
        return names;
    }());

    ListenOptions listen;
    CLI::App* listenCmd =
        app.add_subcommand("listen", "Own slot NAME and print each message as it arrives.");
    listenCmd->add_option("NAME", listen.Slot, "Slot name")->required();
    CLI::Option* hexFlag =
        listenCmd->add_flag("--hex", listen.Hex, "Print the bytes in hexadecimal");
    listenCmd
        ->add_flag("--json", listen.Json,
                   "Print each message as a line of JSON: slot, format, length, text, hex")
        ->excludes(hexFlag);
    listenCmd->add_option("--format", listen.Format, "Wire format: " + FormatNames())
        ->check(formatCheck);

    SendOptions send;
    CLI::App* sendCmd =
        app.add_subcommand("send", "Send TEXT, or standard input ('-'), as one message.");
    sendCmd->add_option("NAME", send.Slot, "Slot name")->required();
    sendCmd->add_option("TEXT", send.Text, "The message; '-' or none reads standard input");
    sendCmd->add_option("--server", send.Server, "Machine of the slot ('.' is this one)");
    sendCmd->add_option("--format", send.Format, "Wire format: " + FormatNames())
        ->check(formatCheck);

    PopupSendOptions popupSend;
    CLI::App* popupCmd = app.add_subcommand("popup", "Messenger popups on the slot \"messngr\".");
    popupCmd->require_subcommand(1);
    CLI::App* popupSendCmd =
        popupCmd->add_subcommand("send", "Send TEXT as a popup from one name to another.");
    popupSendCmd->add_option("--to", popupSend.To, "Receiver's name")->required();
    popupSendCmd->add_option("--from", popupSend.From, "Sender's name")->required();
    popupSendCmd->add_option("TEXT", popupSend.Text, "The text")->required();
    popupSendCmd->add_option("--server", popupSend.Server, "Machine to send to ('.' is this one)");
    CLI::App* popupListenCmd = popupCmd->add_subcommand(
        "listen", "Own the local slot \"messngr\" and print each popup as \"from S to R: TEXT\".");

    BridgeCommandLine bridge;
    CLI::App* bridgeCmd = app.add_subcommand("bridge", BridgeDescription());
    bridgeCmd->footer(BridgeHelpFooter());
    bridgeCmd->add_option("--allow", bridge.Allow,
                          "Take datagrams only from these networks (ADDRESS[/BITS], repeatable; "
                          "default: the subnets of the interfaces)");
    bridgeCmd->add_flag("--no-names", bridge.NoNames,
                        "Do not answer name queries: another name server (nmbd) does");
    bridgeCmd->add_option("--user", bridge.User, "Run as USER once the ports are bound")
        ->capture_default_str();
    bridgeCmd->add_option("--rate", bridge.Rate, "Datagrams a second taken in all (0: no bound)")
        ->capture_default_str();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return zk_apps::ParseFailure(app, e);
    }
    if (listenCmd->parsed()) return Listen(listen);
    if (bridgeCmd->parsed()) return Bridge(bridge);
    if (popupSendCmd->parsed()) return PopupSend(popupSend);
    if (popupListenCmd->parsed()) return PopupListen();
    send.FromStdin = sendCmd->count("TEXT") == 0 || send.Text == "-";
    if (send.FromStdin) send.Text.clear();
    return Send(send);
}

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "mailslot: %s\n", e.what());
        return 1;
    }
}
