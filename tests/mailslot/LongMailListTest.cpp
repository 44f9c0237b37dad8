// The reassembly list and the filing of fragments, on a manual clock: lookups with their purge
// of stale entries, the bound on held bytes, and which fragments are filed or dropped.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "zk/mailslot/ZkFrames.h"
#include "zk/mailslot/ZkLongMailList.h"
#include "tests/support/ManualClock.h"
#include "tests/support/Namespaces.h"

namespace {

using zkframes::EncodeFragment;

class LongMailListTest : public ::testing::Test {
  protected:
    TManualClock FClock{10000};
    TClockScope FScope{FClock};
    TzkLongMailInfoList FList;

    void New(int32_t Id, const std::string& Bytes, int32_t Total) {
        FList.NewMsg(Id, Bytes.data(), static_cast<int32_t>(Bytes.size()), Total);
    }
    // Files a fragment from a buffer of exactly its size; the completed id or -1.
    int32_t File(const std::string& Fragment) {
        const std::vector<char> Copy(Fragment.begin(), Fragment.end());
        return FileLongMailFragment(FList, Copy.data(), static_cast<int32_t>(Copy.size()));
    }
    // The completed message of Id as the list holds it, Len bytes and the zero behind them.
    std::string Collected(int32_t Id) {
        const char* Msg = FList.GetMsg(Id);
        return Msg ? std::string(Msg, static_cast<size_t>(FList.GetLen(Id)) + 1) : "<none>";
    }
    static std::string Message(int32_t Len) {
        std::string M;
        for (int32_t i = 0; i < Len; ++i) M += static_cast<char>('a' + i % 26);
        return M;
    }
    static std::string Fragment(uint16_t Id, const std::string& Msg, int32_t Index) {
        return EncodeFragment(Id, Msg.data(), static_cast<int32_t>(Msg.size()), Index);
    }
    // A fragment header with any Id word and Remaining, then Bytes.
    static std::string RawFragment(uint16_t IdWord, uint16_t Remaining, const std::string& Bytes) {
        std::string F;
        F += static_cast<char>(IdWord & 0xFF);
        F += static_cast<char>(IdWord >> 8);
        F += static_cast<char>(Remaining & 0xFF);
        F += static_cast<char>(Remaining >> 8);
        return F + Bytes;
    }
};

}  // namespace

TEST_F(LongMailListTest, EntriesCollectBytesAtTheirFinalPositions) {
    New(5, "abc", 7);
    EXPECT_EQ(FList.GetLen(5), 7);
    EXPECT_EQ(FList.GetExpected(5), 4);
    EXPECT_EQ(Collected(5), std::string("abc\0\0\0\0\0", 8));
    FList.AppendMsg(5, "de", 2);
    EXPECT_EQ(FList.GetExpected(5), 2);
    FList.AppendMsg(5, "fg", 2);
    EXPECT_EQ(FList.GetExpected(5), 0);
    EXPECT_EQ(Collected(5), std::string("abcdefg\0", 8));
    FList.FreeMsg(5);
    EXPECT_EQ(FList.Count(), 0);
}

TEST_F(LongMailListTest, AbsentIdsGiveZeroAndNullAndChangeNothing) {
    New(1, "x", 3);
    EXPECT_EQ(FList.IndexOf(2), -1);
    EXPECT_EQ(FList.GetMsg(2), nullptr);
    EXPECT_EQ(FList.GetExpected(2), 0);
    EXPECT_EQ(FList.GetLen(2), 0);
    FList.SetExpected(2, 9);
    FList.SetLen(2, 9);
    FList.AppendMsg(2, "y", 1);
    FList.FreeMsg(2);
    FList.DeleteMsg(-1);
    FList.DeleteMsg(1);
    ASSERT_EQ(FList.Count(), 1);
    EXPECT_EQ(FList.GetExpected(1), 2);
    EXPECT_EQ(FList.GetLen(1), 3);
}

