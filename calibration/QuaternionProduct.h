#pragma once
// The Hamilton product of quaternions held as plain [w, x, y, z] doubles,
// for the code outside the matrix library that turns one quaternion at a
// time (the drift monitor, turning a hand's calibration).

namespace tarn {

// out = a (x) b; out must not alias a or b.
inline void hamiltonProduct(const double* a, const double* b, double* out)
{
    out[0] = a[0] * b[0] - a[1] * b[1] - a[2] * b[2] - a[3] * b[3];
    out[1] = a[0] * b[1] + a[1] * b[0] + a[2] * b[3] - a[3] * b[2];
    out[2] = a[0] * b[2] - a[1] * b[3] + a[2] * b[0] + a[3] * b[1];
    out[3] = a[0] * b[3] + a[1] * b[2] - a[2] * b[1] + a[3] * b[0];
}

}  // namespace tarn
