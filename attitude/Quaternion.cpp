// Direction-cosine matrix, quaternion product matrices and normalisation.
#include "attitude/Attitude.h"
#include "matrix/MatFunc.h"
#include "matrix/ErrorLine.h"

namespace tarn {

namespace {

// Starts the n x n result of an operation on one quaternion. True when q
// holds exactly 4 elements and the caller is to fill the result; otherwise
// `error` is written and the result is all zeros.
bool startQuaternionResult(const MatFunc& q, MatFunc& result, int n, ErrorLine error)
{
    result = MatFunc::forOverwrite(n, n);
    if (q.size == 4 && q.data.size() >= 4) return true;
    writeErrorLine(error);
    result.data.assign(static_cast<std::size_t>(n) * n, 0.0);
    return false;
}

}  // namespace

MatFunc MatFunc::Cbn() const
{
    MatFunc m;
    if (!startQuaternionResult(*this, m, 3, ErrorLine::CbnLength)) return m;
    const double q0 = data[0], q1 = data[1], q2 = data[2], q3 = data[3];
    double* c = m.data.data();
    c[0] = q0 * q0 + q1 * q1 - q2 * q2 - q3 * q3;
    c[1] = 2.0 * (q1 * q2 - q0 * q3);
    c[2] = 2.0 * (q1 * q3 + q0 * q2);
    c[3] = 2.0 * (q1 * q2 + q0 * q3);
    c[4] = q0 * q0 - q1 * q1 + q2 * q2 - q3 * q3;
    c[5] = 2.0 * (q2 * q3 - q0 * q1);
    c[6] = 2.0 * (q1 * q3 - q0 * q2);
    c[7] = 2.0 * (q2 * q3 + q0 * q1);
    c[8] = q0 * q0 - q1 * q1 - q2 * q2 + q3 * q3;
    return m;
}

MatFunc MatFunc::w_matrix_function(int mode) const
{
    MatFunc w;
    if (!startQuaternionResult(*this, w, 4, ErrorLine::WMatrixLength)) return w;
    const double q0 = data[0], q1 = data[1], q2 = data[2], q3 = data[3];
    // Right-product matrix (W * p = p (x) q) for mode 1, else left-product
    // matrix (W * p = q (x) p); they differ only in the signs of the six
    // off-diagonal elements of the lower right 3 x 3 corner.
    const bool right = mode == 1;
    double* c = w.data.data();
    c[0] = q0;
    c[1] = -q1;
    c[2] = -q2;
    c[3] = -q3;
    c[4] = q1;
    c[5] = q0;
    c[6] = right ? q3 : -q3;
    c[7] = right ? -q2 : q2;
    c[8] = q2;
    c[9] = right ? -q3 : q3;
    c[10] = q0;
    c[11] = right ? q1 : -q1;
    c[12] = q3;
    c[13] = right ? q2 : -q2;
    c[14] = right ? -q1 : q1;
    c[15] = q0;
    return w;
}

MatFunc MatFunc::normalize() const
{
    if (col == 4) return *this / Module(1);
    if (row == 4) return *this / Module(0);
    return *this / Module();
}

}  // namespace tarn
