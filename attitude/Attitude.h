#pragma once
// Attitude operations of MatFunc: quaternions, direction-cosine matrices and
// Euler angles. They are members of MatFunc (declared in matrix/MatFunc.h)
// and are written entirely with the matrix library's operations.
//
// Conventions, shared by the whole library:
//  - A quaternion is [q0, q1, q2, q3] = [w, x, y, z], scalar first. A single
//    quaternion is any matrix of exactly 4 elements, read in storage order;
//    a set of quaternions is n x 4 (one per row) or 4 x n (one per column),
//    rows winning for a 4 x 4 matrix.
//  - The product p (x) q is Hamilton's (i^2 = j^2 = k^2 = ijk = -1).
//  - A quaternion rotates body (device) coordinates into the reference
//    (world) frame: Cbn() is the matrix that carries body vectors into the
//    reference frame. Quaternions are used as given; only AttitudeAngle
//    normalises its input.
//  - Angles are radians. An Euler-angle matrix is n x 3 (or 3 x n for SY),
//    columns fixed by axis whatever the order: 0 = about X, 1 = about Y,
//    2 = about Z.
//  - Rotation orders are the texts "ZYX", "ZXY", "YZX", "YXZ", "XYZ", "XZY",
//    compared exactly. Order PQR means q = qP (x) qQ (x) qR, so "ZYX" gives
//    Cbn = Rz(z) * Ry(y) * Rx(x).
//  - AttitudeAngle ranges: the middle axis of the order in [-pi/2, pi/2]
//    (a clamped arcsine), the other two in [-pi, pi] (atan2). Singular
//    attitudes get no special treatment.
//
// Operations (each leaves the matrix it is called on unchanged):
//  Cbn()                  3 x 3 direction-cosine matrix of a 4-element
//                         quaternion, L^2 times a rotation for length L.
//                         Not 4 elements: error line, 3 x 3 zeros.
//  w_matrix_function(m)   4 x 4 product matrix: mode 1 the right-product
//                         matrix (W * p = p (x) q), any other mode the
//                         left-product matrix (W * p = q (x) p), p a column.
//                         A row p times the left-product matrix gives
//                         conj(q) (x) p. Not 4 elements: error line, zeros.
//  normalize()            n x 4: every row to unit length; else 4 x n:
//                         every column; else the whole matrix. No test
//                         against zero: a zero quaternion becomes NaN.
//  SY(order)              n x 3 (or 3 x n) Euler angles to n x 4
//                         quaternions (not normalised). Bad shape: error
//                         line, default matrix. Bad order: error line,
//                         n x 4 zeros.
//  AttitudeAngle(order)   quaternions (normalised first) to n x 3 Euler
//                         angles. Bad shape: error line, default matrix.
//                         Bad order: error line, n x 3 zeros.
#include "matrix/MatFunc.h"
