// The reader's in-process queue of messages already taken from a slot socket. The kernel does
// not count datagrams, so the reader moves them here to report an exact count and next size.
// The queue is bounded: while it is full nobody takes datagrams out of the socket, the kernel's
// queue fills, and writers wait (back-pressure) instead of the reader growing without limit.
#pragma once

#include <cstddef>
#include <deque>
#include <string>

namespace zk::platform {

// At most this many payload bytes are staged (a single larger message is still admitted into
// an empty queue, so any message the kernel carried can be read).
constexpr size_t kStageMaxBytes = 4u * 1024u * 1024u;
// At most this many messages are staged; zero-length messages count too.
constexpr size_t kStageMaxMessages = 65536;

// The bounds of one queue.
struct TStageBounds {
    size_t Messages = kStageMaxMessages;
    size_t Bytes = kStageMaxBytes;
};

// Test seam: queues made from now on get Bounds instead of the constants above.
void SetStageBounds(TStageBounds Bounds);
TStageBounds StageBounds();

class TStagingQueue {
  public:
    explicit TStagingQueue(TStageBounds Bounds = StageBounds()) : FBounds(Bounds) {}
    // True when a message of Size bytes may be staged now.
    bool Admits(size_t Size) const;
    void Push(std::string Message);
    // The oldest message; only when not Empty.
    const std::string& Front() const { return FMessages.front(); }
    void Pop();
    bool Empty() const { return FMessages.empty(); }
    size_t Count() const { return FMessages.size(); }
    size_t Bytes() const { return FBytes; }

  private:
    const TStageBounds FBounds;
    std::deque<std::string> FMessages;
    size_t FBytes = 0;
};

}  // namespace zk::platform
