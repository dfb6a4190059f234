// Direction-cosine matrix, quaternion product matrices and normalisation.
#include "attitude/Attitude.h"
#include "matrix/ErrorLine.h"

MatFunc MatFunc::Cbn() const
{
    MatFunc m(3, 3);
    if (size != 4 || data.size() < 4) {
        writeErrorLine(ErrorLine::CbnLength);
        return m;
    }
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
    MatFunc w(4, 4);
    if (size != 4 || data.size() < 4) {
        writeErrorLine(ErrorLine::WMatrixLength);
        return w;
    }
    const double q0 = data[0], q1 = data[1], q2 = data[2], q3 = data[3];
    // Right-product matrix (W * p = p (x) q) for mode 1, else left-product
    // matrix (W * p = q (x) p).
    const double right[16] = {
        q0, -q1, -q2, -q3,
        q1, q0,  q3,  -q2,
        q2, -q3, q0,  q1,
        q3, q2,  -q1, q0,
    };
    const double left[16] = {
        q0, -q1, -q2, -q3,
        q1, q0,  -q3, q2,
        q2, q3,  q0,  -q1,
        q3, -q2, q1,  q0,
    };
    const double* rows = mode == 1 ? right : left;
    for (int k = 0; k < 16; ++k) w.data[k] = rows[k];
    return w;
}

MatFunc MatFunc::normalize() const
{
    if (col == 4) return *this / Module(1);
    if (row == 4) return *this / Module(0);
    return *this / Module();
}
