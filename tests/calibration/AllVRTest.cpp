// All-VR calibration: every decision path, checked through the pose outputs
// against the geometry (origin offset, rotation about z) written out here.
#include <array>
#include <cmath>

#include "support/Bits.h"
#include "support/FreshLibrary.h"
#include "support/Rotations.h"

namespace {

const double kHalfPi = std::acos(-1.0) / 2;
const Quat kIdentity{1, 0, 0, 0};

using Vec3 = std::array<double, 3>;

struct Tracker {
    bool on = false;
    Vec3 position{}, position2{};
    Quat quaternion = kIdentity;
    const double* quaternion2 = nullptr;
};

struct Headset {
    bool on = false;
    Vec3 position{};
    Quat quaternion = kIdentity;
};

const double kSupplied[4] = {1, 0, 0, 0};

// The right tracker alone at (1, 0, 1) looking along +y: heading 0, origin
// (0.8, 0, 0).
Tracker rightTrackerAlone()
{
    Tracker r;
    r.on = true;
    r.position = {1, 0, 1};
    r.position2 = {1, -1, 1};
    r.quaternion2 = kSupplied;
    return r;
}

void calibrate(const Tracker& r, const Tracker& l, const Headset& h, bool replaceOrigin = true)
{
    ASSERT_TRUE(InitialAllVRCalibrationV2(r.on, r.position.data(), r.position2.data(), r.quaternion.data(),
                                          r.quaternion2, l.on, l.position.data(), l.position2.data(),
                                          l.quaternion.data(), l.quaternion2, h.on, h.position.data(),
                                          h.quaternion.data(), replaceOrigin));
}

// The position a device at `p` should come out at for a frame with heading
// psi and origin o: (p - o) turned by -psi about z.
Vec3 inFrame(const Vec3& p, double psi, const Vec3& o)
{
    const double dx = p[0] - o[0], dy = p[1] - o[1];
    return {std::cos(psi) * dx + std::sin(psi) * dy, -std::sin(psi) * dx + std::cos(psi) * dy, p[2] - o[2]};
}

using Pose = std::pair<Vec3, Quat>;
using PoseExport = void (*)(double*, double*);

Pose convert(PoseExport get, Vec3 p, Quat q)
{
    get(p.data(), q.data());
    return {p, q};
}

void expectPosition(const Vec3& actual, const Vec3& expected)
{
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(actual[k], expected[k], 1e-12) << "axis " << k;
}

void expectQuat(const Quat& actual, const Quat& expected)
{
    for (int k = 0; k < 4; ++k) EXPECT_NEAR(actual[k], expected[k], 1e-12) << "component " << k;
}

void expectUnchanged(PoseExport get)
{
    const Vec3 p{1.5, -2.5, 0.25};
    const Quat q{-0.0, 0.5, std::nan(""), 3.0};
    const Pose out = convert(get, p, q);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(bitsOf(out.first[k]), bitsOf(p[k]));
    for (int k = 0; k < 4; ++k) EXPECT_EQ(bitsOf(out.second[k]), bitsOf(q[k]));
}

using AllVR = FreshLibrary;

TEST_F(AllVR, NothingIsConvertedBeforeTheFirstCalibration)
{
    expectUnchanged(GetAllRTracker);
    expectUnchanged(GetAllLTracker);
    expectUnchanged(GetAllVRGlasses);
    GetAllVRCalibrationData(nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
}

TEST_F(AllVR, BothTrackersSetTheFrameAlongTheirLine)
{
    Tracker r, l;
    r.on = l.on = true;
    r.position = {0, 1, 1};
    l.position = {0, 0, 1};
    r.quaternion = headingQuat(0.4);
    l.quaternion = headingQuat(-0.2);
    r.quaternion2 = kSupplied;
    calibrate(r, l, {});

    // Heading pi/2, origin midway on the floor.
    const Pose right = convert(GetAllRTracker, {1, 0.5, 1.5}, headingQuat(0.4));
    expectPosition(right.first, {0, -1, 1.5});
    expectQuat(right.second, kIdentity);
    const Pose left = convert(GetAllLTracker, {0, 0, 1}, headingQuat(0.1));
    expectPosition(left.first, inFrame({0, 0, 1}, kHalfPi, {0, 0.5, 0}));
    expectQuat(left.second, headingQuat(0.3));
    expectUnchanged(GetAllVRGlasses);
}

TEST_F(AllVR, TrackersTooCloseKeepTheOldFrameAndCalibrateNeitherTracker)
{
    Tracker r, l;
    r.on = l.on = true;
    r.quaternion2 = kSupplied;
    r.position = {1, 0, 1.2};
    l.position = {0, 0, 1.0};
    calibrate(r, l, {});  // heading 0, origin (0.5, 0, 0)

    r.position = {0.001, 0, 0.5};
    l.position = {0, 0, 0};
    Headset h;
    h.on = true;
    calibrate(r, l, h);  // exactly 0.001 apart: too close
    expectUnchanged(GetAllRTracker);
    expectUnchanged(GetAllLTracker);
    const Pose headset = convert(GetAllVRGlasses, {2, 1, 1.7}, kIdentity);
    expectPosition(headset.first, {1.5, 1, 1.7});

    r.position = {std::nan(""), 0, 0};
    calibrate(r, l, {});  // a NaN difference counts as too close
    expectUnchanged(GetAllRTracker);
}

TEST_F(AllVR, OneTrackerAloneLooksFromPosition2AndOffsetsTheOriginSideways)
{
    const Tracker r = rightTrackerAlone();
    calibrate(r, {}, {});
    expectPosition(convert(GetAllRTracker, {1, 0, 1}, kIdentity).first, {0.2, 0, 1});
    expectUnchanged(GetAllLTracker);

    Tracker l;
    l.on = true;
    l.position = {3, 3, 1};
    l.position2 = {4, 3, 1};  // forward is -x: heading pi/2
    l.quaternion2 = kSupplied;
    calibrate({}, l, {});
    const Vec3 origin{3, 3.2, 0};  // 0.2 along the frame's +x (world +y)
    expectPosition(convert(GetAllLTracker, {3, 3, 1}, kIdentity).first, inFrame({3, 3, 1}, kHalfPi, origin));
    expectUnchanged(GetAllRTracker);
}

TEST_F(AllVR, HeadsetDecidesWhenNoSecondQuaternionIsSupplied)
{
    Tracker r = rightTrackerAlone();
    const double tiny[4] = {5e-9, 5e-9, 5e-9, 5e-9};  // below 1e-8: not supplied
    r.quaternion2 = tiny;
    Headset h;
    h.on = true;
    h.position = {0, 0, 1.7};
    h.quaternion = hamilton(headingQuat(kHalfPi), {std::cos(0.2), std::sin(0.2), 0, 0});
    calibrate(r, {}, h);

    // Frame from the headset: heading pi/2, origin 0.5 in front of it.
    const Vec3 origin{-0.5, 0, 0};
    expectPosition(convert(GetAllRTracker, {1, 0, 1}, kIdentity).first, inFrame({1, 0, 1}, kHalfPi, origin));
    const Pose headset = convert(GetAllVRGlasses, {0, 0, 1.7}, h.quaternion);
    expectPosition(headset.first, {0, -0.5, 1.7});  // the origin lies 0.5 ahead of it
    expectQuat(headset.second, {std::cos(0.2), std::sin(0.2), 0, 0});

    // One component of 1e-8 is enough to count as supplied.
    const double small[4] = {0, 0, 1e-8, 0};
    r.quaternion2 = small;
    calibrate(r, {}, h);
    expectPosition(convert(GetAllRTracker, {1, 0, 1}, kIdentity).first, {0.2, 0, 1});
}

TEST_F(AllVR, AccumulatingOriginsAddUp)
{
    const Tracker r = rightTrackerAlone();
    calibrate(r, {}, {}, false);
    calibrate(r, {}, {}, false);  // origin (1.6, 0, 0)
    expectPosition(convert(GetAllRTracker, {1, 0, 1}, kIdentity).first, {-0.6, 0, 1});
    ASSERT_TRUE(InitialAllVRCalibration(true, r.position.data(), r.position2.data(), r.quaternion.data(), kSupplied,
                                        false, nullptr, nullptr, nullptr, nullptr, false, nullptr, nullptr));
    expectPosition(convert(GetAllRTracker, {1, 0, 1}, kIdentity).first, {0.2, 0, 1});
}

TEST_F(AllVR, CallWithoutTrackersClearsTheirOutputsButKeepsTheFrame)
{
    const Tracker r = rightTrackerAlone();
    calibrate(r, {}, {});
    ResetAllVRCalibration();  // does nothing
    Close();                  // leaves this state alone too
    expectPosition(convert(GetAllRTracker, {1, 0, 1}, kIdentity).first, {0.2, 0, 1});

    Headset h;
    h.on = true;
    Tracker off;
    off.quaternion2 = kSupplied;  // no fallback: the frame stays
    calibrate(off, {}, h);
    expectUnchanged(GetAllRTracker);
    expectPosition(convert(GetAllVRGlasses, {1, 0, 1}, kIdentity).first, {0.2, 0, 1});
}

TEST_F(AllVR, AllDevicesAtOnceEqualTheThreeSingleCallsAndConvertingTwiceTurnsTwice)
{
    Tracker r, l;
    r.on = l.on = true;
    r.position = {0.3, 0.9, 1};
    l.position = {-0.1, 0.2, 1.1};
    r.quaternion = headingQuat(0.7);
    l.quaternion = headingQuat(-0.4);
    Headset h;
    h.on = true;
    h.position = {0.1, 0.4, 1.6};
    h.quaternion = headingQuat(1.1);
    r.quaternion2 = kSupplied;
    calibrate(r, l, h);

    Vec3 rp{1, 2, 3}, lp{-1, 0.5, 1}, hp{0, 0, 1.7};
    Quat rq = headingQuat(0.2), lq = headingQuat(-0.3), hq = headingQuat(0.9);
    const Pose rs = convert(GetAllRTracker, rp, rq), ls = convert(GetAllLTracker, lp, lq),
               hs = convert(GetAllVRGlasses, hp, hq);
    GetAllVRCalibrationData(rp.data(), rq.data(), nullptr, lp.data(), lq.data(), nullptr, hp.data(), hq.data());
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(bitsOf(rp[k]), bitsOf(rs.first[k]));
        EXPECT_EQ(bitsOf(lp[k]), bitsOf(ls.first[k]));
        EXPECT_EQ(bitsOf(hp[k]), bitsOf(hs.first[k]));
    }
    for (int k = 0; k < 4; ++k) EXPECT_EQ(bitsOf(hq[k]), bitsOf(hs.second[k]));

    GetAllVRGlasses(hp.data(), hq.data());  // a second conversion turns again
    expectQuat(hq, headingQuat(0.9 - 2 * 1.1));
}

}  // namespace
