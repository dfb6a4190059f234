#include "calibration/MotionCalibration.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarn {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr int kBlocks = 10;           // stretches of the jackknife
constexpr int kGridSteps = 72;        // the first search for psi, every 5 degrees
constexpr double kLocal = 10 * kDegree;  // later searches, around the last psi
constexpr int kIterations = 3;        // of the first solve's reweighting
constexpr double kCellsPerUnit = 8;   // orientation cells: quaternion components to 1/8
constexpr double kLeastCutoff = 1 * kDegree;  // Tukey's cutoff never below this
constexpr int kRounds = 3;            // of the refinement, each with new weights
constexpr int kSteps = 6;             // Gauss-Newton steps a round at most,
constexpr double kSettled = 1e-7;     // until psi moves less than this (6e-6 degrees)
constexpr double kLeastSpread = 0.05 * kDegree;  // added to each axis's spread of the residuals

// The correlation of the mount at psi, cos(psi) A + sin(psi) B + C: the
// weighted sum of R_tracker^T Rz(psi) R_glove, split by how Rz(psi)
// enters it.
struct Correlation {
    Matrix3 a{}, b{}, c{};

    void add(const Matrix3& tracker, const Matrix3& glove, double weight)
    {
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                a[i][j] += weight * (tracker[0][i] * glove[0][j] + tracker[1][i] * glove[1][j]);
                b[i][j] += weight * (tracker[1][i] * glove[0][j] - tracker[0][i] * glove[1][j]);
                c[i][j] += weight * tracker[2][i] * glove[2][j];
            }
    }
    Correlation without(const Correlation& part) const
    {
        Correlation rest = *this;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) {
                rest.a[i][j] -= part.a[i][j];
                rest.b[i][j] -= part.b[i][j];
                rest.c[i][j] -= part.c[i][j];
            }
        return rest;
    }
    Matrix3 at(double psi) const
    {
        const double cosine = std::cos(psi), sine = std::sin(psi);
        Matrix3 s;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j) s[i][j] = cosine * a[i][j] + sine * b[i][j] + c[i][j];
        return s;
    }
    // How well the best mount fits at psi.
    double fit(double psi) const
    {
        double value = 0.0;
        bestRotation(at(psi), &value);
        return value;
    }
};

// The psi in [low, high] where the fit is best (golden section).
double bestHeadingWithin(const Correlation& k, double low, double high)
{
    const double ratio = (std::sqrt(5.0) - 1) / 2;
    double x1 = high - ratio * (high - low), x2 = low + ratio * (high - low);
    double f1 = k.fit(x1), f2 = k.fit(x2);
    while (high - low > 1e-7) {
        if (f1 < f2) {
            low = x1;
            x1 = x2;
            f1 = f2;
            x2 = low + ratio * (high - low);
            f2 = k.fit(x2);
        } else {
            high = x2;
            x2 = x1;
            f2 = f1;
            x1 = high - ratio * (high - low);
            f1 = k.fit(x1);
        }
    }
    return (low + high) / 2;
}

// The psi of the best fit over the whole turn.
double bestHeading(const Correlation& k)
{
    const double step = 2 * kPi / kGridSteps;
    double best = 0.0, bestFit = -std::numeric_limits<double>::infinity();
    for (int i = 0; i < kGridSteps; ++i) {
        const double psi = -kPi + step * i, fit = k.fit(psi);
        if (fit > bestFit) {
            bestFit = fit;
            best = psi;
        }
    }
    return wrapAngle(bestHeadingWithin(k, best - step, best + step));
}

// The turn left of frame (glove, tracker) under psi and the mount: how the
// hand sits against where the mount would put it.
double residualAngle(const Quaternion& glove, const Quaternion& tracker, double psi, const Quaternion& mount)
{
    const Quaternion world_from_glove = product(aboutZ(psi), glove);
    return angleOf(product(conjugate(mount), product(conjugate(tracker), world_from_glove)));
}

