// ASCII letter case and hexadecimal digits, the one copy of each for every layer: header-only
// and free of system calls, so the word routines (which link nothing) and the platform layer
// (which may not see the run-time library) use it as well as the run-time library above them.
// Only the ASCII letters 'a'..'z' and 'A'..'Z' change case; every other byte stays as it is.
#pragma once

#include <string_view>

namespace zk::platform {

constexpr char UpperAscii(char C) { return (C >= 'a' && C <= 'z') ? static_cast<char>(C - 32) : C; }

constexpr char LowerAscii(char C) { return (C >= 'A' && C <= 'Z') ? static_cast<char>(C + 32) : C; }

// True when A and B differ at most in the case of ASCII letters.
constexpr bool SameAsciiText(std::string_view A, std::string_view B) {
    if (A.size() != B.size()) return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (LowerAscii(A[i]) != LowerAscii(B[i])) return false;
    return true;
}

// The uppercase hexadecimal digit of the low four bits of Value.
constexpr char HexDigit(unsigned Value) { return "0123456789ABCDEF"[Value & 0xFu]; }

// The value of a hexadecimal digit of either case, or -1 for any other character.
constexpr int HexDigitValue(char C) {
    if (C >= '0' && C <= '9') return C - '0';
    const char U = UpperAscii(C);
    return (U >= 'A' && U <= 'F') ? U - 'A' + 10 : -1;
}

}  // namespace zk::platform
