// The receiving endpoint: a component that owns one local mailslot, watches it from a
// low-priority wait thread and delivers each message on the main thread, first as text
// (OnMessageAvail) and then as bytes (OnBinMessageAvail). The framed formats derive from it.
#pragma once

#include <cstdint>
#include <string>

#include "zk/Export.h"
#include "zk/host/rtl/Classes.h"
#include "zk/host/rtl/Events.h"
#include "zk/host/rtl/Threads.h"
#include "zk/host/rtl/TypInfo.h"
#include "zk/host/win32/Windows.h"

namespace zk {

// A message buffer: Data holds Size + 1 zero-filled bytes (Size 0 and Data null: no buffer);
// Cur and Len are the payload view, which formats narrow to strip their headers.
struct TMsgPtr {
    int32_t Size = 0;
    char* Data = nullptr;
    int32_t Len = 0;
    char* Cur = nullptr;
};

// Every failure the endpoint detects, with a fixed English text.
class ZK_EXPORT EzkMailSlot : public rtl::Exception {
  public:
    using Exception::Exception;
};

using TmsMessageAvail = rtl::TEvent<rtl::TObject*, std::string>;
using TmsBinMessageAvail = rtl::TEvent<rtl::TObject*, char*, int32_t>;

// Largest message an endpoint accepts (AllocNext).
constexpr int32_t MaxMessageSize = 65532;

class TzkMailSlotWaitThread;

class ZK_EXPORT TzkCustomMailSlot : public rtl::TComponent {
    ZK_CLASS(TzkCustomMailSlot)
  public:
    // Closed, Server ".", Slot "zkMailSlot1", MaxSize 0.
    explicit TzkCustomMailSlot(TComponent* AOwner);
    // An open endpoint is closed (without OnClose): its wait thread stops and no hand-over
    // reaches it any more.
    ~TzkCustomMailSlot() override;

    // Virtual operations, in slot order.
    virtual void DoOpen();
    virtual void DoClose();
    virtual void DoMessageAvail(std::string Msg);
    virtual void DoBinMessageAvail(char* Data, int32_t Len);
    // Raises EzkMailSlot with Msg.
    virtual void PerformError(const std::string& Msg);
    // Takes the next waiting message into Msg (Cur = Data, Len = Size = its length).
    virtual bool ReadNext(TMsgPtr& Msg);
    // Releases the buffer of Msg, once.
    virtual void FreeNext(TMsgPtr& Msg);
    // Closes an open slot, then creates the slot and starts the wait thread.
    virtual void Open();
    // Stops the wait thread and closes the slot; fires OnClose.
    virtual void Close();

    void SetName(const std::string& NewName) override;
    void Loaded() override;

    bool Active() const { return FActive; }
    // Opens or closes; while being read from a stored form only records the value.
    void SetActive(bool Value);
    const std::string& Server() const { return FServer; }
    void SetServer(const std::string& Value);
    const std::string& Slot() const { return FSlot; }
    void SetSlot(const std::string& Value);
    uint32_t MaxSize() const { return FMaxSize; }
    void SetMaxSize(uint32_t Value);
    // Slot was given a name of its own: it no longer follows the component's name.
    bool SlotSet() const { return FSlotSet; }

    // Waiting messages; 0 when not active.
    uint32_t GetWaiting();
    // Size of the next waiting message; raises "Not active" when closed.
    uint32_t GetNextSize();
    // Refreshes the waiting count and next size from the slot.
    void UpdateSlotInfo();
    // Gives Msg a zeroed buffer of Size + 1 bytes; false (Size 0) above 65,532 or on failure.
    bool AllocNext(TMsgPtr& Msg, int32_t Size);
    // Reads one message and fires the two events; every Exception on the way is discarded.
    void ReadMessage();

