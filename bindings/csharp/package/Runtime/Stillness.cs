// How long a set of devices has been held still, measured from their
// samples alone (no engine clock, no physics): the moment a calibration
// snapshot is taken is when the user has held still for long enough.

using System;

namespace Tarn.HandCalibration
{
    /// <summary>Watches a fixed number of quaternions (4 doubles each) and
    /// positions (3 doubles each). The still period starts at the first
    /// sample of a run in which every quaternion stays within MaxAngle and
    /// every position within MaxDistance of that first sample; a sample
    /// outside starts a new run. A sample with a NaN or infinite component
    /// (lost tracking) is never still. Angles and distances do not depend on
    /// the axis convention, so any convention's samples can be watched.
    /// Allocates only in its constructor.</summary>
    public sealed class StillnessDetector
    {
        private readonly double[] anchorRotations, anchorPositions;
        private readonly int quaternionCount, positionCount;
        private bool hasAnchor;
        private double anchorTime;

        /// <param name="maxAngle">Largest rotation from the run's first
        /// sample, radians (default 3 degrees).</param>
        /// <param name="maxDistance">Largest distance from the run's first
        /// sample, in the samples' unit (default 0.015 m).</param>
        public StillnessDetector(int quaternions, int positions, double maxAngle = 3.0 * Math.PI / 180.0,
                                 double maxDistance = 0.015)
        {
            if (quaternions < 0 || positions < 0) throw new ArgumentOutOfRangeException("quaternions");
            quaternionCount = quaternions;
            positionCount = positions;
            anchorRotations = new double[4 * quaternions];
            anchorPositions = new double[3 * positions];
            MaxAngle = maxAngle;
            MaxDistance = maxDistance;
        }

        public double MaxAngle { get; set; }
        public double MaxDistance { get; set; }

        /// <summary>Seconds the devices have been still at the last sample
        /// (0 right after a movement or a lost sample).</summary>
        public double StillSeconds { get; private set; }

        /// <summary>Forgets the current run.</summary>
        public void Reset()
        {
            hasAnchor = false;
            StillSeconds = 0;
        }

        /// <summary>Takes one sample (time in seconds, non-decreasing) and
        /// returns StillSeconds. rotations: at least 4 * quaternions doubles;
        /// positions: at least 3 * positions doubles (null when none).</summary>
        public double Observe(double time, double[] rotations, double[] positions)
        {
            if (quaternionCount > 0) Buffers.Require(rotations, 0, 4 * quaternionCount, "rotations");
            if (positionCount > 0) Buffers.Require(positions, 0, 3 * positionCount, "positions");
            if (!Finite(rotations, 4 * quaternionCount) || !Finite(positions, 3 * positionCount)) {
                Reset();
                return 0;
            }
            if (!hasAnchor || time < anchorTime || !NearAnchor(rotations, positions)) {
                if (quaternionCount > 0) Array.Copy(rotations, anchorRotations, anchorRotations.Length);
                if (positionCount > 0) Array.Copy(positions, anchorPositions, anchorPositions.Length);
                hasAnchor = true;
                anchorTime = time;
            }
            StillSeconds = time - anchorTime;
            return StillSeconds;
        }

        private bool NearAnchor(double[] rotations, double[] positions)
        {
            // The angle between unit quaternions a and b is 2 acos |a . b|;
            // compared as a cosine, normalised so unnormalised samples work.
            double minCos = Math.Cos(0.5 * MaxAngle);
            for (int i = 0; i < 4 * quaternionCount; i += 4) {
                double dot = 0, na = 0, nb = 0;
                for (int k = 0; k < 4; ++k) {
                    dot += rotations[i + k] * anchorRotations[i + k];
                    na += rotations[i + k] * rotations[i + k];
                    nb += anchorRotations[i + k] * anchorRotations[i + k];
                }
                if (Math.Abs(dot) < minCos * Math.Sqrt(na * nb)) return false;
            }
            double maxSquared = MaxDistance * MaxDistance;
            for (int i = 0; i < 3 * positionCount; i += 3) {
                double squared = 0;
                for (int k = 0; k < 3; ++k) {
                    double d = positions[i + k] - anchorPositions[i + k];
                    squared += d * d;
                }
                if (squared > maxSquared) return false;
            }
            return true;
        }

        private static bool Finite(double[] values, int count)
        {
            for (int i = 0; i < count; ++i)
                if (double.IsNaN(values[i]) || double.IsInfinity(values[i])) return false;
            return true;
        }
    }
}
