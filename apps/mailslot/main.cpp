// mailslot: listen on a local mailslot or send one message to a slot.
#include <CLI/CLI.hpp>

#include "apps/mailslot/Commands.h"
#include "apps/mailslot/Formats.h"

using namespace mailslot_tool;

int main(int argc, char** argv) {
    CLI::App app{"Send messages to mailslots and listen on them."};
    app.require_subcommand(1);
    auto formatCheck = CLI::IsMember([] {
        std::vector<std::string> names;
        for (const Format& f : Formats()) names.push_back(f.Name);
        return names;
    }());

    ListenOptions listen;
    CLI::App* listenCmd = app.add_subcommand("listen", "Own slot NAME and print each message as it arrives.");
    listenCmd->add_option("NAME", listen.Slot, "Slot name")->required();
    listenCmd->add_flag("--hex", listen.Hex, "Print the bytes in hexadecimal");
    listenCmd->add_option("--format", listen.Format, "Wire format: " + FormatNames())->check(formatCheck);

    SendOptions send;
    CLI::App* sendCmd = app.add_subcommand("send", "Send TEXT, or standard input ('-'), as one message.");
    sendCmd->add_option("NAME", send.Slot, "Slot name")->required();
    sendCmd->add_option("TEXT", send.Text, "The message; '-' or none reads standard input");
    sendCmd->add_option("--server", send.Server, "Machine of the slot ('.' is this one)");
    sendCmd->add_option("--format", send.Format, "Wire format: " + FormatNames())->check(formatCheck);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        int code = app.exit(e);
        return e.get_exit_code() == 0 ? code : 2;
    }
    if (listenCmd->parsed()) return Listen(listen);
    send.FromStdin = sendCmd->count("TEXT") == 0 || send.Text == "-";
    if (send.FromStdin) send.Text.clear();
    return Send(send);
}
