// Host conventions against rotation matrices written out from each
// engine's documented axes: a calibrator made for a convention gives, bit
// for bit, what a calibrator in the library's convention gives for the
// same data converted by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "TarnCalibrator.h"
#include "attitude/Attitude.h"
#include "api/SessionData.h"
#include "support/Matchers.h"

namespace {

// Library axis i (X right, Y forward, Z up) as a host vector: row i of M.
struct HostAxes {
    tarn_convention convention;
    double m[3][3];
    bool scalarLast;
    double unitsPerMetre;
};

const char* const kConventionNames[] = {"Library", "Unity", "OpenXR", "Unreal"};

const HostAxes kHosts[] = {
    {TARN_CONVENTION_LIBRARY, {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}}, false, 1},
    {TARN_CONVENTION_UNITY, {{1, 0, 0}, {0, 0, 1}, {0, 1, 0}}, true, 1},      // X right, Y up, Z forward
    {TARN_CONVENTION_OPENXR, {{1, 0, 0}, {0, 0, -1}, {0, 1, 0}}, true, 1},    // X right, Y up, Z back
    {TARN_CONVENTION_UNREAL, {{0, 1, 0}, {1, 0, 0}, {0, 0, 1}}, true, 100},   // X forward, Y right, Z up, cm
};

double determinant(const double (&m)[3][3])
{
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// The rotation matrix of [w, x, y, z], the same formula in any handedness.
void matrixOf(const double* q, double (&r)[3][3])
{
    const double w = q[0], x = q[1], y = q[2], z = q[3];
    const double rows[3][3] = {{1 - 2 * (y * y + z * z), 2 * (x * y - w * z), 2 * (x * z + w * y)},
                               {2 * (x * y + w * z), 1 - 2 * (x * x + z * z), 2 * (y * z - w * x)},
                               {2 * (x * z - w * y), 2 * (y * z + w * x), 1 - 2 * (x * x + y * y)}};
    std::memcpy(r, rows, sizeof r);
}

// Host quaternion <-> library [w, x, y, z]: the vector part is carried like
// the axes and, being a pseudo-vector, flips with a change of handedness.
void quaternionToLibrary(const HostAxes& h, const double* in, double* out)
{
    const double* v = h.scalarLast ? in : in + 1;
    out[0] = h.scalarLast ? in[3] : in[0];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (h.m[i][j] != 0) out[1 + i] = (h.m[i][j] < 0) != (determinant(h.m) < 0) ? -v[j] : v[j];
}

void quaternionFromLibrary(const HostAxes& h, const double* in, double* out)
{
    double* v = h.scalarLast ? out : out + 1;
    out[h.scalarLast ? 3 : 0] = in[0];
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (h.m[i][j] != 0) v[j] = (h.m[i][j] < 0) != (determinant(h.m) < 0) ? -in[1 + i] : in[1 + i];
}

void positionToLibrary(const HostAxes& h, const double* in, double* out)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (h.m[i][j] != 0) out[i] = (h.m[i][j] < 0 ? -in[j] : in[j]) / h.unitsPerMetre;
}

void positionFromLibrary(const HostAxes& h, const double* in, double* out)
{
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (h.m[i][j] != 0) out[j] = (h.m[i][j] < 0 ? -in[i] : in[i]) * h.unitsPerMetre;
}

class EveryHost : public ::testing::TestWithParam<HostAxes> {};

TEST_P(EveryHost, QuaternionMappingTurnsHostRotationMatricesIntoTheLibrarys)
{
    const HostAxes& h = GetParam();
    RandomSession session(7);
    for (int trial = 0; trial < 50; ++trial) {
        const auto q = session.orientation();  // used as the host's 4 numbers
        double wxyz[4] = {q[0], q[1], q[2], q[3]}, hostMatrix[3][3], library[4], libraryMatrix[3][3];
        if (h.scalarLast) wxyz[0] = q[3], wxyz[1] = q[0], wxyz[2] = q[1], wxyz[3] = q[2];
        matrixOf(wxyz, hostMatrix);
        quaternionToLibrary(h, q.data(), library);
        matrixOf(library, libraryMatrix);
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                double expected = 0;  // (M R M^T)[i][j]
                for (int a = 0; a < 3; ++a)
                    for (int b = 0; b < 3; ++b) expected += h.m[i][a] * hostMatrix[a][b] * h.m[j][b];
                ASSERT_NEAR(libraryMatrix[i][j], expected, kRoundOff);
            }
    }
}