// The rotation vector of unit quaternion q, whichever its sign (the
// shorter way round).
Vector3 logOf(const Quaternion& q)
{
    const double sign = q[0] < 0 ? -1.0 : 1.0;
    const double length = std::sqrt(q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    const double scale = sign * (length > 1e-12 ? 2 * std::atan2(length, sign * q[0]) / length : 2.0);
    return {scale * q[1], scale * q[2], scale * q[3]};
}

// The turn by `angle` about Y. The strap slips by a few degrees at most
// through a window, so the half angle is nearly always small, where a
// short series gives sine and cosine to within round-off (the first term
// left out is below 3e-17 for a half angle under 0.1) at a fraction of the
// library's cost.
Quaternion smallTurnAboutY(double angle)
{
    const double h = angle / 2, hh = h * h;
    if (!(std::fabs(h) < 0.1)) return aboutY(angle);
    const double cosine = 1 - hh / 2 * (1 - hh / 12 * (1 - hh / 30 * (1 - hh / 56)));
    const double sine = h * (1 - hh / 6 * (1 - hh / 20 * (1 - hh / 42 * (1 - hh / 72))));
    return {cosine, 0.0, sine, 0.0};
}

// The rotation of rotation vector v.
Quaternion expOf(const Vector3& v)
{
    const double angle = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    const double scale = angle > 1e-12 ? std::sin(angle / 2) / angle : 0.5;
    return {std::cos(angle / 2), scale * v[0], scale * v[1], scale * v[2]};
}

// The normal equations of the refinement, over kUnknowns: the heading,
// the mount's three angles, and the rate at which the strap slips round
// the forearm (the tracker's +Y) through the window.
constexpr int kUnknowns = 5;
using Step = std::array<double, kUnknowns>;

struct NormalEquations {
    double h[kUnknowns][kUnknowns] = {}, g[kUnknowns] = {};

    // A frame: residual r; its derivatives: u by psi, -1 by the mount's
    // angles, -slip by the slip's rate; weight w; inverse covariance omega.
    void add(const Vector3& r, const Vector3& u, const Vector3& slip, double w, const Matrix3& omega)
    {
        // J = [u, -I, -slip]: J^T omega J and J^T omega r from omega u,
        // omega slip and omega r.
        Vector3 ou{}, os{}, orr{};
        for (std::size_t i = 0; i < 3; ++i)
            for (std::size_t k = 0; k < 3; ++k) {
                ou[i] += omega[i][k] * u[k];
                os[i] += omega[i][k] * slip[k];
                orr[i] += omega[i][k] * r[k];
            }
        const auto dot = [](const Vector3& a, const Vector3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; };
        const double uou = dot(u, ou), uos = dot(u, os), sos = dot(slip, os);
        h[0][0] += w * uou;
        h[0][4] -= w * uos;
        h[4][0] -= w * uos;
        h[4][4] += w * sos;
        g[0] += w * dot(u, orr);
        g[4] -= w * dot(slip, orr);
        for (std::size_t i = 0; i < 3; ++i) {
            const int a = static_cast<int>(i) + 1;
            h[0][a] -= w * ou[i];
            h[a][0] -= w * ou[i];
            h[a][4] += w * os[i];
            h[4][a] += w * os[i];
            g[a] -= w * orr[i];
            for (std::size_t j = 0; j < 3; ++j) h[a][static_cast<int>(j) + 1] += w * omega[i][j];
        }
    }
    // The step that solves them (Gaussian elimination, partial pivoting).
    Step step() const
    {
        double m[kUnknowns][kUnknowns + 1];
        for (int a = 0; a < kUnknowns; ++a) {
            for (int b = 0; b < kUnknowns; ++b) m[a][b] = h[a][b];
            m[a][kUnknowns] = -g[a];
        }
        for (int c = 0; c < kUnknowns; ++c) {
            int pivot = c;
            for (int a = c + 1; a < kUnknowns; ++a)
                if (std::fabs(m[a][c]) > std::fabs(m[pivot][c])) pivot = a;
            for (int b = 0; b <= kUnknowns; ++b) std::swap(m[c][b], m[pivot][b]);
            if (m[c][c] == 0.0) return Step{};
            for (int a = c + 1; a < kUnknowns; ++a) {
                const double f = m[a][c] / m[c][c];
                for (int b = c; b <= kUnknowns; ++b) m[a][b] -= f * m[c][b];
            }
        }
        Step x{};
        for (int a = kUnknowns - 1; a >= 0; --a) {
            double sum = m[a][kUnknowns];
            for (int b = a + 1; b < kUnknowns; ++b) sum -= m[a][b] * x[static_cast<std::size_t>(b)];
            x[static_cast<std::size_t>(a)] = sum / m[a][a];
        }
        return x;
    }
    NormalEquations plus(const NormalEquations& part) const
    {
        NormalEquations sum = *this;
        for (int a = 0; a < kUnknowns; ++a) {
            sum.g[a] += part.g[a];
            for (int b = 0; b < kUnknowns; ++b) sum.h[a][b] += part.h[a][b];
        }
        return sum;
    }
    NormalEquations without(const NormalEquations& part) const
    {
        NormalEquations rest = *this;
        for (int a = 0; a < kUnknowns; ++a) {
            rest.g[a] -= part.g[a];
            for (int b = 0; b < kUnknowns; ++b) rest.h[a][b] -= part.h[a][b];
        }
        return rest;
    }
};

// The inverse of a symmetric positive 3 x 3 matrix.
Matrix3 inverse(const Matrix3& m)
{
    Matrix3 c;
    c[0][0] = m[1][1] * m[2][2] - m[1][2] * m[2][1];
    c[0][1] = m[0][2] * m[2][1] - m[0][1] * m[2][2];
    c[0][2] = m[0][1] * m[1][2] - m[0][2] * m[1][1];
    c[1][0] = m[1][2] * m[2][0] - m[1][0] * m[2][2];
    c[1][1] = m[0][0] * m[2][2] - m[0][2] * m[2][0];
    c[1][2] = m[0][2] * m[1][0] - m[0][0] * m[1][2];
    c[2][0] = m[1][0] * m[2][1] - m[1][1] * m[2][0];
    c[2][1] = m[0][1] * m[2][0] - m[0][0] * m[2][1];
    c[2][2] = m[0][0] * m[1][1] - m[0][1] * m[1][0];
    const double det = m[0][0] * c[0][0] + m[0][1] * c[1][0] + m[0][2] * c[2][0];
    for (auto& row : c)
        for (double& v : row) v /= det;
    return c;
}

// r^T omega r.
double weighedSquare(const Vector3& r, const Matrix3& omega)
{
    double sum = 0.0;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) sum += r[static_cast<std::size_t>(i)] * omega[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] * r[static_cast<std::size_t>(j)];
    return sum;
}

