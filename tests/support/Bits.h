#pragma once
// Bit-level helpers: doubles as IEEE 754 bit patterns.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>

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

// Parses 16 hex digits into the double with that bit pattern.
inline double fromHex(const std::string& hex) { return fromBits(std::stoull(hex, nullptr, 16)); }

// Equal bit for bit, any two NaNs counting as equal.
inline bool sameBits(double a, double b)
{
    if (std::isnan(a) && std::isnan(b)) return true;
    return bitsOf(a) == bitsOf(b);
}
