// All-VR calibration and pose output through the binding. Every group
// starts with its own calibration, since nothing else resets that state.
using System;

namespace Tarn.HandCalibration.Tests
{
    internal static class AllVRTests
    {
        private static readonly double[] Identity = { 1.0, 0.0, 0.0, 0.0 };

        internal static void Run()
        {
            RightTrackerAlone();
            OriginAccumulates();
            BothTrackers();
            HeadsetFallback();
            AllDevicesInOneCall();
            LengthChecks();
        }

        // Right tracker at (1, 0, 1), forward from (1, -1, 1): heading 0,
        // origin 0.2 to its left, (0.8, 0, 0). Left tracker and headset off.
        private static bool CalibrateRightAlone(bool replaceOrigin)
        {
            return TarnHandCalibrationSDK.InitialAllVRCalibrationV2(
                true, new[] { 1.0, 0.0, 1.0 }, new[] { 1.0, -1.0, 1.0 }, Identity, null,
                false, null, null, null, null, false, null, null, replaceOrigin);
        }

        private static void RightTrackerAlone()
        {
            Expect.True("InitialAllVRCalibration returns true",
                        TarnHandCalibrationSDK.InitialAllVRCalibration(
                            true, new[] { 1.0, 0.0, 1.0 }, new[] { 1.0, -1.0, 1.0 }, Identity, null,
                            false, null, null, null, null, false, null, null));
            double[] position = { 1.0, 0.0, 1.0 }, quaternion = { 1.0, 0.0, 0.0, 0.0 };
            TarnHandCalibrationSDK.GetAllRTracker(position, quaternion);
            Expect.Near("right tracker position", position, 0.2, 0.0, 1.0);
            Expect.Near("right tracker quaternion", quaternion, 1.0, 0.0, 0.0, 0.0);

            double[] untouchedPosition = { 1.5, Samples.NegativeZero, 2.0 };
            double[] untouchedQuaternion = { 0.5, 0.5, -0.5, 0.5 };
            TarnHandCalibrationSDK.GetAllLTracker(untouchedPosition, untouchedQuaternion);
            TarnHandCalibrationSDK.GetAllVRGlasses(untouchedPosition, untouchedQuaternion);
            Expect.Same("uncalibrated devices: position", untouchedPosition,
                        new[] { 1.5, Samples.NegativeZero, 2.0 });
            Expect.Same("uncalibrated devices: quaternion", untouchedQuaternion, new[] { 0.5, 0.5, -0.5, 0.5 });
        }

        private static void OriginAccumulates()
        {
            Expect.True("V2 returns true", CalibrateRightAlone(true));
            CalibrateRightAlone(false);
            double[] position = { 1.0, 0.0, 1.0 }, quaternion = { 1.0, 0.0, 0.0, 0.0 };
            TarnHandCalibrationSDK.GetAllRTracker(position, quaternion);
            Expect.Near("position against the accumulated origin (1.6, 0, 0)", position, -0.6, 0.0, 1.0);
        }

        // Trackers at (0, 1, 1) and (0, 0, 1): heading +90 degrees, origin
        // (0, 0.5, 0); each tracker turned +90 degrees at calibration.
        private static void BothTrackers()
        {
            double[] turned = Samples.Heading(90).ToArray();
            TarnHandCalibrationSDK.InitialAllVRCalibration(true, new[] { 0.0, 1.0, 1.0 }, new[] { 0.0, 1.0, 1.0 },
                                                           turned, turned, true, new[] { 0.0, 0.0, 1.0 },
                                                           new[] { 0.0, 0.0, 1.0 }, turned, turned, false, null,
                                                           null);
            double[] position = { 1.0, 0.5, 1.5 }, quaternion = Samples.Heading(90).ToArray();
            TarnHandCalibrationSDK.GetAllLTracker(position, quaternion);
            Expect.Near("left tracker position", position, 0.0, -1.0, 1.5);
            Expect.Near("left tracker loses its heading", quaternion, 1.0, 0.0, 0.0, 0.0);

            var pose = new TarnPose(new TarnVector3(1.0, 0.5, 1.5), Samples.Heading(90));
            TarnHandCalibrationSDK.GetAllRTracker(ref pose);
            Expect.Near("right tracker pose overload", pose.Position.ToArray(), 0.0, -1.0, 1.5);
        }

