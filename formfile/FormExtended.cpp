#include "zk/formfile/FormExtended.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <vector>

namespace zk::formfile {

namespace {

constexpr int kBias = 16383;
constexpr int kMaxBiased = 32767;
// The value of mantissa unit 1 in a denormal (and in the smallest normals): 2^-16445.
constexpr int kMinUnit = 1 - kBias - 63;
constexpr uint64_t kIntegerBit = uint64_t{1} << 63;

// A non-negative integer of any size, just what exact decimal conversion needs.
class TBig {
  public:
    explicit TBig(uint64_t V = 0) {
        if (V) FLimbs.push_back(static_cast<uint32_t>(V));
        if (V >> 32) FLimbs.push_back(static_cast<uint32_t>(V >> 32));
    }
    bool Zero() const { return FLimbs.empty(); }
    uint64_t Low64() const {
        uint64_t v = FLimbs.empty() ? 0 : FLimbs[0];
        return FLimbs.size() > 1 ? v | uint64_t{FLimbs[1]} << 32 : v;
    }
    void SetBit(int I) {
        auto w = static_cast<size_t>(I / 32);
        if (FLimbs.size() <= w) FLimbs.resize(w + 1, 0);
        FLimbs[w] |= uint32_t{1} << (I % 32);
    }
    // this /= D, giving the remainder.
    uint32_t DivideSmall(uint32_t D) {
        uint64_t rem = 0;
        for (size_t i = FLimbs.size(); i-- > 0;) {
            uint64_t cur = rem << 32 | FLimbs[i];
            FLimbs[i] = static_cast<uint32_t>(cur / D);
            rem = cur % D;
        }
        Trim();
        return static_cast<uint32_t>(rem);
    }
    int Bits() const {
        if (FLimbs.empty()) return 0;
        return static_cast<int>(32 * (FLimbs.size() - 1)) + std::bit_width(FLimbs.back());
    }
    void MulAdd(uint32_t M, uint32_t A) {
        uint64_t carry = A;
        for (uint32_t& l : FLimbs) {
            uint64_t t = uint64_t{l} * M + carry;
            l = static_cast<uint32_t>(t);
            carry = t >> 32;
        }
        if (carry) FLimbs.push_back(static_cast<uint32_t>(carry));
        Trim();
    }
    void MulPow10(int N) {
        for (; N >= 9; N -= 9) MulAdd(1000000000, 0);
        for (; N > 0; --N) MulAdd(10, 0);
    }
    TBig Shifted(int N) const {
        TBig r;
        if (Zero()) return r;
        size_t words = static_cast<size_t>(N / 32);
        int bits = N % 32;
        r.FLimbs.assign(words, 0);
        uint32_t carry = 0;
        for (uint32_t l : FLimbs) {
            r.FLimbs.push_back(bits ? (l << bits | carry) : l);
            carry = bits ? l >> (32 - bits) : 0;
        }
        if (carry) r.FLimbs.push_back(carry);
        return r;
    }
    friend int Compare(const TBig& A, const TBig& B) {
        if (A.FLimbs.size() != B.FLimbs.size()) return A.FLimbs.size() < B.FLimbs.size() ? -1 : 1;
        for (size_t i = A.FLimbs.size(); i-- > 0;)
            if (A.FLimbs[i] != B.FLimbs[i]) return A.FLimbs[i] < B.FLimbs[i] ? -1 : 1;
        return 0;
    }
    // this -= B, for B <= this.
    void Subtract(const TBig& B) {
        int64_t borrow = 0;
        for (size_t i = 0; i < FLimbs.size(); ++i) {
            int64_t t = int64_t{FLimbs[i]} - borrow - (i < B.FLimbs.size() ? B.FLimbs[i] : 0);
            borrow = t < 0;
            FLimbs[i] = static_cast<uint32_t>(t + (borrow << 32));
        }
        Trim();
    }

