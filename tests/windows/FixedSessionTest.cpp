// A fixed calibration session through the shared library (the DLL on
// Windows), whose outputs were recorded once from the Linux build in
// fixed_session.txt. The Linux build reproduces them bit for bit. The Windows
// build reproduces bit for bit every output no sine, cosine or arc tangent
// entered, and the others within a relative 1e-12 (support/ValueMatch.h).
//
// To record the file again, run the test with TARN_FIXED_SESSION_OUT set to
// the path to write.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "TarnHandCalibrationSDK.h"
#include "support/Bits.h"
#include "support/ValueMatch.h"

namespace {

// One output of the session: what produced it, how it is compared, and the
// values written (overwritten arrays in order; a bool result as 0 or 1).
struct Output {
    std::string call;
    Precision precision = Precision::BitExact;
    std::vector<double> values;
};

using Hand = std::vector<double>;

// 20 distinct, non-normalised quaternions made with exact arithmetic only,
// so the inputs are the same bits on every platform.
Hand handData(double shift)
{
    Hand hand(80);
    for (int i = 0; i < 20; ++i) {
        hand[4 * i + 0] = 0.9 - 0.01 * i + shift;
        hand[4 * i + 1] = 0.1 + 0.005 * i;
        hand[4 * i + 2] = -0.2 + 0.01 * i - shift;
        hand[4 * i + 3] = 0.3 - 0.02 * i;
    }
    return hand;
}

class Session {
public:
    std::vector<Output> outputs;

    void record(const std::string& call, Precision precision, std::initializer_list<std::vector<double>> arrays)
    {
        Output out{call, precision, {}};
        for (const auto& a : arrays) out.values.insert(out.values.end(), a.begin(), a.end());
        outputs.push_back(out);
    }

    void run()
    {
        const Precision exact = Precision::BitExact, math = Precision::PlatformMath;
        const double turned[4] = {0.8, 0.1, -0.05, 0.6}, upright[4] = {0.5, 0.5, 0.5, 0.5};
        const double halfTurn[4] = {0.0, 0.0, 0.0, 1.0}, quarterTurn[4] = {1.0, 0.0, 0.0, 1.0};

        Hand h = handData(0.0);
        GetCalculationDataRHand(h.data());
        record("GetCalculationDataRHand before calibration", exact, {h});

        InitialRHand(turned, upright);
        h = handData(0.0);
        GetCalculationDataRHand(h.data());
        record("GetCalculationDataRHand", math, {h});

        InitialLHand(halfTurn, quarterTurn);
        h = handData(0.05);
        GetCalculationDataLHand(h.data());
        record("GetCalculationDataLHand", math, {h});

        Close();
        h = handData(0.05);
        GetCalculationDataLHand(h.data());
        record("GetCalculationDataLHand after Close", exact, {h});

        std::vector<double> p1 = {1.25, -0.5, 1.1}, p2 = {0.75, 0.25, 0.9};
        record("InitialDoubleCalibration", exact, {{InitialDoubleCalibration(p1.data(), p2.data()) ? 1.0 : 0.0}});
        Hand h1 = handData(0.0), h2 = handData(-0.1);
        GetDoubleHandCalibrationData(h1.data(), h2.data(), p1.data(), p2.data());
        record("GetDoubleHandCalibrationData", math, {h1, h2, p1, p2});

        const std::vector<double> near1 = {1.0, 1.0, 1.0}, near2 = {1.0005, 0.9995, 0.0};
        record("InitialDoubleCalibration refused", exact,
               {{InitialDoubleCalibration(near1.data(), near2.data()) ? 1.0 : 0.0}});
        h1 = handData(0.0);
        GetDoubleHandCalibrationData(h1.data(), h2.data(), p1.data(), p2.data());
        record("GetDoubleHandCalibrationData uncalibrated", exact, {h1, h2, p1, p2});

        allVR();
    }

private:
    void allVR()
    {
        const Precision math = Precision::PlatformMath;
        const double rPos[3] = {0.3, 0.4, 1.2}, rPos2[3] = {0.2, 0.9, 1.1}, rQuat[4] = {0.9, 0.1, 0.2, 0.3};
        const double lPos[3] = {-0.3, 0.1, 1.15}, lPos2[3] = {-0.2, 0.7, 1.0}, lQuat[4] = {0.7, -0.1, 0.1, -0.6};
        const double hPos[3] = {0.05, 0.2, 1.7}, hQuat[4] = {0.6, 0.0, 0.1, 0.75}, second[4] = {1.0, 0.0, 0.0, 0.0};

        InitialAllVRCalibration(true, rPos, rPos2, rQuat, second, true, lPos, lPos2, lQuat, second, true, hPos,
                                hQuat);
        std::vector<double> rp = {0.5, 0.5, 1.0}, rq = {1.0, 0.0, 0.0, 0.0}, lp = {-0.5, 0.25, 1.0},
                            lq = {0.5, 0.5, -0.5, 0.5}, hp = {0.0, 0.0, 1.6}, hq = {0.9, 0.0, 0.0, 0.1};
        GetAllVRCalibrationData(rp.data(), rq.data(), nullptr, lp.data(), lq.data(), nullptr, hp.data(), hq.data());
        record("GetAllVRCalibrationData both trackers", math, {rp, rq, lp, lq, hp, hq});

        InitialAllVRCalibrationV2(true, rPos, rPos2, rQuat, second, false, nullptr, nullptr, nullptr, nullptr, false,
                                  nullptr, nullptr, false);
        rp = {0.5, 0.5, 1.0};
        rq = {0.8, 0.2, 0.0, -0.4};
        GetAllRTracker(rp.data(), rq.data());
        record("GetAllRTracker right tracker alone, origin added", math, {rp, rq});

        InitialAllVRCalibration(false, nullptr, nullptr, nullptr, nullptr, false, nullptr, nullptr, nullptr, nullptr,
                                true, hPos, hQuat);
        hp = {0.0, 0.0, 1.6};
        hq = {0.9, 0.0, 0.0, 0.1};
        GetAllVRGlasses(hp.data(), hq.data());
        record("GetAllVRGlasses headset fallback", math, {hp, hq});
    }
};

std::string hexOf(double x)
{
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(bitsOf(x)));
    return text;
}

