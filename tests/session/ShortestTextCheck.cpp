// writeShortest against std::to_chars, text for text: COUNT random bit
// patterns (every kind of double: subnormals, huge, NaN and infinities),
// COUNT random values in (-1, 1) (what sessions hold most), COUNT / 10
// subnormals, and the edge cases: every power of ten and its neighbours,
// the integers up to a million, powers of two up to 2^53 and their
// neighbours, the smallest and largest doubles, both zeros.
// Usage: tarn_shortest_text_check [COUNT]   (default 1000000; CI runs the
// default, docs/performance.md 100000000). Exits 1 on any difference.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <random>

#include "ShortestText.h"

namespace {

long checked = 0, differing = 0;

void check(double value)
{
    char expected[64], actual[64];
    const char* expectedEnd = std::to_chars(expected, expected + sizeof expected, value).ptr;
    const char* actualEnd = session::writeShortest(actual, value);
    ++checked;
    if (expectedEnd - expected == actualEnd - actual && std::memcmp(expected, actual, expectedEnd - expected) == 0)
        return;
    if (differing++ < 10)
        std::printf("%a: std::to_chars %.*s, writeShortest %.*s\n", value, static_cast<int>(expectedEnd - expected),
                    expected, static_cast<int>(actualEnd - actual), actual);
}

double fromBits(std::uint64_t bits)
{
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

}  // namespace

int main(int argc, char** argv)
{
    const long count = argc > 1 ? std::atol(argv[1]) : 1000000;
    std::mt19937_64 random(20261207);
    std::uniform_real_distribution<double> unit(-1.0, 1.0);
    for (long k = 0; k < count; ++k) check(fromBits(random()));
    for (long k = 0; k < count; ++k) check(unit(random));
    for (long k = 0; k < count / 10; ++k) check(fromBits(random() & 0x000FFFFFFFFFFFFFull));
    for (int p = -325; p <= 308; ++p) {
        const double power = std::pow(10.0, p);
        for (double v : {power, std::nextafter(power, 0.0), std::nextafter(power, HUGE_VAL)}) {
            check(v);
            check(-v);
        }
    }
    for (int k = 0; k <= 1000000; ++k) check(k);
    for (int b = 0; b <= 53; ++b) {
        const double power = std::ldexp(1.0, b);
        for (double v : {power - 1, power, power + 1}) check(v);
    }
    for (double v : {std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::min(),
                     std::numeric_limits<double>::max(), 0.0, -0.0})
        check(v);
    std::printf("%ld doubles, %ld written differently\n", checked, differing);
    return differing == 0 ? 0 : 1;
}
