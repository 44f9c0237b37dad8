#include "zk/host/rtl/SysUtils.h"

#include <charconv>
#include <chrono>
#include <mutex>
#include <random>
#include <thread>

#include "zk/host/platform/Ascii.h"

namespace zk::rtl {

using platform::HexDigit;
using platform::UpperAscii;

std::string IntToStr(int64_t Value) { return std::to_string(Value); }

std::string IntToHex(int64_t Value, int Digits) {
    auto v = static_cast<uint64_t>(Value);
    std::string out;
    do {
        out.insert(out.begin(), HexDigit(static_cast<unsigned>(v)));
        v >>= 4;
    } while (v != 0);
    if (static_cast<int>(out.size()) < Digits) out.insert(0, Digits - out.size(), '0');
    return out;
}

int32_t StrToInt(const std::string& S) {
    const char* first = S.data();
    const char* last = S.data() + S.size();
    if (first != last && *first == '+') {
        ++first;
        if (first == last || *first == '-') first = last;  // "+" alone and "+-5" are no numbers
    }
    int32_t value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value, 10);
    if (first == last || ec != std::errc() || ptr != last)
        throw EConvertError("'" + S + "' is not a valid integer value");
    return value;
}

bool SameText(std::string_view S1, std::string_view S2) { return platform::SameAsciiText(S1, S2); }

int StrIComp(const char* Str1, const char* Str2) {
    for (;; ++Str1, ++Str2) {
        int a = static_cast<unsigned char>(UpperAscii(*Str1));
        int b = static_cast<unsigned char>(UpperAscii(*Str2));
        if (a != b || a == 0) return a - b;
    }
}

namespace {

std::mutex& GeneratorLock() {
    static std::mutex lock;
    return lock;
}

std::mt19937_64& Generator() {
    static std::mt19937_64 gen{0x5EED};
    return gen;
}

}  // namespace

void Randomize() {
    auto now =
        static_cast<uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
    auto tid = std::hash<std::thread::id>{}(std::this_thread::get_id());
    std::random_device rd;
    RandSeed(now ^ (static_cast<uint64_t>(rd()) << 32) ^ tid);
}

void RandSeed(uint64_t Seed) {
    std::lock_guard<std::mutex> lock(GeneratorLock());
    Generator().seed(Seed);
}

uint32_t Random(uint32_t Range) {
    if (Range == 0) return 0;
    std::lock_guard<std::mutex> lock(GeneratorLock());
    return static_cast<uint32_t>(Generator()() % Range);
}

}  // namespace zk::rtl
