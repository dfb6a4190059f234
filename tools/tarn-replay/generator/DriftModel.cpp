#include "DriftModel.h"

#include <cmath>

namespace replay {

namespace {

constexpr double kRamp = 0.5;  // seconds to settle into and out of a still stretch
// The wrist's sway against the tracker: amplitudes and frequencies.
constexpr std::array<double, 3> kSwayAmplitude{radians(5.0), radians(3.0), radians(2.0)};
constexpr std::array<double, 3> kSwayFrequency{0.23, 0.61, 1.3};

double sideSign(std::size_t hand) { return hand == 0 ? 1.0 : -1.0; }

double smoothStep(double x)
{
    const double c = std::fmin(1.0, std::fmax(0.0, x));
    return c * c * (3.0 - 2.0 * c);
}

// A sine that is 0 at time 0 and on average; `jitter` (0 to 1) moves its
// frequency by up to a quarter.
double wave(double amplitude, double frequency, double jitter, double t)
{
    return amplitude * std::sin(2 * kPi * frequency * (0.75 + 0.5 * jitter) * t);
}

}  // namespace

DriftSession::DriftSession(const DriftTruth& truth) : truth_(truth), random_(truth.seed)
{
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    for (auto& jitters : jitter_)
        for (double& j : jitters) j = uniform(random_);
    rests_.push_back({-1.0, 2.0, {0.0, 0.0}});  // the calibration pose
}

void DriftSession::planAhead(double t)
{
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    while (rests_.back().end < t + 60.0) {
        const double start = rests_.back().end + 20.0 + 20.0 * uniform(random_);
        const double length = 4.0 + 3.0 * uniform(random_);
        rests_.push_back({start, start + length,
                          {radians(4.0) * (uniform(random_) - 0.5), radians(4.0) * (uniform(random_) - 0.5)}});
    }
    for (auto& gestures : gestures_) {
        while (gestures.empty() || gestures.back().start < tau_ + 60.0) {
            const double after = gestures.empty() ? 5.0 : gestures.back().start + gestures.back().length;
            const double size = radians(10.0 + 10.0 * uniform(random_)) * (uniform(random_) < 0.5 ? -1.0 : 1.0);
            gestures.push_back({after + 20.0 + 40.0 * uniform(random_), 1.0 + 1.5 * uniform(random_), size});
        }
    }
}

double DriftSession::stillness(double t, const Rest*& rest) const
{
    for (const Rest& r : rests_) {
        if (t < r.start || t >= r.end) continue;
        rest = &r;
        return smoothStep((t - r.start) / kRamp) * smoothStep((r.end - t) / kRamp);
    }
    rest = nullptr;
    return 0.0;
}

double DriftSession::deviation(std::size_t hand, double tau) const
{
    double d = 0.0;
    for (std::size_t j = 0; j < kSwayAmplitude.size(); ++j)
        d += wave(kSwayAmplitude[j], kSwayFrequency[j], jitter_[hand][j], tau);
    for (const Bump& b : gestures_[hand])
        if (tau >= b.start && tau < b.start + b.length) d += b.size * 0.5 * (1.0 - std::cos(2 * kPi * (tau - b.start) / b.length));
    return d;
}

Quaternion DriftSession::noise(double sigma)
{
    return product(product(aboutX(sigma * normal_(random_)), aboutY(sigma * normal_(random_))),
                    aboutZ(sigma * normal_(random_)));
}

void DriftSession::next(Frame& frame, DriftFrameTruth& truth)
{
    const double dt = 1.0 / truth_.frameRate;
    const double t = static_cast<double>(frame_) * dt;
    planAhead(t);
    const Rest* rest = nullptr;
    const double held = stillness(t, rest);
    if (frame_ > 0) {
        tau_ += (1.0 - held) * dt;
        for (double& w : walked_) w += truth_.walk * std::sqrt(dt) * normal_(random_);
    }
    ++frame_;

    frame.time = t;
    truth.time = t;
    truth.still = held >= 0.5;
    const double body = 0.6 * std::sin(2 * kPi * tau_ / 47.0) + 0.3 * std::sin(2 * kPi * tau_ / 113.0);
    for (const Side hand : kSides) {
        const std::size_t h = index(hand);
        const double s = sideSign(h);
        const auto& p = jitter_[h];
        // The forearm: turns with the body, swings, pitches and rolls.
        const double yaw = body + wave(0.25, 0.07, p[3], tau_);
        const Quaternion tracker = product(product(aboutZ(yaw), aboutX(wave(0.3, 0.11, p[4], tau_))),
                                      aboutY(wave(0.3, 0.05, p[5], tau_)));
        const Vector3 wrist = rotate(aboutZ(body), {s * 0.2, 0.3, 1.0});
        frame.device[index(hand == Side::Right ? Device::RightTracker : Device::LeftTracker)] = {
            wrist, product(tracker, noise(truth_.trackerNoise))};

        // The hand: a quarter turn inwards of the tracker's forward, bent
        // sideways against it, flexed; a relaxed wrist, nearly straight,
        // while holding still.
        const double relaxed = rest != nullptr ? rest->deviation[h] : 0.0;
        truth.deviation[h] = (1.0 - held) * deviation(h, tau_) + held * relaxed;
        const double flex = (1.0 - held) * wave(0.2, 0.4, p[0], tau_) + held * relaxed;
        const Quaternion hand0 = product(product(tracker, aboutZ(s * kPi / 2 + truth.deviation[h])), aboutX(flex));
        truth.drift[h] = truth_.rate[h] * t + walked_[h];
        const Quaternion reference = aboutZ(truth_.gloveReference[h] + truth.drift[h]);
        for (std::size_t row = 0; row < kGloveRows; ++row) {
            const double curl =
                row == 0 ? 0.0 : radians(5.0 + 6.0 * static_cast<double>(row % 4)) * (1.0 + 0.5 * std::sin(0.8 * tau_ + static_cast<double>(row)));
            const Quaternion q = product(product(reference, product(hand0, aboutX(curl))), noise(truth_.gloveNoise));
            for (std::size_t c = 0; c < 4; ++c) frame.glove[h][4 * row + c] = q[c];
        }
    }
}

}  // namespace replay