// Tukey's biweight of a residual against its cutoff.
double biweight(double residual, double cutoff)
{
    if (!(residual < cutoff)) return 0.0;
    const double u = residual / cutoff;
    return (1 - u * u) * (1 - u * u);
}

// The median of the first n values (reordered).
double medianOf(std::vector<double>& values, std::size_t n)
{
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(n / 2);
    std::nth_element(values.begin(), middle, values.begin() + static_cast<std::ptrdiff_t>(n));
    return *middle;
}

bool usable(const double* q, Quaternion& unit)
{
    double size = 0.0;
    for (int k = 0; k < 4; ++k) size += q[k] * q[k];
    if (!(size > 0.0) || !std::isfinite(size)) return false;
    unit = normalised(quaternionAt(q));
    return true;
}

// The cell of an orientation for telling near-duplicates apart: its
// components (sign chosen so that w >= 0) to kCellsPerUnit a unit.
std::size_t cellOf(const Quaternion& q)
{
    const double sign = q[0] < 0 ? -1.0 : 1.0;
    std::size_t key = 0;
    for (int k = 0; k < 4; ++k) {
        const auto step = static_cast<long>(std::lround(sign * q[k] * kCellsPerUnit + kCellsPerUnit));
        key = key * (2 * static_cast<std::size_t>(kCellsPerUnit) + 1) + static_cast<std::size_t>(step);
    }
    return key;
}

}  // namespace

MotionSummary::MotionSummary()
    : headingOffset(kNaN), headingUncertainty(kNaN), mount{kNaN, kNaN, kNaN, kNaN}, strapTurn(kNaN),
      strapTilt(kNaN), residualSpread(kNaN), turningRound(kNaN), turningOver(kNaN), duration(0.0)
{
}

