// Threads the way the component library knows them: created suspended, optionally freeing
// themselves, and handing work to the main thread with Synchronize.
//
// A program that owns endpoints runs its main loop on the main thread and keeps calling
// CheckSynchronize (with a time-out, so it sleeps while there is nothing to do): every event of
// an endpoint fires inside that call. Modal forms run the same loop while they are shown.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "zk/Export.h"
#include "zk/host/rtl/Classes.h"

namespace zk::rtl {

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class ZK_EXPORT TThread : public TObject {
    ZK_CLASS(TThread)
  public:
    // Never starts the thread: Execute would run before the derived part exists. A thread
    // created suspended starts on Resume; one created running starts on AfterConstruction,
    // which its creator calls once the object is whole (Create does both steps).
    explicit TThread(bool CreateSuspended);
    // A thread that does not free itself is asked to terminate and waited for.
    ~TThread() override;

    void Resume();
    // Starts a thread that was created running; nothing for one created suspended.
    void AfterConstruction();
    // A new T from Args, started unless it was created suspended. A thread that frees itself
    // may be gone by the time this returns.
    template <class T, class... TArgs>
    static T* Create(TArgs&&... Args) {
        T* Thread = new T(std::forward<TArgs>(Args)...);
        Thread->AfterConstruction();
        return Thread;
    }
    // Only sets the flag that Execute tests; never waits.
    void Terminate() { FTerminated.store(true); }
    bool Terminated() const { return FTerminated.load(); }
    bool FreeOnTerminate() const { return FFreeOnTerminate; }
    void SetFreeOnTerminate(bool Value) { FFreeOnTerminate = Value; }
    TThreadPriority Priority() const { return FPriority; }
    // Takes effect when the thread starts, or at once when it already runs.
    void SetPriority(TThreadPriority Value);
    // Waits until Execute has returned. Not for threads that free themselves.
    void WaitFor();

  protected:
    virtual void Execute() = 0;
    // Runs Method on the main thread and returns once it has run there. Runs it directly when
    // called on the main thread. A call still queued when the thread is terminated on the main
    // thread still runs; callers that must not act after termination test Terminated() in it.
    void Synchronize(const std::function<void()>& Method);

  private:
    void Run();

    std::thread FThread;
    std::atomic<bool> FTerminated{false};
    bool FFreeOnTerminate = false;
    bool FCreateSuspended;
    bool FStarted = false;
    std::atomic<int> FNativeId{0};
    TThreadPriority FPriority = tpNormal;
};

// Runs the calls that other threads queued with Synchronize, on the calling (main) thread. Waits
// up to TimeoutMs for the first one when none is queued (0: do not wait). True when any ran.
ZK_EXPORT bool CheckSynchronize(int TimeoutMs = 0);

// Installs Wake (or nothing, for an empty function), called on the queuing thread each time
// Synchronize queues a call, so that a main loop blocked elsewhere (a widget set's event loop)
// can come back and call CheckSynchronize. It runs under the queue's lock: it must only signal.
ZK_EXPORT void SetWakeMainThread(std::function<void()> Wake);

// True on the program's main thread.
ZK_EXPORT bool IsMainThread();

}  // namespace zk::rtl
