#include "calibration/HostConvention.h"

namespace tarn {

namespace {

// Library axis i is host axis `from[i]`, negated where `negate[i]`.
struct Axes {
    int from[3];
    bool negate[3];
    bool reflection;      // a change of handedness
    bool scalarLast;      // quaternions [x, y, z, w]
    bool centimetres;
};

const Axes kAxes[] = {
    {{0, 1, 2}, {false, false, false}, false, false, false},  // library
    {{0, 2, 1}, {false, false, false}, true, true, false},    // Unity: X right, Y up, Z forward
    {{0, 2, 1}, {false, true, false}, false, true, false},    // OpenXR: X right, Y up, -Z forward
    {{1, 0, 2}, {false, false, false}, true, true, true},     // Unreal: X forward, Y right, Z up
};

const Axes& axesOf(Convention convention) { return kAxes[static_cast<int>(convention)]; }

double signed_(double value, bool negate) { return negate ? -value : value; }

void vectorToLibrary(const Axes& a, const double* in, double* out, bool pseudo)
{
    const double host[3] = {in[0], in[1], in[2]};
    for (int i = 0; i < 3; ++i) out[i] = signed_(host[a.from[i]], a.negate[i] != (pseudo && a.reflection));
}

void vectorFromLibrary(const Axes& a, const double* in, double* out, bool pseudo)
{
    const double library[3] = {in[0], in[1], in[2]};
    for (int i = 0; i < 3; ++i) out[a.from[i]] = signed_(library[i], a.negate[i] != (pseudo && a.reflection));
}

}  // namespace

void positionToLibrary(Convention convention, const double* in, double* out)
{
    const Axes& a = axesOf(convention);
    vectorToLibrary(a, in, out, false);
    if (a.centimetres)
        for (int i = 0; i < 3; ++i) out[i] = out[i] / 100.0;
}

void positionFromLibrary(Convention convention, const double* in, double* out)
{
    vectorFromLibrary(axesOf(convention), in, out, false);
    for (int i = 0; i < 3; ++i) out[i] = lengthFromLibrary(convention, out[i]);
}

double lengthFromLibrary(Convention convention, double metres)
{
    return axesOf(convention).centimetres ? metres * 100.0 : metres;
}

void quaternionToLibrary(Convention convention, const double* in, double* out)
{
    const Axes& a = axesOf(convention);
    const double w = a.scalarLast ? in[3] : in[0];
    double vector[3];
    vectorToLibrary(a, a.scalarLast ? in : in + 1, vector, true);
    out[0] = w;
    for (int i = 0; i < 3; ++i) out[1 + i] = vector[i];
}

void quaternionFromLibrary(Convention convention, const double* in, double* out)
{
    const Axes& a = axesOf(convention);
    const double w = in[0];
    double vector[3];
    vectorFromLibrary(a, in + 1, vector, true);
    for (int i = 0; i < 3; ++i) out[(a.scalarLast ? 0 : 1) + i] = vector[i];
    out[a.scalarLast ? 3 : 0] = w;
}

}  // namespace tarn
