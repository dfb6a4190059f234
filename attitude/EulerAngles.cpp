// Euler angles <-> quaternions in the six rotation orders, computed on whole
// columns of samples with the matrix library's element-wise operations.
#include <cstring>
#include <string>

#include "attitude/Attitude.h"
#include "matrix/MatFunc.h"
#include "matrix/ErrorLine.h"

namespace tarn {

namespace {

enum class Order { ZYX, ZXY, YZX, YXZ, XYZ, XZY, Invalid };

Order parseOrder(const std::string& text)
{
    static const char* const kNames[] = {"ZYX", "ZXY", "YZX", "YXZ", "XYZ", "XZY"};
    for (int k = 0; k < 6; ++k)
        if (text == kNames[k]) return static_cast<Order>(k);
    return Order::Invalid;
}

// l + r or l - r.
MatFunc plusOrMinus(const MatFunc& l, int sign, const MatFunc& r)
{
    return sign > 0 ? l + r : l - r;
}

// Signs of the second term of q0..q3 in SY, per order:
//   q0 = ca*cb*cc +- sa*sb*sc      q1 = sa*cb*cc +- ca*sb*sc
//   q2 = ca*sb*cc +- sa*cb*sc      q3 = ca*cb*sc +- sa*sb*cc
constexpr int kSYSigns[6][4] = {
    {+1, -1, +1, -1},  // ZYX
    {-1, -1, +1, +1},  // ZXY
    {-1, +1, +1, -1},  // YZX
    {+1, +1, -1, -1},  // YXZ
    {-1, +1, -1, +1},  // XYZ
    {+1, -1, -1, +1},  // XZY
};

// One Euler angle of an order other than "ZYX":
//   asin(2*qa*qb +- 2*qc*qd)                                  when diag < 0
//   atan2(2*qa*qb +- 2*qc*qd, 2*q0^2 + 2*q[diag]^2 - 1)        otherwise
struct AngleFormula {
    int a, b, sign, c, d, diag;
};

// [order - 1][axis X, Y, Z] for ZXY, YZX, YXZ, XYZ, XZY.
constexpr AngleFormula kAngleFormulas[5][3] = {
    {{0, 1, +1, 2, 3, -1}, {0, 2, -1, 1, 3, 3}, {0, 3, -1, 1, 2, 2}},  // ZXY
    {{0, 1, -1, 2, 3, 2}, {0, 2, -1, 1, 3, 1}, {0, 3, +1, 1, 2, -1}},  // YZX
    {{0, 1, -1, 2, 3, -1}, {0, 2, +1, 1, 3, 3}, {0, 3, +1, 1, 2, 2}},  // YXZ
    {{0, 1, -1, 2, 3, 3}, {0, 2, +1, 1, 3, -1}, {0, 3, -1, 1, 2, 1}},  // XYZ
    {{0, 1, +1, 2, 3, 2}, {0, 2, +1, 1, 3, 1}, {0, 3, -1, 1, 2, -1}},  // XZY
};

MatFunc evaluate(const AngleFormula& f, const MatFunc (&q)[4])
{
    const MatFunc first = (2 * q[f.a]).dot(q[f.b]);
    const MatFunc second = (2 * q[f.c]).dot(q[f.d]);
    const MatFunc sine = plusOrMinus(first, f.sign, second);
    if (f.diag < 0) return Asin(sine);
    const MatFunc cosine = (2 * q[0].dot(q[0]) + 2 * q[f.diag].dot(q[f.diag])) - 1.0;
    return Atan2(sine, cosine);
}

}  // namespace

MatFunc MatFunc::SY(const std::string& RotationOrder) const
{
    int n = 0;
    MatFunc x, y, z;
    if (col == 3) {
        n = row;
        x = getcol(0);
        y = getcol(1);
        z = getcol(2);
    } else if (row == 3) {
        n = col;
        x = getrow(0);
        y = getrow(1);
        z = getrow(2);
    } else {
        writeErrorLine(ErrorLine::SYDimensions);
        return MatFunc();
    }

    MatFunc result(n, 4);
    const MatFunc a = x * 0.5, b = y * 0.5, c = z * 0.5;
    if (result.empty) return result;

    const Order order = parseOrder(RotationOrder);
    if (order == Order::Invalid) {
        writeErrorLine(ErrorLine::SYRotationOrder);
        return result;
    }
    const int* sign = kSYSigns[static_cast<int>(order)];

    const MatFunc sa = Sin(a), ca = Cos(a), sb = Sin(b), cb = Cos(b), sc = Sin(c), cc = Cos(c);
    result.setcol(plusOrMinus(ca.dot(cb).dot(cc), sign[0], sa.dot(sb).dot(sc)), 0);
    result.setcol(plusOrMinus(sa.dot(cb).dot(cc), sign[1], ca.dot(sb).dot(sc)), 1);
    result.setcol(plusOrMinus(ca.dot(sb).dot(cc), sign[2], sa.dot(cb).dot(sc)), 2);
    result.setcol(plusOrMinus(ca.dot(cb).dot(sc), sign[3], sa.dot(sb).dot(cc)), 3);
    return result;
}

MatFunc MatFunc::AttitudeAngle(const std::string& RotationOrder) const
{
    const MatFunc p = normalize();
    int n = 0;
    MatFunc q[4];
    if (p.col == 4) {
        n = p.row;
        for (int k = 0; k < 4; ++k) q[k] = p.getcol(k);
    } else if (p.row == 4) {
        n = p.col;
        for (int k = 0; k < 4; ++k) q[k] = p.getrow(k);
    } else {
        writeErrorLine(ErrorLine::AttitudeAngleDimensions);
        return MatFunc();
    }

    MatFunc result(n, 3);
    if (result.empty) return result;

    const Order order = parseOrder(RotationOrder);
    if (order == Order::Invalid) {
        writeErrorLine(ErrorLine::AttitudeAngleRotationOrder);
        return result;
    }

    if (order == Order::ZYX) {
        result.setcol(Atan2(2 * (q[2].dot(q[3]) + q[0].dot(q[1])), 1.0 - 2 * (q[1].dot(q[1]) + q[2].dot(q[2]))), 0);
        result.setcol(Asin(-2 * (q[1].dot(q[3]) - q[0].dot(q[2]))), 1);
        result.setcol(Atan2(2 * (q[1].dot(q[2]) + q[0].dot(q[3])), 1.0 - 2 * (q[2].dot(q[2]) + q[3].dot(q[3]))), 2);
        return result;
    }
    const AngleFormula(&formulas)[3] = kAngleFormulas[static_cast<int>(order) - 1];
    for (int axis = 0; axis < 3; ++axis) result.setcol(evaluate(formulas[axis], q), axis);
    return result;
}

}  // namespace tarn
