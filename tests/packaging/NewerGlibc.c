/* A library that references a symbol newer than the wheel's platform tag
 * allows (arc4random: glibc 2.36), for the check that must refuse it. */
#include <stdlib.h>

unsigned tarn_newer_glibc(void) { return arc4random(); }
