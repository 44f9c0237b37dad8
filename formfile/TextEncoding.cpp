#include "zk/formfile/TextEncoding.h"

#include <cstdint>

namespace zk::formfile {

namespace {

// Windows-1252 at 0x80..0x9F; the five codes it leaves free map to the C1 controls, as
// Windows converts them.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

}  // namespace

void AppendUtf8(std::string& Out, char16_t C) {
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

bool IsUtf8(std::string_view S) {
    for (size_t i = 0; i < S.size();) {
        auto b = static_cast<uint8_t>(S[i]);
        size_t extra = 0;
        if (b >= 0xC2 && b < 0xE0)
            extra = 1;
        else if (b >= 0xE0 && b < 0xF0)
            extra = 2;
        else if (b >= 0xF0 && b < 0xF5)
            extra = 3;
        else if (b >= 0x80)
            return false;
        if (S.size() - i <= extra) return false;
        char32_t c = extra == 0 ? b : b & (0x3F >> extra);
        for (size_t k = 1; k <= extra; ++k) {
            auto n = static_cast<uint8_t>(S[i + k]);
            if ((n & 0xC0) != 0x80) return false;
            c = (c << 6) | (n & 0x3F);
        }
        if ((extra == 2 && (c < 0x800 || (c >= 0xD800 && c < 0xE000))) ||
            (extra == 3 && (c < 0x10000 || c > 0x10FFFF)))
            return false;
        i += extra + 1;
    }
    return true;
}

std::string Utf8Text(std::string_view S) {
    if (IsUtf8(S)) return std::string(S);
    std::string out;
    out.reserve(S.size() * 2);
    for (char ch : S) {
        auto b = static_cast<uint8_t>(ch);
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kCp1252High[b - 0x80] : char16_t{b});
    }
    return out;
}

}  // namespace zk::formfile
