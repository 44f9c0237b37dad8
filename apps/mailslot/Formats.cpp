#include "apps/mailslot/Formats.h"

#include "zk/mailslot/ZkFrames.h"

using namespace zk;
using namespace zk::rtl;

namespace mailslot_tool {

namespace {

// Reports the rejected frames of a receiver of class R, and its dropped repeats where it has them.
template <class R>
void ReportRejects(TzkCustomMailSlot& Receiver, const RejectReport& Report) {
    auto& r = static_cast<R&>(Receiver);
    r.SetOnBinError(
        TmsBinMessageAvail([Rejected = Report.Rejected](TObject*, char* Frame, int32_t Len) {
            Rejected(Frame, Len);
        }));
    if constexpr (requires { r.SetOnDuplicated(TNotifyEvent()); })
        r.SetOnDuplicated(TNotifyEvent([Duplicate = Report.Duplicate](TObject*) { Duplicate(); }));
}

// The largest payload behind a header of HeaderSize bytes.
constexpr size_t PayloadMax(int32_t HeaderSize) {
    return static_cast<size_t>(MaxMessageSize - HeaderSize);
}

}  // namespace

const std::vector<Format>& Formats() {
    static const std::vector<Format> formats = {
        {"plain",
         [](const std::string& server, const std::string& slot, const std::string& payload) {
             return SendToMailSlot(server, slot, payload);
         },
         [] { return new TzkMailSlot(nullptr); },
         static_cast<size_t>(MaxMessageSize),
         {}},
        {"checked", SendNoErrMail, [] { return new TzkNoErrMail(nullptr); },
         PayloadMax(zkframes::CheckedHeaderSize), ReportRejects<TzkNoErrMail>},
        {"safe", SendSafeMail, [] { return new TzkSafeMail(nullptr); },
         PayloadMax(zkframes::CheckedHeaderSize + zkframes::SafeSerialSize),
         ReportRejects<TzkSafeMail>},
        {"secure", SendSecureMail, [] { return new TzkSecureMail(nullptr); },
         PayloadMax(zkframes::SecureHeaderSize), ReportRejects<TzkSecureMail>},
        {"long", SendLongMail, [] { return new TzkLongMail(nullptr); },
         static_cast<size_t>(zkframes::LongMailMax), ReportRejects<TzkLongMail>},
    };
    return formats;
}

const Format* FindFormat(const std::string& Name) {
    for (const Format& f : Formats())
        if (f.Name == Name) return &f;
    return nullptr;
}

std::string FormatNames() {
    std::string out;
    for (const Format& f : Formats()) out += (out.empty() ? "" : "|") + f.Name;
    return out;
}

}  // namespace mailslot_tool