TEST_F(LongMailListTest, NothingIsEverWrittenPastLen) {
    New(1, "abcd", 3);  // more bytes than the total: refused
    New(2, "a", -1);
    EXPECT_EQ(FList.Count(), 0);
    New(3, "ab", 4);
    FList.AppendMsg(3, "cde", 3);  // longer than expected: refused
    EXPECT_EQ(FList.GetExpected(3), 2);
    FList.SetExpected(3, 9);  // more than the buffer holds: appends are refused
    FList.AppendMsg(3, "c", 1);
    EXPECT_EQ(FList.GetExpected(3), 9);
    FList.SetExpected(3, 2);
    FList.SetLen(3, 6);  // the buffer grows with Len, the received bytes stay
    EXPECT_EQ(Collected(3), std::string("ab\0\0\0\0\0", 7));
    FList.SetExpected(3, 4);
    FList.AppendMsg(3, "cdef", 4);
    EXPECT_EQ(Collected(3), std::string("abcdef\0", 7));
    FList.SetLen(3, 1);
    EXPECT_EQ(Collected(3), std::string("a\0", 2));
}

TEST_F(LongMailListTest, LookupRefreshesTheEntryItFindsAndPurgesStaleOnesBeforeIt) {
    New(1, "a", 5);
    New(2, "b", 5);
    New(3, "c", 5);
    FClock.Advance(1500);
    EXPECT_EQ(FList.IndexOf(2), 1);
    FClock.Advance(600);  // 1 and 3 are 2100 ms old, 2 only 600
    EXPECT_EQ(FList.IndexOf(3), 1);
    EXPECT_EQ(FList.Count(), 2);
    EXPECT_EQ(FList.IndexOf(1), -1);
    EXPECT_EQ(FList.IndexOf(2), 0);
    FClock.Advance(2000);  // exactly 2000 ms is not yet stale
    EXPECT_EQ(FList.IndexOf(7), -1);
    EXPECT_EQ(FList.Count(), 2);
    FClock.Advance(1);
    EXPECT_EQ(FList.IndexOf(7), -1);
    EXPECT_EQ(FList.Count(), 0);
}

TEST_F(LongMailListTest, EntriesBehindTheOneFoundAreNotExamined) {
    New(1, "a", 5);
    New(2, "b", 5);
    New(3, "c", 5);
    FClock.Advance(2500);
    EXPECT_EQ(FList.IndexOf(1), 0);
    EXPECT_EQ(FList.Count(), 3);
    EXPECT_EQ(FList.IndexOf(2), 1);  // 1 was just refreshed
    EXPECT_EQ(FList.IndexOf(3), 2);
    EXPECT_EQ(FList.Count(), 3);
}

TEST_F(LongMailListTest, HeldBytesStayBoundedByDroppingTheLeastRecentlyTouched) {
    // 256 entries of the largest announced size fill the bound exactly.
    for (int32_t id = 0; id < 256; ++id) {
        New(id, "x", 65535);
        FClock.Advance(1);
    }
    EXPECT_EQ(FList.HeldBytes(), LongMailHeldBytesMax);
    EXPECT_EQ(FList.IndexOf(0), 0);  // touched: 1 is now the least recently touched
    New(1000, "y", 65535);
    EXPECT_EQ(FList.Count(), 256);
    EXPECT_EQ(FList.IndexOf(1), -1);
    EXPECT_EQ(FList.IndexOf(0), 0);
    EXPECT_EQ(FList.IndexOf(2), 1);
    EXPECT_EQ(FList.IndexOf(1000), 255);
    EXPECT_LE(FList.HeldBytes(), LongMailHeldBytesMax);
    // A small message that still fits takes nothing away.
    FList.FreeMsg(3);
    New(1001, "z", 100);
    EXPECT_EQ(FList.Count(), 256);
}

