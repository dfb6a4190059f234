#include "EigenBaseline.h"

#include <cmath>

namespace eigen_baseline {

namespace {

using HandBlock = Eigen::Matrix<double, 20, 4, Eigen::RowMajor>;

// Direction-cosine matrix of q (body to reference).
Matrix3 directionCosines(const Quaternion& q)
{
    const double q0 = q[0], q1 = q[1], q2 = q[2], q3 = q[3];
    Matrix3 c;
    c << q0 * q0 + q1 * q1 - q2 * q2 - q3 * q3, 2.0 * (q1 * q2 - q0 * q3), 2.0 * (q1 * q3 + q0 * q2),
        2.0 * (q1 * q2 + q0 * q3), q0 * q0 - q1 * q1 + q2 * q2 - q3 * q3, 2.0 * (q2 * q3 - q0 * q1),
        2.0 * (q1 * q3 - q0 * q2), 2.0 * (q2 * q3 + q0 * q1), q0 * q0 - q1 * q1 - q2 * q2 + q3 * q3;
    return c;
}

// A row p times this matrix is conj(q) (x) p.
Matrix4 leftProductMatrix(const Quaternion& q)
{
    Matrix4 w;
    w << q[0], -q[1], -q[2], -q[3],
         q[1], q[0], -q[3], q[2],
         q[2], q[3], q[0], -q[1],
         q[3], -q[2], q[1], q[0];
    return w;
}

// A row p times this matrix is p (x) conj(q).
Matrix4 rightProductMatrix(const Quaternion& q)
{
    Matrix4 w;
    w << q[0], -q[1], -q[2], -q[3],
         q[1], q[0], q[3], -q[2],
         q[2], -q[3], q[0], q[1],
         q[3], q[2], -q[1], q[0];
    return w;
}

Quaternion headingQuaternion(double psi)
{
    return Quaternion(std::cos(psi * 0.5), 0.0, 0.0, std::sin(psi * 0.5));
}

double headingAngle(const Quaternion& q)
{
    const Quaternion u = q / q.norm();
    return std::atan2(2.0 * (u[1] * u[2] + u[0] * u[3]), 1.0 - 2.0 * (u[2] * u[2] + u[3] * u[3]));
}

Quaternion headingOnly(const double* q) { return headingQuaternion(headingAngle(Quaternion(q))); }

Rotation rotation(const Quaternion& q) { return {directionCosines(q), leftProductMatrix(q)}; }

void turnHandBlock(const Matrix4& turn, double* handData)
{
    Eigen::Map<HandBlock> block(handData);
    block = block * turn;
}

void moveIntoFrame(const Position& origin, const Matrix3& rotation, double* position)
{
    Eigen::Map<Position> p(position);
    p = (p - origin) * rotation;
}

}  // namespace

Rotation handOffset(Hand hand, const double* source, const double* target)
{
    const double quarterTurn = std::acos(-1.0) * 0.5;
    const double targetAngle = headingAngle(Quaternion(target));
    const Quaternion targetHeading =
        headingQuaternion(hand == Hand::Right ? targetAngle + quarterTurn : targetAngle - quarterTurn);
    return rotation(headingOnly(source) * rightProductMatrix(targetHeading));
}

void applyHandOffset(const Rotation& offset, double* handData) { turnHandBlock(offset.leftProduct, handData); }

DoubleHandFrame doubleHandFrame(const double* position1, const double* position2)
{
    const Position p1(position1), p2(position2);
    const Position d = p1 - p2;
    return {rotation(headingQuaternion(std::atan2(d[1], d[0]))), (p1 + p2) * 0.5};
}

void applyDoubleHandFrame(const DoubleHandFrame& frame, double* hand1, double* hand2, double* position1,
                          double* position2)
{
    moveIntoFrame(frame.center, frame.rotation.cbn, position1);
    moveIntoFrame(frame.center, frame.rotation.cbn, position2);
    turnHandBlock(frame.rotation.leftProduct, hand1);
    turnHandBlock(frame.rotation.leftProduct, hand2);
}

AllVRFrame allVRFrameFromTrackers(const double* rightPosition, const double* rightQuaternion,
                                  const double* leftPosition, const double* leftQuaternion,
                                  const double* headsetQuaternion)
{
    const Position r(rightPosition), l(leftPosition);
    const Position d = r - l;
    Position origin = (r + l) * 0.5;
    origin[2] = 0.0;
    return {rotation(headingQuaternion(std::atan2(d[1], d[0]))), origin, rotation(headingOnly(rightQuaternion)),
            rotation(headingOnly(leftQuaternion)), rotation(headingOnly(headsetQuaternion))};
}

void convertPose(const AllVRFrame& frame, const Rotation& deviceHeading, double* position, double* quaternion)
{
    moveIntoFrame(frame.origin, frame.heading.cbn, position);
    Eigen::Map<Quaternion> q(quaternion);
    q = q * deviceHeading.leftProduct;
}

}  // namespace eigen_baseline
