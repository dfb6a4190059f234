// Session numbers both ways against the standard library, text for text
// and bit for bit:
//  - writeShortest against std::to_chars: COUNT random bit patterns (every
//    kind of double: subnormals, huge, NaN, infinities), COUNT random values
//    in (-1, 1) (what sessions hold most), COUNT / 10 subnormals, every
//    power of ten and its neighbours, the integers up to a million, powers
//    of two up to 2^53 and their neighbours, the extremes, both zeros;
//  - parseNumberField against std::from_chars alone: each text written
//    above, COUNT random decimal texts (signs, points, 1 to 20 digits,
//    exponents), and texts at the edges of its quick path.
// Usage: tarn_number_text_check [COUNT]   (default 1000000; CI runs the
// default, docs/performance.md 100000000). Exits 1 on any difference.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "NumberField.h"
#include "ShortestText.h"

namespace {

long checked = 0, differing = 0;

void report(const std::string& what)
{
    if (differing++ < 10) std::printf("%s\n", what.c_str());
}

// The field as std::from_chars alone reads it, with the session's rule for
// a leading '+'.
std::optional<double> reference(std::string_view field)
{
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
        if (!field.empty() && (field.front() == '+' || field.front() == '-')) return std::nullopt;
    }
    double value = 0.0;
    const char* end = field.data() + field.size();
    const auto result = std::from_chars(field.data(), end, value, std::chars_format::general);
    if (field.empty() || result.ec != std::errc() || result.ptr != end) return std::nullopt;
    return value;
}

void checkRead(const std::string& text)
{
    ++checked;
    const auto expected = reference(text), actual = session::parseNumberField(text);
    const bool same = expected.has_value() == actual.has_value() &&
                      (!expected || std::memcmp(&*expected, &*actual, sizeof(double)) == 0 ||
                       (std::isnan(*expected) && std::isnan(*actual)));
    if (!same) report("read \"" + text + "\" differently");
}

void checkWrite(double value)
{
    char expected[64], actual[64];
    const char* expectedEnd = std::to_chars(expected, expected + sizeof expected, value).ptr;
    const char* actualEnd = session::writeShortest(actual, value);
    const char* actualStart = actual;
    ++checked;
    const std::string text(actualStart, actualEnd);
    const std::string wanted(static_cast<const char*>(expected), expectedEnd);
    if (text != wanted) report("wrote " + wanted + " as " + text);
    checkRead(text);
}

double fromBits(std::uint64_t bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

std::string randomDecimal(std::mt19937_64& random)
{
    std::string text = random() % 3 == 0 ? "-" : random() % 5 == 0 ? "+" : "";
    const int digits = 1 + static_cast<int>(random() % 20), point = static_cast<int>(random() % (digits + 2));
    for (int k = 0; k < digits; ++k) {
        if (k == point) text += '.';
        text += static_cast<char>('0' + (k == 0 && random() % 2 ? 0 : random() % 10));
    }
    if (random() % 2) text += (random() % 2 ? "e" : "E") + std::string(random() % 3 == 0 ? "-" : random() % 2 ? "+" : "") +
                              std::to_string(random() % 30);
    return text;
}

}  // namespace

int main(int argc, char** argv)
{
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (long k = 0; k < count; ++k) checkWrite(fromBits(random()));
    for (long k = 0; k < count; ++k) checkWrite(unit(random));
    for (long k = 0; k < count / 10; ++k) checkWrite(fromBits(random() & 0x000FFFFFFFFFFFFFull));
    for (int p = -325; p <= 308; ++p) {
        const double power = std::pow(10.0, p);
        for (double v : {power, std::nextafter(power, 0.0), std::nextafter(power, HUGE_VAL)}) {
            checkWrite(v);
            checkWrite(-v);
        }
    }
    for (int k = 0; k <= 1000000; ++k) checkWrite(k);
    for (int b = 0; b <= 53; ++b) {
        const double power = std::ldexp(1.0, b);
        for (double v : {power - 1, power, power + 1}) checkWrite(v);
    }
    for (double v : {std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min(),
                     std::numeric_limits<double>::max(), 0.0, -0.0})
        checkWrite(v);
    for (long k = 0; k < count; ++k) checkRead(randomDecimal(random));
    for (const char* text : {"", ".", "-", "+", "1.", ".5", "-.5", "1e", "1e+", "1e-", "e5", "-0", "-0.0", "0e-400",
                             "-0e999", "1e22", "1e23", "1e-22", "1e-23", "999999999999999", "9999999999999999",
                             "123456789012345e7", "0.000000000000000000000001", "1.2.3", "1e5x", "0x10", "nan",
                             "-inf", "infinity", "1_0", "1e400", "1e-400", "00000000000000000001"})
        checkRead(text);
    std::printf("%ld texts, %ld differing from the standard library\n", checked, differing);
    return differing == 0 ? 0 : 1;
}
