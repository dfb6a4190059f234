#include "NumberField.h"

#include <charconv>
#include <cstdint>
#include <system_error>

namespace session {

namespace {

// Powers of ten a double holds exactly.
constexpr double kExactPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// The common field, "-0.9858854645" or "12.5e-3", read the quick way when
// it can be: at most 15 significant digits and a power of ten a double
// holds exactly, so that one multiplication or division of two exact
// doubles, rounded once, is the correctly rounded value (Clinger's fast
// path, as std::from_chars takes it too). Returns false for anything else
// (other forms, longer digits, larger exponents, nan, inf, junk), which is
// left to std::from_chars.
bool quickDecimal(std::string_view field, double& value)
{
    const char* at = field.data();
    const char* const end = at + field.size();
    const bool negative = at != end && *at == '-';
    if (negative) ++at;
    std::uint64_t digits = 0;
    int significant = 0, exponent = 0;
    bool anyDigit = false, point = false;
    for (; at != end; ++at) {
        const char c = *at;
        if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (digits == 0 && c == '0') {
                if (point) --exponent;
                continue;
            }
            if (++significant > 15) return false;
            digits = digits * 10 + static_cast<std::uint64_t>(c - '0');
            if (point) --exponent;
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
    }
    if (!anyDigit) return false;
    if (at != end) {
        if (*at != 'e' && *at != 'E') return false;
        ++at;
        const bool negativeExponent = at != end && *at == '-';
        if (at != end && (*at == '-' || *at == '+')) ++at;
        if (at == end) return false;
        int written = 0;
        for (; at != end; ++at) {
            if (*at < '0' || *at > '9' || written > 100) return false;
            written = written * 10 + (*at - '0');
        }
        exponent += negativeExponent ? -written : written;
    }
    if (exponent < -22 || exponent > 22) return digits == 0 ? (value = negative ? -0.0 : 0.0, true) : false;
    const double mantissa = static_cast<double>(digits);
    value = exponent < 0 ? mantissa / kExactPowers[-exponent] : mantissa * kExactPowers[exponent];
    if (negative) value = -value;
    return true;
}

}  // namespace

std::optional<double> parseNumberField(std::string_view field)
{
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
        if (!field.empty() && (field.front() == '+' || field.front() == '-')) {
            return std::nullopt;
        }
    }
    if (field.empty()) {
        return std::nullopt;
    }
    double value = 0.0;
    if (quickDecimal(field, value)) return value;
    const char* end = field.data() + field.size();
    const auto result = std::from_chars(field.data(), end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace session
