// The All-VR pose outputs and the double-hand positions compute
// (P - origin) * Cbn and Q * w(heading, 2) on fixed-size rows instead of
// matrices. Seeded random states and inputs, with zeros of both signs,
// subnormals, huge values, infinities and NaN, must come out bit for bit as
// the matrix expressions give them (any NaN matching any NaN).
#include <cstdint>
#include <limits>
#include <random>

#include "support/Bits.h"
#include "support/FreshLibrary.h"

namespace {

class Draw {
public:
    explicit Draw(std::uint64_t seed) : engine_(seed) {}

    double value()
    {
        switch (engine_() % 10) {
        case 0: return 0.0;
        case 1: return -0.0;
        case 2: return std::numeric_limits<double>::quiet_NaN();
        case 3: return sign() * std::numeric_limits<double>::infinity();
        case 4: return sign() * 4.9e-320;
        case 5: return sign() * 1e300;
        default: return std::uniform_real_distribution<double>(-2.0, 2.0)(engine_);
        }
    }

    // Mostly ordinary values; one draw in four may hold anything.
    void fill(double* out, int n)
    {
        const bool special = engine_() % 4 == 0;
        for (int k = 0; k < n; ++k)
            out[k] = special ? value() : std::uniform_real_distribution<double>(-2.0, 2.0)(engine_);
    }

    MatFunc row(int n)
    {
        ElementBuffer values(static_cast<std::size_t>(n));
        fill(values.data(), n);
        return MatFunc(values, 1, n);
    }

private:
    double sign() { return engine_() % 2 ? 1.0 : -1.0; }

    std::mt19937_64 engine_;
};

struct Pose {
    double position[3];
    double quaternion[4];
};

// What the matrix expressions give for one device.
Pose expectedPose(const Pose& in, const PrecomputedRotation& deviceHeading)
{
    const AllVRCalibrationState& s = calibrationState().allVR;
    const MatFunc p = (MatFunc(in.position, 3) - s.frameOrigin) * s.frameHeading.quaternion().Cbn();
    const MatFunc q = MatFunc(in.quaternion, 4) * deviceHeading.quaternion().w_matrix_function(2);
    Pose out{};
    p.toDouble(out.position, 3);
    q.toDouble(out.quaternion, 4);
    return out;
}

void expectSameBits(const double* expected, const double* actual, int n, int trial, const char* what)
{
    for (int k = 0; k < n; ++k) EXPECT_PRED2(sameBits, expected[k], actual[k]) << "trial " << trial << " " << what << k;
}

void expectSameBits(const Pose& expected, const Pose& actual, int trial)
{
    expectSameBits(expected.position, actual.position, 3, trial, "position ");
    expectSameBits(expected.quaternion, actual.quaternion, 4, trial, "quaternion ");
}

class RowTransforms : public FreshLibrary {
protected:
    // A calibrated All-VR state of random headings and origin.
    void randomState(Draw& draw)
    {
        AllVRCalibrationState& s = calibrationState().allVR;
        s.frameHeading = draw.row(4);
        s.frameOrigin = draw.row(3);
        s.rTrackerHeading = draw.row(4);
        s.lTrackerHeading = draw.row(4);
        s.vrGlassesHeading = draw.row(4);
        s.rTrackerCalibrated = s.lTrackerCalibrated = s.vrGlassesCalibrated = true;
    }

    static Pose randomPose(Draw& draw)
    {
        Pose pose{};
        draw.fill(pose.position, 3);
        draw.fill(pose.quaternion, 4);
        return pose;
    }
};

constexpr int kTrials = 20000;

TEST_F(RowTransforms, EachDeviceMatchesTheMatrixExpressions)
{
    Draw draw(0x5eed0001);
    using Get = void (*)(double*, double*);
    const Get exports[] = {GetAllRTracker, GetAllLTracker, GetAllVRGlasses};
    for (int trial = 0; trial < kTrials; ++trial) {
        randomState(draw);
        const AllVRCalibrationState& s = calibrationState().allVR;
        const PrecomputedRotation* headings[] = {&s.rTrackerHeading, &s.lTrackerHeading, &s.vrGlassesHeading};
        const int device = trial % 3;
        const Pose in = randomPose(draw);
        Pose actual = in;
        exports[device](actual.position, actual.quaternion);
        expectSameBits(expectedPose(in, *headings[device]), actual, trial);
        if (HasFailure()) return;
    }
}

TEST_F(RowTransforms, AllDevicesAtOnceMatchTheMatrixExpressions)
{
    Draw draw(0x5eed0002);
    for (int trial = 0; trial < kTrials / 3; ++trial) {
        randomState(draw);
        const AllVRCalibrationState& s = calibrationState().allVR;
        const Pose right = randomPose(draw), left = randomPose(draw), headset = randomPose(draw);
        Pose r = right, l = left, h = headset;
        GetAllVRCalibrationData(r.position, r.quaternion, nullptr, l.position, l.quaternion, nullptr, h.position,
                                h.quaternion);
        expectSameBits(expectedPose(right, s.rTrackerHeading), r, trial);
        expectSameBits(expectedPose(left, s.lTrackerHeading), l, trial);
        expectSameBits(expectedPose(headset, s.vrGlassesHeading), h, trial);
        if (HasFailure()) return;
    }
}

TEST_F(RowTransforms, DoubleHandOutputMatchesTheMatrixExpressions)
{
    Draw draw(0x5eed0003);
    for (int trial = 0; trial < kTrials / 10; ++trial) {
        DoubleHandState& s = calibrationState().doubleHand;
        s.DoubleHandRotation = draw.row(4);
        s.DoubleHandCenter = draw.row(3);
        s.DoubleHandCalibrated = true;
        double hand1[80], hand2[80], position1[3], position2[3];
        draw.fill(hand1, 80);
        draw.fill(hand2, 80);
        draw.fill(position1, 3);
        draw.fill(position2, 3);

        const MatFunc rotation = s.DoubleHandRotation.quaternion().Cbn();
        const MatFunc turn = s.DoubleHandRotation.quaternion().w_matrix_function(2);
        double expected1[3], expected2[3], expectedHand1[80], expectedHand2[80];
        ((MatFunc(position1, 3) - s.DoubleHandCenter) * rotation).toDouble(expected1, 3);
        ((MatFunc(position2, 3) - s.DoubleHandCenter) * rotation).toDouble(expected2, 3);
        (MatFunc(reinterpret_cast<const double(*)[4]>(hand1)) * turn).toDouble(expectedHand1, 80);
        (MatFunc(reinterpret_cast<const double(*)[4]>(hand2)) * turn).toDouble(expectedHand2, 80);

        GetDoubleHandCalibrationData(hand1, hand2, position1, position2);
        expectSameBits(expected1, position1, 3, trial, "position1 ");
        expectSameBits(expected2, position2, 3, trial, "position2 ");
        expectSameBits(expectedHand1, hand1, 80, trial, "hand1 ");
        expectSameBits(expectedHand2, hand2, 80, trial, "hand2 ");
        if (HasFailure()) return;
    }
}

}  // namespace
