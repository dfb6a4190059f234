/* A host written in plain C: includes the public header, links the shared
 * library and calls every export once in a short calibration session.
 * Exits non-zero on the first wrong result. */
#include <math.h>
#include <stdio.h>

#include "TarnHandCalibrationSDK.h"

static int failures = 0;

static void expect_near(const char* what, double actual, double expected)
{
    if (fabs(actual - expected) > 1e-12) {
        printf("FAIL %s: %.17g, expected %.17g\n", what, actual, expected);
        ++failures;
    }
}

static void fill_hand(double* hand, double w, double z)
{
    int i;
    for (i = 0; i < 20; ++i) {
        hand[4 * i + 0] = w;
        hand[4 * i + 1] = 0.0;
        hand[4 * i + 2] = 0.0;
        hand[4 * i + 3] = z;
    }
}

int main(void)
{
    const double identity[4] = {1.0, 0.0, 0.0, 0.0};
    const double s = sqrt(0.5);
    double hand[80], hand2[80];
    double p1[3] = {1.0, 0.0, 1.0}, p2[3] = {0.0, 0.0, 1.0};
    const double rPos[3] = {1.0, 0.0, 1.2}, lPos[3] = {0.0, 0.0, 1.0};
    const double quat2[4] = {1.0, 0.0, 0.0, 0.0};
    double pos[3] = {1.0, 0.5, 1.5}, quat[4] = {1.0, 0.0, 0.0, 0.0};

    /* Single hand: source == target turns the right hand by +90 degrees. */
    InitialRHand(identity, identity);
    fill_hand(hand, 1.0, 0.0);
    GetCalculationDataRHand(hand);
    expect_near("right hand w", hand[0], s);
    expect_near("right hand z", hand[3], s);
    InitialLHand(identity, identity);
    fill_hand(hand, 1.0, 0.0);
    GetCalculationDataLHand(hand);
    expect_near("left hand z", hand[3], -s);
    Close();
    fill_hand(hand, 1.0, 0.0);
    GetCalculationDataRHand(hand);
    expect_near("after Close", hand[3], 0.0);

    /* Double hand: a frame along x centred between the two positions. */
    if (!InitialDoubleCalibration(p1, p2)) {
        printf("FAIL double-hand calibration refused\n");
        ++failures;
    }
    fill_hand(hand, 1.0, 0.0);
    fill_hand(hand2, 1.0, 0.0);
    GetDoubleHandCalibrationData(hand, hand2, p1, p2);
    expect_near("position1 x", p1[0], 0.5);
    expect_near("position2 x", p2[0], -0.5);
    ResetDoubleHandCalibration();

    /* All-VR: both trackers along x, origin between them on the floor. */
    InitialAllVRCalibration(true, rPos, rPos, identity, quat2, true, lPos, lPos, identity, quat2, false, NULL,
                            NULL);
    InitialAllVRCalibrationV2(true, rPos, rPos, identity, quat2, true, lPos, lPos, identity, quat2, false, NULL,
                              NULL, true);
    GetAllRTracker(pos, quat);
    expect_near("tracker x", pos[0], 0.5);
    expect_near("tracker z", pos[2], 1.5);
    GetAllLTracker(pos, quat);
    GetAllVRGlasses(NULL, NULL); /* headset not calibrated: not touched */
    GetAllVRCalibrationData(pos, quat, NULL, pos, quat, NULL, NULL, NULL);
    GetAllmHand();
    ResetAllVRCalibration();

    if (failures == 0) printf("C host: all exports called, results as expected\n");
    return failures == 0 ? 0 : 1;
}
