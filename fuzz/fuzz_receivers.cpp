// Feeds a sequence of arbitrary frames to the checked, safe and secure receivers' frame steps,
// as their ReadNext runs them after the slot read, with each frame in a buffer from AllocNext.
// A small model of what each receiver must do (deliver, report or drop, and which serial or
// header it remembers) checks every outcome, the events fired and the narrowed view.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "zk/mailslot/ZkFrames.h"
#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/Namespaces.h"

namespace {

using namespace zkframes;

void Require(bool Holds) {
    if (!Holds) __builtin_trap();
}

// The receivers with their frame steps opened to the fuzzer; no slot is ever opened.
class NoErrProbe : public TzkCustomNoErrMail {
  public:
    using TzkCustomNoErrMail::AcceptChecked;
    using TzkCustomNoErrMail::TzkCustomNoErrMail;
};
class SafeProbe : public TzkCustomSafeMail {
  public:
    using TzkCustomSafeMail::AcceptChecked;
    using TzkCustomSafeMail::AcceptSerial;
    using TzkCustomSafeMail::TzkCustomSafeMail;
};
class SecureProbe : public TzkCustomSecureMail {
  public:
    using TzkCustomSecureMail::AcceptSecure;
    using TzkCustomSecureMail::TzkCustomSecureMail;
};

// What one receiver reported for one frame.
struct Reports {
    std::vector<std::string> Order;  // "error", "binerror", "duplicated"
    std::string ErrorText;
    const char* BinData = nullptr;
    int32_t BinLen = -1;

    template <class R>
    void Attach(R& Receiver) {
        Receiver.SetOnError(TmsMessageAvail([this](TObject*, std::string Msg) {
            Order.push_back("error");
            ErrorText = std::move(Msg);
        }));
        Receiver.SetOnBinError(TmsBinMessageAvail([this](TObject*, char* Data, int32_t Len) {
            Order.push_back("binerror");
            BinData = Data;
            BinLen = Len;
        }));
        if constexpr (requires { Receiver.SetOnDuplicated(TNotifyEvent()); })
            Receiver.SetOnDuplicated(
                TNotifyEvent([this](TObject*) { Order.push_back("duplicated"); }));
    }
    void Clear() {
        Order.clear();
        ErrorText.clear();
        BinData = nullptr;
        BinLen = -1;
    }
};

// A rejected frame is reported whole: OnError with its text up to the first zero, then
// OnBinError with the whole buffer.
void RequireReportedWhole(const Reports& R, const TMsgPtr& Msg, const std::string& Frame) {
    Require(R.Order == std::vector<std::string>({"error", "binerror"}));
    Require(R.ErrorText == std::string(Frame.c_str()));
    Require(R.BinData == Msg.Data && R.BinLen == static_cast<int32_t>(Frame.size()));
}

void RequireDelivered(const Reports& R, const TMsgPtr& Msg, int32_t Header,
                      const std::string& Frame) {
    Require(R.Order.empty());
    Require(Msg.Cur == Msg.Data + Header);
    Require(Msg.Len == static_cast<int32_t>(Frame.size()) - Header && Msg.Len >= 0);
}

// A buffer as the endpoint's read leaves it: Size + 1 zeroed bytes holding the frame.
bool Load(TzkCustomMailSlot& Receiver, TMsgPtr& Msg, const std::string& Frame) {
    if (!Receiver.AllocNext(Msg, static_cast<int32_t>(Frame.size()))) return false;
    if (!Frame.empty()) std::memcpy(Msg.Data, Frame.data(), Frame.size());
    return true;
}

struct Receivers {
    NoErrProbe NoErr{nullptr};
    SafeProbe Safe{nullptr};
    SecureProbe Secure{nullptr};
    Reports NoErrReports, SafeReports, SecureReports;
    std::optional<uint16_t> LastSerial;
    std::optional<std::string> LastHeader;

    Receivers() {
        NoErrReports.Attach(NoErr);
        SafeReports.Attach(Safe);
        SecureReports.Attach(Secure);
    }

    void Checked(const std::string& Frame) {
        TMsgPtr Msg;
        if (!Load(NoErr, Msg, Frame)) return;
        NoErrReports.Clear();
        const bool Valid = CheckedFrameValid(Frame.data(), static_cast<int32_t>(Frame.size()));
        Require(NoErr.AcceptChecked(Msg) == Valid);
        if (Valid)
            RequireDelivered(NoErrReports, Msg, CheckedHeaderSize, Frame);
        else
            RequireReportedWhole(NoErrReports, Msg, Frame);
        NoErr.FreeNext(Msg);
    }

    void SafeFrame(const std::string& Frame) {
        TMsgPtr Msg;
        if (!Load(Safe, Msg, Frame)) return;
        SafeReports.Clear();
        const auto Len = static_cast<int32_t>(Frame.size());
        const bool Valid =
            CheckedFrameValid(Frame.data(), Len) && Len >= CheckedHeaderSize + SafeSerialSize;
        const bool Accepted = Safe.AcceptChecked(Msg) && Safe.AcceptSerial(Msg);
        if (!Valid) {
            Require(!Accepted);
            RequireReportedWhole(SafeReports, Msg, Frame);
        } else if (LastSerial == ReadLE16(Frame.data() + CheckedHeaderSize)) {
            Require(!Accepted && SafeReports.Order == std::vector<std::string>({"duplicated"}));
        } else {
            Require(Accepted);
            RequireDelivered(SafeReports, Msg, CheckedHeaderSize + SafeSerialSize, Frame);
            LastSerial = ReadLE16(Frame.data() + CheckedHeaderSize);
        }
        Safe.FreeNext(Msg);
    }

    void SecureFrame(const std::string& Frame) {
        TMsgPtr Msg;
        if (!Load(Secure, Msg, Frame)) return;
        SecureReports.Clear();
        const bool Valid = SecureFrameValid(Frame.data(), static_cast<int32_t>(Frame.size()));
        const bool Accepted = Secure.AcceptSecure(Msg);
        if (!Valid) {
            Require(!Accepted);
            RequireReportedWhole(SecureReports, Msg, Frame);
        } else if (LastHeader == Frame.substr(0, SecureHeaderSize)) {
            Require(!Accepted && SecureReports.Order == std::vector<std::string>({"duplicated"}));
        } else {
            Require(Accepted);
            RequireDelivered(SecureReports, Msg, SecureHeaderSize, Frame);
            LastHeader = Frame.substr(0, SecureHeaderSize);
        }
        Secure.FreeNext(Msg);
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    FuzzedDataProvider In(Data, Size);
    Receivers Rx;
    std::string Previous;
    // Each step sends a new frame, or the previous one again, or the previous one with one byte
    // changed, so that repeats and corrupted repeats come up often.
    while (In.remaining_bytes() > 0) {
        std::string Frame;
        switch (In.ConsumeIntegralInRange<int>(0, 2)) {
            case 0:
                Frame = In.ConsumeRandomLengthString(MaxMessageSize);
                break;
            case 1:
                Frame = Previous;
                break;
            default:
                Frame = Previous;
                if (!Frame.empty())
                    Frame[In.ConsumeIntegralInRange<size_t>(0, Frame.size() - 1)] ^=
                        static_cast<char>(In.ConsumeIntegralInRange<int>(1, 255));
                break;
        }
        Rx.Checked(Frame);
        Rx.SafeFrame(Frame);
        Rx.SecureFrame(Frame);
        Previous = Frame;
    }
    return 0;
}
