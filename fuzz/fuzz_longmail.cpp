// Long-mail reassembly and the popup receiver under arbitrary input, in three modes chosen by the
// first byte:
//   0  arbitrary fragments, lookups and list operations on a clock that jumps; checks that every
//      entry keeps its buffer consistent and that the held bytes stay within the bound;
//   1  a few messages cut into fragments and delivered in an order the input picks (with losses,
//      repeats and foreign fragments); a model of "the next fragment expected" says when each
//      message must complete, and a completed message must equal what was sent;
//   2  popup frames: the splitter and the receiver on raw bytes, and OEM round trips.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "zk/host/win32/CodePage.h"
#include "zk/mailslot/ZkFrames.h"
#include "zk/mailslot/ZkLongMailList.h"
#include "zk/mailslot/Zkmailslot.h"
#include "tests/support/ManualClock.h"
#include "tests/support/Namespaces.h"

namespace {

using namespace zkframes;

void Require(bool Holds) {
    if (!Holds) __builtin_trap();
}

TManualClock& Clock() {
    static TManualClock clock;
    static const bool installed = (SetClock(&clock), true);
    (void)installed;
    return clock;
}

// Files Bytes from a heap copy of exactly their size, so ASan sees any read past them.
int32_t File(TzkLongMailInfoList& List, const std::string& Bytes) {
    const std::vector<char> Copy(Bytes.begin(), Bytes.end());
    return FileLongMailFragment(List, Copy.data(), static_cast<int32_t>(Copy.size()));
}

std::string Header(uint16_t IdWord, uint16_t Remaining) {
    std::string H(4, '\0');
    H[0] = static_cast<char>(IdWord & 0xFF);
    H[1] = static_cast<char>(IdWord >> 8);
    H[2] = static_cast<char>(Remaining & 0xFF);
    H[3] = static_cast<char>(Remaining >> 8);
    return H;
}

// Every entry's buffer matches its Len and ends in a zero byte where filing stopped.
void CheckEntries(const TzkLongMailInfoList& List, bool ExpectedUntouched) {
    for (int32_t i = 0; i < List.Count(); ++i) {
        const TzkLongMailInfo& E = List.Entry(i);
        Require(E.Len >= 0 && E.Msg.size() == static_cast<size_t>(E.Len) + 1);
        Require(E.Msg.back() == '\0');
        if (ExpectedUntouched) {
            Require(E.Expected >= 0 && E.Expected <= E.Len);
            Require(E.Msg[static_cast<size_t>(E.Len - E.Expected)] == '\0');
        }
    }
}

void ArbitraryOperations(FuzzedDataProvider& In) {
    TzkLongMailInfoList List;
    bool Untouched = true;  // no Expected or Len was set from outside
    while (In.remaining_bytes() > 0) {
        Clock().Advance(In.ConsumeIntegralInRange<uint32_t>(0, 4000));
        // Ids from a small range, so that fragments meet entries.
        const uint16_t IdWord = In.ConsumeIntegral<uint16_t>() & 0x800F;
        switch (In.ConsumeIntegralInRange<int>(0, 7)) {
            case 0:
            case 1:
            case 2: {
                const uint16_t Remaining = In.ConsumeIntegral<uint16_t>();
                const std::string Body = In.ConsumeRandomLengthString(800);
                const int32_t Done = File(List, Header(IdWord, Remaining) + Body);
                if (Done >= 0) {
                    Require(List.GetExpected(Done) == 0 && List.GetMsg(Done) != nullptr);
                    List.FreeMsg(Done);
                }
                break;
            }
            case 3:
                File(List, In.ConsumeRandomLengthString(8));
                break;
            case 4:
                List.IndexOf(IdWord & FragmentIdMask);
                break;
            case 5:
                List.DeleteMsg(In.ConsumeIntegralInRange<int32_t>(-2, List.Count() + 1));
                break;
            case 6:
                List.SetExpected(IdWord & FragmentIdMask, In.ConsumeIntegral<int32_t>());
                Untouched = false;
                break;
            case 7:
                List.SetLen(IdWord & FragmentIdMask, In.ConsumeIntegralInRange<int32_t>(-5, 70000));
                Untouched = false;
                break;
        }
        CheckEntries(List, Untouched);
        // The running total is the sum of the buffers, whatever the operations did.
        size_t Held = 0;
        for (int32_t i = 0; i < List.Count(); ++i) Held += List.Entry(i).Msg.size();
        Require(List.HeldBytes() == Held);
        if (Untouched) Require(List.HeldBytes() <= LongMailHeldBytesMax);
    }
}

struct Sent {
    uint16_t Id;
    std::string Msg;
    int32_t Fragments;
    int32_t Next = 0;  // the fragment the list must accept next
};

void InterleavedMessages(FuzzedDataProvider& In) {
    TzkLongMailInfoList List;
    std::vector<Sent> Msgs;
    const int Count = In.ConsumeIntegralInRange<int>(1, 4);
    for (int i = 0; i < Count; ++i) {
        std::string M = In.ConsumeRandomLengthString(3000);
        if (M.empty()) M = "x";
        const int32_t Len = static_cast<int32_t>(M.size());
        Msgs.push_back({static_cast<uint16_t>(i), M, FragmentCount(Len)});
    }
    // Without time passing nothing goes stale, and the few entries stay far below the bound.
    for (int step = 0; step < 400 && In.remaining_bytes() > 0; ++step) {
        const int Pick = In.ConsumeIntegralInRange<int>(0, Count);
        if (Pick == Count) {
            // A foreign fragment: any bytes, under an id no message uses.
            const uint16_t IdWord =
                static_cast<uint16_t>((In.ConsumeIntegral<uint16_t>() & 0x803F) | 0x0010);
            const uint16_t Remaining = In.ConsumeIntegralInRange<uint16_t>(0, 800);
            const int32_t Done =
                File(List, Header(IdWord, Remaining) + In.ConsumeRandomLengthString(400));
            if (Done >= 0) {
                Require(Done >= 0x10);
                List.FreeMsg(Done);
            }
            continue;
        }
        Sent& S = Msgs[static_cast<size_t>(Pick)];
        // Mostly the fragment that is due, sometimes one before or after it.
        int32_t K = S.Next + In.ConsumeIntegralInRange<int32_t>(-1, 1) *
                                 In.ConsumeIntegralInRange<int32_t>(0, 1);
        K = K < 0 ? 0 : (K >= S.Fragments ? S.Fragments - 1 : K);
        const int32_t Done =
            File(List, EncodeFragment(S.Id, S.Msg.data(), static_cast<int32_t>(S.Msg.size()), K));
        if (K != S.Next) {
            Require(Done < 0);
            continue;
        }
        ++S.Next;
        if (S.Next < S.Fragments) {
            Require(Done < 0);
            continue;
        }
        Require(Done == S.Id);
        Require(List.GetLen(S.Id) == static_cast<int32_t>(S.Msg.size()));
        Require(std::memcmp(List.GetMsg(S.Id), S.Msg.data(), S.Msg.size()) == 0);
        Require(List.GetMsg(S.Id)[S.Msg.size()] == '\0');
        List.FreeMsg(S.Id);
        S.Next = 0;
    }
    CheckEntries(List, true);
}

void Popups(FuzzedDataProvider& In) {
    TzkWinPopup Popup(nullptr);
    size_t FrameLen = 0;
    std::string Fields[3];
    int Fired = 0;
    Popup.SetOnMessage(TwpMessage([&](TObject*, std::string To, std::string From, std::string Msg) {
        Require(To.size() + From.size() + Msg.size() <= FrameLen);
        Fields[0] = std::move(From);
        Fields[1] = std::move(To);
        Fields[2] = std::move(Msg);
        ++Fired;
    }));
    while (In.remaining_bytes() > 0) {
        Clock().Advance(2000);
        if (In.ConsumeBool()) {
            std::string Raw = In.ConsumeRandomLengthString(600);
            std::vector<char> Copy(Raw.begin(), Raw.end());
            FrameLen = Copy.size();
            const PopupFields F = SplitPopup(Copy.data(), static_cast<int32_t>(Copy.size()));
            Require(F.Sender.size() + F.Receiver.size() + F.Text.size() <= FrameLen);
            Popup.DoBinMessageAvail(Copy.data(), static_cast<int32_t>(Copy.size()));
            continue;
        }
        // Fields without zero bytes travel in the OEM page and come back in the same lengths,
        // ASCII unchanged.
        std::string Parts[3];
        for (std::string& P : Parts) {
            P = In.ConsumeRandomLengthString(100);
            P.erase(std::remove(P.begin(), P.end(), '\0'), P.end());
            CharToOemA(P.c_str(), P.data());
        }
        const std::string Frame = EncodePopup(Parts[0], Parts[1], Parts[2]);
        std::vector<char> Copy(Frame.begin(), Frame.end());
        FrameLen = Copy.size();
        const int Before = Fired;
        Popup.DoBinMessageAvail(Copy.data(), static_cast<int32_t>(Copy.size()));
        Require(Fired == Before + 1);
        for (int i = 0; i < 3; ++i) {
            Require(Fields[i].size() == Parts[i].size());
            for (size_t c = 0; c < Parts[i].size(); ++c)
                if (static_cast<unsigned char>(Parts[i][c]) < 0x80)
                    Require(Fields[i][c] == Parts[i][c]);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size) {
    FuzzedDataProvider In(Data, Size);
    Clock();
    switch (In.ConsumeIntegralInRange<int>(0, 2)) {
        case 0:
            ArbitraryOperations(In);
            break;
        case 1:
            InterleavedMessages(In);
            break;
        case 2:
            Popups(In);
            break;
    }
    return 0;
}
