#include <cstdio>
#include <memory>

#include "apps/mailslot/Commands.h"
#include "apps/mailslot/Formats.h"
#include "zk/host/platform/StopSignal.h"

using namespace zk;
using namespace zk::rtl;

namespace mailslot_tool {

namespace {

void PrintLine(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintReport(const std::string& line) { std::fprintf(stderr, "%s\n", line.c_str()); }

}  // namespace

std::string HexBytes(const char* Data, size_t Len) {
    std::string out;
    for (size_t i = 0; i < Len; ++i) {
        if (i) out += ' ';
        out += IntToHex(static_cast<unsigned char>(Data[i]), 2);
    }
    return out;
}

int Listen(const ListenOptions& Options) {
    const Format* format = FindFormat(Options.Format);
    TOwned<TzkCustomMailSlot> receiver(format->NewReceiver());
    receiver->SetOnBinMessageAvail(TmsBinMessageAvail([&](TObject*, char* data, int32_t len) {
        const auto n = static_cast<size_t>(len);
        if (Options.Json)
            PrintLine(JsonMessage(Options.Slot, format->Name, data, n));
        else
            PrintLine(Options.Hex ? HexBytes(data, n) : std::string(data, n));
    }));
    if (format->AttachReporting)
        format->AttachReporting(
            *receiver,
            {[](const char* frame, int32_t len) {
                 PrintReport("checksum error: " + HexBytes(frame, static_cast<size_t>(len)));
             },
             [] { PrintReport("duplicate dropped"); }});
    receiver->SetSlot(Options.Slot);
    return RunReceiver(*receiver);
}

int RunReceiver(TzkCustomMailSlot& Receiver) {
    // Caught before the slot exists, so that no stop can leave its socket file behind.
    zk::platform::TStopSignal stop;
    try {
        Receiver.Open();
    } catch (const Exception& e) {
        std::fprintf(stderr, "mailslot: %s\n", e.Message().c_str());
        return 1;
    }
    // The receiver's events wake the loop as a stop does: it sleeps without a time-out.
    SetWakeMainThread([&stop] { stop.Wake(); });
    struct Unhook {
        ~Unhook() { SetWakeMainThread({}); }
    } unhook;
    stop.Run([] { CheckSynchronize(0); });
    // Closing removes the slot's socket file, so the name is free again at once.
    Receiver.Close();
    return 0;
}

}  // namespace mailslot_tool
