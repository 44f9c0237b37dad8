// Records, besides deliveries, what a framed receiver reports: rejected frames (as text and as
// bytes) and dropped repeats, all in one log in the order they fired.
#pragma once

#include <string>
#include <vector>

#include "tests/support/EventSpy.h"
#include "tests/support/Namespaces.h"

namespace zktest {

class FramedSpy : public EventSpy {
  public:
    std::vector<std::string> ErrorTexts;
    std::vector<std::string> ErrorFrames;

    void Error(TObject*, std::string Msg) {
        Log.push_back("error:" + Msg);
        ErrorTexts.push_back(std::move(Msg));
    }
    void BinError(TObject*, char* Data, int32_t Len) {
        Log.push_back("binerror:" + std::to_string(Len));
        ErrorFrames.emplace_back(Data, static_cast<size_t>(Len));
    }
    void Duplicated(TObject*) { Log.push_back("duplicated"); }

    // Binds the endpoint events and every error and duplicate event the receiver has.
    template <class R>
    void AttachFramed(R& Receiver) {
        Attach(Receiver);
        Receiver.SetOnError(TmsMessageAvail::Bind(this, &FramedSpy::Error));
        Receiver.SetOnBinError(TmsBinMessageAvail::Bind(this, &FramedSpy::BinError));
        if constexpr (requires { Receiver.SetOnDuplicated(TNotifyEvent()); })
            Receiver.SetOnDuplicated(TNotifyEvent::Bind(this, &FramedSpy::Duplicated));
    }
};

// The bytes of Values, as a string.
inline std::string Bytes(std::initializer_list<int> Values) {
    std::string S;
    for (int V : Values) S += static_cast<char>(V);
    return S;
}

}  // namespace zktest
