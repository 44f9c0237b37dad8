// Reassembly of long mail: the list of messages being collected, one entry per message id, and
// the rule that files each received fragment into it. Free of I/O; time comes from the host
// clock (GetTickCount), so the staleness rule is tested with a manual clock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

namespace zk {

// Unfinished messages together hold at most this many bytes: room for 256 messages of the
// largest size (65,535 announced bytes plus the terminating zero) from as many senders at once.
// A first fragment that would pass it makes room by dropping the least recently touched entries.
inline constexpr size_t LongMailHeldBytesMax = 16u * 1024u * 1024u;

// One message being collected. The first Len - Expected bytes of Msg are the bytes received so
// far, each at its final position; Msg has Len + 1 bytes and is zero behind the last byte filed.
struct TzkLongMailInfo {
    std::vector<char> Msg;
    int32_t Len = 0;       // total length, announced by the first fragment
    int32_t Expected = 0;  // bytes still to come; 0 when complete
    int32_t Id = 0;        // the 15-bit message id
    uint32_t Tick = 0;     // tick count at creation or at the last lookup that found it
};

// The entries in the order their first fragments arrived; owns them and their buffers. Every
// operation taking an Id (except NewMsg) looks it up with IndexOf, which refreshes the entry
// found and purges stale ones.
class TzkLongMailInfoList {
  public:
    TzkLongMailInfoList() = default;
    TzkLongMailInfoList(const TzkLongMailInfoList&) = delete;
    TzkLongMailInfoList& operator=(const TzkLongMailInfoList&) = delete;

    // Index of the entry of Id, or -1. Sets that entry's Tick to now. Entries before it (all, when
    // Id is absent) not looked up for more than 2000 ms are removed first, so the index returned
    // is valid after the removals; entries behind it are not examined.
    int32_t IndexOf(int32_t Id);
    // Appends an entry for Id of Total bytes whose first FragLen bytes are those at Buf. Nothing
    // happens for a negative length or FragLen > Total. When the held bytes would pass
    // LongMailHeldBytesMax, the entries with the oldest Tick go first. Allocation failure raises
    // std::bad_alloc and leaves the list as it was.
    void NewMsg(int32_t Id, const char* Buf, int32_t FragLen, int32_t Total);
    // Files FragLen bytes at Buf behind the bytes received for Id and lowers Expected by FragLen.
    // Nothing happens when there is no entry or the bytes do not fit into what it still expects.
    void AppendMsg(int32_t Id, const char* Buf, int32_t FragLen);
    // Removes the entry at Index with its buffer; nothing when Index is outside the list.
    void DeleteMsg(int32_t Index);
    // DeleteMsg(IndexOf(Id)).
    void FreeMsg(int32_t Id);
    // The entry's buffer (Len + 1 bytes, owned by the list), or null when there is none.
    char* GetMsg(int32_t Id);
    // The entry's Expected, or 0 when there is none.
    int32_t GetExpected(int32_t Id);
    // Sets the entry's Expected; nothing when there is none.
    void SetExpected(int32_t Id, int32_t Value);
    // The entry's Len, or 0 when there is none.
    int32_t GetLen(int32_t Id);
    // Sets the entry's Len, resizing its buffer to Value + 1 bytes (received bytes kept) so the
    // buffer always matches Len; nothing when there is none or Value is negative.
    void SetLen(int32_t Id, int32_t Value);

    // Number of entries, the entry at Index (0 <= Index < Count()) and the bytes their buffers
    // hold; none of them looks anything up, so ticks stay as they are.
    int32_t Count() const { return static_cast<int32_t>(FList.size()); }
    const TzkLongMailInfo& Entry(int32_t Index) const {
        return *FList[static_cast<size_t>(Index)].Info;
    }
    size_t HeldBytes() const;

  private:
    // An entry and its place in arrival order: Seq grows with every entry made, so the list is
    // sorted by it and an entry's index is found by binary search however many went before.
    struct TSlot {
        std::unique_ptr<TzkLongMailInfo> Info;
        uint64_t Seq = 0;
    };
    using TTickKey = std::pair<uint32_t, uint64_t>;  // Tick, Seq

    // Index of the entry whose Tick is oldest (the first of equals); -1 for an empty list.
    int32_t LeastRecentlyTouched() const;
    // The entry that is oldest as seen at Now (the first of equals), or the end of FByTick.
    std::set<TTickKey>::const_iterator Oldest(uint32_t Now) const;
    // Index of the first entry of Id (the one a scan from the front meets), or -1.
    int32_t FirstIndex(int32_t Id) const;
    int32_t IndexOfSeq(uint64_t Seq) const;
    void Touch(int32_t Index, uint32_t Now);
    // Fills FStale with the entries before Limit (a Seq) that are stale at Now, in list order.
    void CollectStale(uint32_t Now, uint64_t Limit);

    // The lookups index the same entries the scans of the rules walk, so that filing a fragment
    // does not cost a walk of the whole list: by id, and by tick for the stale and the least
    // recently touched. A deque, because the entries dropped are mostly the first ones.
    std::deque<TSlot> FList;
    std::unordered_multimap<int32_t, uint64_t> FById;
    std::set<TTickKey> FByTick;
    uint64_t FNextSeq = 0;
    // Room for every entry, reserved while an entry is made, so that a lookup never allocates.
    std::vector<uint64_t> FStale;
    // The bytes all entries' buffers hold, kept as entries come, go and resize, so that filing a
    // first fragment does not walk the list once more.
    size_t FHeld = 0;
};

// Files one long-mail fragment (its 4-byte header and payload, the checksum already stripped)
// into List and returns the id of the message it completed, which is then in List with Expected
// 0, or -1. Dropped without a trace: fragments of 4 bytes or fewer; a continuation (or a repeated
// first fragment) whose id is not collected or whose Remaining differs from the entry's Expected;
// a fragment carrying more bytes than its Remaining. Allocation failure raises std::bad_alloc.
int32_t FileLongMailFragment(TzkLongMailInfoList& List, const char* Payload, int32_t Len);

}  // namespace zk
