#pragma once
// Comparing doubles in tests: bit patterns and named tolerances.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

// Results of a handful of rotations and products, against an independent
// derivation of the same value.
constexpr double kRoundOff = 1e-12;

inline std::uint64_t bitsOf(double x)
{
    std::uint64_t b;
    std::memcpy(&b, &x, sizeof b);
    return b;
}

inline double fromBits(std::uint64_t b)
{
    double x;
    std::memcpy(&x, &b, sizeof x);
    return x;
}

// 16 hex digits as the double with that bit pattern.
inline double fromHex(const std::string& hex) { return fromBits(std::stoull(hex, nullptr, 16)); }

// Equal bit for bit, any two NaNs counting as equal.
inline bool sameBits(double a, double b) { return (std::isnan(a) && std::isnan(b)) || bitsOf(a) == bitsOf(b); }

// 1 where sin, cos, asin, acos and atan2 are glibc's, as in the recorded
// values; the Windows build has its own and is built with 0.
#ifndef TARN_PLATFORM_MATH_EXACT
#define TARN_PLATFORM_MATH_EXACT 1
#endif

// How recorded values are compared. Values that passed through sin, cos,
// asin, acos or atan2 carry the last bits of the platform's math library:
// where it is not the one they were recorded with, they match within a
// relative 1e-12 of the largest finite magnitude among the recorded values.
// Everything else, and everything on the reference platform, matches bit
// for bit.
enum class Precision { BitExact, PlatformMath };

// The index of the first of `expected.size()` values of `actual` that does
// not match, or expected.size() when all do.
inline std::size_t firstMismatch(const double* actual, const std::vector<double>& expected, Precision precision)
{
    const bool relative = precision == Precision::PlatformMath && !TARN_PLATFORM_MATH_EXACT;
    double magnitude = 0.0;
    for (double e : expected)
        if (std::isfinite(e)) magnitude = std::max(magnitude, std::fabs(e));
    for (std::size_t k = 0; k < expected.size(); ++k) {
        if (sameBits(actual[k], expected[k])) continue;
        const bool finite = std::isfinite(actual[k]) && std::isfinite(expected[k]);
        if (!relative || !finite || std::fabs(actual[k] - expected[k]) > kRoundOff * magnitude) return k;
    }
    return expected.size();
}
