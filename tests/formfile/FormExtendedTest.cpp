#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "zk/formfile/FormDocument.h"
#include "zk/formfile/FormExtended.h"
#include "tests/support/Namespaces.h"

namespace {

struct TExtendedRow {
    const char* Text;  // as a form file holds it
    TExtendedBytes Bytes;
    const char* Shortest;  // as the writer prints it back
};

// The bytes an x86-64 machine's strtold gives, so that every machine writes the same stream.
const TExtendedRow kRows[] = {
    {"0", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, "0"},
    {"-0", {0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80}, "-0"},
    {"1", {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F}, "1"},
    {"1.5", {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F}, "1.5"},
    {"-2.5", {0, 0, 0, 0, 0, 0, 0, 0xA0, 0x00, 0xC0}, "-2.5"},
    {"0.1", {0xCD, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xFB, 0x3F}, "0.1"},
    {"1E300", {0x2D, 0xDD, 0xAC, 0x03, 0x40, 0xE4, 0x21, 0xBF, 0xE3, 0x43}, "1e+300"},
    // The largest finite value, and the smallest normal one.
    {"1.18973149535723176502e4932",
     {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFE, 0x7F},
     "1.189731495357231765e+4932"},
    {"3.36210314311209350626e-4932",
     {0, 0, 0, 0, 0, 0, 0, 0x80, 0x01, 0x00},
     "3.3621031431120935063e-4932"},
    // Halfway between two values: to the even mantissa, down and then up.
    {"18446744073709551617", {0, 0, 0, 0, 0, 0, 0, 0x80, 0x3F, 0x40}, "18446744073709551616"},
    {"18446744073709551619", {2, 0, 0, 0, 0, 0, 0, 0x80, 0x3F, 0x40}, "18446744073709551620"},
    // A whole number in fixed notation is written with all its digits.
    {"123456789012345678901234",
     {0xB5, 0x64, 0x03, 0x85, 0xF8, 0xD8, 0x24, 0xD1, 0x4B, 0x40},
     "123456789012345678897152"},
};

TEST(FormExtendedTest, DecimalTextAndBytesConvertBothWays) {
    for (const TExtendedRow& row : kRows) {
        EXPECT_EQ(ExtendedFromDecimal(row.Text), row.Bytes) << row.Text;
        EXPECT_EQ(ExtendedDecimal(row.Bytes), row.Shortest) << row.Text;
    }
    // What the C library calls out of range: too large, or a denormal that loses bits.
    for (const char* text : {"1.2e4932", "1e99999", "3.6451995318824746025e-4951", "1e-4940"})
        EXPECT_EQ(ExtendedFromDecimal(text), std::nullopt) << text;
    // The smallest denormal still prints (the C library does not read it back).
    EXPECT_EQ(ExtendedDecimal({1, 0, 0, 0, 0, 0, 0, 0, 0, 0}), "4e-4951");
}

TEST(FormExtendedTest, DoublesConvertExactlyAndBack) {
    for (double d : {0.0, -0.0, 1.0, 0.1, -1e300, 5e-324, 2.2250738585072014e-308}) {
        TExtendedBytes x = ExtendedBytes(d);
        EXPECT_EQ(ExtendedValue(x), d);
        EXPECT_EQ(std::signbit(ExtendedValue(x)), std::signbit(d));
    }
    EXPECT_EQ(ExtendedBytes(1.5), kRows[3].Bytes);
    EXPECT_EQ(ExtendedValue(kRows[5].Bytes), 0.1);
}

TEST(FormExtendedTest, InfinitiesAndNaNsHaveNoText) {
    const TExtendedBytes inf = {0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F};
    const TExtendedBytes nan = {0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0xFF};
    for (const TExtendedBytes& x : {inf, nan}) {
        EXPECT_EQ(ExtendedDecimal(x), "");
        TFormNode root;
        root.ClassName = "TF";
        TFormNodeValue v;
        v.Type = TFormValueType::Float;
        v.Float = x;
        root.Properties.push_back({"R", v, {}, 0, 0});
        EXPECT_EQ(FormFloatText(v), "");
        EXPECT_THROW(PrintFormTree(root, "\n"), EFormFileError);
    }
    EXPECT_TRUE(std::isinf(ExtendedValue(inf)));
    EXPECT_TRUE(std::isnan(ExtendedValue(nan)));
}

TEST(FormExtendedTest, CurrencyRoundsTheExtendedValueHalfAwayFromZero) {
    TFormDocument doc = TFormDocument::ReadText(
        "object F: TF\n  A = 2.5c\n  B = -2.5c\n  C = 0.49999c\n  D = "
        "9199999999999999999.4c\nend\n",
        "f");
    const int64_t expected[] = {3, -3, 0, 9200000000000000000};
    for (size_t i = 0; i < 4; ++i) EXPECT_EQ(doc.Root().Properties[i].Value.Int, expected[i]);
    try {
        TFormDocument::ReadText("object F: TF\n  A = 9.2e18c\nend\n", "f");
        ADD_FAILURE();
    } catch (const EFormFileError& e) {
        EXPECT_EQ(e.Message(), "f:2:7: expected a number in range, found '9'");
    }
}

}  // namespace
