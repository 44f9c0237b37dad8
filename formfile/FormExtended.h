// The 10-byte extended float of form streams (the x87 layout: fraction bits 0..62, the explicit
// integer bit 63, a 15-bit exponent biased by 16383 in bytes 8..9 with the sign on top), read
// and written from its bytes alone so that every machine gives the same bytes, whatever its own
// long double is.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zk::formfile {

using TExtendedBytes = std::array<uint8_t, 10>;

// The extended value of a decimal number "[-]digits[.digits][e[+-]digits]", rounded to nearest
// (ties to even) as the C library's strtold rounds on x86. Nothing when the number overflows or
// is so small that it loses bits as a denormal (the library reports both as out of range).
std::optional<TExtendedBytes> ExtendedFromDecimal(std::string_view Number);
// The shortest decimal text that reads back as the same bytes, laid out as std::to_chars lays
// out a number (fixed or scientific, whichever is shorter); empty for infinities and NaNs.
std::string ExtendedDecimal(const TExtendedBytes& X);

// Conversions from and to double: exact one way, rounded to nearest the other.
TExtendedBytes ExtendedBytes(double X);
double ExtendedValue(const TExtendedBytes& X);

// The value rounded to an integer, halves away from zero; nothing unless its magnitude is below
// Bound (an infinity or a NaN never is).
std::optional<int64_t> ExtendedRounded(const TExtendedBytes& X, int64_t Bound);

}  // namespace zk::formfile