// One line per output: precision, values as bit patterns, then the call.
std::string lineOf(const Output& out)
{
    std::string line = out.precision == Precision::BitExact ? "exact" : "math";
    for (double v : out.values) line += " " + hexOf(v);
    return line + " # " + out.call;
}

std::vector<std::string> recordedLines()
{
    std::ifstream in(TARN_FIXED_SESSION_FILE);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty() && line[0] != '#') lines.push_back(line);
    return lines;
}

TEST(FixedSession, ReproducesTheRecordedOutputs)
{
    Session session;
    session.run();
    if (const char* path = std::getenv("TARN_FIXED_SESSION_OUT")) {
        std::ofstream out(path);
        out << "# Outputs of tests/windows/FixedSessionTest.cpp recorded from the Linux build:\n"
            << "# comparison (exact or math), IEEE bit patterns, # the call.\n";
        for (const Output& o : session.outputs) out << lineOf(o) << "\n";
    }

    const std::vector<std::string> lines = recordedLines();
    ASSERT_EQ(lines.size(), session.outputs.size());
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const Output& actual = session.outputs[k];
        std::istringstream fields(lines[k].substr(0, lines[k].find(" #")));
        std::string precision, hex;
        fields >> precision;
        std::vector<double> expected;
        while (fields >> hex) expected.push_back(fromHex(hex));
        EXPECT_EQ(precision, actual.precision == Precision::BitExact ? "exact" : "math") << actual.call;
        ASSERT_EQ(expected.size(), actual.values.size()) << actual.call;
        const std::size_t i = firstMismatch(actual.values.data(), expected, actual.precision);
        EXPECT_EQ(i, expected.size()) << actual.call << ": value " << i << " is " << hexOf(actual.values[i])
                                      << ", recorded " << hexOf(expected[i]);
    }
}

}  // namespace
