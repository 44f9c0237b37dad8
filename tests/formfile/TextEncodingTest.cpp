// Names of form files in JSON: UTF-8 kept, anything else read as Windows-1252.
#include <gtest/gtest.h>

#include "zk/formfile/TextEncoding.h"
#include "tests/support/Namespaces.h"

namespace {

TEST(TextEncodingTest, Utf8KeptOtherBytesReadAsWindows1252) {
    struct Case {
        std::string In, Out;
    } cases[] = {
        {"Orders", "Orders"},
        {"Gr\xc3\xb6\xc3\x9f"
         "e \xe2\x82\xac \xf0\x9f\x98\x80",
         "Gr\xc3\xb6\xc3\x9f"
         "e \xe2\x82\xac \xf0\x9f\x98\x80"},
        {"Caf\xe9", "Caf\xc3\xa9"},
        {"\x80\x9f\x81\xff", "\xe2\x82\xac\xc5\xb8\xc2\x81\xc3\xbf"},
        {"\xc3", "\xc3\x83"},                                              // cut short
        {"\xc0\xaf", "\xc3\x80\xc2\xaf"},                                  // overlong
        {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xe2\x82\xac"},                  // a surrogate
        {"\xf4\x90\x80\x80", "\xc3\xb4\xc2\x90\xe2\x82\xac\xe2\x82\xac"},  // past U+10FFFF
    };
    for (const Case& c : cases) EXPECT_EQ(Utf8Text(c.In), c.Out) << c.In;
}

}  // namespace