void MotionWindow::start(std::size_t capacity)
{
    // Built aside, so that running out of memory leaves the window as it was.
    MotionWindow w;
    w.capacity_ = std::max<std::size_t>(capacity, 1);
    w.frames_.assign(w.capacity_, Frame{});
    w.gloves_.assign(w.capacity_, Matrix3{});
    w.trackers_.assign(w.capacity_, Matrix3{});
    w.residuals_.assign(w.capacity_, Vector3{});
    for (std::vector<double>* scratch : {&w.weights_, &w.spread_, &w.angles_, &w.sorted_})
        scratch->assign(w.capacity_, 0.0);
    w.order_.assign(w.capacity_, 0);
    w.cells_.assign(w.capacity_, 0);
    *this = std::move(w);
}

void MotionWindow::stop() { *this = MotionWindow(); }

void MotionWindow::add(double time, const double* row, const double* tracker)
{
    lastTime_ = time;
    Frame f{time, {}, {}};
    if (!usable(row, f.glove) || !usable(tracker, f.tracker)) {
        ++skipped_;
        return;
    }
    if (count_ == capacity_) {
        frames_[first_] = f;
        first_ = (first_ + 1) % capacity_;
        return;
    }
    frames_[(first_ + count_) % capacity_] = f;
    ++count_;
}

void MotionWindow::measureMotion(MotionSummary& s) const
{
    s.framesUsed = count_;
    s.framesSkipped = skipped_;
    s.duration = count_ > 0 ? frame(count_ - 1).time - frame(0).time : 0.0;
    if (count_ == 0) return;
    // The world's up axis seen from the tracker, and the tracker's heading.
    Vector3 up{0.0, 0.0, 0.0};
    double headingX = 0.0, headingY = 0.0;
    for (std::size_t k = 0; k < count_; ++k) {
        const Matrix3 r = rotationMatrix(frame(k).tracker);
        for (int i = 0; i < 3; ++i) up[i] += r[2][i];
        headingX += r[0][0];
        headingY += r[1][0];
    }
    const double length = std::sqrt(up[0] * up[0] + up[1] * up[1] + up[2] * up[2]);
    const double meanHeading = std::atan2(headingY, headingX);
    double over = 0.0, round = 0.0;
    for (std::size_t k = 0; k < count_; ++k) {
        const Matrix3 r = rotationMatrix(frame(k).tracker);
        const double cosine = (r[2][0] * up[0] + r[2][1] * up[1] + r[2][2] * up[2]) / length;
        const double tilt = std::acos(std::fmax(-1.0, std::fmin(1.0, cosine)));
        const double turn = wrapAngle(std::atan2(r[1][0], r[0][0]) - meanHeading);
        over += tilt * tilt;
        round += turn * turn;
    }
    s.turningOver = std::sqrt(over / static_cast<double>(count_));
    s.turningRound = std::sqrt(round / static_cast<double>(count_));
}

MotionVerdict MotionWindow::allowed(const MotionSummary& s, bool solved) const
{
    if (s.framesUsed < MotionRules::kFewestFrames) return MotionVerdict::TooFewFrames;
    if (s.duration < MotionRules::kShortest) return MotionVerdict::TooShort;
    // A solve that gives anything not finite determines nothing.
    if (solved && !(s.residualSpread < MotionRules::kLargestResidual))
        return std::isnan(s.residualSpread) ? MotionVerdict::TurnOver : MotionVerdict::HandMoved;
    if (!(s.turningOver >= MotionRules::kLeastTurningOver)) return MotionVerdict::TurnOver;
    if (solved && !(s.headingUncertainty <= MotionRules::kLargestUncertainty && std::isfinite(s.headingOffset)))
        return MotionVerdict::TurnOver;
    return MotionVerdict::Good;
}

MotionSummary MotionWindow::progress() const
{
    MotionSummary s;
    measureMotion(s);
    s.verdict = allowed(s, false);
    return s;
}

