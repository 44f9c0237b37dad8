#include "zk/mailslot/ZkEndpoint.h"

#include <cstring>
#include <new>
#include <vector>

#include "zk/host/win32/Windows.h"
#include "zk/mailslot/ZkFramed.h"

namespace zk {

using namespace win32;

using namespace rtl;

ZK_IMPLEMENT_CLASS(TzkCustomMailSlot, TComponent)

const TClassInfo& TzkMailSlot::StaticClass() {
    static const TClassInfo info = [] {
        TClassBuilder<TzkMailSlot> b("TzkMailSlot", &TzkCustomMailSlot::StaticClass());
        PublishSlotProps(b);
        PublishOpenCloseEvents(b);
        PublishMessageEvents(b);
        return b.Build();
    }();
    return info;
}

ZK_IMPLEMENT_CLASS(TzkAutoMailSlot, TzkMailSlot)
ZK_IMPLEMENT_CLASS(TzkMailSlotWaitThread, TThread)

TzkCustomMailSlot::TzkCustomMailSlot(TComponent* AOwner)
    : TComponent(AOwner), FServer("."), FSlot("zkMailSlot1") {
    Close();
}

TzkCustomMailSlot::~TzkCustomMailSlot() {
    if (FActive) {
        StopWatching();
        FActive = false;
    }
}

void TzkCustomMailSlot::DoOpen() {
    if (FOnOpen) FOnOpen(this);
}

void TzkCustomMailSlot::DoClose() {
    if (FOnClose) FOnClose(this);
}

void TzkCustomMailSlot::DoMessageAvail(std::string Msg) {
    if (FOnMessageAvail) FOnMessageAvail(this, std::move(Msg));
}

void TzkCustomMailSlot::DoBinMessageAvail(char* Data, int32_t Len) {
    if (FOnBinMessageAvail) FOnBinMessageAvail(this, Data, Len);
}

void TzkCustomMailSlot::PerformError(const std::string& Msg) { throw EzkMailSlot(Msg); }

void TzkCustomMailSlot::SetName(const std::string& NewName) {
    TComponent::SetName(NewName);
    if (!FSlotSet) FSlot = NewName;
}

void TzkCustomMailSlot::Loaded() {
    TComponent::Loaded();
    SetActive(FStreamedActive);
}

void TzkCustomMailSlot::SetActive(bool Value) {
    if (ComponentState().Contains(csReading)) {
        FStreamedActive = Value;
        return;
    }
    if (Value)
        Open();
    else
        Close();
}

void TzkCustomMailSlot::SetServer(const std::string& Value) {
    if (StrIComp(Value.c_str(), FServer.c_str()) == 0) return;
    FServer = Value;
    if (FActive) Open();
}

void TzkCustomMailSlot::SetSlot(const std::string& Value) {
    if (StrIComp(Value.c_str(), FSlot.c_str()) == 0) return;
    FSlotSet = true;
    FSlot = Value;
    if (FActive) Open();
}

void TzkCustomMailSlot::SetMaxSize(uint32_t Value) {
    if (Value == FMaxSize) return;
    FMaxSize = Value;
    if (FActive) Open();
}

void TzkCustomMailSlot::Open() {
    if (FActive) Close();
    std::string path = "\\\\" + FServer + "\\mailslot\\" + FSlot;
    if (ComponentState().Contains(csDesigning)) {
        FActive = true;
        return;
    }
    FHandle = CreateMailslotA(path.c_str(), FMaxSize, MAILSLOT_WAIT_FOREVER, nullptr);
    FActive = FHandle != INVALID_HANDLE_VALUE;
    if (FActive) {
        DoOpen();
        if (!FWaitThread) FWaitThread = new TzkMailSlotWaitThread(this);
        return;
    }
    switch (GetLastError()) {
        case ERROR_BAD_PATHNAME:
            PerformError("Bad mailslot name");
            break;
        case ERROR_ALREADY_EXISTS:
            PerformError("Mailslot already exists");
            break;
        default:
            PerformError("Cannot open mailslot");
            break;
    }
}

void TzkCustomMailSlot::StopWatching() {
    if (FWaitThread) {
        // The thread frees itself; a hand-over it still has queued sees the flag and does nothing.
        FWaitThread->Terminate();
        FWaitThread = nullptr;
    }
    if (FHandle != INVALID_HANDLE_VALUE) CloseHandle(FHandle);
    FHandle = INVALID_HANDLE_VALUE;
}

void TzkCustomMailSlot::Close() {
    if (!FActive) return;
    StopWatching();
    FActive = false;
    DoClose();
}

void TzkCustomMailSlot::UpdateSlotInfo() {
    if (!FActive) PerformError("Not active");
    if (!GetMailslotInfo(FHandle, nullptr, &FNextSize, &FWaiting, nullptr))
        PerformError("Error in GetMailSlotInfo");
}

uint32_t TzkCustomMailSlot::GetWaiting() {
    if (!FActive) return 0;
    UpdateSlotInfo();
    return FWaiting;
}

uint32_t TzkCustomMailSlot::GetNextSize() {
    UpdateSlotInfo();
    return FNextSize;
}

bool TzkCustomMailSlot::AllocNext(TMsgPtr& Msg, int32_t Size) {
    if (Size > MaxMessageSize || Size < 0) {
        Msg.Size = 0;
        return false;
    }
    // A buffer the record still holds is given back rather than lost.
    delete[] Msg.Data;
    Msg.Data = new (std::nothrow) char[static_cast<size_t>(Size) + 1];
    if (!Msg.Data) {
        Msg.Size = 0;
        return false;
    }
    std::memset(Msg.Data, 0, static_cast<size_t>(Size) + 1);
    Msg.Size = Size;
    Msg.Len = Size;
    Msg.Cur = Msg.Data;
    return true;
}

void TzkCustomMailSlot::FreeNext(TMsgPtr& Msg) {
    // Keyed on the buffer rather than on Size, so that the one byte of an empty message goes too.
    delete[] Msg.Data;
    Msg.Data = nullptr;
    Msg.Size = 0;
}

void TzkCustomMailSlot::DiscardNext() {
    std::vector<char> scratch(FNextSize);
    DWORD read = 0;
    ReadFile(FHandle, scratch.data(), FNextSize, &read, nullptr);
}

bool TzkCustomMailSlot::ReadNext(TMsgPtr& Msg) {
    UpdateSlotInfo();
    if (FWaiting == 0) PerformError("No messages waiting");
    FreeNext(Msg);
    if (FNextSize > static_cast<uint32_t>(MaxMessageSize) ||
        !AllocNext(Msg, static_cast<int32_t>(FNextSize))) {
        // Left in the slot it would be handed over again and again.
        DiscardNext();
        PerformError("Error reading message");
    }
    DWORD read = 0;
    bool ok = ReadFile(FHandle, Msg.Data, static_cast<DWORD>(Msg.Size), &read, nullptr);
    if (!ok || read != static_cast<DWORD>(Msg.Size)) PerformError("Error reading message");
    return true;
}

namespace {

// Gives a message buffer back through the virtual FreeNext however its delivery ends. FreeNext
// ignores failures of the release; should an override raise all the same after a delivery that
// went well, ReadMessage discards that like any other failure.
class TMsgRelease {
  public:
    TMsgRelease(TzkCustomMailSlot& Slot, TMsgPtr& Msg) : FSlot(Slot), FMsg(Msg) {}
    TMsgRelease(const TMsgRelease&) = delete;
    TMsgRelease& operator=(const TMsgRelease&) = delete;
    ~TMsgRelease() noexcept(false) { FSlot.FreeNext(FMsg); }

