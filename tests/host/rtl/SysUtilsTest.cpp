#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "zk/host/platform/Ascii.h"
#include "zk/host/rtl/SysUtils.h"
#include "tests/support/Namespaces.h"

TEST(Conversions, IntToHexIsUppercaseAndZeroPadded) {
    EXPECT_EQ(IntToHex(0x80, 4), "0080");
    EXPECT_EQ(IntToHex(0, 4), "0000");
    EXPECT_EQ(IntToHex(0xA01D, 4), "A01D");
    EXPECT_EQ(IntToHex(0x12345, 4), "12345");  // never truncated
}

TEST(Conversions, StrToIntAcceptsDecimalOnly) {
    EXPECT_EQ(StrToInt("0042"), 42);
    EXPECT_EQ(StrToInt("-7"), -7);
    EXPECT_EQ(StrToInt("+7"), 7);
    EXPECT_EQ(StrToInt("2147483647"), 2147483647);
    for (const char* bad : {"", " 1", "1 ", "$10", "0x10", "1e3", "-", "+-1", "2147483648", "abc"})
        EXPECT_THROW(StrToInt(bad), EConvertError) << "'" << bad << "'";
}

TEST(Conversions, StrToIntErrorNamesTheText) {
    try {
        StrToInt("x1");
        FAIL();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "'x1' is not a valid integer value");
    }
}

TEST(Conversions, StrICompFoldsAsciiOnly) {
    EXPECT_EQ(StrIComp("HS", "hs"), 0);
    EXPECT_LT(StrIComp("a", "B"), 0);
    EXPECT_NE(StrIComp("\xC4", "\xE4"), 0);
    EXPECT_EQ(IntToStr(-120), "-120");
}

TEST(Conversions, AsciiCaseAndHexDigitsAgreeWithTheCLocaleForEveryByte) {
    for (int b = 0; b < 256; ++b) {
        const char c = static_cast<char>(b);
        const bool ascii = b < 128;
        EXPECT_EQ(platform::UpperAscii(c), ascii ? static_cast<char>(std::toupper(b)) : c) << b;
        EXPECT_EQ(platform::LowerAscii(c), ascii ? static_cast<char>(std::tolower(b)) : c) << b;
        const int hex = ascii && std::isxdigit(b) ? std::stoi(std::string(1, c), nullptr, 16) : -1;
        EXPECT_EQ(platform::HexDigitValue(c), hex) << b;
        if (b < 16) {
            EXPECT_EQ(platform::HexDigit(static_cast<unsigned>(b) + 0x30), "0123456789ABCDEF"[b]);
        }
    }
}

TEST(RandomGenerator, StaysInRangeAcrossThreads) {
    RandSeed(1);
    EXPECT_EQ(Random(0), 0u);
    std::vector<std::thread> threads;
    std::atomic<bool> bad{false};
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i)
                if (Random(7) >= 7) bad = true;
        });
    for (auto& t : threads) t.join();
    EXPECT_FALSE(bad);
    std::set<uint32_t> seen;
    for (int i = 0; i < 200; ++i) seen.insert(Random(5));
    EXPECT_EQ(seen.size(), 5u);
}
