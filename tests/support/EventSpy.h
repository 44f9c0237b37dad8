// Records the events an endpoint fires, with their arguments, in the order they fired.
#pragma once

#include <string>
#include <vector>

#include "zk/mailslot/ZkEndpoint.h"
#include "tests/support/Namespaces.h"

namespace zktest {

class EventSpy : public TObject {
  public:
    std::vector<std::string> Log;  // "open", "close", "text:...", "bin:<len>", ...
    std::vector<std::string> Texts;
    std::vector<std::string> Binaries;
    std::vector<bool> BinOnMainThread;

    void Open(TObject*) { Log.push_back("open"); }
    void Close(TObject*) { Log.push_back("close"); }
    void Text(TObject*, std::string Msg) {
        Log.push_back("text:" + Msg);
        Texts.push_back(std::move(Msg));
    }
    void Bin(TObject*, char* Data, int32_t Len) {
        Log.push_back("bin:" + std::to_string(Len));
        Binaries.emplace_back(Data, static_cast<size_t>(Len));
        BinOnMainThread.push_back(IsMainThread());
    }

    // Binds every endpoint event to this spy.
    void Attach(TzkCustomMailSlot& E) {
        E.SetOnOpen(TNotifyEvent::Bind(this, &EventSpy::Open));
        E.SetOnClose(TNotifyEvent::Bind(this, &EventSpy::Close));
        E.SetOnMessageAvail(TmsMessageAvail::Bind(this, &EventSpy::Text));
        E.SetOnBinMessageAvail(TmsBinMessageAvail::Bind(this, &EventSpy::Bin));
    }
};

}  // namespace zktest