TEST_F(LongMailListTest, FragmentsOfOneMessageAreFiledInOrder) {
    const std::string Msg = Message(1000);
    EXPECT_EQ(Fragment(0x1234, Msg, 0).substr(0, 4), std::string("\x34\x92\xE8\x03", 4));
    EXPECT_EQ(File(Fragment(0x1234, Msg, 0)), -1);
    EXPECT_EQ(FList.GetExpected(0x1234), 606);
    EXPECT_EQ(File(Fragment(0x1234, Msg, 1)), -1);
    EXPECT_EQ(FList.GetExpected(0x1234), 212);
    EXPECT_EQ(File(Fragment(0x1234, Msg, 2)), 0x1234);
    EXPECT_EQ(Collected(0x1234), Msg + '\0');
}

TEST_F(LongMailListTest, OneFragmentMessagesCompleteAtOnceAndAgain) {
    const std::string Msg = Message(394);
    EXPECT_EQ(File(Fragment(7, Msg, 0)), 7);
    EXPECT_EQ(Collected(7), Msg + '\0');
    FList.FreeMsg(7);
    EXPECT_EQ(File(Fragment(7, Msg, 0)), 7);
}

TEST_F(LongMailListTest, InterleavedMessagesCompleteSeparately) {
    const std::string A = Message(800);
    const std::string B(395, 'B');
    EXPECT_EQ(File(Fragment(1, A, 0)), -1);
    EXPECT_EQ(File(Fragment(2, B, 0)), -1);
    EXPECT_EQ(File(Fragment(1, A, 1)), -1);
    EXPECT_EQ(File(Fragment(2, B, 1)), 2);
    EXPECT_EQ(File(Fragment(1, A, 2)), 1);
    EXPECT_EQ(Collected(1), A + '\0');
    EXPECT_EQ(Collected(2), B + '\0');
}

TEST_F(LongMailListTest, LostMiddleFragmentStopsTheMessageUntilItIsPurged) {
    const std::string Msg = Message(1500);  // four fragments
    File(Fragment(9, Msg, 0));
    FClock.Advance(1500);
    File(Fragment(9, Msg, 2));
    EXPECT_EQ(File(Fragment(9, Msg, 3)), -1);
    EXPECT_EQ(FList.GetExpected(9), 1500 - 394);
    // The dropped fragments still refreshed the entry.
    FClock.Advance(1500);
    EXPECT_EQ(FList.IndexOf(4), -1);
    EXPECT_EQ(FList.Count(), 1);
    FClock.Advance(2001);
    EXPECT_EQ(File(Fragment(4, Message(10), 0)), 4);
    EXPECT_EQ(FList.IndexOf(9), -1);
    EXPECT_EQ(FList.Count(), 1);
}

TEST_F(LongMailListTest, RepeatedFragmentsAreDropped) {
    const std::string Msg = Message(1000);
    File(Fragment(3, Msg, 0));
    EXPECT_EQ(File(Fragment(3, Msg, 0)), -1);  // a second first fragment: Remaining is the total
    EXPECT_EQ(FList.GetExpected(3), 606);
    File(Fragment(3, Msg, 1));
    EXPECT_EQ(File(Fragment(3, Msg, 1)), -1);
    EXPECT_EQ(FList.GetExpected(3), 212);
    EXPECT_EQ(File(Fragment(3, Msg, 2)), 3);
    FList.FreeMsg(3);
    EXPECT_EQ(File(Fragment(3, Msg, 2)), -1);  // the last again: nothing collects it any more
    EXPECT_EQ(FList.Count(), 0);
}

TEST_F(LongMailListTest, MalformedFragmentsAreDroppedWithoutAnEntry) {
    EXPECT_EQ(File(RawFragment(0x8001, 5, "")), -1);      // header only
    EXPECT_EQ(File(std::string("\x01\x80\x05", 3)), -1);  // not even a header
    EXPECT_EQ(File(RawFragment(0x0002, 3, "abc")), -1);   // continuation of nothing
    EXPECT_EQ(File(RawFragment(0x8003, 2, "abc")), -1);   // longer than it announces
    EXPECT_EQ(File(RawFragment(0x8004, 0, "a")), -1);
    EXPECT_EQ(FList.Count(), 0);
    EXPECT_EQ(File(RawFragment(0x8005, 5, "ab")), -1);
    EXPECT_EQ(File(RawFragment(0x0005, 3, "abcd")), -1);  // longer than still expected
    EXPECT_EQ(FList.GetExpected(5), 3);
    EXPECT_EQ(File(RawFragment(0x0005, 3, "cde")), 5);
    EXPECT_EQ(Collected(5), std::string("abcde\0", 6));
}

