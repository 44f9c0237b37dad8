#include "zk/mailslot/ZkLongMailList.h"

#include <algorithm>
#include <cstring>

#include "zk/host/win32/Windows.h"
#include "zk/mailslot/ZkFrames.h"

namespace zk {

using namespace win32;

int32_t TzkLongMailInfoList::IndexOf(int32_t Id) {
    uint32_t Now = GetTickCount();
    for (;;) {
        // One pass of the scan: the first entry of Id is refreshed, and the last of the stale
        // entries before it (before the end, when there is none) goes before the next pass.
        const int32_t Found = FirstIndex(Id);
        if (Found >= 0) Touch(Found, Now);
        const auto O = Oldest(Now);
        if (O == FByTick.end() || Now - O->first <= zkframes::StaleAfterMs) return Found;
        CollectStale(Now, Found < 0 ? UINT64_MAX : FList[static_cast<size_t>(Found)].Seq);
        if (FStale.empty()) return Found;
        // While the clock stands still, each following pass would find the same entries stale
        // but the one removed, so they go from the last on without looking again.
        uint32_t Next;
        do {
            DeleteMsg(IndexOfSeq(FStale.back()));
            FStale.pop_back();
            Next = GetTickCount();
        } while (Next == Now && !FStale.empty());
        Now = Next;
    }
}

void TzkLongMailInfoList::NewMsg(int32_t Id, const char* Buf, int32_t FragLen, int32_t Total) {
    if (Total < 0 || FragLen < 0 || FragLen > Total) return;
    auto E = std::make_unique<TzkLongMailInfo>();
    E->Msg.assign(static_cast<size_t>(Total) + 1, '\0');
    if (FragLen > 0) std::memcpy(E->Msg.data(), Buf, static_cast<size_t>(FragLen));
    E->Len = Total;
    E->Expected = Total - FragLen;
    E->Id = Id;
    E->Tick = GetTickCount();
    // Everything that allocates comes before the first change, so that a failure leaves the
    // list as it was: the index nodes are made aside, and the new entry's place is taken first.
    const uint64_t Seq = FNextSeq;
    FStale.reserve(FList.size() + 1);
    FById.reserve(FById.size() + 1);
    std::set<TTickKey> TickNode{TTickKey{E->Tick, Seq}};
    std::unordered_multimap<int32_t, uint64_t> IdNode{{Id, Seq}};
    FList.push_back(TSlot{nullptr, Seq});
    ++FNextSeq;
    while (FList.size() > 1 && FHeld + E->Msg.size() > LongMailHeldBytesMax)
        DeleteMsg(LeastRecentlyTouched());
    FHeld += E->Msg.size();
    FByTick.insert(TickNode.extract(TickNode.begin()));
    FById.insert(IdNode.extract(IdNode.begin()));
    FList.back().Info = std::move(E);
}

void TzkLongMailInfoList::AppendMsg(int32_t Id, const char* Buf, int32_t FragLen) {
    const int32_t i = IndexOf(Id);
    if (i < 0) return;
    TzkLongMailInfo& E = *FList[static_cast<size_t>(i)].Info;
    const int32_t Offset = E.Len - E.Expected;
    // Expected and Len can be set from outside; whatever they hold, nothing lands past Len.
    if (FragLen < 0 || FragLen > E.Expected || Offset < 0 || Offset + FragLen > E.Len) return;
    if (FragLen > 0) std::memcpy(E.Msg.data() + Offset, Buf, static_cast<size_t>(FragLen));
    E.Expected -= FragLen;
    E.Msg[static_cast<size_t>(E.Len - E.Expected)] = '\0';
}

void TzkLongMailInfoList::DeleteMsg(int32_t Index) {
    if (Index < 0 || Index >= Count()) return;
    const auto It = FList.begin() + Index;
    if (const TzkLongMailInfo* E = It->Info.get()) {
        FHeld -= E->Msg.size();
        FByTick.erase(TTickKey{E->Tick, It->Seq});
        const auto [From, To] = FById.equal_range(E->Id);
        for (auto I = From; I != To; ++I) {
            if (I->second == It->Seq) {
                FById.erase(I);
                break;
            }
        }
    }
    FList.erase(It);
}

void TzkLongMailInfoList::FreeMsg(int32_t Id) { DeleteMsg(IndexOf(Id)); }

char* TzkLongMailInfoList::GetMsg(int32_t Id) {
    const int32_t i = IndexOf(Id);
    return i < 0 ? nullptr : FList[static_cast<size_t>(i)].Info->Msg.data();
}

int32_t TzkLongMailInfoList::GetExpected(int32_t Id) {
    const int32_t i = IndexOf(Id);
    return i < 0 ? 0 : FList[static_cast<size_t>(i)].Info->Expected;
}

void TzkLongMailInfoList::SetExpected(int32_t Id, int32_t Value) {
    const int32_t i = IndexOf(Id);
    if (i >= 0) FList[static_cast<size_t>(i)].Info->Expected = Value;
}

int32_t TzkLongMailInfoList::GetLen(int32_t Id) {
    const int32_t i = IndexOf(Id);
    return i < 0 ? 0 : FList[static_cast<size_t>(i)].Info->Len;
}

void TzkLongMailInfoList::SetLen(int32_t Id, int32_t Value) {
    const int32_t i = IndexOf(Id);
    if (i < 0 || Value < 0) return;
    TzkLongMailInfo& E = *FList[static_cast<size_t>(i)].Info;
    const size_t Before = E.Msg.size();
    E.Msg.resize(static_cast<size_t>(Value) + 1, '\0');
    FHeld = FHeld - Before + E.Msg.size();
    E.Msg.back() = '\0';
    E.Len = Value;
}

size_t TzkLongMailInfoList::HeldBytes() const { return FHeld; }

int32_t TzkLongMailInfoList::LeastRecentlyTouched() const {
    const auto O = Oldest(GetTickCount());
    return O == FByTick.end() ? -1 : IndexOfSeq(O->second);
}

std::set<TzkLongMailInfoList::TTickKey>::const_iterator TzkLongMailInfoList::Oldest(
    uint32_t Now) const {
    // Age is Now - Tick in 32 bits, so a tick ahead of Now (the clock went back, or wrapped) is
    // older than any behind it: the oldest is the first tick after Now, else the first of all.
    const auto After = Now == UINT32_MAX ? FByTick.end() : FByTick.lower_bound({Now + 1, 0});
    return After == FByTick.end() ? FByTick.begin() : After;
}

int32_t TzkLongMailInfoList::FirstIndex(int32_t Id) const {
    const auto [From, To] = FById.equal_range(Id);
    if (From == To) return -1;
    uint64_t First = From->second;
    for (auto I = From; I != To; ++I) First = std::min(First, I->second);
    return IndexOfSeq(First);
}

int32_t TzkLongMailInfoList::IndexOfSeq(uint64_t Seq) const {
    const auto It = std::lower_bound(FList.begin(), FList.end(), Seq,
                                     [](const TSlot& S, uint64_t V) { return S.Seq < V; });
    return static_cast<int32_t>(It - FList.begin());
}

void TzkLongMailInfoList::Touch(int32_t Index, uint32_t Now) {
    TSlot& S = FList[static_cast<size_t>(Index)];
    if (S.Info->Tick == Now) return;
    auto Node = FByTick.extract(TTickKey{S.Info->Tick, S.Seq});
    Node.value().first = Now;
    FByTick.insert(std::move(Node));
    S.Info->Tick = Now;
}

void TzkLongMailInfoList::CollectStale(uint32_t Now, uint64_t Limit) {
    FStale.clear();
    // Oldest first, going round from the first tick after Now, until the first fresh one.
    const auto Take = [&](auto From, auto To) {
        for (auto I = From; I != To; ++I) {
            if (Now - I->first <= zkframes::StaleAfterMs) return false;
            if (I->second < Limit) FStale.push_back(I->second);
        }
        return true;
    };
    const auto After = Now == UINT32_MAX ? FByTick.end() : FByTick.lower_bound({Now + 1, 0});
    if (Take(After, FByTick.end())) Take(FByTick.begin(), After);
    std::sort(FStale.begin(), FStale.end());
}

int32_t FileLongMailFragment(TzkLongMailInfoList& List, const char* Payload, int32_t Len) {
    zkframes::FragmentHeader H;
    if (!zkframes::ParseFragment(Payload, Len, H)) return -1;
    const char* Bytes = Payload + zkframes::FragmentHeaderSize;
    const int32_t Count = Len - zkframes::FragmentHeaderSize;
    const int32_t Id = H.Id;
    const int32_t Remaining = H.Remaining;
    if (H.First && List.IndexOf(Id) < 0) {
        // A first fragment longer than the total it announces would overrun its own buffer.
        if (Count > Remaining) return -1;
        List.NewMsg(Id, Bytes, Count, Remaining);
    } else {
        // A lost or repeated predecessor, a fragment out of order or of a message not being
        // collected: its Remaining does not match what the entry expects.
        if (List.IndexOf(Id) < 0 || List.GetExpected(Id) != Remaining) return -1;
        if (Count > Remaining) return -1;
        List.AppendMsg(Id, Bytes, Count);
    }
    if (List.IndexOf(Id) < 0 || List.GetExpected(Id) != 0) return -1;
    return Id;
}

}  // namespace zk
