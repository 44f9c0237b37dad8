// The unified diffs of --dry-run, line for line as GNU diff -u prints them below its header.
#include <gtest/gtest.h>

#include "zk/formfile/Diff.h"
#include "tests/support/Namespaces.h"

namespace {

const std::string kOld = "a\nb\nc\nd\ne\nf\ng\nh\ni\nj\nk\nl\nm\nn\no\np\n";

std::string Replaced(std::string Text, const std::string& From, const std::string& To) {
    return Text.replace(Text.find(From), From.size(), To);
}

TEST(DiffTest, HunksKeepThreeLinesOfContextAndJoinWhenClose) {
    struct Case {
        const char* Name;
        std::string Old, New, Hunks;
    } cases[] = {
        {"equal", kOld, kOld, ""},
        {"far apart", kOld, Replaced(Replaced(kOld, "\nb\n", "\nB\n"), "\no\n", "\nO\n"),
         "@@ -1,5 +1,5 @@\n a\n-b\n+B\n c\n d\n e\n"
         "@@ -12,5 +12,5 @@\n l\n m\n n\n-o\n+O\n p\n"},
        {"close", kOld, Replaced(Replaced(kOld, "\ne\n", "\nE\n"), "\ni\n", "\nI\n"),
         "@@ -2,11 +2,11 @@\n b\n c\n d\n-e\n+E\n f\n g\n h\n-i\n+I\n j\n k\n l\n"},
        {"inserted and removed", kOld,
         Replaced(Replaced(kOld, "\nc\n", "\nc\nc2\n"), "\nm\n", "\n"),
         "@@ -1,6 +1,7 @@\n a\n b\n c\n+c2\n d\n e\n f\n"
         "@@ -10,7 +11,6 @@\n j\n k\n l\n-m\n n\n o\n p\n"},
        {"line ends kept, last line open", "x\r\ny\r\nz", "x\r\nY\r\nz",
         "@@ -1,3 +1,3 @@\n x\r\n-y\r\n+Y\r\n z\n\\ No newline at end of file\n"},
        {"from nothing", "", "a\nb\n", "@@ -0,0 +1,2 @@\n+a\n+b\n"},
        {"to nothing", "a\nb\n", "", "@@ -1,2 +0,0 @@\n-a\n-b\n"},
    };
    for (const Case& c : cases) {
        std::string header = c.Hunks.empty() ? "" : "--- a/F.dfm\n+++ b/F.dfm\n";
        EXPECT_EQ(UnifiedDiff("F.dfm", c.Old, c.New), header + c.Hunks) << c.Name;
    }
}

}  // namespace
