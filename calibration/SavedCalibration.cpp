#include "calibration/SavedCalibration.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace tarn {

namespace {

const unsigned char kMagic[8] = {'T', 'A', 'R', 'N', 'C', 'A', 'L', '\0'};
constexpr std::uint16_t kFormatVersion = 1;
// Flags: right hand, left hand, double hand, right tracker, left tracker,
// headset, right and left second quaternion supplied; then 7 rotations
// (4 doubles) with a presence byte each, and 2 points (3 doubles).
constexpr std::size_t kFlags = 8;
constexpr std::size_t kRotations = 7;
constexpr std::size_t kPayload = kFlags + kRotations * (1 + 4 * 8) + 2 * 3 * 8;
constexpr std::size_t kHeader = 8 + 2 + 2;
constexpr std::size_t kSize = kHeader + kPayload + 4;
// A saved rotation is a heading, [cos, 0, 0, sin]: its length within this
// of 1, its x and y within this of 0.
constexpr double kRotationTolerance = 1e-9;
// A saved point (a double-hand centre, an All-VR origin) within this of
// zero in every axis, in metres: room for any point a calibration places
// near positions in range.
constexpr double kLargestPoint = 10 * kLargestPosition;

// Whether q is a rotation a calibration makes: one about the up axis, of
// unit length (false for NaN and infinite components).
bool isHeading(const double* q)
{
    const double length = std::sqrt(q[0] * q[0] + q[3] * q[3]);
    return std::fabs(q[1]) <= kRotationTolerance && std::fabs(q[2]) <= kRotationTolerance &&
           std::fabs(length - 1.0) <= kRotationTolerance;
}

std::uint32_t crc32(const unsigned char* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t k = 0; k < size; ++k) {
        crc ^= data[k];
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

class Writer {
public:
    explicit Writer(unsigned char* out) : out_(out) {}
    void byte(unsigned value) { out_[at_++] = static_cast<unsigned char>(value); }
    void word(std::uint64_t value, int bytes)
    {
        for (int k = 0; k < bytes; ++k) byte(static_cast<unsigned>((value >> (8 * k)) & 0xFFu));
    }
    void doubles(const double* values, int count)
    {
        for (int k = 0; k < count; ++k) {
            std::uint64_t bits;
            std::memcpy(&bits, &values[k], sizeof bits);
            word(bits, 8);
        }
    }
    void rotation(const PrecomputedRotation& r)
    {
        const bool present = r.quaternion().data.size() == 4;
        byte(present);
        const double none[4] = {0.0, 0.0, 0.0, 0.0};
        doubles(present ? r.quaternion().data.data() : none, 4);
    }
    std::size_t written() const { return at_; }

private:
    unsigned char* out_;
    std::size_t at_ = 0;
};

class Reader {
public:
    explicit Reader(const unsigned char* data) : data_(data) {}
    std::uint64_t word(int bytes)
    {
        std::uint64_t value = 0;
        for (int k = 0; k < bytes; ++k) value |= static_cast<std::uint64_t>(data_[at_++]) << (8 * k);
        return value;
    }
    // A flag byte; anything but 0 or 1 makes the string invalid.
    bool flag()
    {
        const std::uint64_t value = word(1);
        valid_ = valid_ && value <= 1;
        return value == 1;
    }
    void doubles(double* values, int count)
    {
        for (int k = 0; k < count; ++k) {
            const std::uint64_t bits = word(8);
            std::memcpy(&values[k], &bits, sizeof bits);
        }
    }
    // A rotation; `required`: one that must be present. A present one must
    // be a heading; an absent one's doubles are zero, as written.
    PrecomputedRotation rotation(bool required)
    {
        const bool present = flag();
        double q[4];
        doubles(q, 4);
        const bool zero = q[0] == 0.0 && q[1] == 0.0 && q[2] == 0.0 && q[3] == 0.0;
        valid_ = valid_ && (present ? isHeading(q) : !required && zero);
        return present ? PrecomputedRotation(MatFunc(q, 4)) : PrecomputedRotation();
    }
    // A point within kLargestPoint; `onFloor`: one whose height is zero.
    MatFunc point(bool onFloor)
    {
        double p[3];
        doubles(p, 3);
        for (double v : p) valid_ = valid_ && std::fabs(v) <= kLargestPoint;
        valid_ = valid_ && (!onFloor || p[2] == 0.0);
        return MatFunc(p, 3);
    }
    bool valid() const { return valid_; }

private:
    const unsigned char* data_;
    std::size_t at_ = 0;
    bool valid_ = true;
};

}  // namespace

std::size_t savedCalibrationSize() { return kSize; }

void saveCalibration(const Calibrator& calibrator, unsigned char* out)
{
    const CalibrationState& s = calibrator.state();
    Writer w(out);
    for (unsigned char c : kMagic) w.byte(c);
    w.word(kFormatVersion, 2);
    w.word(kPayload, 2);
    const bool flags[kFlags] = {calibrator.handCalibrated(Hand::Right), calibrator.handCalibrated(Hand::Left),
                                s.doubleHand.DoubleHandCalibrated, s.allVR.rTrackerCalibrated,
                                s.allVR.lTrackerCalibrated, s.allVR.vrGlassesCalibrated,
                                s.allVR.rTrackerQuat2Supplied, s.allVR.lTrackerQuat2Supplied};
    for (bool f : flags) w.byte(f);
    for (const PrecomputedRotation* r :
         {&s.singleHand.RHandOffset, &s.singleHand.LHandOffset, &s.doubleHand.DoubleHandRotation,
          &s.allVR.frameHeading, &s.allVR.rTrackerHeading, &s.allVR.lTrackerHeading, &s.allVR.vrGlassesHeading})
        w.rotation(*r);
    w.doubles(s.doubleHand.DoubleHandCenter.data.data(), 3);
    w.doubles(s.allVR.frameOrigin.data.data(), 3);
    w.word(crc32(out, w.written()), 4);
}

bool restoreCalibration(Calibrator& calibrator, const unsigned char* data, std::size_t size)
{
    if (size != kSize || std::memcmp(data, kMagic, sizeof kMagic) != 0) return false;
    Reader r(data + sizeof kMagic);
    if (r.word(2) != kFormatVersion || r.word(2) != kPayload) return false;
    Reader tail(data + kSize - 4);
    if (tail.word(4) != crc32(data, kSize - 4)) return false;

    CalibrationState s;
    bool flags[kFlags];
    for (bool& f : flags) f = r.flag();
    // The hands' offsets and the two frames always hold a rotation; a
    // device's heading exists when the device is calibrated.
    s.singleHand.RHandOffset = r.rotation(true);
    s.singleHand.LHandOffset = r.rotation(true);
    s.doubleHand.DoubleHandRotation = r.rotation(true);
    s.allVR.frameHeading = r.rotation(true);
    s.allVR.rTrackerHeading = r.rotation(flags[3]);
    s.allVR.lTrackerHeading = r.rotation(flags[4]);
    s.allVR.vrGlassesHeading = r.rotation(flags[5]);
    s.doubleHand.DoubleHandCenter = r.point(false);
    s.allVR.frameOrigin = r.point(true);
    if (!r.valid()) return false;
    s.doubleHand.DoubleHandCalibrated = flags[2];
    s.allVR.rTrackerCalibrated = flags[3];
    s.allVR.lTrackerCalibrated = flags[4];
    s.allVR.vrGlassesCalibrated = flags[5];
    s.allVR.rTrackerQuat2Supplied = flags[6];
    s.allVR.lTrackerQuat2Supplied = flags[7];
    calibrator.replaceState(s, flags);
    return true;
}

}  // namespace tarn
