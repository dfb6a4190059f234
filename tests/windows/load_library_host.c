/* A Windows host written the way hosts load plugins: no import library and
 * no header, only LoadLibrary, GetProcAddress by plain name and function
 * pointers with the 64-bit Windows calling convention. bool crosses as one
 * byte (unsigned char), as hosts written in other languages declare it.
 * Runs a short calibration session; exits non-zero on the first problem. */
#include <math.h>
#include <stdio.h>
#include <windows.h>

typedef unsigned char Bool8;

typedef void (*HandCalibration)(const double*, const double*);
typedef void (*HandData)(double*);
typedef Bool8 (*DoubleCalibration)(const double*, const double*);
typedef void (*DoubleData)(double*, double*, double*, double*);
typedef void (*NoArguments)(void);
typedef Bool8 (*AllVRCalibration)(Bool8, const double*, const double*, const double*, const double*, Bool8,
                                  const double*, const double*, const double*, const double*, Bool8,
                                  const double*, const double*);
typedef Bool8 (*AllVRCalibrationV2)(Bool8, const double*, const double*, const double*, const double*, Bool8,
                                    const double*, const double*, const double*, const double*, Bool8,
                                    const double*, const double*, Bool8);
typedef void (*AllVRData)(double*, double*, double*, double*, double*, double*, double*, double*);
typedef void (*DevicePose)(double*, double*);

static const char* const kExports[16] = {
    "InitialRHand",          "InitialLHand",           "GetCalculationDataRHand",  "GetCalculationDataLHand",
    "InitialDoubleCalibration", "GetDoubleHandCalibrationData", "ResetDoubleHandCalibration",
    "InitialAllVRCalibration", "InitialAllVRCalibrationV2", "GetAllVRCalibrationData", "GetAllRTracker",
    "GetAllLTracker",        "GetAllVRGlasses",        "GetAllmHand",              "ResetAllVRCalibration",
    "Close"};

static FARPROC entries[16];
static int failures = 0;

static void expect(const char* what, int ok)
{
    if (!ok) {
        printf("FAIL %s\n", what);
        ++failures;
    }
}

static void expect_near(const char* what, double actual, double expected)
{
    if (!(fabs(actual - expected) <= 1e-12)) {
        printf("FAIL %s: %.17g, expected %.17g\n", what, actual, expected);
        ++failures;
    }
}

/* The entry point of kExports[index], as the given function pointer type. */
#define ENTRY(type, index) ((type)(void (*)(void))entries[index])

static void fill_hand(double* hand)
{
    int i;
    for (i = 0; i < 20; ++i) {
        hand[4 * i + 0] = 1.0;
        hand[4 * i + 1] = 0.0;
        hand[4 * i + 2] = 0.0;
        hand[4 * i + 3] = 0.0;
    }
}

static void run_session(void)
{
    const double identity[4] = {1.0, 0.0, 0.0, 0.0};
    const double half = sqrt(0.5);
    const double rPos[3] = {1.0, 0.0, 1.2}, lPos[3] = {0.0, 0.0, 1.0};
    double hand[80], hand2[80];
    double p1[3] = {1.0, 0.0, 1.0}, p2[3] = {0.0, 0.0, 1.0};
    double pos[3] = {1.0, 0.5, 1.5}, quat[4] = {1.0, 0.0, 0.0, 0.0};
    double untouched[3] = {7.0, 7.0, 7.0};

    /* Single hand: source == target turns the right hand by +90 degrees,
     * the left hand by -90 degrees; Close undoes both. */
    ENTRY(HandCalibration, 0)(identity, identity);
    ENTRY(HandCalibration, 1)(identity, identity);
    fill_hand(hand);
    ENTRY(HandData, 2)(hand);
    expect_near("right hand w", hand[76], half);
    expect_near("right hand z", hand[79], half);
    fill_hand(hand);
    ENTRY(HandData, 3)(hand);
    expect_near("left hand z", hand[3], -half);
    ENTRY(NoArguments, 15)();
    fill_hand(hand);
    ENTRY(HandData, 2)(hand);
    expect("unchanged after Close", hand[0] == 1.0 && hand[3] == 0.0);

    /* Double hand: the bool comes back as the byte 1, then 0 when refused. */
    expect("double-hand calibration returns 1", ENTRY(DoubleCalibration, 4)(p1, p2) == 1);
    fill_hand(hand);
    fill_hand(hand2);
    ENTRY(DoubleData, 5)(hand, hand2, p1, p2);
    expect_near("position1 x", p1[0], 0.5);
    expect_near("position2 x", p2[0], -0.5);
    expect("refused calibration returns 0", ENTRY(DoubleCalibration, 4)(lPos, lPos) == 0);
    ENTRY(NoArguments, 6)();

    /* All-VR: both trackers along x, origin between them on the floor; the
     * bool arguments are single bytes too. The headset is not calibrated, so
     * its arrays stay untouched. */
    expect("All-VR returns 1", ENTRY(AllVRCalibration, 7)(1, rPos, rPos, identity, identity, 1, lPos, lPos,
                                                          identity, identity, 0, NULL, NULL) == 1);
    expect("All-VR V2 returns 1", ENTRY(AllVRCalibrationV2, 8)(1, rPos, rPos, identity, identity, 1, lPos, lPos,
                                                               identity, identity, 0, NULL, NULL, 1) == 1);
    ENTRY(DevicePose, 10)(pos, quat);
    expect_near("right tracker x", pos[0], 0.5);
    expect_near("right tracker z", pos[2], 1.5);
    pos[0] = 0.0;
    ENTRY(DevicePose, 11)(pos, quat);
    expect_near("left tracker x", pos[0], -0.5);
    ENTRY(DevicePose, 12)(untouched, quat);
    ENTRY(AllVRData, 9)(pos, quat, NULL, pos, quat, NULL, untouched, NULL);
    expect("headset arrays untouched", untouched[0] == 7.0 && untouched[2] == 7.0);
    ENTRY(NoArguments, 13)();
    ENTRY(NoArguments, 14)();
}

int main(void)
{
    HMODULE library = LoadLibraryA("TarnHandCalibrationSDK.dll");
    int i;
    if (library == NULL) {
        printf("FAIL LoadLibrary: error %lu\n", (unsigned long)GetLastError());
        return 1;
    }
    for (i = 0; i < 16; ++i) {
        entries[i] = GetProcAddress(library, kExports[i]);
        if (entries[i] == NULL) {
            printf("FAIL GetProcAddress(%s)\n", kExports[i]);
            ++failures;
        }
    }
    if (failures == 0) run_session();
    expect("FreeLibrary", FreeLibrary(library) != 0);
    if (failures == 0) printf("LoadLibrary host: 16 exports found, session as expected\n");
    return failures == 0 ? 0 : 1;
}