MotionSummary MotionWindow::solve(Hand hand)
{
    MotionSummary s;
    measureMotion(s);
    const std::size_t n = count_;
    if (n < MotionRules::kFewestFrames) {
        s.verdict = allowed(s, false);
        return s;
    }
    for (std::size_t k = 0; k < n; ++k) {
        gloves_[k] = rotationMatrix(frame(k).glove);
        trackers_[k] = rotationMatrix(frame(k).tracker);
        order_[k] = k;
    }
    // Frames that share an orientation cell share their weight: each of
    // m frames of a cell weighs 1 / sqrt(m).
    for (std::size_t k = 0; k < n; ++k) cells_[k] = cellOf(frame(k).tracker);
    std::sort(order_.begin(), order_.begin() + static_cast<std::ptrdiff_t>(n),
              [&](std::size_t i, std::size_t j) { return cells_[i] < cells_[j]; });
    for (std::size_t start = 0; start < n;) {
        std::size_t end = start + 1;
        while (end < n && cells_[order_[end]] == cells_[order_[start]]) ++end;
        for (std::size_t k = start; k < end; ++k) spread_[order_[k]] = 1 / std::sqrt(static_cast<double>(end - start));
        start = end;
    }
    std::copy_n(spread_.begin(), n, weights_.begin());

    // Reweighted: the best psi and mount for the weights, then weights from
    // how far each frame's hand sits from where they put it.
    double psi = kNaN;
    Quaternion mount{};
    for (int iteration = 0; iteration < kIterations; ++iteration) {
        Correlation all;
        for (std::size_t k = 0; k < n; ++k) all.add(trackers_[k], gloves_[k], weights_[k]);
        const double next = std::isnan(psi) ? bestHeading(all) : wrapAngle(bestHeadingWithin(all, psi - kLocal, psi + kLocal));
        mount = bestRotation(all.at(next));
        for (std::size_t k = 0; k < n; ++k) angles_[k] = residualAngle(frame(k).glove, frame(k).tracker, next, mount);
        std::copy_n(angles_.begin(), n, sorted_.begin());
        const double typical = medianOf(sorted_, n);
        // A turn of a few degrees about random axes has a median angle
        // about 1.54 times its spread per axis: 4.685 spreads, Tukey's
        // usual cutoff, are about 3 medians.
        const double cutoff = std::fmax(3.0 * typical, kLeastCutoff);
        for (std::size_t k = 0; k < n; ++k) weights_[k] = spread_[k] * biweight(angles_[k], cutoff);
        psi = next;
    }
    // Refinement. A hand bends at the wrist about two axes only, so its
    // motion against the tracker is far from alike about all three: each
    // frame's residual (a rotation vector in the glove row's axes) is
    // weighed by the inverse of the residuals' covariance, estimated from
    // the data, so that the axis the wrist cannot turn about counts most.
    // Gauss-Newton on psi and the mount, from the solve above; the
    // residual r moves by u d(psi) - d(mount) (u the world's up axis in
    // the glove row's axes).
    // The refinement's unknowns: psi, the mount, the strap's slip rate.
    struct Solution {
        double psi;
        Quaternion mount;
        double slipRate;
        Solution moved(const Step& step) const
        {
            return {wrapAngle(psi + step[0]), normalised(product(mount, expOf({step[1], step[2], step[3]}))),
                    slipRate + step[4]};
        }
    };
    const double middle = frame(0).time + (frame(n - 1).time - frame(0).time) / 2;
    const auto residualsAt = [&](const Solution& x) {
        const Quaternion turn = aboutZ(x.psi);
        for (std::size_t k = 0; k < n; ++k) {
            const Frame& f = frame(k);
            const Quaternion mountNow = product(smallTurnAboutY(x.slipRate * (f.time - middle)), x.mount);
            residuals_[k] = logOf(product(conjugate(mountNow), product(conjugate(f.tracker), product(turn, f.glove))));
        }
    };
    const auto covarianceOfResiduals = [&] {
        Matrix3 covariance{};
        double total = 0.0;
        for (std::size_t k = 0; k < n; ++k) {
            for (std::size_t i = 0; i < 3; ++i)
                for (std::size_t j = 0; j < 3; ++j) covariance[i][j] += weights_[k] * residuals_[k][i] * residuals_[k][j];
            total += weights_[k];
        }
        for (std::size_t i = 0; i < 3; ++i) {
            for (std::size_t j = 0; j < 3; ++j) covariance[i][j] /= total > 0.0 ? total : 1.0;
            covariance[i][i] += kLeastSpread * kLeastSpread;
        }
        return covariance;
    };
    const auto weighedCost = [&](const Matrix3& omega) {
        double cost = 0.0;
        for (std::size_t k = 0; k < n; ++k) cost += weights_[k] * weighedSquare(residuals_[k], omega);
        return cost;
    };
    // The equations at x, the residuals computed; with `blocks`, also each
    // stretch's.
    const auto equationsAt = [&](const Solution& x, const Matrix3& omega, NormalEquations* blocks) {
        NormalEquations sum;
        // The forearm, the tracker's +Y, in the glove row's axes.
        const Vector3 forearm = rotate(conjugate(x.mount), {0.0, 1.0, 0.0});
        for (std::size_t k = 0; k < n; ++k) {
            const double tau = frame(k).time - middle;
            const Vector3 slip{tau * forearm[0], tau * forearm[1], tau * forearm[2]};
            NormalEquations& into = blocks != nullptr ? blocks[k * kBlocks / n] : sum;
            into.add(residuals_[k], gloves_[k][2], slip, weights_[k], omega);
        }
        if (blocks != nullptr)
            for (int b = 0; b < kBlocks; ++b) sum = sum.plus(blocks[b]);
        return sum;
    };

    NormalEquations all, blocks[kBlocks];
    Solution x{psi, mount, 0.0};
    Matrix3 omega{};
    for (int round = 0; round < kRounds; ++round) {
        // The covariance and the weights, from the residuals as they are;
        // then Gauss-Newton with both held, each step halved until it
        // lowers the weighted sum of squares.
        residualsAt(x);
        omega = inverse(covarianceOfResiduals());
        for (std::size_t k = 0; k < n; ++k) angles_[k] = std::sqrt(weighedSquare(residuals_[k], omega));
        std::copy_n(angles_.begin(), n, sorted_.begin());
        // Tukey's cutoff, 4.685 standard deviations, is about 3 medians of
        // the distance of a three-dimensional residual.
        const double cutoff = std::fmax(3.0 * medianOf(sorted_, n), 1e-9);
        for (std::size_t k = 0; k < n; ++k) weights_[k] = spread_[k] * biweight(angles_[k], cutoff);
        double cost = weighedCost(omega);
        for (int iteration = 0; iteration < kSteps; ++iteration) {
            all = equationsAt(x, omega, nullptr);
            Step step = all.step();
            // A step too small to move psi is not worth the residuals.
            if (std::fabs(step[0]) < kSettled) break;
            Solution next = x;
            for (int halving = 0; halving < 6; ++halving) {
                next = x.moved(step);
                residualsAt(next);
                const double nextCost = weighedCost(omega);
                if (nextCost <= cost) {
                    cost = nextCost;
                    break;
                }
                for (double& v : step) v /= 2;
                next = x;
            }
            const bool settled = std::fabs(wrapAngle(next.psi - x.psi)) < kSettled;
            x = next;
            if (settled) break;
        }
    }
    residualsAt(x);
    all = equationsAt(x, omega, blocks);
    psi = x.psi;
    // The mount as the whole window has it (as at its middle): a slip
    // rate carried to the window's end would bring its noise along.
    mount = x.mount;
    double squares = 0.0;
    for (std::size_t k = 0; k < n; ++k) {
        const Vector3& r = residuals_[k];
        squares += r[0] * r[0] + r[1] * r[1] + r[2] * r[2];
    }
    s.headingOffset = psi;
    s.mount = mount[0] < 0 ? Quaternion{-mount[0], -mount[1], -mount[2], -mount[3]} : mount;
    s.residualSpread = std::sqrt(squares / static_cast<double>(n));

    // Jackknife over the stretches: psi with each left out, one
    // Gauss-Newton step from the whole window's.
    double left[kBlocks], mean = 0.0;
    for (int b = 0; b < kBlocks; ++b) {
        left[b] = all.without(blocks[b]).step()[0];
        mean += left[b] / kBlocks;
    }
    double spread = 0.0;
    for (double v : left) spread += (v - mean) * (v - mean);
    s.headingUncertainty = std::sqrt(spread * (kBlocks - 1) / kBlocks);

    // The strap: the mount against the nominal one, as a turn about the
    // forearm (the nominal tracker's +Y) and the tilt left.
    const Quaternion nominal = aboutZ(hand == Hand::Right ? kPi / 2 : -kPi / 2);
    const Quaternion off = product(nominal, conjugate(mount));
    s.strapTurn = wrapAngle(2 * std::atan2(off[2], off[0]));
    s.strapTilt = angleOf(product(off, conjugate(aboutY(s.strapTurn))));
    s.verdict = allowed(s, true);
    return s;
}

}  // namespace tarn
