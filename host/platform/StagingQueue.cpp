#include "host/platform/StagingQueue.h"

namespace zk::platform {

bool TStagingQueue::Admits(size_t Size) const {
    if (FMessages.empty()) return true;
    return FMessages.size() < kStageMaxMessages && FBytes <= kStageMaxBytes &&
           Size <= kStageMaxBytes - FBytes;
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