    const rtl::TNotifyEvent& OnOpen() const { return FOnOpen; }
    void SetOnOpen(rtl::TNotifyEvent Value) { FOnOpen = std::move(Value); }
    const rtl::TNotifyEvent& OnClose() const { return FOnClose; }
    void SetOnClose(rtl::TNotifyEvent Value) { FOnClose = std::move(Value); }
    const TmsMessageAvail& OnMessageAvail() const { return FOnMessageAvail; }
    void SetOnMessageAvail(TmsMessageAvail Value) { FOnMessageAvail = std::move(Value); }
    const TmsBinMessageAvail& OnBinMessageAvail() const { return FOnBinMessageAvail; }
    void SetOnBinMessageAvail(TmsBinMessageAvail Value) { FOnBinMessageAvail = std::move(Value); }

  protected:
    bool FStreamedActive = false;
    bool FActive = false;
    win32::THandle FHandle = win32::INVALID_HANDLE_VALUE;
    uint32_t FMaxSize = 0;
    std::string FServer;
    std::string FSlot;
    uint32_t FWaiting = 0;
    uint32_t FNextSize = 0;
    rtl::TNotifyEvent FOnOpen;
    rtl::TNotifyEvent FOnClose;
    TmsMessageAvail FOnMessageAvail;
    TmsBinMessageAvail FOnBinMessageAvail;
    bool FSlotSet = false;
    TzkMailSlotWaitThread* FWaitThread = nullptr;

  private:
    friend class TzkMailSlotWaitThread;
    void StopWatching();
    // Takes a message that no buffer may hold out of the slot.
    void DiscardNext();
};

// The endpoint with its properties published.
class ZK_EXPORT TzkMailSlot : public TzkCustomMailSlot {
    ZK_CLASS(TzkMailSlot)
  public:
    using TzkCustomMailSlot::TzkCustomMailSlot;
};

// The same endpoint under a second class name.
class ZK_EXPORT TzkAutoMailSlot : public TzkMailSlot {
    ZK_CLASS(TzkAutoMailSlot)
  public:
    using TzkMailSlot::TzkMailSlot;
};

// Watches one slot handle and hands each waiting message to the main thread. It frees itself
// when its loop ends, which is at its first look at the stop flag after the endpoint closed.
class ZK_EXPORT TzkMailSlotWaitThread : public rtl::TThread {
    ZK_CLASS(TzkMailSlotWaitThread)
  public:
    explicit TzkMailSlotWaitThread(TzkCustomMailSlot* AMailSlot);

  protected:
    void Execute() override;

  private:
    // On the main thread: delivers one message, unless the endpoint closed in the meantime.
    void SignalMsgReady();

    TzkCustomMailSlot* FMailSlot;
    win32::THandle FSlotHandle;
};

// Publishes the endpoint properties Active, Server, Slot and MaxSize, in this order.
template <class C>
rtl::TClassBuilder<C>& PublishSlotProps(rtl::TClassBuilder<C>& B) {
    return B.Bool("Active", &C::Active, &C::SetActive, false)
        .Str("Server", &C::Server, &C::SetServer, [](C&) { return true; })
        .Str("Slot", &C::Slot, &C::SetSlot, [](C& c) { return c.SlotSet(); })
        .Ord("MaxSize", rtl::TypeInfo_Cardinal(), &C::MaxSize, &C::SetMaxSize, 0);
}

// Publishes OnOpen and OnClose.
template <class C>
rtl::TClassBuilder<C>& PublishOpenCloseEvents(rtl::TClassBuilder<C>& B) {
    return B.Event("OnOpen", &C::OnOpen, &C::SetOnOpen)
        .Event("OnClose", &C::OnClose, &C::SetOnClose);
}

// Publishes OnMessageAvail and OnBinMessageAvail.
template <class C>
rtl::TClassBuilder<C>& PublishMessageEvents(rtl::TClassBuilder<C>& B) {
    return B.Event("OnMessageAvail", &C::OnMessageAvail, &C::SetOnMessageAvail)
        .Event("OnBinMessageAvail", &C::OnBinMessageAvail, &C::SetOnBinMessageAvail);
}

}  // namespace zk
