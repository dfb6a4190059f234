#include "attitude/Attitude.h"

#include <cmath>

namespace tarn {

Quaternion normalised(const Quaternion& q)
{
    const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    return {q[0] / length, q[1] / length, q[2] / length, q[3] / length};
}

Quaternion aboutX(double angle) { return {std::cos(angle / 2), std::sin(angle / 2), 0.0, 0.0}; }
Quaternion aboutY(double angle) { return {std::cos(angle / 2), 0.0, std::sin(angle / 2), 0.0}; }
Quaternion aboutZ(double angle) { return {std::cos(angle / 2), 0.0, 0.0, std::sin(angle / 2)}; }

Vector3 rotate(const Quaternion& q, const Vector3& v)
{
    const Quaternion u = normalised(q);
    const Quaternion r = product(product(u, {0.0, v[0], v[1], v[2]}), conjugate(u));
    return {r[1], r[2], r[3]};
}

double headingOf(const Quaternion& q)
{
    const std::array<double, 2> direction = headingDirection(normalised(q));
    return std::atan2(direction[1], direction[0]);
}

std::array<double, 2> headingDirection(const Quaternion& q)
{
    return {q[0] * q[0] + q[1] * q[1] - q[2] * q[2] - q[3] * q[3], 2 * (q[1] * q[2] + q[0] * q[3])};
}

double pitchOf(const Quaternion& q)
{
    const Quaternion u = normalised(q);
    const double s = 2 * (u[0] * u[2] - u[3] * u[1]);
    return std::asin(s > 1 ? 1 : s < -1 ? -1 : s);
}

double tiltOf(const Quaternion& q)
{
    const Quaternion u = normalised(q);
    // The rotation left once the heading is taken out is conj(h) (x) u with
    // h the heading-only quaternion; its scalar part is cos(angle / 2).
    const double half = headingOf(u) / 2;
    const double scalar = std::cos(half) * u[0] + std::sin(half) * u[3];
    return 2 * std::acos(std::fmin(1.0, std::fabs(scalar)));
}

Vector3 forwardOf(const Quaternion& q)
{
    const Quaternion u = normalised(q);
    return {2 * (u[1] * u[2] - u[0] * u[3]), u[0] * u[0] - u[1] * u[1] + u[2] * u[2] - u[3] * u[3],
            2 * (u[2] * u[3] + u[0] * u[1])};
}

double forwardHeadingOf(const Quaternion& q)
{
    const Vector3 forward = forwardOf(q);
    return std::atan2(-forward[0], forward[1]);
}

double wrapAngle(double angle)
{
    const double wrapped = std::remainder(angle, 2 * kPi);
    return wrapped == -kPi ? kPi : wrapped;
}

}  // namespace tarn

namespace tarn {

Matrix3 rotationMatrix(const Quaternion& q)
{
    const double w = q[0], x = q[1], y = q[2], z = q[3];
    return {{{w * w + x * x - y * y - z * z, 2 * (x * y - w * z), 2 * (x * z + w * y)},
             {2 * (x * y + w * z), w * w - x * x + y * y - z * z, 2 * (y * z - w * x)},
             {2 * (x * z - w * y), 2 * (y * z + w * x), w * w - x * x - y * y + z * z}}};
}

double angleOf(const Quaternion& q)
{
    const double vector = std::sqrt(q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    return 2 * std::atan2(vector, std::fabs(q[0]));
}

namespace {

using Matrix4 = std::array<std::array<double, 4>, 4>;

// The eigenvector of the largest eigenvalue of a symmetric 4 x 4 matrix,
// by Jacobi rotations; the eigenvalue in `value`.
Quaternion largestEigenvector(Matrix4 a, double& value)
{
    Matrix4 v{};
    for (int i = 0; i < 4; ++i) v[i][i] = 1.0;
    for (int sweep = 0; sweep < 50; ++sweep) {
        double off = 0.0;
        for (int p = 0; p < 4; ++p)
            for (int q = p + 1; q < 4; ++q) off += a[p][q] * a[p][q];
        if (off < 1e-30) break;
        for (int p = 0; p < 4; ++p)
            for (int q = p + 1; q < 4; ++q) {
                if (a[p][q] == 0.0) continue;
                const double theta = (a[q][q] - a[p][p]) / (2 * a[p][q]);
                const double t = (theta >= 0 ? 1.0 : -1.0) / (std::fabs(theta) + std::sqrt(theta * theta + 1));
                const double c = 1 / std::sqrt(t * t + 1), s = t * c;
                for (int k = 0; k < 4; ++k) {
                    const double akp = a[k][p], akq = a[k][q];
                    a[k][p] = c * akp - s * akq;
                    a[k][q] = s * akp + c * akq;
                }
                for (int k = 0; k < 4; ++k) {
                    const double apk = a[p][k], aqk = a[q][k];
                    a[p][k] = c * apk - s * aqk;
                    a[q][k] = s * apk + c * aqk;
                }
                for (int k = 0; k < 4; ++k) {
                    const double vkp = v[k][p], vkq = v[k][q];
                    v[k][p] = c * vkp - s * vkq;
                    v[k][q] = s * vkp + c * vkq;
                }
            }
    }
    int best = 0;
    for (int i = 1; i < 4; ++i)
        if (a[i][i] > a[best][best]) best = i;
    value = a[best][best];
    return {v[0][best], v[1][best], v[2][best], v[3][best]};
}

}  // namespace

Quaternion bestRotation(const Matrix3& s, double* value)
{
    // trace(R(q)^T S) = q^T K q for the symmetric K below.
    const Matrix4 k{{{s[0][0] + s[1][1] + s[2][2], s[2][1] - s[1][2], s[0][2] - s[2][0], s[1][0] - s[0][1]},
                     {s[2][1] - s[1][2], s[0][0] - s[1][1] - s[2][2], s[0][1] + s[1][0], s[0][2] + s[2][0]},
                     {s[0][2] - s[2][0], s[0][1] + s[1][0], -s[0][0] + s[1][1] - s[2][2], s[1][2] + s[2][1]},
                     {s[1][0] - s[0][1], s[0][2] + s[2][0], s[1][2] + s[2][1], -s[0][0] - s[1][1] + s[2][2]}}};
    double largest = 0.0;
    Quaternion q = normalised(largestEigenvector(k, largest));
    if (q[0] < 0) q = {-q[0], -q[1], -q[2], -q[3]};
    if (value != nullptr) *value = largest;
    return q;
}

}  // namespace tarn
