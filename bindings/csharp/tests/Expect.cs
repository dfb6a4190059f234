// A minimal check harness for the binding tests: counts checks, prints each
// failure, and ends with the "N passed, N failed" line CTest's log shows.
using System;

namespace Tarn.HandCalibration.Tests
{
    internal static class Expect
    {
        private const double Tolerance = 1e-12;
        private static int passed, failed;

        internal static int Failed
        {
            get { return failed; }
        }

        internal static void True(string what, bool condition)
        {
            if (condition) {
                ++passed;
            } else {
                ++failed;
                Console.WriteLine("FAIL " + what);
            }
        }

        internal static void Near(string what, double actual, double expected)
        {
            True(what + ": " + actual.ToString("R") + ", expected " + expected.ToString("R"),
                 Math.Abs(actual - expected) <= Tolerance);
        }

        internal static void Near(string what, double[] actual, params double[] expected)
        {
            True(what + ": length " + actual.Length, actual.Length == expected.Length);
            for (int i = 0; i < Math.Min(actual.Length, expected.Length); ++i)
                Near(what + "[" + i + "]", actual[i], expected[i]);
        }

        internal static void Near(string what, TarnQuaternion actual, TarnQuaternion expected)
        {
            Near(what, actual.ToArray(), expected.ToArray());
        }

        /// <summary>Bit-for-bit equality (tells -0.0 from +0.0).</summary>
        internal static void Same(string what, double[] actual, double[] expected)
        {
            bool same = actual.Length == expected.Length;
            for (int i = 0; same && i < actual.Length; ++i)
                same = BitConverter.DoubleToInt64Bits(actual[i]) == BitConverter.DoubleToInt64Bits(expected[i]);
            True(what + " (bit for bit)", same);
        }

        /// <summary>The action throws TException whose message names `mentions`.</summary>
        internal static void Throws<TException>(string what, Action action, string mentions)
            where TException : Exception
        {
            try {
                action();
                True(what + ": no exception", false);
            } catch (TException e) {
                True(what + ": message '" + e.Message + "' should mention " + mentions, e.Message.Contains(mentions));
            }
        }

        internal static void Report()
        {
            Console.WriteLine(passed + " passed, " + failed + " failed");
        }
    }
}
