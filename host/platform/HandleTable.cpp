#include "zk/host/platform/HandleTable.h"

#include <mutex>
#include <unordered_map>

namespace zk::platform {

namespace {

// Never destroyed: wait threads of closed endpoints may still look a handle up while the program
// runs its static destructors on the way out.
std::mutex& GTableLock = *new std::mutex;
std::unordered_map<THandle, std::shared_ptr<THandleObject>>& GTable =
    *new std::unordered_map<THandle, std::shared_ptr<THandleObject>>;
// Starts well above small numbers so that a descriptor passed by mistake is never a handle.
THandle GNextHandle = 0x1000;

}  // namespace

THandle AddHandle(std::shared_ptr<THandleObject> Object) {
    std::lock_guard<std::mutex> lock(GTableLock);
    THandle h;
    do {
        h = GNextHandle++;
    } while (h == 0 || h == INVALID_HANDLE_VALUE || GTable.count(h) != 0);
    GTable.emplace(h, std::move(Object));
    return h;
}

std::shared_ptr<THandleObject> FindHandle(THandle Handle) {
    std::lock_guard<std::mutex> lock(GTableLock);
    auto it = GTable.find(Handle);
    return it == GTable.end() ? nullptr : it->second;
}

std::shared_ptr<THandleObject> TakeHandle(THandle Handle) {
    std::lock_guard<std::mutex> lock(GTableLock);
    auto it = GTable.find(Handle);
    if (it == GTable.end()) return nullptr;
    std::shared_ptr<THandleObject> obj = std::move(it->second);
    GTable.erase(it);
    return obj;
}

}  // namespace zk::platform
