#include "tests/support/Namespaces.h"
#include "zk/words/_stl_wrd.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

// The collapsing rule step by step: delete the character at i while it and its follower are
// both in the set, otherwise move on.
std::string CollapseStepByStep(std::string Text, const std::string& Chars) {
    auto In = [&](char C) { return Chars.find(C) != std::string::npos; };
    std::size_t I = 0;
    while (I + 1 < Text.size()) {
        if (In(Text[I]) && In(Text[I + 1])) {
            Text.erase(I, 1);
        } else {
            ++I;
        }
    }
    return Text;
}

std::string Collapsed(std::string Text, const std::string& Chars) {
    pr_STL_RemoveWhiteSpace(Text, Chars);
    return Text;
}

TEST(RemoveWhiteSpace, ShrinksRunsToTheirLastCharacter) {
    EXPECT_EQ(Collapsed("a  b   c", " "), "a b c");
    EXPECT_EQ(Collapsed("ab  ", " "), "ab ");
    EXPECT_EQ(Collapsed("   ", " "), " ");
    EXPECT_EQ(Collapsed("a \t b", " \t"), "a b");
    EXPECT_EQ(Collapsed("a \tb", " \t"), "a\tb");
    EXPECT_EQ(Collapsed("  lead", " "), " lead");
}

TEST(RemoveWhiteSpace, LeavesShortTextsAndEmptySetsAlone) {
    EXPECT_EQ(Collapsed("", " "), "");
    EXPECT_EQ(Collapsed(" ", " "), " ");
    EXPECT_EQ(Collapsed("a  b", ""), "a  b");
    EXPECT_EQ(Collapsed("a b c", " "), "a b c");
}

TEST(RemoveWhiteSpace, TreatsLongTextsWhole) {
    const std::string Text = std::string(300, ' ') + "x" + std::string(300, ' ');
    EXPECT_EQ(Collapsed(Text, " "), " x ");
}

TEST(RemoveWhiteSpace, MatchesStepByStepRuleOnRandomTexts) {
    std::mt19937 Gen(1234);
    const std::string Alphabet = " \t-ab";
    for (int Round = 0; Round < 2000; ++Round) {
        std::string Text(Gen() % 40, ' ');
        for (char& C : Text) C = Alphabet[Gen() % Alphabet.size()];
        const std::string Chars = Round % 2 ? " \t" : " -";
        ASSERT_EQ(Collapsed(Text, Chars), CollapseStepByStep(Text, Chars)) << '[' << Text << ']';
    }
}

TEST(LeadingAndTrailingSpaces, RemoveOnlySpaceCharacters) {
    std::string Text = "  x ";
    pr_STL_IgnoreLeadingSpaces(Text);
    EXPECT_EQ(Text, "x ");
    Text = "\tx";
    pr_STL_IgnoreLeadingSpaces(Text);
    EXPECT_EQ(Text, "\tx");
    Text = "    ";
    pr_STL_IgnoreLeadingSpaces(Text);
    EXPECT_EQ(Text, "");

    Text = " x  ";
    pr_STL_DeleteTrailingSpaces(Text);
    EXPECT_EQ(Text, " x");
    Text = "x\t";
    pr_STL_DeleteTrailingSpaces(Text);
    EXPECT_EQ(Text, "x\t");
    Text = "   ";
    pr_STL_DeleteTrailingSpaces(Text);
    EXPECT_EQ(Text, "");
    Text = "";
    pr_STL_DeleteTrailingSpaces(Text);
    EXPECT_EQ(Text, "");
}

TEST(LeadingAndTrailingSpaces, TreatLongTextsWhole) {
    std::string Text = std::string(400, ' ') + "x" + std::string(400, ' ');
    pr_STL_IgnoreLeadingSpaces(Text);
    EXPECT_EQ(Text, "x" + std::string(400, ' '));
    pr_STL_DeleteTrailingSpaces(Text);
    EXPECT_EQ(Text, "x");
}

TEST(DeleteExtra, RemovesEveryCharacterOfTheSet) {
    std::string Text = "a-b_c-d";
    pr_STL_DeleteExtra(Text, "-_");
    EXPECT_EQ(Text, "abcd");
    Text = "--__";
    pr_STL_DeleteExtra(Text, "_-");
    EXPECT_EQ(Text, "");
    Text = "a-b";
    pr_STL_DeleteExtra(Text, "");
    EXPECT_EQ(Text, "a-b");
    Text = "Aa";
    pr_STL_DeleteExtra(Text, "a");
    EXPECT_EQ(Text, "A");
}

TEST(DeleteExtra, TreatsLongTextsAndLongSetsWhole) {
    std::string Text;
    for (int I = 0; I < 300; ++I) Text += "x-";
    std::string Chars(300, '.');
    Chars += '-';
    pr_STL_DeleteExtra(Text, Chars);
    EXPECT_EQ(Text, std::string(300, 'x'));

    // A set holding every byte value empties any text.
    std::string All;
    for (int B = 0; B < 256; ++B) All += static_cast<char>(B);
    Text = All + All;
    pr_STL_DeleteExtra(Text, All);
    EXPECT_EQ(Text, "");
}

}  // namespace
