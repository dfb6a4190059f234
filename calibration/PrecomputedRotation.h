#pragma once
// A rotation quaternion of the calibration state, kept together with the two
// matrices the per-frame exports apply to it: its direction-cosine matrix
// Cbn() and its left-product matrix w_matrix_function(2). Both are computed
// once, when the quaternion is set, instead of on every frame; they are the
// same values the per-frame code would compute.
#include "matrix/MatFunc.h"

namespace tarn {

class PrecomputedRotation {
public:
    // No rotation yet: the quaternion and both matrices are default
    // (empty) matrices, and nothing is computed.
    PrecomputedRotation() = default;
    // The rotation q, a 1 x 4 quaternion.
    PrecomputedRotation(const MatFunc& q)  // NOLINT: implicit, assigned from quaternions
        : quaternion_(q), cbn_(q.Cbn()), leftProduct_(q.w_matrix_function(2))
    {
    }

    const MatFunc& quaternion() const { return quaternion_; }
    // quaternion().Cbn()
    const MatFunc& cbn() const { return cbn_; }
    // quaternion().w_matrix_function(2)
    const MatFunc& leftProductMatrix() const { return leftProduct_; }

private:
    MatFunc quaternion_;
    MatFunc cbn_;
    MatFunc leftProduct_;
};

}  // namespace tarn
