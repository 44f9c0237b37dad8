// Slot paths, the file names that stand for them, the size sidecar's text and the bounds of the
// reader's staging queue: the parts of the convention that other programs must reproduce.
#include <gtest/gtest.h>

#include <string>

#include "zk/host/platform/SlotPath.h"
#include "zk/host/platform/StagingQueue.h"
#include "tests/support/Namespaces.h"

using namespace zk::platform;

TEST(SlotPathParse, SplitsServerAndName) {
    TSlotPath p;
    ASSERT_TRUE(ParseSlotPath("\\\\.\\mailslot\\HS", p));
    EXPECT_EQ(p.Server, ".");
    EXPECT_EQ(p.Name, "HS");
    ASSERT_TRUE(ParseSlotPath("\\\\Box7\\MailSlot\\a\\b", p));
    EXPECT_EQ(p.Server, "Box7");
    EXPECT_EQ(p.Name, "a\\b");
    ASSERT_TRUE(ParseSlotPath("\\\\*\\MAILSLOT\\x", p));
    EXPECT_EQ(p.Server, "*");
}

TEST(SlotPathParse, RefusesOtherForms) {
    TSlotPath p;
    for (const char* bad :
         {"", "\\\\.\\mailslot\\", "\\\\.\\mailslot", "\\\\\\mailslot\\x", "\\.\\mailslot\\x",
          "\\\\.\\mailslots\\x", "\\\\.\\pipe\\x", "//./mailslot/x", "\\\\.\\mailslo\\x", "HS"})
        EXPECT_FALSE(ParseSlotPath(bad, p)) << bad;
}

TEST(SlotPathLocal, DotAndHostNameInAnyCaseAreLocal) {
    EXPECT_TRUE(IsLocalServer(".", "build-host"));
    EXPECT_TRUE(IsLocalServer("BUILD-Host", "build-host"));
    EXPECT_FALSE(IsLocalServer("build-host2", "build-host"));
    EXPECT_FALSE(IsLocalServer("*", "build-host"));
    EXPECT_FALSE(IsLocalServer("", ""));
    EXPECT_FALSE(IsLocalServer("..", "build-host"));
}

TEST(SlotNameEncoding, FoldsCaseAndEscapesEverythingElse) {
    EXPECT_EQ(EncodeSlotName("HS"), "hs");
    EXPECT_EQ(EncodeSlotName("zkMailSlot1"), "zkmailslot1");
    EXPECT_EQ(EncodeSlotName("a_b-9"), "a_b-9");
    EXPECT_EQ(EncodeSlotName("My Slot"), "my%20slot");
    EXPECT_EQ(EncodeSlotName("a/b"), "a%2Fb");
    EXPECT_EQ(EncodeSlotName(".."), "%2E%2E");
    EXPECT_EQ(EncodeSlotName("dir\\Sub"), "dir%5Csub");
    EXPECT_EQ(EncodeSlotName("100%"), "100%25");
    EXPECT_EQ(EncodeSlotName("caf\xC9"), "caf%C9");
    EXPECT_EQ(EncodeSlotName(std::string("a\x01z", 3)), "a%01z");
}

TEST(SlotNameEncoding, NamesDifferingOnlyInCaseShareOneFile) {
    EXPECT_EQ(SlotSocketPath("/d", "Messngr"), SlotSocketPath("/d", "MESSNGR"));
}

TEST(SlotFiles, SocketPathMustFitSocketAddress) {
    const std::string dir = "/d";  // with '/', 3 characters before the name
    EXPECT_EQ(SlotSocketPath(dir, std::string(104, 'n')), "/d/" + std::string(104, 'n'));
    EXPECT_EQ(SlotSocketPath(dir, std::string(105, 'n')), "");  // 108 would leave no zero byte
    EXPECT_EQ(SlotSocketPath(dir, std::string(35, '.')), "");   // escaping triples the length
}

TEST(SlotFiles, SidecarAndLockNamesCannotBeSlotNames) {
    EXPECT_EQ(SlotMaxSizePath("/d/hs"), "/d/hs.max");
    EXPECT_EQ(SlotLockPath("/d"), "/d/.lock");
    EXPECT_EQ(EncodeSlotName("hs.max"), "hs%2Emax");
    EXPECT_EQ(EncodeSlotName(".lock"), "%2Elock");
}

TEST(SlotFiles, MaxSizeSidecarText) {
    EXPECT_EQ(FormatMaxSize(424), "424\n");
    uint32_t size = 0;
    ASSERT_TRUE(ParseMaxSize("424\n", size));
    EXPECT_EQ(size, 424u);
    ASSERT_TRUE(ParseMaxSize("4294967295", size));
    EXPECT_EQ(size, 4294967295u);
    for (const char* bad : {"", "\n", "-1", "0x10", " 5", "5 6", "4294967296", "12a"})
        EXPECT_FALSE(ParseMaxSize(bad, size)) << bad;
}

TEST(StagingQueue, CountsBytesAndKeepsOrder) {
    TStagingQueue q;
    q.Push("abc");
    q.Push("");
    q.Push(std::string("x\0y", 3));
    EXPECT_EQ(q.Count(), 3u);
    EXPECT_EQ(q.Bytes(), 6u);
    EXPECT_EQ(q.Front(), "abc");
    q.Pop();
    EXPECT_EQ(q.Front(), "");
    q.Pop();
    EXPECT_EQ(q.Front(), std::string("x\0y", 3));
    q.Pop();
    EXPECT_TRUE(q.Empty());
    EXPECT_EQ(q.Bytes(), 0u);
}

TEST(StagingQueue, StopsAtByteBoundButAlwaysTakesOneMessage) {
    static_assert(kStageMaxBytes == 4194304 && kStageMaxMessages == 65536);
    TStagingQueue q;
    EXPECT_TRUE(q.Admits(kStageMaxBytes + 1));  // an empty queue never blocks the reader
    q.Push(std::string(kStageMaxBytes - 10, 'a'));
    EXPECT_TRUE(q.Admits(10));
    EXPECT_FALSE(q.Admits(11));
    q.Push(std::string(10, 'b'));
    EXPECT_FALSE(q.Admits(1));
    EXPECT_TRUE(q.Admits(0));  // adds no payload; only the message bound applies
}

TEST(StagingQueue, StopsAtMessageBound) {
    TStagingQueue q;
    for (size_t i = 0; i + 1 < kStageMaxMessages; ++i) q.Push("");
    EXPECT_TRUE(q.Admits(0));
    q.Push("");
    EXPECT_FALSE(q.Admits(0));
    q.Pop();
    EXPECT_TRUE(q.Admits(0));
}