  private:
    TzkCustomMailSlot& FSlot;
    TMsgPtr& FMsg;
};

}  // namespace

void TzkCustomMailSlot::ReadMessage() {
    try {
        TMsgPtr msg;
        TMsgRelease release(*this, msg);
        if (ReadNext(msg)) {
            DoMessageAvail(zkframes::ViewText(msg));
            DoBinMessageAvail(msg.Cur, msg.Len);
        }
    } catch (const Exception&) {
        // Failures of reading and of handlers never stop delivery.
    }
}

TzkMailSlotWaitThread::TzkMailSlotWaitThread(TzkCustomMailSlot* AMailSlot)
    : TThread(true), FMailSlot(AMailSlot), FSlotHandle(INVALID_HANDLE_VALUE) {
    SetFreeOnTerminate(true);
    SetPriority(tpLowest);
    FSlotHandle = AMailSlot->FHandle;
    Resume();
}

void TzkMailSlotWaitThread::Execute() {
    while (!Terminated()) {
        DWORD nextSize = 0;
        DWORD count = 0;
        if (!GetMailslotInfo(FSlotHandle, nullptr, &nextSize, &count, nullptr)) count = 0;
        if (count > 0) {
            Synchronize([this] { SignalMsgReady(); });
        } else {
            Sleep(10);
            DWORD read = 0;
            // Waits while the slot is empty and takes nothing.
            ReadFile(FSlotHandle, nullptr, 0, &read, nullptr);
        }
    }
}

void TzkMailSlotWaitThread::SignalMsgReady() {
    if (!Terminated()) FMailSlot->ReadMessage();
}

}  // namespace zk
