// The library's rotation vocabulary (attitude/Attitude.h, conventions
// there) as tarn-replay and its session generator use it.
#pragma once

#include "attitude/Attitude.h"

// tarn-replay and its session generator: the reference host's classes and
// functions.
namespace replay {

using tarn::aboutX;
using tarn::aboutY;
using tarn::aboutZ;
using tarn::conjugate;
using tarn::degrees;
using tarn::headingOf;
using tarn::kPi;
using tarn::pitchOf;
using tarn::product;
using tarn::quaternionAt;
using tarn::Quaternion;
using tarn::radians;
using tarn::rotate;
using tarn::Vector3;
using tarn::wrapAngle;

}  // namespace replay
