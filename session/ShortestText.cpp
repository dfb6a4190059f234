#include "ShortestText.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

#include <fmt/format.h>

namespace session {

namespace {

constexpr char kPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// The 8 decimal digits of v < 10^8, leading zeros included, at `out`.
void writeEightDigits(char* out, std::uint32_t v)
{
    const std::uint32_t high = v / 10000, low = v % 10000;
    std::memcpy(out, kPairs + 2 * (high / 100), 2);
    std::memcpy(out + 2, kPairs + 2 * (high % 100), 2);
    std::memcpy(out + 4, kPairs + 2 * (low / 100), 2);
    std::memcpy(out + 6, kPairs + 2 * (low % 100), 2);
}

// The decimal digits of n (at most 24 of them) ending at `end`; returns
// where they start.
char* writeDigits(char* end, std::uint64_t n)
{
    constexpr std::uint64_t kEight = 100000000;
    while (n >= kEight) {
        end -= 8;
        writeEightDigits(end, static_cast<std::uint32_t>(n % kEight));
        n /= kEight;
    }
    do {
        *--end = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    return end;
}


// How many decimal digits n has (n > 0).
int digitCount(std::uint64_t n)
{
    static constexpr std::uint64_t kPowers[] = {1ull, 10ull, 100ull, 1000ull, 10000ull, 100000ull, 1000000ull,
                                                10000000ull, 100000000ull, 1000000000ull, 10000000000ull,
                                                100000000000ull, 1000000000000ull, 10000000000000ull,
                                                100000000000000ull, 1000000000000000ull, 10000000000000000ull,
                                                100000000000000000ull, 1000000000000000000ull,
                                                10000000000000000000ull};
    // log10(2) is about 1233 / 4096: an estimate from the bit length, one
    // too small at most.
    const int estimate = ((64 - __builtin_clzll(n)) * 1233) >> 12;
    return estimate + (n >= kPowers[estimate] ? 1 : 0);
}

}  // namespace

// The shortest decimal significand and exponent come from {fmt}'s
// Dragonbox (value = significand x 10^exponent, the significand without
// trailing zeros); the layout is std::to_chars's: the fixed and the
// scientific form of those digits, the shorter one, fixed on a tie. Zero,
// infinities, NaN and long integers are left to std::to_chars. The digits
// are written where they end up, the point moved in after them.
char* writeShortest(char* out, double value)
{
    if (value == 0.0 || !std::isfinite(value)) return std::to_chars(out, out + kLongestShortestText, value).ptr;
    if (std::signbit(value)) {
        *out++ = '-';
        value = -value;
    }
    const auto decimal = fmt::detail::dragonbox::to_decimal(value);
    const std::uint64_t significand = decimal.significand;
    const int n = digitCount(significand), e = decimal.exponent, scientificExponent = e + n - 1;
    const int exponentDigits = scientificExponent >= 100 || scientificExponent <= -100 ? 3 : 2;
    const int scientificLength = n + (n > 1 ? 1 : 0) + 2 + exponentDigits;
    const int fixedLength = e >= 0 ? n + e : n + e > 0 ? n + 1 : 2 - e;
    if (fixedLength <= scientificLength) {
        if (e >= 0) {
            // std::to_chars writes an integer this long exactly, digits
            // beyond the shortest ones included; below 2^53 they are zeros.
            if (e > 0 && value >= 9007199254740992.0)
                return std::to_chars(out, out + kLongestShortestText, value).ptr;
            writeDigits(out + n, significand);
            std::memset(out + n, '0', static_cast<std::size_t>(e));
        } else if (n + e > 0) {
            writeDigits(out + n + 1, significand);
            std::memmove(out, out + 1, static_cast<std::size_t>(n + e));
            out[n + e] = '.';
        } else {
            out[0] = '0';
            out[1] = '.';
            std::memset(out + 2, '0', static_cast<std::size_t>(-(n + e)));
            writeDigits(out + fixedLength, significand);
        }
        return out + fixedLength;
    }
    writeDigits(out + 1 + n, significand);
    out[0] = out[1];
    char* at = out + 1;
    if (n > 1) {
        *at = '.';
        at += n;
    }
    *at++ = 'e';
    *at++ = scientificExponent < 0 ? '-' : '+';
    int magnitude = scientificExponent < 0 ? -scientificExponent : scientificExponent;
    if (exponentDigits == 3) *at++ = static_cast<char>('0' + magnitude / 100), magnitude %= 100;
    std::memcpy(at, kPairs + 2 * magnitude, 2);
    return at + 2;
}

}  // namespace session
