// Unity's convention against the library's: exact round trips, the worked
// example of the binding's documentation, and that a converted rotation
// moves converted vectors exactly as the Unity rotation moves Unity vectors.
using System;

namespace Tarn.HandCalibration.Tests
{
    internal static class ConventionTests
    {
        internal static void Run()
        {
            WorkedExample();
            HeadingAboutUp();
            RotationsAgreeOnVectors();
            RoundTripIsIdentity();
        }

        private static void WorkedExample()
        {
            TarnVector3 position = UnityConvention.ToLibrary(new TarnVector3(0.3, 1.2, 0.5));
            Expect.Same("Unity position to library", position.ToArray(), new[] { 0.3, 0.5, 1.2 });

            // Quaternion.Euler(0, 90, 0): x 0, y 0.7071, z 0, w 0.7071.
            double s = Samples.HalfRoot2;
            TarnQuaternion rotation = UnityConvention.ToLibrary(new TarnQuaternion(s, 0.0, s, 0.0));
            Expect.Near("Unity Euler(0, 90, 0) to library", rotation, new TarnQuaternion(s, 0.0, 0.0, -s));
        }

        // +theta about Unity's up axis is -theta about the library's Z.
        private static void HeadingAboutUp()
        {
            foreach (double degrees in new[] { 0.0, 15.0, 90.0, -120.0, 179.0 }) {
                double half = degrees * Math.PI / 360.0;
                var unity = new TarnQuaternion(Math.Cos(half), 0.0, Math.Sin(half), 0.0);
                Expect.Near("heading " + degrees, UnityConvention.ToLibrary(unity), Samples.Heading(-degrees));
            }
        }

        private static void RotationsAgreeOnVectors()
        {
            var random = new Random(7);
            for (int trial = 0; trial < 20; ++trial) {
                TarnQuaternion unityRotation = Normalised(RandomQuaternion(random));
                var unityVector = new TarnVector3(Next(random), Next(random), Next(random));
                TarnVector3 viaUnity = UnityConvention.ToLibrary(Rotate(unityRotation, unityVector));
                TarnVector3 viaLibrary = Rotate(UnityConvention.ToLibrary(unityRotation),
                                                UnityConvention.ToLibrary(unityVector));
                Expect.Near("rotated vector, trial " + trial, viaLibrary.ToArray(), viaUnity.X, viaUnity.Y,
                            viaUnity.Z);
            }
        }

        private static void RoundTripIsIdentity()
        {
            var random = new Random(11);
            var hand = new TarnHandBlock();
            for (int i = 0; i < TarnHandBlock.QuaternionCount; ++i)
                hand[i] = RandomQuaternion(random);
            TarnHandBlock back = UnityConvention.ToUnity(UnityConvention.ToLibrary(hand));
            Expect.Same("hand block round trip", back.Values, hand.Values);

            var pose = new TarnPose(new TarnVector3(Next(random), Samples.NegativeZero, Next(random)),
                                    RandomQuaternion(random));
            TarnPose poseBack = UnityConvention.ToUnity(UnityConvention.ToLibrary(pose));
            Expect.Same("pose position round trip", poseBack.Position.ToArray(), pose.Position.ToArray());
            Expect.Same("pose rotation round trip", poseBack.Rotation.ToArray(), pose.Rotation.ToArray());
        }

        private static double Next(Random random)
        {
            return 4.0 * random.NextDouble() - 2.0;
        }

        private static TarnQuaternion RandomQuaternion(Random random)
        {
            return new TarnQuaternion(Next(random), Next(random), Next(random), Next(random));
        }

        private static TarnQuaternion Normalised(TarnQuaternion q)
        {
            double n = Math.Sqrt(q.W * q.W + q.X * q.X + q.Y * q.Y + q.Z * q.Z);
            return new TarnQuaternion(q.W / n, q.X / n, q.Y / n, q.Z / n);
        }

        // v' = q v conj(q) for a unit quaternion, as both engines compute it.
        private static TarnVector3 Rotate(TarnQuaternion q, TarnVector3 v)
        {
            double tx = 2.0 * (q.Y * v.Z - q.Z * v.Y);
            double ty = 2.0 * (q.Z * v.X - q.X * v.Z);
            double tz = 2.0 * (q.X * v.Y - q.Y * v.X);
            return new TarnVector3(v.X + q.W * tx + (q.Y * tz - q.Z * ty), v.Y + q.W * ty + (q.Z * tx - q.X * tz),
                                   v.Z + q.W * tz + (q.X * ty - q.Y * tx));
        }
    }
}