namespace {

// The lookup and the bound as plain scans over a vector, to hold the list to: which entries are
// purged, in which order, which one is dropped for room, and the ticks left behind.
struct ScanModel {
    struct Item {
        int32_t Id;
        uint32_t Tick;
        size_t Bytes;
    };
    std::vector<Item> Items;
    size_t Held = 0;

    int32_t IndexOf(int32_t Id, uint32_t Now) {
        for (;;) {
            int32_t Found = -1, Stale = -1;
            for (int32_t i = 0; i < static_cast<int32_t>(Items.size()); ++i) {
                if (Items[i].Id == Id) {
                    Items[i].Tick = Now;
                    Found = i;
                    break;
                }
                if (Now - Items[i].Tick > 2000) Stale = i;
            }
            if (Stale < 0) return Found;
            Delete(Stale);
        }
    }
    void New(int32_t Id, int32_t Total, uint32_t Now) {
        const size_t Bytes = static_cast<size_t>(Total) + 1;
        while (!Items.empty() && Held + Bytes > LongMailHeldBytesMax) {
            int32_t Oldest = 0;
            for (int32_t i = 1; i < static_cast<int32_t>(Items.size()); ++i)
                if (Now - Items[i].Tick > Now - Items[Oldest].Tick) Oldest = i;
            Delete(Oldest);
        }
        Held += Bytes;
        Items.push_back({Id, Now, Bytes});
    }
    void Delete(int32_t i) {
        Held -= Items[i].Bytes;
        Items.erase(Items.begin() + i);
    }
};

}  // namespace

TEST_F(LongMailListTest, LookupsPurgeAndDropExactlyAsAScanWouldWhereverTheClockGoes) {
    // Clocks that go forward, stand still, go back, and run over the 32-bit end.
    for (const uint32_t Start : {10000u, 500u, 0xFFFFF000u}) {
        FClock.Set(Start);
        TzkLongMailInfoList List;
        ScanModel Model;
        uint32_t Seed = Start;
        const auto Next = [&](uint32_t N) {
            Seed = Seed * 1103515245u + 12345u;
            return (Seed >> 8) % N;
        };
        for (int Step = 0; Step < 20000; ++Step) {
            switch (Next(8)) {
                case 0:
                    FClock.Advance(Next(900));
                    break;
                case 1:
                    FClock.Set(FClock.TickCount() - Next(3000));
                    break;
                default:
                    break;
            }
            const uint32_t Now = FClock.TickCount();
            const int32_t Id = static_cast<int32_t>(Next(40));
            if (Next(3) == 0) {
                // Mostly small messages; now and then the largest, so that the bound is met.
                const int32_t Total = Next(10) == 0 ? 65535 : static_cast<int32_t>(1 + Next(2000));
                List.NewMsg(Id, "x", 1, Total);
                Model.New(Id, Total, Now);
            } else {
                ASSERT_EQ(List.IndexOf(Id), Model.IndexOf(Id, Now)) << Start << " step " << Step;
            }
            ASSERT_EQ(List.Count(), static_cast<int32_t>(Model.Items.size())) << Step;
            ASSERT_EQ(List.HeldBytes(), Model.Held) << Step;
            for (int32_t i = 0; i < List.Count(); ++i) {
                ASSERT_EQ(List.Entry(i).Id, Model.Items[i].Id) << Step;
                ASSERT_EQ(List.Entry(i).Tick, Model.Items[i].Tick) << Step;
            }
        }
    }
}
