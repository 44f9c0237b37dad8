// The process's one I/O thread for slots. A slot's owner may be busy for seconds (a long event
// handler, or sending to its own slot from the thread that reads it), so the slot cannot wait for
// its reader to empty the socket: the kernel holds only a few datagrams and writers would stall.
// The pump waits with epoll on the socket of every open slot and moves datagrams into the slot's
// staging queue as they arrive, up to the queue's bound. A slot whose queue is full leaves the
// epoll set, so its kernel queue fills and writers meet back-pressure; it rejoins once a read
// makes room.
//
// The pump starts with the first slot a process creates and is never destroyed: like the handle
// table, it may still be in use while the program runs its static destructors. It holds a
// reference to each slot it watches until the slot's Close forgets it, so a slot's descriptors
// never close while the pump may still use them.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "zk/host/platform/ErrorCodes.h"
#include "zk/host/platform/SlotSocket.h"

namespace zk::platform {

class TSlot;

class TSlotPump {
  public:
    // The running pump, started on the first call; null with Error set when it cannot start (a
    // later call tries again).
    static TSlotPump* Get(DWORD& Error);

    // Starts watching Fd, the socket of Slot, under Id (unique for the life of the process).
    DWORD Add(uint64_t Id, int Fd, std::shared_ptr<TSlot> Slot);
    // Puts Fd back into the epoll set (after a full queue made room), or takes it out.
    DWORD Watch(uint64_t Id, int Fd);
    DWORD Unwatch(int Fd);
    // Drops the pump's reference to slot Id; its events that are already collected find nothing.
    void Forget(uint64_t Id);

    // A new slot id; never 0, never repeated.
    static uint64_t NewId();

  private:
    explicit TSlotPump(int EpollFd) : FEpoll(EpollFd) {}
    void Run();
    std::shared_ptr<TSlot> Find(uint64_t Id);

    TFd FEpoll;
    std::mutex FLock;
    std::unordered_map<uint64_t, std::shared_ptr<TSlot>> FSlots;
};

}  // namespace zk::platform
