// Run-time library basics: the exception family, number/text conversions and the
// library's one pseudo-random generator.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "zk/Export.h"

namespace zk::rtl {

// Base of every exception the host and the libraries above it raise.
class ZK_EXPORT Exception : public std::exception {
  public:
    explicit Exception(std::string msg) : FMessage(std::move(msg)) {}
    const std::string& Message() const { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }

  private:
    std::string FMessage;
};

// Raised by StrToInt for a text that is not a decimal integer.
class ZK_EXPORT EConvertError : public Exception {
  public:
    using Exception::Exception;
};

// Decimal text of Value, with a minus sign for negatives.
ZK_EXPORT std::string IntToStr(int64_t Value);
// Uppercase hexadecimal digits of Value, left-padded with zeros to at least Digits characters.
ZK_EXPORT std::string IntToHex(int64_t Value, int Digits);
// Decimal text to a 32-bit integer. An optional sign, then digits only; anything else (the empty
// text, blanks, hexadecimal, overflow) raises EConvertError naming the text.
ZK_EXPORT int32_t StrToInt(const std::string& S);
// True when two texts differ at most in the case of ASCII letters, as Delphi's SameText.
ZK_EXPORT bool SameText(std::string_view S1, std::string_view S2);
// Compares two zero-terminated texts ignoring the case of ASCII letters: <0, 0 or >0.
ZK_EXPORT int StrIComp(const char* Str1, const char* Str2);

// Seeds the generator from the clock and the process id.
ZK_EXPORT void Randomize();
// A pseudo-random integer r with 0 <= r < Range; 0 when Range is 0. Safe from several threads.
ZK_EXPORT uint32_t Random(uint32_t Range);
// Seeds the generator with a fixed value, so that tests can repeat a sequence.
ZK_EXPORT void RandSeed(uint64_t Seed);

}  // namespace zk::rtl
