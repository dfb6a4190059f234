#include "FuzzInput.h"

#include <climits>
#include <cstring>
#include <limits>

namespace {

// Smallest dimension whose square exceeds INT_MAX, and the largest used
// (whose square wraps to exactly 0 in 32 bits).
constexpr int kLargeDimensionMin = 46341;
constexpr int kLargeDimensionMax = 65536;

}  // namespace

std::uint8_t FuzzInput::byte()
{
    return exhausted() ? 0 : data_[offset_++];
}

int FuzzInput::anyInt()
{
    std::uint32_t bits = 0;
    for (int k = 0; k < 4; ++k) bits = (bits << 8) | byte();
    int value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

int FuzzInput::between(int low, int high)
{
    return low + pick(high - low + 1);
}

int FuzzInput::dimension()
{
    switch (pick(16)) {
    case 0: {
        const int large = kLargeDimensionMin + static_cast<int>(static_cast<unsigned>(anyInt()) %
                                                                (kLargeDimensionMax - kLargeDimensionMin + 1));
        return flag() ? -large : large;
    }
    case 1: return INT_MIN;
    default: return between(-2, 12);
    }
}

double FuzzInput::number()
{
    using limits = std::numeric_limits<double>;
    static const double kSpecial[] = {
        0.0, -0.0, 1.0, -1.0, 0.5, 2.0, 0.001, -0.001, 0.0010000000000000002, 1e-8, -1e-8, 9.999999999999999e-9,
        1.5707963267948966, 3.141592653589793, -3.141592653589793, 0.7071067811865476, 1e300, -1e300, 1e-300,
        limits::quiet_NaN(), -limits::quiet_NaN(), limits::infinity(), -limits::infinity(), limits::denorm_min(),
        -limits::denorm_min(), limits::min(), limits::max(), -limits::max(), limits::epsilon(),
    };
    constexpr int kSpecialCount = static_cast<int>(sizeof kSpecial / sizeof kSpecial[0]);
    const int choice = pick(4);
    if (choice == 0) return kSpecial[pick(kSpecialCount)];
    if (choice == 1) {
        std::uint64_t bits = 0;
        for (int k = 0; k < 8; ++k) bits = (bits << 8) | byte();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    return static_cast<double>(between(-100, 100)) / 8.0;
}

std::string FuzzInput::rotationOrder()
{
    static const char* const kValid[] = {"ZYX", "ZXY", "YZX", "YXZ", "XYZ", "XZY"};
    static const char* const kInvalid[] = {"", "zyx", "ZYXZ", "ZY", "XXX", "ZYX "};
    switch (pick(4)) {
    case 0: return kInvalid[pick(6)];
    case 1: {
        std::string text(static_cast<std::size_t>(pick(5)), '\0');
        for (char& c : text) c = static_cast<char>(byte());
        return text;
    }
    default: return kValid[pick(6)];
    }
}
