// The tokens of the text form format, as the run-time library's own text parser takes them:
// separated by any bytes up to the blank, keywords in any case. A cursor over the text that
// knows its line and column, reads names, numbers and strings, and raises EFormFileError
// "FILE:LINE:COLUMN: expected ..., found ..." for what it cannot take.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "zk/formfile/FormTree.h"

namespace zk::formfile {

inline bool IdentStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
inline bool IdentChar(char c) { return IdentStart(c) || (c >= '0' && c <= '9'); }
inline bool Digit(char c) { return c >= '0' && c <= '9'; }
inline int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}
// "object", "inherited" or "inline", in any case.
inline bool IsObjectKeyword(std::string_view W) {
    return SameIdent(W, "object") || SameIdent(W, "inherited") || SameIdent(W, "inline");
}

class TFormTokens {
  public:
    // Starts past a UTF-8 byte order mark. Text and FileName must outlive the cursor.
    TFormTokens(std::string_view Text, const std::string& FileName);

    [[noreturn]] void FailAt(size_t Pos, int Line, size_t LineStart, const std::string& What);
    [[noreturn]] void Fail(const std::string& What);
    std::string Found(size_t Pos) const;
    // The cursor's steps are taken once or more a byte: inline, as the reader's own.
    bool Eof() const { return FPos >= FText.size(); }
    char Peek() const { return FPos < FText.size() ? FText[FPos] : '\0'; }
    void SkipBlanks() {
        while (FPos < FText.size() && static_cast<unsigned char>(FText[FPos]) <= 32) {
            char c = FText[FPos++];
            if (c == '\n' || (c == '\r' && Peek() != '\n')) {
                ++FLine;
                FLineStart = FPos;
            }
        }
    }
    TFormSpan SpanHere() const {
        return {FPos, FPos, FLine, static_cast<int>(FPos - FLineStart) + 1};
    }
    std::string_view PeekWord() const {
        size_t e = FPos;
        if (e >= FText.size() || !IdentStart(FText[e])) return {};
        while (e < FText.size() && IdentChar(FText[e])) ++e;
        return FText.substr(FPos, e - FPos);
    }
    // An identifier, with '.'-joined parts when Dotted.
    std::string Symbol(bool Dotted, const char* What);
    void Expect(char C, const char* What);
    // Whitespace from the line's start to Pos only?
    bool AloneBefore(size_t Pos) const {
        for (size_t i = FLineStart; i < Pos; ++i)
            if (FText[i] != ' ' && FText[i] != '\t') return false;
        return true;
    }
    // Integers (decimal or $hex) and floats with their s, c and d suffixes.
    TFormNodeValue ParseNumber();
    // Quoted parts and #nnn codes, joined directly or by '+' over blanks and lines.
    TFormNodeValue ParseString();

  protected:
    std::string_view FText;
    const std::string& FFile;
    size_t FPos = 0;
    size_t FLineStart = 0;
    int FLine = 1;
};

}  // namespace zk::formfile
