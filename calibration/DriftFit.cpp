#include "calibration/DriftFit.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarn {

namespace {

constexpr double kTukey = 3.0;  // biweight cut-off, in robust standard deviations
constexpr double kMadToSigma = 1.4826;  // median absolute deviation of a normal law -> sigma
constexpr double kSmallestScale = 1e-6;  // a series on its line: no point is an outlier
constexpr int kFirstIterations = 4;     // from plain least squares
constexpr int kFollowingIterations = 1;  // from the previous line, which the series has moved on from by a few points
constexpr double kLargestCorrelation = 0.9;

// Weighted least squares through the points.
Line weightedLine(const double* t, const double* y, const double* w, std::size_t count)
{
    double sw = 0.0, st = 0.0, sy = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        sw += w[i];
        st += w[i] * t[i];
        sy += w[i] * y[i];
    }
    Line line;
    line.centre = st / sw;
    line.level = sy / sw;
    double stt = 0.0, sty = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double dt = t[i] - line.centre;
        stt += w[i] * dt * dt;
        sty += w[i] * dt * (y[i] - line.level);
    }
    line.slope = stt > 0.0 ? sty / stt : 0.0;
    line.span = t[count - 1] - t[0];
    return line;
}

}  // namespace

void RobustLineFit::reserve(std::size_t count)
{
    weights_.reserve(count);
    scratch_.reserve(count);
}

double RobustLineFit::scaleAbout(const Line& line, const double* t, const double* y, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) scratch_[i] = std::fabs(y[i] - line.at(t[i]));
    std::nth_element(scratch_.begin(), scratch_.begin() + count / 2, scratch_.end());
    return std::max(kMadToSigma * scratch_[count / 2], kSmallestScale);
}

Line RobustLineFit::fit(const double* t, const double* y, std::size_t count, const Line* previous)
{
    weights_.assign(count, 1.0);
    scratch_.resize(count);
    Line line = previous != nullptr ? *previous : weightedLine(t, y, weights_.data(), count);
    line.scale = scaleAbout(line, t, y, count);
    const int iterations = previous != nullptr ? kFollowingIterations : kFirstIterations;
    for (int iteration = 0; iteration < iterations; ++iteration) {
        double kept = 0.0;
        for (std::size_t i = 0; i < count; ++i) {
            const double u = (y[i] - line.at(t[i])) / (kTukey * line.scale);
            weights_[i] = std::fabs(u) < 1.0 ? (1.0 - u * u) * (1.0 - u * u) : 0.0;
            kept += weights_[i];
        }
        if (kept < 3.0) weights_.assign(count, 1.0);  // too few points near the line: plain least squares
        line = weightedLine(t, y, weights_.data(), count);
        line.scale = scaleAbout(line, t, y, count);
        if (kept < 3.0) break;
    }

    // The slope's standard error, sigma^2 sum(w^2 dt^2) / (sum(w dt^2))^2
    // with sigma from the weighted residuals, widened by their correlation
    // from one point to the next. Infinite when the points cannot tell.
    double sw = 0.0, sr2 = 0.0, stt = 0.0, sww = 0.0, lag = 0.0, energy = 0.0, previousResidual = 0.0;
    for (std::size_t i = 0; i < count; ++i) {
        const double residual = y[i] - line.at(t[i]);
        const double weighted = weights_[i] * residual;
        const double dt = t[i] - line.centre;
        sw += weights_[i];
        sr2 += weighted * residual;
        stt += weights_[i] * dt * dt;
        sww += weights_[i] * weights_[i] * dt * dt;
        energy += weighted * weighted;
        if (i > 0) lag += weighted * previousResidual;
        previousResidual = weighted;
    }
    const double correlation = energy > 0.0 ? std::clamp(lag / energy, 0.0, kLargestCorrelation) : 0.0;
    line.slopeError = sw > 2.0 && stt > 0.0
                          ? std::sqrt(sr2 / (sw - 2.0) * sww / (stt * stt) * (1.0 + correlation) / (1.0 - correlation))
                          : std::numeric_limits<double>::infinity();
    line.span = t[count - 1] - t[0];
    return line;
}

}  // namespace tarn
