// Host conventions against rotation matrices written out from each
// engine's documented axes: a calibrator made for a convention gives, bit
// for bit, what a calibrator in the library's convention gives for the
// same data converted by hand.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "TarnCalibrator.h"
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

TEST_P(EveryHost, CalibratorGivesTheLibraryCalibratorsBitsForConvertedData)
{
    const HostAxes& h = GetParam();
    tarn_calibrator *host = nullptr, *library = nullptr;
    ASSERT_EQ(tarn_calibrator_create(h.convention, &host), TARN_OK);
    ASSERT_EQ(tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &library), TARN_OK);
    RandomSession session(11);
    for (int trial = 0; trial < 20; ++trial) {
        // Mildly tilted rotations, written in the host's convention.
        std::array<double, 4> s, t;
        quaternionFromLibrary(h, session.orientation().data(), s.data());
        quaternionFromLibrary(h, session.orientation().data(), t.data());
        auto p1 = session.position(), p2 = session.position();
        for (int k = 0; k < 3; ++k) p1[k] *= h.unitsPerMetre, p2[k] *= h.unitsPerMetre;
        double ls[4], lt[4], lp1[3], lp2[3];
        quaternionToLibrary(h, s.data(), ls);
        quaternionToLibrary(h, t.data(), lt);
        positionToLibrary(h, p1.data(), lp1);
        positionToLibrary(h, p2.data(), lp2);
        ASSERT_EQ(tarn_calibrate_hand(host, TARN_LEFT_HAND, s.data(), t.data(), nullptr), TARN_OK);
        ASSERT_EQ(tarn_calibrate_hand(library, TARN_LEFT_HAND, ls, lt, nullptr), TARN_OK);
        ASSERT_EQ(tarn_calibrate_both_hands(host, p1.data(), p2.data(), nullptr), TARN_OK);
        ASSERT_EQ(tarn_calibrate_both_hands(library, lp1, lp2, nullptr), TARN_OK);

        // One frame of both hands and positions through each calibrator.
        Hand80 hostHand = session.hand(), libraryHand, expectedHand;
        std::array<double, 3> hostPosition = session.position(), libraryPosition, expectedPosition;
        for (int row = 0; row < 80; row += 4) quaternionToLibrary(h, &hostHand[row], &libraryHand[row]);
        positionToLibrary(h, hostPosition.data(), libraryPosition.data());
        Hand80 hostSecond = hostHand, librarySecond = libraryHand;
        std::array<double, 3> hostOther = hostPosition, libraryOther = libraryPosition;
        ASSERT_EQ(tarn_apply_both_hands(host, hostHand.data(), 0, hostSecond.data(), 0, hostPosition.data(), 0,
                                        hostOther.data(), 0, 1), TARN_OK);
        ASSERT_EQ(tarn_apply_both_hands(library, libraryHand.data(), 0, librarySecond.data(), 0, libraryPosition.data(),
                                        0, libraryOther.data(), 0, 1), TARN_OK);
        ASSERT_EQ(tarn_apply_hand(host, TARN_LEFT_HAND, hostHand.data(), 0, 1), TARN_OK);
        ASSERT_EQ(tarn_apply_hand(library, TARN_LEFT_HAND, libraryHand.data(), 0, 1), TARN_OK);
        for (int row = 0; row < 80; row += 4) quaternionFromLibrary(h, &libraryHand[row], &expectedHand[row]);
        positionFromLibrary(h, libraryPosition.data(), expectedPosition.data());
        ASSERT_EQ(std::memcmp(hostHand.data(), expectedHand.data(), sizeof expectedHand), 0) << "trial " << trial;
        ASSERT_EQ(std::memcmp(hostPosition.data(), expectedPosition.data(), sizeof expectedPosition), 0) << trial;
    }
    tarn_calibrator_destroy(host);
    tarn_calibrator_destroy(library);
}

INSTANTIATE_TEST_SUITE_P(Conventions, EveryHost, ::testing::ValuesIn(kHosts), [](const auto& param) {
    return std::string(kConventionNames[param.param.convention]);
});

}  // namespace
