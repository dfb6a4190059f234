// The double-precision sin, cos, asin, acos and atan2 of the Windows build.
//
// mingw-w64's own routines evaluate sin, cos and atan2 on the x87 unit
// (several units in the last place off near multiples of pi) and take asin
// and acos from the C runtime DLL of whichever Windows runs the program.
// These definitions take precedence over both when the library is linked:
// each evaluates the function in GCC's quadruple precision and rounds once
// to double, so results are correctly rounded in all but vanishingly rare
// cases and do not depend on the Windows version. They may still differ in
// the last bit from another platform's math library.
#include <quadmath.h>

extern "C" {

double sin(double x) { return static_cast<double>(sinq(x)); }

double cos(double x) { return static_cast<double>(cosq(x)); }

double asin(double x) { return static_cast<double>(asinq(x)); }

double acos(double x) { return static_cast<double>(acosq(x)); }

double atan2(double y, double x) { return static_cast<double>(atan2q(y, x)); }

}
