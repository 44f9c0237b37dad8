#include "zk/formfile/FormTokens.h"

#include <charconv>
#include <cstring>
#include <optional>

namespace zk::formfile {

namespace {

// The float Num with its suffix (s, c, d or none); false when it is out of range.
bool SetFloat(TFormNodeValue& V, const std::string& Num, char Suffix) {
    const char* b = Num.data();
    const char* e = b + Num.size();
    switch (Suffix) {
        case 's':
        case 'S': {
            V.FloatType = TFormFloatType::Single;
            float f = 0;
            if (std::from_chars(b, e, f).ec != std::errc()) return false;
            std::memcpy(V.Float.data(), &f, 4);
            return true;
        }
        case 'd':
        case 'D': {
            V.FloatType = TFormFloatType::Date;
            double d = 0;
            if (std::from_chars(b, e, d).ec != std::errc()) return false;
            std::memcpy(V.Float.data(), &d, 8);
            return true;
        }
        case 'c':
        case 'C': {
            // Read as an extended value first, then rounded: what the library does.
            V.FloatType = TFormFloatType::Currency;
            std::optional<TExtendedBytes> x = ExtendedFromDecimal(Num);
            std::optional<int64_t> n = x ? ExtendedRounded(*x, 9200000000000000000) : std::nullopt;
            if (!n) return false;
            V.Int = *n;
            return true;
        }
        default: {
            V.FloatType = TFormFloatType::Extended;
            std::optional<TExtendedBytes> x = ExtendedFromDecimal(Num);
            if (!x) return false;
            V.Float = *x;
            return true;
        }
    }
}

}  // namespace

TFormTokens::TFormTokens(std::string_view Text, const std::string& FileName)
    : FText(Text), FFile(FileName) {
    if (FText.substr(0, 3) == "\xEF\xBB\xBF") FPos = FLineStart = 3;
}

void TFormTokens::FailAt(size_t Pos, int Line, size_t LineStart, const std::string& What) {
    int col = static_cast<int>(Pos - LineStart) + 1;
    throw EFormFileError(FFile + ":" + std::to_string(Line) + ":" + std::to_string(col) + ": " +
                             What + ", found " + Found(Pos),
                         Line, col);
}
void TFormTokens::Fail(const std::string& What) { FailAt(FPos, FLine, FLineStart, What); }

std::string TFormTokens::Found(size_t Pos) const {
    if (Pos >= FText.size()) return "the end of the file";
    char c = FText[Pos];
    if (IdentStart(c)) {
        size_t e = Pos;
        while (e < FText.size() && IdentChar(FText[e]) && e - Pos < 40) ++e;
        return "'" + std::string(FText.substr(Pos, e - Pos)) + "'";
    }
    if (c == '\r' || c == '\n') return "the end of the line";
    auto u = static_cast<unsigned char>(c);
    if (u < 32 || u >= 127) return "byte " + std::to_string(u);
    return std::string("'") + c + "'";
}

// An identifier, with '.'-joined parts when Dotted.
std::string TFormTokens::Symbol(bool Dotted, const char* What) {
    if (!IdentStart(Peek())) Fail(std::string("expected ") + What);
    size_t start = FPos;
    for (;;) {
        while (FPos < FText.size() && IdentChar(FText[FPos])) ++FPos;
        if (Dotted && Peek() == '.' && FPos + 1 < FText.size() && IdentStart(FText[FPos + 1])) {
            ++FPos;
            continue;
        }
        break;
    }
    return std::string(FText.substr(start, FPos - start));
}

void TFormTokens::Expect(char C, const char* What) {
    if (Peek() != C) Fail(std::string("expected ") + What);
    ++FPos;
}

TFormNodeValue TFormTokens::ParseNumber() {
    TFormNodeValue v;
    v.Span = SpanHere();
    size_t start = FPos;
    bool neg = false;
    if (Peek() == '-' || Peek() == '+') neg = FText[FPos++] == '-';
    if (Peek() == '$') {
        ++FPos;
        uint64_t value = 0;
        size_t digits = FPos;
        while (HexValue(Peek()) >= 0) {
            if (value >> 60) Fail("expected a hexadecimal number of at most 16 digits");
            value = value * 16 + static_cast<uint64_t>(HexValue(FText[FPos++]));
        }
        if (FPos == digits) Fail("expected hexadecimal digits after '$'");
        v.Int = static_cast<int64_t>(neg ? 0 - value : value);
    } else {
        size_t digits = FPos;
        while (Digit(Peek())) ++FPos;
        if (FPos == digits) Fail("expected a number");
        bool isFloat = false;
        if (Peek() == '.') {
            isFloat = true;
            ++FPos;
            while (Digit(Peek())) ++FPos;
        }
        if ((Peek() == 'e' || Peek() == 'E') &&
            (Digit(FPos + 1 < FText.size() ? FText[FPos + 1] : '\0') ||
             ((FPos + 2 < FText.size()) && (FText[FPos + 1] == '+' || FText[FPos + 1] == '-') &&
              Digit(FText[FPos + 2])))) {
            isFloat = true;
            FPos += 2;
            while (Digit(Peek())) ++FPos;
        }
        std::string_view body = FText.substr(digits, FPos - digits);
        char suffix = Peek();
        if (suffix == 's' || suffix == 'S' || suffix == 'c' || suffix == 'C' || suffix == 'd' ||
            suffix == 'D') {
            if (!IdentChar(FPos + 1 < FText.size() ? FText[FPos + 1] : '\0')) {
                isFloat = true;
                ++FPos;
            } else {
                suffix = '\0';
            }
        } else {
            suffix = '\0';
        }
        if (isFloat) {
            v.Type = TFormValueType::Float;
            std::string num = (neg ? "-" : "") + std::string(body);
            if (!SetFloat(v, num, suffix)) {
                FPos = start;
                Fail("expected a number in range");
            }
        } else {
            uint64_t value = 0;
            auto [p, ec] = std::from_chars(body.data(), body.data() + body.size(), value);
            (void)p;
            uint64_t limit = neg ? (1ull << 63) : (1ull << 63) - 1;
            if (ec != std::errc() || value > limit) {
                FPos = start;
                Fail("expected an integer in the 64-bit range");
            }
            v.Int = neg ? static_cast<int64_t>(0 - value) : static_cast<int64_t>(value);
        }
    }
    if (IdentChar(Peek()) || Peek() == '.') Fail("expected a blank after the number");
    v.Span.End = FPos;
    return v;
}

TFormNodeValue TFormTokens::ParseString() {
    TFormNodeValue v;
    v.Type = TFormValueType::String;
    v.Span = SpanHere();
    for (;;) {
        char c = Peek();
        if (c == '\'') {
            ++FPos;
            for (;;) {
                if (Eof() || FText[FPos] == '\n' || FText[FPos] == '\r')
                    Fail("expected the closing quote of the string");
                char ch = FText[FPos++];
                if (ch == '\'') {
                    if (Peek() != '\'') break;
                    ++FPos;
                }
                v.Str.push_back(static_cast<char16_t>(static_cast<unsigned char>(ch)));
            }
        } else if (c == '#') {
            ++FPos;
            uint32_t code = 0;
            size_t digits;
            if (Peek() == '$') {
                ++FPos;
                digits = FPos;
                while (HexValue(Peek()) >= 0 && code <= 0xFFFF)
                    code = code * 16 + static_cast<uint32_t>(HexValue(FText[FPos++]));
            } else {
                digits = FPos;
                while (Digit(Peek()) && code <= 0xFFFF)
                    code = code * 10 + static_cast<uint32_t>(FText[FPos++] - '0');
            }
            if (FPos == digits) Fail("expected a character code after '#'");
            if (code > 0xFFFF) Fail("expected a character code up to 65535");
            v.Str.push_back(static_cast<char16_t>(code));
        } else {
            break;
        }
        size_t save = FPos, saveStart = FLineStart;
        int saveLine = FLine;
        SkipBlanks();
        if (Peek() == '+') {
            ++FPos;
            SkipBlanks();
            if (Peek() != '\'' && Peek() != '#') Fail("expected a string after '+'");
        } else {
            FPos = save;
            FLineStart = saveStart;
            FLine = saveLine;
            if (Peek() != '\'' && Peek() != '#') break;
        }
    }
    v.Span.End = FPos;
    return v;
}

}  // namespace zk::formfile
