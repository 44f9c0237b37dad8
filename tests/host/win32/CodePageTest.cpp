// ANSI <-> OEM conversion: byte values of the default page and of another page named in the
// environment, unmappable characters, lengths and in-place use.
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "zk/host/win32/CodePage.h"
#include "tests/support/Namespaces.h"

namespace {

std::string ToOem(const std::string& Text) {
    std::string Out(Text.size(), 'x');
    EXPECT_TRUE(CharToOemA(Text.c_str(), Out.data()));
    return Out;
}

std::string ToAnsi(const std::string& Text) {
    std::string Out(Text.size(), 'x');
    EXPECT_TRUE(OemToCharA(Text.c_str(), Out.data()));
    return Out;
}

// Sets MAILSLOT_OEM_CODEPAGE (or removes it) for the scope, then restores what was there.
class OemPageScope {
  public:
    explicit OemPageScope(const char* Value) {
        if (const char* Old = std::getenv("MAILSLOT_OEM_CODEPAGE")) FOld = Old;
        if (Value)
            setenv("MAILSLOT_OEM_CODEPAGE", Value, 1);
        else
            unsetenv("MAILSLOT_OEM_CODEPAGE");
    }
    ~OemPageScope() {
        if (FOld)
            setenv("MAILSLOT_OEM_CODEPAGE", FOld->c_str(), 1);
        else
            unsetenv("MAILSLOT_OEM_CODEPAGE");
    }

  private:
    std::optional<std::string> FOld;
};

}  // namespace

TEST(CodePage, DefaultOemPageIs437) {
    OemPageScope Page(nullptr);
    EXPECT_EQ(ToOem("caf\xE9 \xFC\xC4"), "caf\x82 \x81\x8E");
    EXPECT_EQ(ToAnsi("caf\x82 \x81\x8E"), "caf\xE9 \xFC\xC4");
    EXPECT_EQ(ToOem("plain ASCII ~"), "plain ASCII ~");
}

TEST(CodePage, CharactersWithoutCounterpartBecomeQuestionMarks) {
    OemPageScope Page(nullptr);
    // The euro sign and O with stroke are not in page 437; its shading blocks are not in 1252.
    EXPECT_EQ(ToOem("\x80"
                    "a\xD8"),
              "?a?");
    EXPECT_EQ(ToAnsi("\xB0\xB1z"), "??z");
}

TEST(CodePage, ConvertsInPlaceAndStopsAtTheZeroByte) {
    OemPageScope Page(nullptr);
    char Buf[] = "\xE9t\xE9\0\xE9";
    EXPECT_TRUE(CharToOemA(Buf, Buf));
    EXPECT_EQ(std::string(Buf, 5), std::string("\x82t\x82\0\xE9", 5));
    EXPECT_TRUE(OemToCharA(Buf, Buf));
    EXPECT_EQ(std::string(Buf, 5), std::string("\xE9t\xE9\0\xE9", 5));
}

TEST(CodePage, EnvironmentNamesAnotherOemPage) {
    {
        OemPageScope Page("850");
        EXPECT_EQ(ToOem("\xD8\xE9"), "\x9D\x82");
        EXPECT_EQ(ToAnsi("\x9D"), "\xD8");
    }
    {
        OemPageScope Page("no-such-page");
        EXPECT_EQ(ToOem("\xD8\xE9"), "?\x82");
    }
    OemPageScope Page(nullptr);
    EXPECT_EQ(ToOem("\xD8"), "?");
}

TEST(CodePage, NullPointersAreRefused) {
    char Buf[4] = "abc";
    EXPECT_FALSE(CharToOemA(nullptr, Buf));
    EXPECT_FALSE(OemToCharA(Buf, nullptr));
    EXPECT_STREQ(Buf, "abc");
}
