#include "zk/host/platform/StagingQueue.h"

#include <mutex>

namespace zk::platform {

namespace {

std::mutex GBoundsLock;
TStageBounds GBounds;

}  // namespace

void SetStageBounds(TStageBounds Bounds) {
    std::lock_guard<std::mutex> lock(GBoundsLock);
    GBounds = Bounds;
}

TStageBounds StageBounds() {
    std::lock_guard<std::mutex> lock(GBoundsLock);
    return GBounds;
}

bool TStagingQueue::Admits(size_t Size) const {
    if (FMessages.empty()) return true;
    return FMessages.size() < FBounds.Messages && FBytes <= FBounds.Bytes &&
           Size <= FBounds.Bytes - FBytes;
}

void TStagingQueue::Push(std::string Message) {
    FBytes += Message.size();
    FMessages.push_back(std::move(Message));
}

void TStagingQueue::Pop() {
    FBytes -= FMessages.front().size();
    FMessages.pop_front();
}

}  // namespace zk::platform
