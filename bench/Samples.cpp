#include "Samples.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace samples {

const double kHandSource[4] = {0.8, 0.1, -0.2, 0.55};
const double kHandTarget[4] = {0.6, -0.3, 0.1, -0.73};
const double kPosition1[3] = {0.35, 0.12, 1.05};
const double kPosition2[3] = {-0.28, 0.02, 1.01};
const double kRightTrackerPosition[3] = {0.32, 0.15, 1.1};
const double kRightTrackerPosition2[3] = {0.3, 0.05, 1.1};
const double kRightTrackerQuaternion[4] = {0.9, 0.05, 0.1, 0.4};
const double kRightTrackerQuaternion2[4] = {1.0, 0.0, 0.0, 0.0};
const double kLeftTrackerPosition[3] = {-0.25, 0.1, 1.08};
const double kLeftTrackerPosition2[3] = {-0.27, 0.0, 1.08};
const double kLeftTrackerQuaternion[4] = {0.85, -0.1, 0.05, -0.5};
const double kHeadsetPosition[3] = {0.03, 0.2, 1.7};
const double kHeadsetQuaternion[4] = {0.95, 0.02, -0.03, 0.3};

namespace {

class Draw {
public:
    double value() { return uniform_(engine_); }

    void quaternions(double* out, int count)
    {
        for (int i = 0; i < count; ++i) {
            double* q = out + 4 * i;
            double norm = 0.0;
            for (int k = 0; k < 4; ++k) {
                q[k] = value();
                norm += q[k] * q[k];
            }
            for (int k = 0; k < 4; ++k) q[k] /= std::sqrt(norm);
        }
    }

    void position(double* out)
    {
        for (int k = 0; k < 3; ++k) out[k] = value();
    }

private:
    std::mt19937_64 engine_{20240601};
    std::uniform_real_distribution<double> uniform_{-1.0, 1.0};
};

}  // namespace

Frame frame()
{
    Draw draw;
    Frame f{};
    draw.quaternions(f.hand1, 20);
    draw.quaternions(f.hand2, 20);
    draw.position(f.position1);
    draw.position(f.position2);
    draw.position(f.rightPosition);
    draw.quaternions(f.rightQuaternion, 1);
    draw.position(f.leftPosition);
    draw.quaternions(f.leftQuaternion, 1);
    draw.position(f.headsetPosition);
    draw.quaternions(f.headsetQuaternion, 1);
    return f;
}

bool agree(const Frame& a, const Frame& b)
{
    constexpr int kCount = 2 * 80 + 5 * 3 + 3 * 4;
    static_assert(sizeof(Frame) == kCount * sizeof(double), "a Frame is a plain run of doubles");
    const auto* x = reinterpret_cast<const double*>(&a);
    const auto* y = reinterpret_cast<const double*>(&b);
    for (int k = 0; k < kCount; ++k) {
        const double tolerance = 1e-12 * std::max(1.0, std::fabs(x[k]));
        if (!(std::fabs(x[k] - y[k]) <= tolerance)) return false;
    }
    return true;
}

}  // namespace samples
