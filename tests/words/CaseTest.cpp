#include "tests/support/Namespaces.h"
#include "zk/words/_stl_wrd.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(CaseChange, UpperAndLowerTouchOnlyAsciiLetters) {
    std::string Text = "abc-12z";
    pr_STL_UpperCaseWord(Text);
    EXPECT_EQ(Text, "ABC-12Z");
    pr_STL_LowerCaseWord(Text);
    EXPECT_EQ(Text, "abc-12z");

    std::string Empty;
    pr_STL_UpperCaseWord(Empty);
    pr_STL_LowerCaseWord(Empty);
    EXPECT_EQ(Empty, "");
}

TEST(CaseChange, EveryOtherByteStays) {
    std::string All;
    for (int B = 0; B < 256; ++B) All += static_cast<char>(B);
    std::string Upper = All;
    std::string Lower = All;
    pr_STL_UpperCaseWord(Upper);
    pr_STL_LowerCaseWord(Lower);
    for (int B = 0; B < 256; ++B) {
        const char Expected = static_cast<char>(B);
        EXPECT_EQ(Upper[B], (B >= 'a' && B <= 'z') ? static_cast<char>(B - 32) : Expected) << B;
        EXPECT_EQ(Lower[B], (B >= 'A' && B <= 'Z') ? static_cast<char>(B + 32) : Expected) << B;
    }
}

TEST(CaseChange, TreatsLongTextsWhole) {
    std::string Text(600, 'q');
    pr_STL_UpperCaseWord(Text);
    EXPECT_EQ(Text, std::string(600, 'Q'));
    pr_STL_LowerCaseWord(Text);
    EXPECT_EQ(Text, std::string(600, 'q'));
}

}  // namespace
