#pragma once
// A straight line through a series that wanders around it: the slow trend
// of a heading residual (its drift) under the faster motion of the wrist.
// Least squares reweighted by Tukey's biweight, so that points far from the
// line (a gesture that turns the hand for a second or two) stop pulling at
// it; the slope's standard error allows for residuals that follow each
// other (a slow sway is not as many independent samples as it has points).
#include <cstddef>
#include <vector>

namespace tarn {

struct Line {
    double slope = 0.0;       // units of y per unit of t
    double centre = 0.0;      // mean t of the points, weighted
    double level = 0.0;       // the line's value at `centre`
    double slopeError = 0.0;  // one standard error of `slope`
    double span = 0.0;        // last t minus first t
    double scale = 0.0;       // robust standard deviation of the points about the line
    double at(double t) const { return level + slope * (t - centre); }
};

class RobustLineFit {
public:
    // Room for fits of up to `count` points without allocating.
    void reserve(std::size_t count);

    // Fits points (t[i], y[i]), i < count, t ascending, count >= 3.
    // `previous` (a line fitted to a series it overlaps) starts the
    // reweighting, or nullptr to start from plain least squares.
    // Allocates nothing for up to the reserved count.
    Line fit(const double* t, const double* y, std::size_t count, const Line* previous);

private:
    // The points' robust standard deviation about `line`.
    double scaleAbout(const Line& line, const double* t, const double* y, std::size_t count);

    std::vector<double> weights_;
    std::vector<double> scratch_;
};

}  // namespace tarn
