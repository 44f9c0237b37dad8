#include "mailslot/ZkLongMailList.h"

#include <cstring>

#include "host/win32/Windows.h"
#include "mailslot/ZkFrames.h"

namespace zk {

using namespace win32;

int32_t TzkLongMailInfoList::IndexOf(int32_t Id) {
    for (;;) {
        const uint32_t Now = GetTickCount();
        int32_t Found = -1;
        int32_t Stale = -1;
        for (int32_t i = 0; i < Count(); ++i) {
            TzkLongMailInfo& E = *FList[static_cast<size_t>(i)];
            if (E.Id == Id) {
                E.Tick = Now;
                Found = i;
                break;
            }
            if (Now - E.Tick > zkframes::StaleAfterMs) Stale = i;
        }
        if (Stale < 0) return Found;
        // Removing moves the entries behind it, so the lookup starts over.
        DeleteMsg(Stale);
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
    FList.reserve(FList.size() + 1);
    while (!FList.empty() && FHeld + E->Msg.size() > LongMailHeldBytesMax)
        DeleteMsg(LeastRecentlyTouched());
    FHeld += E->Msg.size();
    FList.push_back(std::move(E));
}

void TzkLongMailInfoList::AppendMsg(int32_t Id, const char* Buf, int32_t FragLen) {
    const int32_t i = IndexOf(Id);
    if (i < 0) return;
    TzkLongMailInfo& E = *FList[static_cast<size_t>(i)];
    const int32_t Offset = E.Len - E.Expected;
    // Expected and Len can be set from outside; whatever they hold, nothing lands past Len.
    if (FragLen < 0 || FragLen > E.Expected || Offset < 0 || Offset + FragLen > E.Len) return;
    if (FragLen > 0) std::memcpy(E.Msg.data() + Offset, Buf, static_cast<size_t>(FragLen));
    E.Expected -= FragLen;
    E.Msg[static_cast<size_t>(E.Len - E.Expected)] = '\0';
}

void TzkLongMailInfoList::DeleteMsg(int32_t Index) {
    if (Index < 0 || Index >= Count()) return;
    FHeld -= FList[static_cast<size_t>(Index)]->Msg.size();
    FList.erase(FList.begin() + Index);
}

void TzkLongMailInfoList::FreeMsg(int32_t Id) { DeleteMsg(IndexOf(Id)); }

char* TzkLongMailInfoList::GetMsg(int32_t Id) {
    const int32_t i = IndexOf(Id);
    return i < 0 ? nullptr : FList[static_cast<size_t>(i)]->Msg.data();
}

int32_t TzkLongMailInfoList::GetExpected(int32_t Id) {
    const int32_t i = IndexOf(Id);
    return i < 0 ? 0 : FList[static_cast<size_t>(i)]->Expected;
}

void TzkLongMailInfoList::SetExpected(int32_t Id, int32_t Value) {
    const int32_t i = IndexOf(Id);
    if (i >= 0) FList[static_cast<size_t>(i)]->Expected = Value;
}

int32_t TzkLongMailInfoList::GetLen(int32_t Id) {
    const int32_t i = IndexOf(Id);
    return i < 0 ? 0 : FList[static_cast<size_t>(i)]->Len;
}

void TzkLongMailInfoList::SetLen(int32_t Id, int32_t Value) {
    const int32_t i = IndexOf(Id);
    if (i < 0 || Value < 0) return;
    TzkLongMailInfo& E = *FList[static_cast<size_t>(i)];
    const size_t Before = E.Msg.size();
    E.Msg.resize(static_cast<size_t>(Value) + 1, '\0');
    FHeld = FHeld - Before + E.Msg.size();
    E.Msg.back() = '\0';
    E.Len = Value;
}

size_t TzkLongMailInfoList::HeldBytes() const { return FHeld; }

int32_t TzkLongMailInfoList::LeastRecentlyTouched() const {
    const uint32_t Now = GetTickCount();
    int32_t Oldest = -1;
    uint32_t OldestAge = 0;
    for (int32_t i = 0; i < Count(); ++i) {
        const uint32_t Age = Now - FList[static_cast<size_t>(i)]->Tick;
        if (Oldest < 0 || Age > OldestAge) {
            Oldest = i;
            OldestAge = Age;
        }
    }
    return Oldest;
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
