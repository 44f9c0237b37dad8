// docuvane: a stand-in for the help-authoring application. It owns the mailslot "HS", prints
// every message it receives on a line of its own (and appends it to a log file), and answers
// commands with replies given on its command line or in a script (else its own few answers),
// sent to a reply slot: the one given on its command line, or the one a "REPLYTO,NAME" message
// named last. It runs until SIGTERM or SIGINT, or until it has received a given number of
// commands. Started while another process owns its slot, it says so and ends at once.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "apps/UsageError.h"
#include "apps/docuvane/Replies.h"
#include "zk/host/platform/StopSignal.h"
#include "zk/host/win32/Windows.h"
#include "zk/mailslot/Zkmailslot.h"

using namespace zk;
using namespace zk::rtl;

namespace {

struct TOptions {
    std::string Slot = "HS";
    std::string ReplySlot;
    std::vector<std::string> Replies;
    std::string Script;
    std::string Log;
    std::string StartedFile;
    int ExitAfter = 0;
};

// Receives the commands: the handler bound to the endpoint's OnMessageAvail.
class TAuthoringApp : public TObject {
  public:
    TAuthoringApp(const TOptions& Options, docuvane::TReplyTable Replies)
        : FOptions(Options), FReplies(std::move(Replies)), FReplySlot(Options.ReplySlot) {
        if (!Options.Log.empty()) FLog.open(Options.Log, std::ios::app | std::ios::binary);
    }

    bool LogOpen() const { return FOptions.Log.empty() || FLog.is_open(); }
    bool Done() const { return FOptions.ExitAfter > 0 && FReceived >= FOptions.ExitAfter; }

    void MessageAvail(TObject* /*Sender*/, std::string Msg) {
        std::fwrite(Msg.data(), 1, Msg.size(), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
        if (FLog.is_open()) {
            FLog << Msg << '\n';
            FLog.flush();
        }
        std::string named;
        if (docuvane::ParseReplyTo(Msg, named)) {
            // An address, not a command: it neither counts nor gets an answer.
            FReplySlot = named.empty() ? FOptions.ReplySlot : named;
            return;
        }
        if (!FReplySlot.empty())
            for (const std::string& reply : FReplies.RepliesTo(Msg))
                if (!SendToMailSlot(".", FReplySlot, reply))
                    std::fprintf(stderr, "docuvane: no reply slot %s to answer %s\n",
                                 FReplySlot.c_str(), Msg.c_str());
        ++FReceived;
    }

  private:
    const TOptions& FOptions;
    docuvane::TReplyTable FReplies;
    std::ofstream FLog;
    std::string FReplySlot;  // where answers go now
    int FReceived = 0;
};

// Reads the reply rules of the options and the script (the default answers when neither is
// given), reporting each malformed one on standard
// error. Returns 0, else the exit status: 2 for a bad --reply (a usage error), 1 for a script
// that cannot be read or has lines that are no rule.
int LoadReplies(const TOptions& Options, docuvane::TReplyTable& Table) {
    if (Options.Replies.empty() && Options.Script.empty()) {
        Table.AddScript(docuvane::DefaultScript);
        return 0;
    }
    for (const std::string& rule : Options.Replies)
        if (!Table.AddOption(rule)) {
            std::fprintf(stderr, "docuvane: --reply needs COMMAND=REPLY, not '%s'\n", rule.c_str());
            return 2;
        }
    if (Options.Script.empty()) return 0;
    std::ifstream in(Options.Script, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "docuvane: cannot read script %s\n", Options.Script.c_str());
        return 1;
    }
    std::stringstream text;
    text << in.rdbuf();
    std::vector<int> bad = Table.AddScript(text.str());
    for (int line : bad)
        std::fprintf(stderr, "docuvane: %s:%d: expected COMMAND => REPLY\n", Options.Script.c_str(),
                     line);
    return bad.empty() ? 0 : 1;
}

int Run(int argc, char** argv) {
    TOptions options;
    CLI::App app{
        "Stand-in for the Docuvane help-authoring application: owns a mailslot, prints "
        "each command it receives and answers with scripted replies.",
        "docuvane"};
    app.set_version_flag("--version", "docuvane " ZK_VERSION);
    app.add_option("--slot", options.Slot, "Slot to own and receive commands on")
        ->type_name("NAME")
        ->capture_default_str();
    app.add_option("--reply-slot", options.ReplySlot,
                   "Slot on this machine that replies go to until a REPLYTO,NAME message names one")
        ->type_name("NAME");
    app.add_option("--reply", options.Replies,
                   "Answer COMMAND with REPLY (repeatable; every match is sent; without --reply "
                   "and --script: IM3=INIT,T-,H,10,500 EDITDOC=FILEOPEN PRJ?=PRJ!)")
        ->type_name("COMMAND=REPLY")
        ->allow_extra_args(false);
    app.add_option("--script", options.Script, "File of 'COMMAND => REPLY' lines")
        ->type_name("FILE");
    app.add_option("--log", options.Log, "Also append each message to FILE")->type_name("FILE");
    app.add_option("--started-file", options.StartedFile, "Create FILE once the slot is open")
        ->type_name("FILE");
    app.add_option("--exit-after", options.ExitAfter,
                   "Exit after N commands, REPLYTO messages not counted (0: never)")
        ->type_name("N")
        ->check(CLI::NonNegativeNumber);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return zk_apps::ParseFailure(app, e);
    }

    docuvane::TReplyTable replies;
    if (int status = LoadReplies(options, replies)) return status;
    TAuthoringApp handler(options, std::move(replies));
    if (!handler.LogOpen()) {
        std::fprintf(stderr, "docuvane: cannot open log %s\n", options.Log.c_str());
        return 1;
    }

    // Caught before the slot exists, so that no stop can leave its socket file behind.
    zk::platform::TStopSignal stop;
    TOwned<TzkMailSlot> slot(new TzkMailSlot(nullptr));
    slot->SetOnMessageAvail(TmsMessageAvail::Bind(&handler, &TAuthoringApp::MessageAvail));
    slot->SetSlot(options.Slot);
    try {
        slot->Open();
    } catch (const Exception& e) {
        // One stand-in per user serves the slot; each press of the ellipsis starts another.
        if (win32::GetLastError() == win32::ERROR_ALREADY_EXISTS) {
            std::printf("docuvane: another instance serves slot %s; this one ends\n",
                        options.Slot.c_str());
            return 0;
        }
        std::fprintf(stderr, "docuvane: cannot own slot %s: %s\n", options.Slot.c_str(),
                     e.Message().c_str());
        return 1;
    }
    if (!options.StartedFile.empty() && !std::ofstream(options.StartedFile)) {
        std::fprintf(stderr, "docuvane: cannot create %s\n", options.StartedFile.c_str());
        return 1;
    }

    // Received commands wake the loop as a stop does: it sleeps without a time-out.
    SetWakeMainThread([&stop] { stop.Wake(); });
    struct Unhook {
        ~Unhook() { SetWakeMainThread({}); }
    } unhook;
    stop.Run([] { CheckSynchronize(0); }, [&handler] { return handler.Done(); });
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "docuvane: %s\n", e.what());
        return 1;
    }
}
