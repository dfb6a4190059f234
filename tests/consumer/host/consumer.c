/* A plain C99 host built against the installed package: both headers from
 * the include directory, both libraries from the package, bool results as
 * C99 declares them. Exits non-zero when a calibration gives a wrong
 * result. */
#include <math.h>
#include <stdio.h>
#include <string.h>

#include <TarnCalibrator.h>
#include <TarnHandCalibrationSDK.h>

#if TARN_HAND_CALIBRATION_SDK_VERSION_NUMBER < 10000
#error "the installed header carries no version"
#endif

int main(void)
{
    const double identity[4] = {1.0, 0.0, 0.0, 0.0};
    const double p1[3] = {1.0, 0.0, 1.0}, p2[3] = {1.0, 0.0005, 1.0}, origin[3] = {0.0, 0.0, 0.0};
    double hand[80] = {0.0}, turned[80] = {0.0};
    tarn_calibrator* calibrator = NULL;
    int i;
    for (i = 0; i < 20; ++i) hand[4 * i] = turned[4 * i] = 1.0;

    /* source == target: the right hand turns by +90 degrees about z. */
    InitialRHand(identity, identity);
    GetCalculationDataRHand(hand);
    if (fabs(hand[0] - sqrt(0.5)) > 1e-12 || fabs(hand[79] - sqrt(0.5)) > 1e-12) {
        printf("FAIL: right hand quaternion %.17g %.17g\n", hand[0], hand[79]);
        return 1;
    }
    /* The integrator API: the same calibration, the same bits. */
    if (tarn_version() != TARN_CALIBRATOR_VERSION_NUMBER ||
        tarn_calibrator_create(TARN_CONVENTION_LIBRARY, &calibrator) != TARN_OK ||
        tarn_calibrate_hand(calibrator, TARN_RIGHT_HAND, identity, identity, NULL) != TARN_OK ||
        tarn_apply_hand(calibrator, TARN_RIGHT_HAND, turned, 0, 1) != TARN_OK || memcmp(hand, turned, sizeof hand)) {
        printf("FAIL: integrator API\n");
        return 1;
    }
    tarn_calibrator_destroy(calibrator);
    /* Positions closer than a millimetre on both horizontal axes: refused. */
    if (InitialDoubleCalibration(p1, p2) || !InitialDoubleCalibration(p1, origin)) {
        printf("FAIL: double-hand calibration results\n");
        return 1;
    }
    printf("consumer of TarnHandCalibrationSDK %d.%d.%d: ok\n", TARN_HAND_CALIBRATION_SDK_VERSION_MAJOR,
           TARN_HAND_CALIBRATION_SDK_VERSION_MINOR, TARN_HAND_CALIBRATION_SDK_VERSION_PATCH);
    return 0;
}