// One session's frame in the host's convention and, converted by hand, in
// the library's: poses (a position, then an orientation) and two hand blocks.
struct SessionFrame {
    double pose[7][7];
    double hand[2][80];
};

TEST_P(EveryHost, CalibratorGivesTheLibraryCalibratorsBitsForConvertedData)
{
    const HostAxes& h = GetParam();
    tarn_calibrator* calibrators[2] = {nullptr, nullptr};  // the host's, the library's
    ASSERT_EQ(tarn_calibrator_create(h.convention, &calibrators[0]), TARN_OK);
    ASSERT_EQ(tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &calibrators[1]), TARN_OK);
    RandomSession session(11);
    double residuals[2] = {0.0, 0.0};  // of the tracked left hand, per calibrator
    tarn_quality quality[2][2];        // both hands', All-VR's, per calibrator
    for (int trial = 0; trial < 20; ++trial) {
        SessionFrame frames[2];  // mildly tilted orientations in the library's axes, written in the host's
        for (auto& pose : frames[0].pose) {
            const auto p = session.position();
            for (int k = 0; k < 3; ++k) pose[k] = p[k] * h.unitsPerMetre;
            quaternionFromLibrary(h, session.orientation().data(), pose + 3);
        }
        for (auto& hand : frames[0].hand)
            for (int row = 0; row < 80; row += 4) quaternionFromLibrary(h, session.orientation().data(), hand + row);
        for (int k = 0; k < 7; ++k) {
            positionToLibrary(h, frames[0].pose[k], frames[1].pose[k]);
            quaternionToLibrary(h, frames[0].pose[k] + 3, frames[1].pose[k] + 3);
        }
        for (int k = 0; k < 2; ++k)
            for (int row = 0; row < 80; row += 4) quaternionToLibrary(h, frames[0].hand[k] + row, frames[1].hand[k] + row);

        for (int side = 0; side < 2; ++side) {
            tarn_calibrator* c = calibrators[side];
            auto& [pose, hand] = frames[side];
            tarn_all_vr_input vr{1, 1, 1, static_cast<unsigned char>(trial % 2), {}, {}, {}, {}, {}, {}};
            double* fields[3] = {vr.right_position, vr.left_position, vr.headset_position};
            double* orientations[3] = {vr.right_orientation, vr.left_orientation, vr.headset_orientation};
            for (int d = 0; d < 3; ++d) std::memcpy(fields[d], pose[d], 3 * sizeof(double));
            for (int d = 0; d < 3; ++d) std::memcpy(orientations[d], pose[d] + 3, 4 * sizeof(double));
            ASSERT_EQ(tarn_calibrate_all_vr(c, &vr, &quality[side][1]), TARN_OK);
            ASSERT_EQ(tarn_calibrate_hand(c, TARN_LEFT_HAND, pose[3] + 3, pose[4] + 3, nullptr), TARN_OK);
            ASSERT_EQ(tarn_calibrate_both_hands(c, pose[3], pose[4], &quality[side][0]), TARN_OK);
            // Through the drift monitor on odd trials: the same blocks, and
            // the same residual whatever the host's axes.
            const double time = trial;
            const tarn_tracked_hand_frames tracked{&time, 0, hand[0], 0, pose[4] + 3, 0, &residuals[side], 0};
            ASSERT_EQ(trial % 2 ? tarn_apply_hand_tracked(c, TARN_LEFT_HAND, &tracked, 1)
                                : tarn_apply_hand(c, TARN_LEFT_HAND, hand[0], 0, 1),
                      TARN_OK);
            ASSERT_EQ(tarn_apply_both_hands(c, hand[0], 0, hand[1], 0, pose[5], 0, pose[6], 0, 1), TARN_OK);
            ASSERT_EQ(tarn_apply_device(c, static_cast<tarn_device>(trial % 3), pose[3], 7 * sizeof(double), pose[3] + 3,
                                        7 * sizeof(double), 2), TARN_OK);
        }
        SessionFrame expected;  // the library's results in the host's convention; poses 0-2 only read
        std::memcpy(expected.pose, frames[0].pose, 3 * sizeof expected.pose[0]);
        for (int k = 3; k < 7; ++k) {
            positionFromLibrary(h, frames[1].pose[k], expected.pose[k]);
            quaternionFromLibrary(h, frames[1].pose[k] + 3, expected.pose[k] + 3);
        }
        for (int k = 0; k < 2; ++k)
            for (int row = 0; row < 80; row += 4) quaternionFromLibrary(h, frames[1].hand[k] + row, expected.hand[k] + row);
        ASSERT_EQ(std::memcmp(&frames[0], &expected, sizeof expected), 0) << "trial " << trial;
        ASSERT_TRUE(sameBits(residuals[0], residuals[1])) << "trial " << trial;
        for (const auto& [host, library] : {std::pair(quality[0][0], quality[1][0]), std::pair(quality[0][1], quality[1][1])})
            EXPECT_NEAR(host.separation, library.separation * h.unitsPerMetre, kRoundOff * h.unitsPerMetre);  // host's unit
    }
    for (tarn_calibrator* c : calibrators) tarn_calibrator_destroy(c);
}

