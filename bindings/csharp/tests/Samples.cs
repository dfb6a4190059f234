// Inputs shared by the test groups.
using System;

namespace Tarn.HandCalibration.Tests
{
    internal static class Samples
    {
        internal static readonly double HalfRoot2 = Math.Sqrt(0.5);

        /// <summary>-0.0 built from its bits (mcs folds the literal -0.0 to +0.0).</summary>
        internal static readonly double NegativeZero = BitConverter.Int64BitsToDouble(long.MinValue);

        /// <summary>The rotation about the library's Z axis by `degrees`.</summary>
        internal static TarnQuaternion Heading(double degrees)
        {
            double half = degrees * Math.PI / 360.0;
            return new TarnQuaternion(Math.Cos(half), 0.0, 0.0, Math.Sin(half));
        }

        internal static TarnHandBlock HandOf(TarnQuaternion rotation)
        {
            var hand = new TarnHandBlock();
            for (int i = 0; i < TarnHandBlock.QuaternionCount; ++i)
                hand[i] = rotation;
            return hand;
        }

        /// <summary>80 distinct finite values, not unit quaternions.</summary>
        internal static double[] ArbitraryHand()
        {
            var values = new double[TarnHandBlock.Length];
            for (int i = 0; i < values.Length; ++i)
                values[i] = Math.Sin(0.7 * i + 0.1) * (1 + i % 3);
            return values;
        }

        internal static void ExpectEveryRow(string what, TarnHandBlock hand, TarnQuaternion expected)
        {
            for (int i = 0; i < TarnHandBlock.QuaternionCount; ++i)
                Expect.Near(what + " row " + i, hand[i], expected);
        }
    }
}
