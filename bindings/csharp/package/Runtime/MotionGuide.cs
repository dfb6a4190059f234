// A guided motion calibration of a rig's hands, free of any engine type:
// once started, every frame with a glove and its wrist tracker goes to the
// hand's motion window; after MotionSeconds of valid frames the window is
// solved, once a second until its verdict is good or the guide times out.
// Progress tells the user what to do ("move your arm", or the verdict's
// reason) and how far along the hand is.
using System;

namespace Tarn.HandCalibration
{
    /// <summary>One hand's motion calibration as of this frame.</summary>
    public struct MotionProgress
    {
        public Hand Hand;
        /// <summary>Seconds of valid frames over MotionSeconds, 0 to 1.</summary>
        public double Fraction;
        /// <summary>What to tell the user: MotionGuide.MoveMessage while
        /// collecting, the verdict's reason after a refused solve, or
        /// "calibrated".</summary>
        public string Message;
        /// <summary>The window so far, or the solve's result.</summary>
        public MotionResult Result;
        public bool Done;
    }

    /// <summary>How a guided motion calibration ended.</summary>
    public sealed class MotionOutcome
    {
        private readonly MotionResult[] results = new MotionResult[2];
        private readonly bool[] calibrated = new bool[2];

        public bool Succeeded { get; internal set; }
        public bool TimedOut { get; internal set; }
        /// <summary>A sentence for the user: what was calibrated, or why not.</summary>
        public string Message { get; internal set; }

        /// <summary>Whether the hand was calibrated, and its last result (the
        /// solve's, or the last refusal's).</summary>
        public bool Calibrated(Hand hand)
        {
            return calibrated[(int)hand];
        }

        public MotionResult Result(Hand hand)
        {
            return results[(int)hand];
        }

        internal void Set(Hand hand, bool done, MotionResult result)
        {
            calibrated[(int)hand] = done;
            results[(int)hand] = result;
        }
    }

    /// <summary>Guides the motion calibration of the hands whose glove and
    /// wrist tracker are present. Update allocates nothing.</summary>
    public sealed class MotionGuide
    {
        public const string MoveMessage =
            "move your arm: wave it, turn the forearm over and round, raise and lower it, the wrist loose";
        private static readonly Hand[] Hands = { Hand.Right, Hand.Left };
        private static readonly string[] VerdictMessages = new string[5];

        private readonly Calibrator calibrator;
        private readonly double[] time = new double[1];
        private readonly bool[] running = new bool[2];
        private readonly double[] nextSolve = new double[2];
        private readonly string[] messages = new string[2];
        private MotionOutcome outcome;
        private double startTime;

        public MotionGuide(Calibrator calibrator)
        {
            if (calibrator == null) throw new ArgumentNullException("calibrator");
            this.calibrator = calibrator;
            MotionSeconds = 8.0;
            TimeoutSeconds = 40.0;
            Capacity = 1800;
        }

        /// <summary>Seconds of valid frames before the first solve.</summary>
        public double MotionSeconds { get; set; }
        /// <summary>A guide not done this long after it started gives up (0: never).</summary>
        public double TimeoutSeconds { get; set; }
        /// <summary>Frames each window keeps (the latest ones).</summary>
        public int Capacity { get; set; }

        public bool Running
        {
            get { return running[0] || running[1]; }
        }

        /// <summary>Each frame, for each hand being calibrated.</summary>
        public event Action<MotionProgress> Progress;
        /// <summary>Every hand calibrated, or the guide timed out.</summary>
        public event Action<MotionOutcome> Finished;

        /// <summary>Starts a window for each hand whose glove and wrist
        /// tracker `frame` holds; false when there is none.</summary>
        public bool Start(double now, RigFrame frame)
        {
            outcome = new MotionOutcome();
            startTime = now;
            foreach (Hand hand in Hands) {
                int h = (int)hand;
                running[h] = frame.HasHand(hand) && frame.Has(TrackerOf(hand)) &&
                             calibrator.StartMotion(hand, Capacity) == Status.Ok;
                nextSolve[h] = double.NegativeInfinity;
                messages[h] = MoveMessage;
            }
            return Running;
        }

        public void Cancel()
        {
            running[0] = running[1] = false;
        }

        /// <summary>Feeds one frame (before it is converted) to the windows,
        /// raising Progress for each hand being calibrated and Finished once
        /// every hand is, or the guide has timed out.</summary>
        public void Update(double now, RigFrame frame, int sourceRow)
        {
            if (!Running) return;
            time[0] = now;
            foreach (Hand hand in Hands)
                if (running[(int)hand]) Step(hand, now, frame, sourceRow);
            if (!Running) {
                outcome.Succeeded = true;
                outcome.Message = "calibrated from motion";
                Raise(outcome);
            } else if (TimeoutSeconds > 0 && now - startTime >= TimeoutSeconds) {
                Cancel();
                outcome.TimedOut = true;
                outcome.Message = "not calibrated from motion within " + TimeoutSeconds + " s: " +
                                  messages[running[0] ? 0 : 1];
                Raise(outcome);
            }
        }

        private void Step(Hand hand, double now, RigFrame frame, int sourceRow)
        {
            int h = (int)hand;
            Device tracker = TrackerOf(hand);
            if (frame.HasHand(hand) && frame.Has(tracker))
                calibrator.AddMotion(hand, time, frame.HandBlock(hand), 4 * sourceRow, Calibrator.HandBlockLength,
                                     frame.Rotation(tracker));
            MotionResult result;
            calibrator.GetMotionProgress(hand, out result);
            double fraction = Math.Min(1.0, result.Duration / MotionSeconds);
            if (fraction >= 1.0 && now >= nextSolve[h]) {
                if (calibrator.FinishMotion(hand, out result) == Status.Ok) {
                    running[h] = false;
                    messages[h] = "calibrated";
                } else {
                    nextSolve[h] = now + 1.0;
                    messages[h] = VerdictMessage(result.Verdict);
                }
                outcome.Set(hand, !running[h], result);
            }
            Action<MotionProgress> progress = Progress;
            if (progress != null)
                progress(new MotionProgress { Hand = hand, Fraction = fraction, Message = messages[h], Result = result,
                                              Done = !running[h] });
        }

        private void Raise(MotionOutcome ended)
        {
            Action<MotionOutcome> finished = Finished;
            if (finished != null) finished(ended);
        }

        // The library's sentence, fetched once per verdict.
        private static string VerdictMessage(MotionVerdict verdict)
        {
            int v = (int)verdict;
            if (v < 0 || v >= VerdictMessages.Length) return Calibrator.VerdictMessage(verdict);
            if (VerdictMessages[v] == null) VerdictMessages[v] = Calibrator.VerdictMessage(verdict);
            return VerdictMessages[v];
        }

        private static Device TrackerOf(Hand hand)
        {
            return hand == Hand.Right ? Device.RightTracker : Device.LeftTracker;
        }
    }
}