INSTANTIATE_TEST_SUITE_P(Conventions, EveryHost, ::testing::ValuesIn(kHosts), [](const auto& param) {
    return std::string(kConventionNames[param.param.convention]);
});

}  // namespace

// Where each All-VR source puts the frame's origin, as the header says: on
// the floor midway between two trackers; 0.2 m from a lone tracker towards
// the body's centre; 0.5 m in front of the headset, along its heading.
TEST(AllVRFrame, OriginPlacedWhereTheHeaderSays)
{
    const double s = std::sqrt(0.5);
    struct Case {
        const char* what;
        tarn_all_vr_input input;
        double heading, origin[2];
    };
    const Case cases[] = {
        {"both trackers", {1, 1, 0, 0, {1, 2, 1}, {1, 0, 0, 0}, {-1, 2, 1.2}, {1, 0, 0, 0}, {}, {}}, 0.0, {0, 2}},
        {"right tracker alone", {1, 0, 0, 0, {1, 2, 1}, {1, 0, 0, 0}, {}, {}, {}, {}}, 0.0, {0.8, 2}},
        {"left tracker alone", {0, 1, 0, 0, {}, {}, {1, 2, 1}, {1, 0, 0, 0}, {}, {}}, 0.0, {1.2, 2}},
        {"headset turned left", {0, 0, 1, 1, {}, {}, {}, {}, {2, 1, 1.7}, {s, 0, 0, s}}, tarn::kPi / 2, {1.5, 1}},
    };
    for (const Case& c : cases) {
        tarn_calibrator* k = nullptr;
        ASSERT_EQ(tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &k), TARN_OK);
        ASSERT_EQ(tarn_calibrate_all_vr(k, &c.input, nullptr), TARN_OK) << c.what;
        double rotation[4], origin[3];
        ASSERT_EQ(tarn_get_all_vr_frame(k, rotation, origin, nullptr), TARN_OK);
        EXPECT_NEAR(2 * std::atan2(rotation[3], rotation[0]), c.heading, kRoundOff) << c.what;
        EXPECT_NEAR(origin[0], c.origin[0], kRoundOff) << c.what;
        EXPECT_NEAR(origin[1], c.origin[1], kRoundOff) << c.what;
        EXPECT_EQ(origin[2], 0.0) << c.what;
        tarn_calibrator_destroy(k);
    }
}
