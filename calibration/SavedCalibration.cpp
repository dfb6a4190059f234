#include "calibration/SavedCalibration.h"

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

namespace tarn {

namespace {

const unsigned char kMagic[8] = {'T', 'A', 'R', 'N', 'C', 'A', 'L', '\0'};
// Format 1 (1.0.0 and 1.1.0) holds the calibrations; format 2 adds, per
// hand, what the hand keeps beyond its offset (KeptHand). Strings are
// written in format 2 and read in either.
constexpr std::uint16_t kFirstFormat = 1, kFormatVersion = 2;
// Flags: right hand, left hand, double hand, right tracker, left tracker,
// headset, right and left second quaternion supplied; then 7 rotations
// (4 doubles) with a presence byte each, and 2 points (3 doubles).
constexpr std::size_t kFlags = 8;
constexpr std::size_t kRotations = 7;
constexpr std::size_t kFirstPayload = kFlags + kRotations * (1 + 4 * 8) + 2 * 3 * 8;
// Per hand: a presence byte, the motion calibration's 12 doubles and 2
// counts; the monitor's reference row, 6 doubles and 2 flag bytes; a
// presence byte and the rate and its error.
constexpr std::size_t kHandRecord = (1 + 12 * 8 + 2 * 8) + (1 + 6 * 8 + 2) + (1 + 2 * 8);
constexpr std::size_t kPayload = kFirstPayload + 2 * kHandRecord;
constexpr std::size_t kHeader = 8 + 2 + 2;
constexpr std::size_t kSize = kHeader + kPayload + 4;
constexpr std::size_t kFirstSize = kHeader + kFirstPayload + 4;
// Counts of frames a motion window can hold: doubles count them exactly.
constexpr std::uint64_t kLargestCount = std::uint64_t{1} << 53;
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
    void number(double value) { doubles(&value, 1); }
    void hand(const KeptHand& k)
    {
        const MotionSummary none;
        const MotionSummary& m = k.fromMotion ? k.motion : none;
        byte(k.fromMotion);
        for (double v : {m.headingOffset, m.headingUncertainty, m.mount[0], m.mount[1], m.mount[2], m.mount[3],
                         m.strapTurn, m.strapTilt, m.residualSpread, m.turningRound, m.turningOver, m.duration})
            number(k.fromMotion ? v : 0.0);
        word(k.fromMotion ? m.framesUsed : 0, 8);
        word(k.fromMotion ? m.framesSkipped : 0, 8);
        const DriftSettings& d = k.settings;
        byte(static_cast<unsigned>(d.referenceRow));
        for (double v : {d.threshold, d.holdTime, d.stillSpeed, d.stillTime, d.window, d.compensateWithin}) number(v);
        byte(d.autoRecalibrate);
        byte(d.compensate);
        byte(k.rateKnown);
        number(k.rateKnown ? k.rate : 0.0);
        number(k.rateKnown ? k.rateError : 0.0);
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
    // A double that must be finite and within [low, high].
    double number(double low, double high)
    {
        double v;
        doubles(&v, 1);
        valid_ = valid_ && v >= low && v <= high;
        return v;
    }
    // A hand's record; `calibrated`: whether the hand is. A motion
    // calibration is only kept for a calibrated hand; every angle, spread
    // and time is finite and in range, the mount of unit length within
    // kRotationTolerance; the settings valid; absent values zero.
    KeptHand hand(bool calibrated)
    {
        constexpr double kInf = std::numeric_limits<double>::infinity();
        const double kMax = std::numeric_limits<double>::max();
        KeptHand k;
        k.fromMotion = flag();
        const double any = k.fromMotion ? kMax : 0.0, turn = k.fromMotion ? kPi : 0.0;
        MotionSummary& m = k.motion;
        m.verdict = MotionVerdict::Good;
        m.headingOffset = number(-turn, turn);
        m.headingUncertainty = number(0.0, any);
        for (double& c : m.mount) c = number(-any, any);
        m.strapTurn = number(-turn, turn);
        m.strapTilt = number(0.0, turn);
        m.residualSpread = number(0.0, any);
        m.turningRound = number(0.0, any);
        m.turningOver = number(0.0, any);
        m.duration = number(0.0, any);
        m.framesUsed = word(8);
        m.framesSkipped = word(8);
        const double length = std::sqrt(m.mount[0] * m.mount[0] + m.mount[1] * m.mount[1] +
                                        m.mount[2] * m.mount[2] + m.mount[3] * m.mount[3]);
        valid_ = valid_ && (!k.fromMotion || (calibrated && std::fabs(length - 1.0) <= kRotationTolerance));
        valid_ = valid_ && m.framesUsed <= (k.fromMotion ? kLargestCount : 0) &&
                 m.framesSkipped <= (k.fromMotion ? kLargestCount : 0);
        DriftSettings& d = k.settings;
        d.referenceRow = static_cast<int>(word(1));
        for (double* v : {&d.threshold, &d.holdTime, &d.stillSpeed, &d.stillTime, &d.window, &d.compensateWithin})
            *v = number(-kInf, kInf);
        d.autoRecalibrate = flag();
        d.compensate = flag();
        valid_ = valid_ && validDriftSettings(d);
        k.rateKnown = flag();
        k.rate = number(k.rateKnown ? -kMax : 0.0, k.rateKnown ? kMax : 0.0);
        k.rateError = number(0.0, k.rateKnown ? kMax : 0.0);
        return k;
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
    w.hand(calibrator.keptHand(Hand::Right));
    w.hand(calibrator.keptHand(Hand::Left));
    w.word(crc32(out, w.written()), 4);
}

bool restoreCalibration(Calibrator& calibrator, const unsigned char* data, std::size_t size)
{
    if (size < kHeader || std::memcmp(data, kMagic, sizeof kMagic) != 0) return false;
    Reader r(data + sizeof kMagic);
    const std::uint64_t version = r.word(2), payload = r.word(2);
    const bool first = version == kFirstFormat;
    if (!(first && payload == kFirstPayload && size == kFirstSize) &&
        !(version == kFormatVersion && payload == kPayload && size == kSize))
        return false;
    Reader tail(data + size - 4);
    if (tail.word(4) != crc32(data, size - 4)) return false;

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
    KeptHand kept[2];
    if (!first) {
        kept[0] = r.hand(flags[0]);
        kept[1] = r.hand(flags[1]);
    }
    if (!r.valid()) return false;
    s.doubleHand.DoubleHandCalibrated = flags[2];
    s.allVR.rTrackerCalibrated = flags[3];
    s.allVR.lTrackerCalibrated = flags[4];
    s.allVR.vrGlassesCalibrated = flags[5];
    s.allVR.rTrackerQuat2Supplied = flags[6];
    s.allVR.lTrackerQuat2Supplied = flags[7];
    calibrator.replaceState(s, flags, first ? nullptr : kept);
    return true;
}

}  // namespace tarn