  private:
    void Trim() {
        while (!FLimbs.empty() && FLimbs.back() == 0) FLimbs.pop_back();
    }
    std::vector<uint32_t> FLimbs;
};

// N / D; N keeps the remainder.
TBig Divide(TBig& N, const TBig& D) {
    TBig q;
    for (int i = N.Bits() - D.Bits(); i >= 0; --i) {
        TBig t = D.Shifted(i);
        if (Compare(N, t) >= 0) {
            N.Subtract(t);
            q.SetBit(i);
        }
    }
    return q;
}

// A finite extended value as Mantissa * 2^Unit.
struct TUnpacked {
    bool Negative = false;
    uint64_t Mantissa = 0;
    int Unit = 0;
};

TExtendedBytes Pack(bool Negative, int Biased, uint64_t Mantissa) {
    TExtendedBytes b{};
    for (int i = 0; i < 8; ++i)
        b[static_cast<size_t>(i)] = static_cast<uint8_t>(Mantissa >> (8 * i));
    unsigned top = static_cast<unsigned>(Biased) | (Negative ? 0x8000u : 0u);
    b[8] = static_cast<uint8_t>(top);
    b[9] = static_cast<uint8_t>(top >> 8);
    return b;
}

int Biased(const TExtendedBytes& X) { return (X[8] | X[9] << 8) & 0x7FFF; }
bool Negative(const TExtendedBytes& X) { return X[9] & 0x80; }
uint64_t Mantissa(const TExtendedBytes& X) {
    uint64_t m = 0;
    for (int i = 7; i >= 0; --i) m = m << 8 | X[static_cast<size_t>(i)];
    return m;
}

TUnpacked Unpack(const TExtendedBytes& X) {
    int e = Biased(X);
    return {Negative(X), Mantissa(X), (e ? e : 1) + kMinUnit - 1};
}

// Digits * 10^Exp10 rounded to an extended value, or nothing when out of range (a denormal is
// only when Denormals says so).
std::optional<TExtendedBytes> Round(bool Neg, const TBig& Digits, int Exp10, bool Denormals) {
    if (Digits.Zero()) return Pack(Neg, 0, 0);
    // Far outside the range whatever the digits: refused before the big numbers grow.
    int magnitude = Exp10 + Digits.Bits() * 3 / 10;
    if (magnitude > 4940 || Exp10 + Digits.Bits() * 31 / 100 + 1 < -4960) return std::nullopt;
    TBig num = Digits, den(1);
    if (Exp10 >= 0)
        num.MulPow10(Exp10);
    else
        den.MulPow10(-Exp10);
    // num / den lies in [2^k, 2^(k+1)).
    int k = num.Bits() - den.Bits();
    if (k >= 0 ? Compare(num, den.Shifted(k)) < 0 : Compare(num.Shifted(-k), den) < 0) --k;
    int unit = std::max(k - 63, kMinUnit);
    if (unit >= 0)
        den = den.Shifted(unit);
    else
        num = num.Shifted(-unit);
    uint64_t q = Divide(num, den).Low64();
    int half = Compare(num.Shifted(1), den);
    if (half > 0 || (half == 0 && (q & 1))) {
        if (++q == 0) {
            q = kIntegerBit;
            ++unit;
        }
    }
    // A denormal or zero result lost bits: out of range, as the C library says.
    if (q == 0 || (q < kIntegerBit && !Denormals)) return std::nullopt;
    int biased = q < kIntegerBit ? 0 : unit - kMinUnit + 1;
    if (biased >= kMaxBiased) return std::nullopt;
    return Pack(Neg, biased, q);
}

// The decimal digits of X rounded to Count significant ones: the lower candidate, its
// exponent (value = Low * 10^Exp10) and whether the exact value lies nearer the upper one.
struct TCandidates {
    TBig Low;
    int Exp10 = 0;
    bool NearerUp = false;
};

TCandidates Candidates(const TUnpacked& U, int Count, int Exp10OfFirst) {
    TBig num(U.Mantissa), den(1);
    if (U.Unit >= 0)
        num = num.Shifted(U.Unit);
    else
        den = den.Shifted(-U.Unit);
    int exp10 = Exp10OfFirst - Count + 1;
    if (exp10 >= 0)
        den.MulPow10(exp10);
    else
        num.MulPow10(-exp10);
    TCandidates c;
    c.Exp10 = exp10;
    c.Low = Divide(num, den);
    c.NearerUp = Compare(num.Shifted(1), den) > 0;
    return c;
}

std::string DigitsOf(TBig V) {
    std::string s;
    do s.insert(s.begin(), static_cast<char>('0' + V.DivideSmall(10)));
    while (!V.Zero());
    return s;
}

// Lays out X, whose shortest digits are Digits * 10^Exp10, as to_chars does: fixed unless
// scientific is shorter, and a whole number in fixed notation with all its digits.
std::string Layout(const TUnpacked& X, std::string Digits, int Exp10) {
    while (Digits.size() > 1 && Digits.back() == '0') {
        Digits.pop_back();
        ++Exp10;
    }
    int n = static_cast<int>(Digits.size());
    int sciExp = Exp10 + n - 1;
    std::string sci = Digits.substr(0, 1);
    if (n > 1) sci += "." + Digits.substr(1);
    std::string e = std::to_string(std::abs(sciExp));
    if (e.size() < 2) e = "0" + e;
    sci += (sciExp < 0 ? "e-" : "e+") + e;
    std::string fixed;
    if (Exp10 >= 0)
        fixed = DigitsOf(X.Unit >= 0 ? TBig(X.Mantissa).Shifted(X.Unit)
                                     : TBig(X.Mantissa >> std::min(-X.Unit, 63)));
    else if (sciExp >= 0)
        fixed = Digits.substr(0, static_cast<size_t>(sciExp + 1)) + "." +
                Digits.substr(static_cast<size_t>(sciExp + 1));
    else
        fixed = "0." + std::string(static_cast<size_t>(-sciExp - 1), '0') + Digits;
    return (X.Negative ? "-" : "") + (fixed.size() <= sci.size() ? fixed : sci);
}

}  // namespace

std::optional<TExtendedBytes> ExtendedFromDecimal(std::string_view Number) {
    size_t i = 0;
    bool neg = false;
    if (i < Number.size() && (Number[i] == '-' || Number[i] == '+')) neg = Number[i++] == '-';
    TBig digits;
    int exp10 = 0;
    bool any = false, point = false, dropped = false;
    for (; i < Number.size(); ++i) {
        char c = Number[i];
        if (c == '.' && !point) {
            point = true;
            continue;
        }
        if (c < '0' || c > '9') break;
        any = true;
        if (digits.Zero() && c == '0') {
            if (point) --exp10;
            continue;
        }
        // Past 12,000 digits (more than any halfway point between two extended values has)
        // the rest only says whether something more follows.
        if (digits.Bits() > 40000) {
            if (!point) ++exp10;
            dropped = dropped || c != '0';
            continue;
        }
        digits.MulAdd(10, static_cast<uint32_t>(c - '0'));
        if (point) --exp10;
    }
    if (!any) return std::nullopt;
    if (dropped) {
        digits.MulAdd(10, 1);
        --exp10;
    }
    if (i < Number.size()) {
        if (Number[i] != 'e' && Number[i] != 'E') return std::nullopt;
        ++i;
        bool eneg = false;
        if (i < Number.size() && (Number[i] == '-' || Number[i] == '+')) eneg = Number[i++] == '-';
        if (i == Number.size()) return std::nullopt;
        int e = 0;
        for (; i < Number.size(); ++i) {
            if (Number[i] < '0' || Number[i] > '9') return std::nullopt;
            e = std::min(e * 10 + (Number[i] - '0'), 100000);
        }
        exp10 += eneg ? -e : e;
    }
    return Round(neg, digits, exp10, false);
}

std::string ExtendedDecimal(const TExtendedBytes& X) {
    if (Biased(X) == kMaxBiased) return {};
    TUnpacked u = Unpack(X);
    // An unnormal (integer bit clear with a non-zero exponent) has no value the writer takes.
    if (Biased(X) != 0 && !(u.Mantissa & kIntegerBit)) return {};
    if (u.Mantissa == 0) return u.Negative ? "-0" : "0";
    // The decimal exponent of the first digit: estimated from the binary one, then corrected.
    int bits = std::bit_width(u.Mantissa) - 1 + u.Unit;
    int first = static_cast<int>(std::floor(bits * 0.30102999566398120));
    TCandidates probe = Candidates(u, 2, first);
    if (Compare(probe.Low, TBig(10)) < 0) --first;
    if (Compare(probe.Low, TBig(100)) >= 0) ++first;
    for (int count = 1; count <= 21; ++count) {
        TCandidates c = Candidates(u, count, first);
        TBig up = c.Low;
        up.MulAdd(1, 1);
        const TBig* order[2] = {&c.Low, &up};
        if (c.NearerUp) std::swap(order[0], order[1]);
        for (const TBig* cand : order)
            if (Round(u.Negative, *cand, c.Exp10, true) == X)
                return Layout(u, DigitsOf(*cand), c.Exp10);
    }
    return {};
}

TExtendedBytes ExtendedBytes(double X) {
    uint64_t bits;
    std::memcpy(&bits, &X, 8);
    bool neg = bits >> 63;
    int e = static_cast<int>(bits >> 52 & 0x7FF);
    uint64_t frac = bits & ((uint64_t{1} << 52) - 1);
    if (e == 0x7FF)
        return Pack(neg, kMaxBiased, kIntegerBit | (frac ? uint64_t{1} << 62 : 0) | frac << 11);
    if (e == 0 && frac == 0) return Pack(neg, 0, 0);
    if (e == 0) {
        // A double denormal is a normal extended: shift its leading bit up to the integer bit.
        int shift = std::countl_zero(frac);
        return Pack(neg, 1 - 1023 + kBias - (shift - 11), frac << shift);
    }
    return Pack(neg, e - 1023 + kBias, kIntegerBit | frac << 11);
}

double ExtendedValue(const TExtendedBytes& X) {
    double sign = Negative(X) ? -1.0 : 1.0;
    if (Biased(X) == kMaxBiased) return Mantissa(X) << 1 ? std::nan("") : sign * HUGE_VAL;
    TUnpacked u = Unpack(X);
    // Rounded to 53 bits first, then scaled exactly unless the double is a denormal.
    return sign * std::ldexp(static_cast<double>(u.Mantissa), u.Unit);
}

std::optional<int64_t> ExtendedRounded(const TExtendedBytes& X, int64_t Bound) {
    if (Biased(X) == kMaxBiased) return std::nullopt;
    TUnpacked u = Unpack(X);
    uint64_t whole = 0;
    bool half = false;
    if (u.Unit >= 0) {
        if (u.Mantissa && (u.Unit >= 64 || u.Mantissa >> (63 - u.Unit) >> 1)) return std::nullopt;
        whole = u.Mantissa << u.Unit;
    } else if (u.Unit > -64) {
        whole = u.Mantissa >> -u.Unit;
        half = u.Mantissa >> (-u.Unit - 1) & 1;
    } else if (u.Unit == -64) {
        half = u.Mantissa >> 63;
    }
    if (whole >= static_cast<uint64_t>(Bound)) return std::nullopt;
    auto r = static_cast<int64_t>(whole + half);
    return u.Negative ? -r : r;
}

}  // namespace zk::formfile
