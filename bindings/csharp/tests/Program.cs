// The C# binding against the native library: length checks, the one-byte
// bool, the Unity conversions and the README's snippet, then the package's
// runtime (RuntimeTests.cs). The exports' results are the reference
// vectors' business (tests/host/ExportReplay.cpp).
using System;
using System.Collections.Generic;
using System.Linq;

namespace Tarn.HandCalibration.Tests
{
    internal static class Program
    {
        private static int failed;

        private static void Check(string what, bool condition)
        {
            if (!condition) Console.WriteLine("FAIL " + what);
            failed += condition ? 0 : 1;
        }

        // The doubles' bit patterns, all NaNs alike, for exact comparisons.
        private static string Bits(IEnumerable<double> values)
        {
            return string.Join(" ", values.Select(
                x => double.IsNaN(x) ? "NaN" : BitConverter.DoubleToInt64Bits(x).ToString()));
        }

        private static int Main(string[] arguments)
        {
            // Where the native library cannot be found: the calibrator says
            // which platforms the package runs on, as a
            // PlatformNotSupportedException, instead of a DllNotFoundException.
            if (arguments.Length > 0 && arguments[0] == "--without-library") {
                try {
                    new Calibrator().Dispose();
                    Console.WriteLine("FAIL a calibrator was made without its library");
                    return 1;
                } catch (PlatformNotSupportedException e) {
                    Console.WriteLine(e.Message);
                    return e.Message == Calibrator.Unsupported ? 0 : 1;
                }
            }

            double[] q = { 1, 0, 0, 0 }, p = new double[3];
            var wrongLengths = new Dictionary<string, Action> {
                { "source", () => TarnHandCalibrationSDK.InitialRHand(new double[3], q) },
                { "target", () => TarnHandCalibrationSDK.InitialLHand(q, null) },
                { "handData", () => TarnHandCalibrationSDK.GetCalculationDataLHand(new double[81]) },
                { "lTrackerQuat2", () => TarnHandCalibrationSDK.InitialAllVRCalibrationV2(
                      false, null, null, null, null, true, p, p, q, p, false, null, null, true) },
                { "vrGlassesQuat", () => TarnHandCalibrationSDK.GetAllVRCalibrationData(p, q, p, q, p, p) },
                { "values", () => new TarnHandBlock(new double[79]) },
            };
            foreach (var row in wrongLengths) {
                string thrown = "nothing";
                try { row.Value(); } catch (ArgumentException e) { thrown = e.ParamName; }
                Check(row.Key + " checked, threw for " + thrown, thrown == row.Key);
            }
            Check("bool true", TarnHandCalibrationSDK.InitialDoubleCalibration(new double[] { 1, 0, 0 }, p));
            Check("bool false", !TarnHandCalibrationSDK.InitialDoubleCalibration(p, p));

            // Unity (x, y, z) is the library's (x, z, y); Unity w, x, y, z is w, -x, -z, -y.
            var unity = new TarnPose(new TarnVector3(1, 2, 3), new TarnQuaternion(4, 5, 6, 7));
            Func<TarnPose, string> pose = x => Bits(x.Position.ToArray().Concat(x.Rotation.ToArray()));
            Check("pose to library",
                  pose(UnityConvention.ToLibrary(unity)) == Bits(new double[] { 1, 3, 2, 4, -5, -7, -6 }));
            Check("pose round trip", pose(UnityConvention.ToUnity(UnityConvention.ToLibrary(unity))) == pose(unity));
            var hand = new TarnHandBlock(Enumerable.Range(1, 80).Select(i => (double)i).ToArray());
            Check("hand round trip",
                  Bits(UnityConvention.ToUnity(UnityConvention.ToLibrary(hand)).Values) == Bits(hand.Values));

            // The README's snippet: identity glove and tracker turn the right
            // hand -90 degrees about Unity's up axis, in Unity's numbers.
            using (var glove = new Snippets.README1.RightGlove()) {
                for (int i = 0; i < 20; ++i) glove.Rows[4 * i + 3] = 1;
                Check("README snippet calibrates", glove.Calibrate(new double[] { 0, 0, 0, 1 }).Succeeded);
                Check("README snippet applies", glove.Apply() == Status.Ok && Enumerable.Range(0, 80).All(
                    i => Math.Abs(glove.Rows[i] - RuntimeTests.Yaw(-90)[i % 4]) < 1e-12));
            }
            RuntimeTests.Run(Check);
            HeaderLayoutTests.Run(Check);

            Console.WriteLine(failed == 0 ? "passed" : failed + " failed");
            return failed == 0 ? 0 : 1;
        }
    }
}