        // No second quaternion and the headset on: the headset at
        // (0, 0, 1.7) decides the frame, origin 0.5 in front of it.
        private static void CalibrateWithHeadset()
        {
            TarnHandCalibrationSDK.InitialAllVRCalibration(true, new[] { 1.0, 0.0, 1.0 }, new[] { 1.0, -1.0, 1.0 },
                                                           Identity, null, false, null, null, null, null, true,
                                                           new[] { 0.0, 0.0, 1.7 }, Identity);
        }

        private static void HeadsetFallback()
        {
            CalibrateWithHeadset();
            var headset = new TarnPose(new TarnVector3(0.0, 0.5, 1.7), TarnQuaternion.Identity);
            TarnHandCalibrationSDK.GetAllVRGlasses(ref headset);
            Expect.Near("headset at the origin", headset.Position.ToArray(), 0.0, 0.0, 1.7);

            double[] position = { 0.0, 0.5, 1.0 }, quaternion = { 1.0, 0.0, 0.0, 0.0 };
            TarnHandCalibrationSDK.GetAllRTracker(position, quaternion);
            Expect.Near("right tracker still calibrated, in the headset frame", position, 0.0, 0.0, 1.0);

            TarnHandCalibrationSDK.ResetAllVRCalibration(); // does nothing
            TarnHandCalibrationSDK.GetAllmHand();           // does nothing
            position = new[] { 0.0, 0.5, 1.0 };
            TarnHandCalibrationSDK.GetAllRTracker(position, quaternion);
            Expect.Near("ResetAllVRCalibration keeps the calibration", position, 0.0, 0.0, 1.0);
        }

        // One call gives what the three single-device calls give, on the
        // arrays and on the pose overload.
        private static void AllDevicesInOneCall()
        {
            CalibrateWithHeadset();
            double[][] joint = { new[] { 0.4, 0.9, 1.1 }, new[] { 0.9, 0.1, -0.2, 0.3 },
                                 new[] { 8.0, 9.0, 1.0 }, new[] { 0.5, 0.5, 0.5, 0.5 },
                                 new[] { -0.3, 0.2, 1.6 }, new[] { 0.7, 0.0, 0.1, -0.7 } };
            double[][] single = Array.ConvertAll(joint, array => (double[])array.Clone());
            var r = new TarnPose(TarnVector3.FromArray(joint[0]), TarnQuaternion.FromArray(joint[1]));
            var l = new TarnPose(TarnVector3.FromArray(joint[2]), TarnQuaternion.FromArray(joint[3]));
            var g = new TarnPose(TarnVector3.FromArray(joint[4]), TarnQuaternion.FromArray(joint[5]));

            TarnHandCalibrationSDK.GetAllVRCalibrationData(joint[0], joint[1], joint[2], joint[3], joint[4], joint[5]);
            TarnHandCalibrationSDK.GetAllVRCalibrationData(ref r, ref l, ref g);
            TarnHandCalibrationSDK.GetAllRTracker(single[0], single[1]);
            TarnHandCalibrationSDK.GetAllLTracker(single[2], single[3]);
            TarnHandCalibrationSDK.GetAllVRGlasses(single[4], single[5]);
            for (int i = 0; i < joint.Length; ++i)
                Expect.Same("one call, array " + i, joint[i], single[i]);
            Expect.Same("pose overload: right", r.Position.ToArray(), single[0]);
            Expect.Same("pose overload: headset", g.Rotation.ToArray(), single[5]);
        }

        private static void LengthChecks()
        {
            Expect.Throws<ArgumentNullException>("tracker on without a position",
                () => TarnHandCalibrationSDK.InitialAllVRCalibration(true, null, new double[3], Identity, null, false,
                                                                     null, null, null, null, false, null, null),
                "rTrackerPos");
            Expect.Throws<ArgumentException>("short second quaternion",
                () => TarnHandCalibrationSDK.InitialAllVRCalibrationV2(
                    false, null, null, null, null, true, new double[3], new double[3], Identity, new double[3],
                    false, null, null, true),
                "lTrackerQuat2 must be 4 doubles");
            Expect.Throws<ArgumentException>("headset on with a short quaternion",
                () => TarnHandCalibrationSDK.InitialAllVRCalibration(false, null, null, null, null, false, null, null,
                                                                     null, null, true, new double[3], new double[5]),
                "vrGlassesQuat");
            Expect.Throws<ArgumentException>("all devices: short left position",
                () => TarnHandCalibrationSDK.GetAllVRCalibrationData(new double[3], new double[4], new double[4],
                                                                     new double[4], new double[3], new double[4]),
                "lTrackerPos");
        }
    }
}
