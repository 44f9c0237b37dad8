#include "tests/support/Namespaces.h"
#include "zk/words/_stl_wrd.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FindCase {
    std::string Before;
    std::string Delimiters;
    std::string Word;
    std::string After;
};

class FindWordTable : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindWordTable, ReturnsWordAndLeavesRest) {
    const FindCase& C = GetParam();
    std::string Text = C.Before;
    EXPECT_EQ(fn_STL_FindWord(Text, C.Delimiters), C.Word);
    EXPECT_EQ(Text, C.After);
}

INSTANTIATE_TEST_SUITE_P(
    Words, FindWordTable,
    ::testing::Values(FindCase{"INIT,ab,cd,10,5", ",", "INIT", "ab,cd,10,5"},
                      FindCase{"5", ",", "5", ""}, FindCase{"", ",", "", ""},
                      FindCase{",x", ",", "", "x"},
                      // An upper-case delimiter matches both cases; a lower-case one nothing.
                      FindCase{"abxcd", "X", "ab", "cd"}, FindCase{"abXcd", "X", "ab", "cd"},
                      FindCase{"abxcd", "x", "abxcd", ""},
                      // Blanks are kept; the word keeps the case of the text.
                      FindCase{"a b,d", ",", "a b", "d"},
                      FindCase{"MiXed;rest", ";", "MiXed", "rest"},
                      FindCase{"a,,b", ",", "a", ",b"}, FindCase{"whole", "", "whole", ""},
                      FindCase{"a;b,c", ",;", "a", "b,c"}, FindCase{"abc,", ",", "abc", ""}));

TEST(FindWord, SplitsInitReplyIntoItsFiveWords) {
    std::string Reply = "INIT,Project,c:\\docs,10,5";
    std::vector<std::string> Words;
    for (int I = 0; I < 5; ++I) Words.push_back(fn_STL_FindWord(Reply, ","));
    EXPECT_EQ(Words, (std::vector<std::string>{"INIT", "Project", "c:\\docs", "10", "5"}));
    EXPECT_TRUE(Reply.empty());
    EXPECT_EQ(fn_STL_FindWord(Reply, ","), "");
}

TEST(FindWord, HandlesBytesAboveAscii) {
    std::string Text = "\xE4\xF6,\xFC";
    EXPECT_EQ(fn_STL_FindWord(Text, ","), "\xE4\xF6");
    EXPECT_EQ(Text, "\xFC");
    // A non-ASCII delimiter matches only itself.
    Text =
        "a\xE4"
        "b";
    EXPECT_EQ(fn_STL_FindWord(Text, "\xE4"), "a");
    EXPECT_EQ(Text, "b");
}

TEST(FindWord, ZeroByteCanBeDelimiter) {
    std::string Text("ab\0cd", 5);
    EXPECT_EQ(fn_STL_FindWord(Text, std::string(1, '\0')), "ab");
    EXPECT_EQ(Text, "cd");
}

TEST(FindWord, LongTextWithLateDelimiterIsSplitAtIt) {
    for (std::size_t Lead : {254u, 255u, 300u, 1000u}) {
        std::string Text = std::string(Lead, 'w') + "," + std::string(700, 'r');
        EXPECT_EQ(fn_STL_FindWord(Text, ","), std::string(Lead, 'w')) << Lead;
        EXPECT_EQ(Text, std::string(700, 'r')) << Lead;
    }
}

TEST(FindWord, LongTextWithoutDelimiterIsTakenWhole) {
    std::string Text(5000, 'q');
    EXPECT_EQ(fn_STL_FindWord(Text, ","), std::string(5000, 'q'));
    EXPECT_TRUE(Text.empty());
}

TEST(FindWord, LongDelimiterSetIsSearchedWhole) {
    std::string Delimiters(400, '.');
    Delimiters += ';';
    std::string Text = "abc;def";
    EXPECT_EQ(fn_STL_FindWord(Text, Delimiters), "abc");
    EXPECT_EQ(Text, "def");
}

}  // namespace
