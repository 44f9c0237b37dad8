#include "tests/support/Namespaces.h"
#include "zk/words/_stl_wrd.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>
#include <string>

namespace {

std::string Replaced(std::string Text, const std::string& OldWord, const std::string& NewWord) {
    pr_STL_ReplaceWord(Text, OldWord, NewWord);
    return Text;
}

std::string Upper(std::string Text) {
    pr_STL_UpperCaseWord(Text);
    return Text;
}

// The replacement rule taken literally: find the first occurrence in a freshly upper-cased copy,
// replace it, start again at the beginning. Empty when the text would pass 254 characters.
std::optional<std::string> RestartingReference(std::string Text, const std::string& OldWord,
                                               const std::string& NewWord) {
    const std::string UpperOld = Upper(OldWord);
    for (;;) {
        const std::size_t At = Upper(Text).find(UpperOld);
        if (At == std::string::npos) return Text;
        Text.replace(At, OldWord.size(), NewWord);
        if (Text.size() > 254) return std::nullopt;
    }
}

TEST(ReplaceWord, ReplacesEveryOccurrenceIgnoringCase) {
    EXPECT_EQ(Replaced("One one ONE", "one", "two"), "two two two");
    EXPECT_EQ(Replaced("One one ONE", "ONE", "Two"), "Two Two Two");
    EXPECT_EQ(Replaced("a-b", "-", ""), "ab");
    EXPECT_EQ(Replaced("xyz", "q", "r"), "xyz");
    EXPECT_EQ(Replaced("", "q", "r"), "");
    EXPECT_EQ(Replaced("abc", "", "r"), "abc");
    // Bytes outside ASCII are compared as they are.
    EXPECT_EQ(Replaced("\xE4\xC4", "\xE4", "a"), "a\xC4");
}

TEST(ReplaceWord, RestartsSoJoinedOccurrencesAreReplacedToo) {
    EXPECT_EQ(Replaced("aabb", "ab", "a"), "aa");
    EXPECT_EQ(Replaced("aaab", "ab", "b"), "b");
    EXPECT_EQ(Replaced("xAaBbY", "ab", ""), "xY");
    // Cascades that stay within 254 characters are followed to their end: a^80 b walks the b to
    // the front, and a^7 b doubles the b's for every a.
    EXPECT_EQ(Replaced(std::string(80, 'a') + "b", "ab", "baaa"), "b" + std::string(240, 'a'));
    EXPECT_EQ(Replaced("aaaaaaab", "ab", "bba"), std::string(128, 'b') + "aaaaaaa");
}

TEST(ReplaceWord, MatchesRestartingRuleOnRandomInputs) {
    std::mt19937 Gen(4321);
    const std::string Alphabet = "aAbB-";
    auto Random = [&](std::size_t MaxLen) {
        std::string S(Gen() % (MaxLen + 1), ' ');
        for (char& C : S) C = Alphabet[Gen() % Alphabet.size()];
        return S;
    };
    int Compared = 0;
    for (int Round = 0; Round < 5000; ++Round) {
        const std::string Text = Random(30);
        std::string OldWord = Random(3);
        if (OldWord.empty()) OldWord = "a";
        const std::string NewWord = Random(4);
        if (Upper(NewWord).find(Upper(OldWord)) != std::string::npos) continue;
        const std::optional<std::string> Expected = RestartingReference(Text, OldWord, NewWord);
        if (!Expected) continue;
        ++Compared;
        ASSERT_EQ(Replaced(Text, OldWord, NewWord), *Expected)
            << Text << " / " << OldWord << " / " << NewWord;
    }
    EXPECT_GT(Compared, 3000);
}

TEST(ReplaceWord, NewWordHoldingOldWordResumesBehindInsertion) {
    EXPECT_EQ(Replaced("a a", "a", "aa"), "aa aa");
    EXPECT_EQ(Replaced("xx", "x", "X!"), "X!X!");
    EXPECT_EQ(Replaced("abab", "AB", "xaby"), "xabyxaby");
    EXPECT_EQ(Replaced("ab", "ab", "ab"), "ab");
    EXPECT_EQ(Replaced(std::string(300, 'a'), "a", "aa"), std::string(600, 'a'));
}

TEST(ReplaceWord, EndsWhenJoinsKeepGrowingTheText) {
    // Under a pure restart the first never ends (every replacement creates the next occurrence)
    // and the second needs 2^40 replacements.
    EXPECT_GT(Replaced("aab", "ab", "bbaa").size(), 254u);
    EXPECT_GT(Replaced(std::string(40, 'a') + "b", "ab", "bba").size(), 254u);
}

TEST(ReplaceWord, TreatsLongTextsWhole) {
    std::string Text;
    for (int I = 0; I < 250; ++I) Text += "one ";
    std::string Same;
    std::string Longer;
    for (int I = 0; I < 250; ++I) {
        Same += "two ";
        Longer += "three ";
    }
    EXPECT_EQ(Replaced(Text, "ONE", "two"), Same);
    EXPECT_EQ(Replaced(Text, "one", "three"), Longer);
    // A shrinking cascade across a long text still restarts until nothing is left.
    EXPECT_EQ(Replaced(std::string(300, 'a') + std::string(300, 'b'), "ab", ""), "");
}

}  // namespace
