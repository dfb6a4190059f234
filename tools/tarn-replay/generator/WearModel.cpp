#include "WearModel.h"

#include <cmath>
#include <limits>

namespace replay {

namespace {

// The motions: forearm yaw, pitch, roll; wrist up-down, sideways; strap slip.
enum Wave { kYaw, kPitch, kRoll, kUpDown, kSideways, kSlip };

}  // namespace

WearSession::WearSession(const WearTruth& truth) : truth_(truth), random_(truth.seed), normal_(0.0, 1.0)
{
    std::uniform_real_distribution<double> uniform(-1.0, 1.0);
    headingOffset_ = kPi * uniform(random_);
    bodyHeading_ = kPi * uniform(random_);
    startPitch_ = radians(20.0) * uniform(random_);
    startRoll_ = radians(20.0) * uniform(random_);
    const Quaternion tilt = product(aboutX(truth.strapTilt * normal_(random_)), aboutZ(truth.strapTilt * normal_(random_)));
    strap_ = product(aboutY(truth.strapTurnRange * uniform(random_)), tilt);
    gloveOnHand_ = product(product(aboutX(truth.gloveTilt * normal_(random_)), aboutY(truth.gloveTilt * normal_(random_))),
                           aboutZ(truth.gloveTilt * normal_(random_)));
    const Quaternion nominal = aboutZ(truth.hand == Side::Right ? kPi / 2 : -kPi / 2);
    mount_ = product(conjugate(strap_), product(nominal, gloveOnHand_));
    // Slow arm motion (0.15 to 0.6 Hz), slower sway and slip.
    const double low[6] = {0.15, 0.15, 0.15, 0.2, 0.2, 0.05}, high[6] = {0.6, 0.6, 0.6, 1.0, 1.0, 0.2};
    for (int w = 0; w < 6; ++w)
        waves_[static_cast<std::size_t>(w)] = {low[w] + (high[w] - low[w]) * (uniform(random_) + 1) / 2, kPi * uniform(random_)};
}

double WearSession::wave(int which, double t) const
{
    const auto& w = waves_[static_cast<std::size_t>(which)];
    // Two incommensurate sinusoids, so that the motion does not repeat.
    return std::sqrt(2.0) * 0.8 * std::sin(2 * kPi * w[0] * t + w[1]) +
           std::sqrt(2.0) * 0.6 * std::sin(2 * kPi * w[0] * 1.618 * t + 2 * w[1]);
}

Quaternion WearSession::noise(double sigma)
{
    return product(product(aboutX(sigma * normal_(random_)), aboutY(sigma * normal_(random_))),
                   aboutZ(sigma * normal_(random_)));
}

WearFrame WearSession::next()
{
    WearFrame f;
    f.time = static_cast<double>(frame_) / truth_.frameRate;
    const double t = f.time;
    // The person starts in the calibration pose (the forearm pitched and
    // rolled by up to about 20 degrees, the wrist a little bent) and takes
    // a second to get into the motion.
    const double ramp = t >= 1.0 ? 1.0 : t * t * (3 - 2 * t), a = truth_.armMotion * ramp;
    const double yaw = a * radians(35.0) * wave(kYaw, t);
    const double pitch = startPitch_ + (truth_.turnRoundOnly ? 0.0 : a * radians(25.0) * wave(kPitch, t));
    const double roll = startRoll_ + (truth_.turnRoundOnly ? 0.0 : a * radians(50.0) * wave(kRoll, t));
    const Quaternion forearm = product(aboutZ(bodyHeading_ + yaw), product(aboutX(pitch), aboutY(roll)));
    const Quaternion wrist = product(aboutX(truth_.swayUpDown * wave(kUpDown, t)),
                                     aboutZ(truth_.swaySideways * wave(kSideways, t)));
    const Quaternion slip = aboutY(truth_.strapSlip * wave(kSlip, t));
    const Quaternion nominal = aboutZ(truth_.hand == Side::Right ? kPi / 2 : -kPi / 2);
    const Quaternion world_from_tracker = product(forearm, product(slip, strap_));
    const Quaternion world_from_glove = product(forearm, product(wrist, product(nominal, gloveOnHand_)));
    f.tracker = product(world_from_tracker, noise(truth_.trackerNoise));
    f.glove = product(aboutZ(-headingOffset_), product(world_from_glove, noise(truth_.gloveNoise)));
    // Lost runs: a run of up to half a second starts with the probability
    // that loses `dropouts` of the frames on average.
    const double meanRun = 0.25 * truth_.frameRate;
    if (frame_ >= lostUntil_ && std::uniform_real_distribution<double>(0.0, 1.0)(random_) < truth_.dropouts / meanRun)
        lostUntil_ = frame_ + 1 + static_cast<std::size_t>(std::uniform_real_distribution<double>(0.0, 2 * meanRun)(random_));
    if (frame_ < lostUntil_) {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        (normal_(random_) < 0 ? f.glove : f.tracker) = {nan, nan, nan, nan};
    }
    ++frame_;
    return f;
}

}  // namespace replay
