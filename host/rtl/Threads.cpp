#include "zk/host/rtl/Threads.h"

#include <chrono>
#include <deque>

#include "zk/host/platform/ThreadPriority.h"
#include "zk/host/rtl/TypInfo.h"

namespace zk::rtl {

using namespace zk::platform;

ZK_IMPLEMENT_CLASS(TThread, TObject)

namespace {

const std::thread::id gMainThreadId = std::this_thread::get_id();

struct QueuedCall {
    std::function<void()> Method;
    bool Done = false;
};

// Never destroyed: a self-freeing thread may still hand over while the program exits.
std::mutex& gQueueLock = *new std::mutex;
std::condition_variable& gQueued = *new std::condition_variable;    // a call was queued
std::condition_variable& gFinished = *new std::condition_variable;  // a queued call has run
std::deque<QueuedCall*>& gQueue = *new std::deque<QueuedCall*>;
std::function<void()>& gWake = *new std::function<void()>;  // under gQueueLock

int NiceFor(TThreadPriority p) {
    switch (p) {
        case tpIdle:
            return 19;
        case tpLowest:
            return 10;
        case tpLower:
            return 5;
        default:
            return 0;
    }
}

}  // namespace

bool IsMainThread() { return std::this_thread::get_id() == gMainThreadId; }

TThread::TThread(bool CreateSuspended) : FCreateSuspended(CreateSuspended) {}

void TThread::AfterConstruction() {
    if (!FCreateSuspended) Resume();
}

TThread::~TThread() {
    if (FThread.joinable()) {
        Terminate();
        FThread.join();
    }
}

void TThread::Resume() {
    if (FStarted) return;
    FStarted = true;
    // A self-freeing thread may be gone before this returns, so decide before starting it.
    bool detach = FFreeOnTerminate;
    std::thread t([this] { Run(); });
    if (detach)
        t.detach();
    else
        FThread = std::move(t);
}

void TThread::Run() {
    FNativeId.store(platform::CurrentThreadId());
    platform::SetThreadNice(FNativeId.load(), NiceFor(FPriority));
    Execute();
    if (FFreeOnTerminate) {
        delete this;
    }
}

void TThread::SetPriority(TThreadPriority Value) {
    FPriority = Value;
    if (int id = FNativeId.load()) platform::SetThreadNice(id, NiceFor(Value));
}

void TThread::WaitFor() {
    if (FThread.joinable()) FThread.join();
}

void TThread::Synchronize(const std::function<void()>& Method) {
    if (IsMainThread()) {
        Method();
        return;
    }
    QueuedCall call{Method};
    std::unique_lock<std::mutex> lock(gQueueLock);
    gQueue.push_back(&call);
    gQueued.notify_all();
    if (gWake) gWake();
    gFinished.wait(lock, [&] { return call.Done; });
}

bool CheckSynchronize(int TimeoutMs) {
    std::unique_lock<std::mutex> lock(gQueueLock);
    if (gQueue.empty() && TimeoutMs > 0)
        gQueued.wait_for(lock, std::chrono::milliseconds(TimeoutMs),
                         [] { return !gQueue.empty(); });
    bool ran = false;
    while (!gQueue.empty()) {
        QueuedCall* call = gQueue.front();
        gQueue.pop_front();
        lock.unlock();
        // The caller's exceptions must not leave the waiting thread blocked forever.
        try {
            call->Method();
        } catch (...) {
            lock.lock();
            call->Done = true;
            gFinished.notify_all();
            throw;
        }
        lock.lock();
        call->Done = true;
        gFinished.notify_all();
        ran = true;
    }
    return ran;
}

void SetWakeMainThread(std::function<void()> Wake) {
    std::lock_guard<std::mutex> lock(gQueueLock);
    gWake = std::move(Wake);
}

}  // namespace zk::rtl
