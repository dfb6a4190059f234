// Single-hand and double-hand calibration through the binding.
using System;

namespace Tarn.HandCalibration.Tests
{
    internal static class HandTests
    {
        internal static void Run()
        {
            SingleHandHeadings();
            CloseRestoresBothHands();
            DoubleHandFrame();
            DoubleHandRefusedAndReset();
            LengthChecks();
        }

        // Hand data with the source heading (30 degrees) gets the target's
        // (10 degrees) plus 90 on the right, minus 90 on the left.
        private static void SingleHandHeadings()
        {
            TarnHandCalibrationSDK.InitialRHand(Samples.Heading(30).ToArray(), Samples.Heading(10).ToArray());
            TarnHandCalibrationSDK.InitialLHand(Samples.Heading(30), Samples.Heading(10));

            double[] right = Samples.HandOf(Samples.Heading(30)).Values;
            TarnHandCalibrationSDK.GetCalculationDataRHand(right);
            Samples.ExpectEveryRow("right hand", new TarnHandBlock(right), Samples.Heading(100));

            TarnHandBlock left = Samples.HandOf(Samples.Heading(30));
            TarnHandCalibrationSDK.GetCalculationDataLHand(left);
            Samples.ExpectEveryRow("left hand", left, Samples.Heading(-80));
        }

        private static void CloseRestoresBothHands()
        {
            TarnHandCalibrationSDK.InitialRHand(Samples.Heading(45), Samples.Heading(-20));
            TarnHandCalibrationSDK.InitialLHand(Samples.Heading(45), Samples.Heading(-20));
            TarnHandCalibrationSDK.Close();
            double[] right = Samples.ArbitraryHand(), left = Samples.ArbitraryHand();
            TarnHandCalibrationSDK.GetCalculationDataRHand(right);
            TarnHandCalibrationSDK.GetCalculationDataLHand(left);
            Expect.Same("right hand after Close", right, Samples.ArbitraryHand());
            Expect.Same("left hand after Close", left, Samples.ArbitraryHand());
        }

        // Positions (0.2, 0.5, 1.0) and (1.2, 1.5, 1.1): heading -135 degrees,
        // centre (0.7, 1.0, 1.05).
        private static void DoubleHandFrame()
        {
            double[] p1 = { 0.2, 0.5, 1.0 }, p2 = { 1.2, 1.5, 1.1 };
            Expect.True("double-hand calibration accepted", TarnHandCalibrationSDK.InitialDoubleCalibration(p1, p2));
            TarnHandCalibrationSDK.Close(); // leaves the double-hand calibration alone

            TarnHandBlock hand1 = Samples.HandOf(Samples.Heading(-135 + 17));
            TarnHandBlock hand2 = Samples.HandOf(Samples.Heading(-135 - 40));
            TarnHandCalibrationSDK.GetDoubleHandCalibrationData(hand1.Values, hand2.Values, p1, p2);
            Expect.Near("position1 in the frame", p1, Samples.HalfRoot2, 0.0, -0.05);
            Expect.Near("position2 in the frame", p2, -Samples.HalfRoot2, 0.0, 0.05);
            Samples.ExpectEveryRow("hand1 in the frame", hand1, Samples.Heading(17));
            Samples.ExpectEveryRow("hand2 in the frame", hand2, Samples.Heading(-40));

            var q1 = new TarnVector3(0.2, 0.5, 1.0);
            var q2 = new TarnVector3(1.2, 1.5, 1.1);
            TarnHandCalibrationSDK.GetDoubleHandCalibrationData(hand1, hand2, ref q1, ref q2);
            Expect.Near("position1 through the struct overload", q1.ToArray(), Samples.HalfRoot2, 0.0, -0.05);
        }

        // Refused (a true/false mix-up in the bool marshalling shows here),
        // then nothing written; a reset likewise.
        private static void DoubleHandRefusedAndReset()
        {
            Expect.True("refused when horizontally too close",
                        !TarnHandCalibrationSDK.InitialDoubleCalibration(new TarnVector3(0, 0, 0),
                                                                         new TarnVector3(0.0005, -0.0009, 3.0)));
            ExpectNothingWritten("after a refused calibration");

            Expect.True("accepted again", TarnHandCalibrationSDK.InitialDoubleCalibration(new TarnVector3(1, 0, 0),
                                                                                          new TarnVector3(0, 0, 0)));
            TarnHandCalibrationSDK.ResetDoubleHandCalibration();
            ExpectNothingWritten("after a reset");
        }

        private static void ExpectNothingWritten(string when)
        {
            double[] hand1 = Samples.ArbitraryHand(), hand2 = Samples.ArbitraryHand();
            double[] p1 = { 0.3, Samples.NegativeZero, 7.0 }, p2 = { -2.0, 4.5, 0.25 };
            TarnHandCalibrationSDK.GetDoubleHandCalibrationData(hand1, hand2, p1, p2);
            Expect.Same("hand1 " + when, hand1, Samples.ArbitraryHand());
            Expect.Same("hand2 " + when, hand2, Samples.ArbitraryHand());
            Expect.Same("position1 " + when, p1, new[] { 0.3, Samples.NegativeZero, 7.0 });
            Expect.Same("position2 " + when, p2, new[] { -2.0, 4.5, 0.25 });
        }

        private static void LengthChecks()
        {
            var quaternion = new double[4];
            Expect.Throws<ArgumentException>("short source",
                                             () => TarnHandCalibrationSDK.InitialRHand(new double[3], quaternion),
                                             "source must be 4 doubles");
            Expect.Throws<ArgumentNullException>("null target",
                                                 () => TarnHandCalibrationSDK.InitialLHand(quaternion, null),
                                                 "target");
            Expect.Throws<ArgumentException>("long hand block",
                                             () => TarnHandCalibrationSDK.GetCalculationDataLHand(new double[81]),
                                             "handData must be 80 doubles");
            Expect.Throws<ArgumentException>("short position",
                                             () => TarnHandCalibrationSDK.GetDoubleHandCalibrationData(
                                                 new double[80], new double[80], new double[2], new double[3]),
                                             "position1");
            Expect.Throws<IndexOutOfRangeException>("hand quaternion 20", () => new TarnHandBlock()[20].ToString(),
                                                    "0..19");
        }
    }
}
