#include "calibration/Degeneracy.h"

#include <cmath>

namespace tarn {

Degeneracy headingDegeneracy(const double* q)
{
    bool zero = true;
    for (int k = 0; k < 4; ++k) zero = zero && std::fabs(q[k]) < kZeroQuaternion;
    if (zero) return Degeneracy::ZeroQuaternion;
    if (std::fabs(pitchOf(quaternionAt(q))) > kNearVerticalPitch) return Degeneracy::NearVertical;
    return Degeneracy::None;
}

}  // namespace tarn
