// The calibration flow of a glove rig, free of any engine type: a RigFrame
// holds one frame of both gloves and the three devices in the calibrator's
// convention; RigCalibration waits for the user to hold still, calibrates
// everything the frame allows at once, and converts every later frame in
// place. The Unity component (HandCalibrationRig) only copies Transforms
// into a RigFrame and back.

using System;
using System.Text;

namespace Tarn.HandCalibration
{
    /// <summary>The calibrations a rig can make.</summary>
    [Flags]
    public enum CalibrationKinds
    {
        None = 0,
        RightHand = 1,
        LeftHand = 2,
        BothHands = 4,
        AllVr = 8,
    }

    /// <summary>How the hand blocks are converted every frame.</summary>
    public enum HandMode
    {
        /// <summary>Each glove by its own heading offset to its wrist tracker.</summary>
        SingleHand,
        /// <summary>Both gloves and hand positions in the frame between the trackers.</summary>
        BothHands,
    }

    /// <summary>One frame of a rig: both gloves' 20 rows and the poses of
    /// the two wrist trackers and the headset, in the calibrator's
    /// convention (Unity's: x, y, z, w rotations, Y-up metres). Absent
    /// parts are flagged and not calibrated. Reuse one frame for every
    /// update: it allocates only when made.</summary>
    public sealed class RigFrame
    {
        public readonly double[] RightHand = new double[Calibrator.HandBlockLength];
        public readonly double[] LeftHand = new double[Calibrator.HandBlockLength];
        /// <summary>Hand positions for the double-hand conversion; the rig
        /// copies the wrist trackers' positions here before converting.</summary>
        public readonly double[] RightHandPosition = new double[3], LeftHandPosition = new double[3];
        private readonly double[][] positions = { new double[3], new double[3], new double[3] };
        private readonly double[][] rotations = { new double[4], new double[4], new double[4] };
        private readonly bool[] devicePresent = new bool[3];

        public bool HasRightHand, HasLeftHand;
        /// <summary>The frame's time in seconds (RigCalibration.Update sets
        /// it): what the drift monitors see.</summary>
        public double Time;

        public double[] HandBlock(Hand hand)
        {
            return hand == Hand.Right ? RightHand : LeftHand;
        }

        public bool HasHand(Hand hand)
        {
            return hand == Hand.Right ? HasRightHand : HasLeftHand;
        }

        public double[] Position(Device device)
        {
            return positions[(int)device];
        }

        public double[] Rotation(Device device)
        {
            return rotations[(int)device];
        }

        public bool Has(Device device)
        {
            return devicePresent[(int)device];
        }

        public void SetPresent(Device device, bool present)
        {
            devicePresent[(int)device] = present;
        }

        /// <summary>Row `row` (0..19) of a glove from four floats in the
        /// calibrator's order (Unity: Quaternion.x, y, z, w).</summary>
        public void SetRow(Hand hand, int row, float q0, float q1, float q2, float q3)
        {
            double[] block = HandBlock(hand);
            int i = RowIndex(row);
            block[i] = q0;
            block[i + 1] = q1;
            block[i + 2] = q2;
            block[i + 3] = q3;
        }

        public void GetRow(Hand hand, int row, out float q0, out float q1, out float q2, out float q3)
        {
            double[] block = HandBlock(hand);
            int i = RowIndex(row);
            q0 = (float)block[i];
            q1 = (float)block[i + 1];
            q2 = (float)block[i + 2];
            q3 = (float)block[i + 3];
        }

        /// <summary>A device's pose from floats (Unity: Vector3.x, y, z and
        /// Quaternion.x, y, z, w); marks it present.</summary>
        public void SetPose(Device device, float x, float y, float z, float q0, float q1, float q2, float q3)
        {
            double[] p = positions[(int)device], q = rotations[(int)device];
            p[0] = x;
            p[1] = y;
            p[2] = z;
            q[0] = q0;
            q[1] = q1;
            q[2] = q2;
            q[3] = q3;
            devicePresent[(int)device] = true;
        }

        public void GetPose(Device device, out float x, out float y, out float z, out float q0, out float q1,
                            out float q2, out float q3)
        {
            double[] p = positions[(int)device], q = rotations[(int)device];
            x = (float)p[0];
            y = (float)p[1];
            z = (float)p[2];
            q0 = (float)q[0];
            q1 = (float)q[1];
            q2 = (float)q[2];
            q3 = (float)q[3];
        }

        /// <summary>Copies every value and flag into another frame.</summary>
        public void CopyTo(RigFrame other)
        {
            Array.Copy(RightHand, other.RightHand, RightHand.Length);
            Array.Copy(LeftHand, other.LeftHand, LeftHand.Length);
            Array.Copy(RightHandPosition, other.RightHandPosition, 3);
            Array.Copy(LeftHandPosition, other.LeftHandPosition, 3);
            for (int d = 0; d < 3; ++d) {
                Array.Copy(positions[d], other.positions[d], 3);
                Array.Copy(rotations[d], other.rotations[d], 4);
                other.devicePresent[d] = devicePresent[d];
            }
            other.HasRightHand = HasRightHand;
            other.HasLeftHand = HasLeftHand;
        }

        private static int RowIndex(int row)
        {
            if (row < 0 || row >= Calibrator.HandRows) throw new ArgumentOutOfRangeException("row");
            return 4 * row;
        }
    }

    /// <summary>The result of one calibration request: which calibrations
    /// were made, the status and quality record of each, and on a refusal
    /// the reason. A refused request changes no calibration.</summary>
    public sealed class CalibrationOutcome
    {
        private readonly CalibrationResult[] results = new CalibrationResult[4];

        public CalibrationKinds Attempted { get; internal set; }
        /// <summary>The first calibration that was refused (None on success
        /// and on a timeout).</summary>
        public CalibrationKinds Refused { get; internal set; }
        public bool TimedOut { get; internal set; }
        public bool Succeeded
        {
            get { return Attempted != CalibrationKinds.None && Refused == CalibrationKinds.None && !TimedOut; }
        }
        /// <summary>A sentence for the user: what was calibrated, or why not.</summary>
        public string Message { get; internal set; }

        /// <summary>The status and quality record of one attempted kind.</summary>
        public CalibrationResult Result(CalibrationKinds kind)
        {
            return results[Slot(kind)];
        }

        internal void Set(CalibrationKinds kind, CalibrationResult result)
        {
            Attempted |= kind;
            results[Slot(kind)] = result;
            if (!result.Succeeded && Refused == CalibrationKinds.None) Refused = kind;
        }

        internal static string Name(CalibrationKinds kind)
        {
            switch (kind) {
            case CalibrationKinds.RightHand: return "right hand";
            case CalibrationKinds.LeftHand: return "left hand";
            case CalibrationKinds.BothHands: return "both hands";
            default: return "All-VR";
            }
        }

        private static int Slot(CalibrationKinds kind)
        {
            switch (kind) {
            case CalibrationKinds.RightHand: return 0;
            case CalibrationKinds.LeftHand: return 1;
            case CalibrationKinds.BothHands: return 2;
            case CalibrationKinds.AllVr: return 3;
            default: throw new ArgumentException("one calibration kind", "kind");
            }
        }
    }

    /// <summary>Calibrates a rig when asked, once the user has held still
    /// for HoldStillSeconds (measured from the frames' samples), then
    /// converts every frame. What a frame allows is calibrated together:
    /// each hand whose glove and wrist tracker are present, both hands when
    /// both trackers are, All-VR for every present device. If one of them
    /// is refused, none is kept.</summary>
    public sealed class RigCalibration : IDisposable
    {
        private static readonly Hand[] Hands = { Hand.Right, Hand.Left };
        private static readonly Device[] Devices = { Device.RightTracker, Device.LeftTracker, Device.Headset };

        // Watched for stillness: both gloves' source rows and the three
        // devices' rotations, the three devices' positions.
        private readonly double[] watchedRotations = new double[4 * 5], watchedPositions = new double[3 * 3];
        private readonly StillnessDetector stillness = new StillnessDetector(5, 3);
        private CalibrationKinds calibrated;
        private double requestTime;
        private int sourceRow;

        public RigCalibration(Convention convention = Convention.Unity)
        {
            Calibrator = new Calibrator(convention);
            HoldStillSeconds = 2.0;
            TimeoutSeconds = 30.0;
            Motion = new MotionGuide(Calibrator);
            Motion.Finished += OnMotionFinished;
            Drift = new RigDrift(Calibrator);
        }

        /// <summary>Each glove's drift monitor, fed by Apply (on by default).</summary>
        public RigDrift Drift { get; private set; }

        /// <summary>Calibrating the hands from motion instead of a still
        /// snapshot (RequestMotion): its settings, Progress and Finished.</summary>
        public MotionGuide Motion { get; private set; }

        public Calibrator Calibrator { get; private set; }

        public StillnessDetector Stillness
        {
            get { return stillness; }
        }

        public HandMode HandMode { get; set; }
        /// <summary>The glove row whose heading is calibrated against the
        /// wrist tracker (the wrist row in the sample's mapping: 0).</summary>
        public int SourceRow
        {
            get { return sourceRow; }
            set
            {
                if (value < 0 || value >= Calibrator.HandRows) throw new ArgumentOutOfRangeException("value");
                sourceRow = value;
            }
        }
        /// <summary>When trackers and the headset are present, whether the
        /// headset decides the All-VR frame.</summary>
        public bool HeadsetDecides { get; set; }
        public double HoldStillSeconds { get; set; }
        /// <summary>A request not completed this long after it was made is
        /// given up (0: never).</summary>
        public double TimeoutSeconds { get; set; }

        /// <summary>Whether a request is waiting for the user to hold still.</summary>
        public bool Waiting { get; private set; }

        /// <summary>The calibrations in force (from calibrating or restoring).</summary>
        public CalibrationKinds Calibrated
        {
            get { return calibrated; }
        }

        /// <summary>While waiting: seconds the user still has to hold still.</summary>
        public event Action<double> Countdown;
        /// <summary>A request has ended: calibrated, refused or timed out.</summary>
        public event Action<CalibrationOutcome> Finished;

        public void Dispose()
        {
            Calibrator.Dispose();
        }

        /// <summary>Starts waiting for the user to hold still; the next
        /// frames passed to Update decide when the snapshot is taken.</summary>
        public void Request(double now)
        {
            Waiting = true;
            requestTime = now;
            stillness.Reset();
        }

        public void Cancel()
        {
            Waiting = false;
            Motion.Cancel();
        }

        /// <summary>Starts calibrating each hand whose glove and wrist tracker
        /// `frame` holds from the user's arm motion (MotionGuide); the next
        /// frames passed to Update feed it. False when no hand can be.</summary>
        public bool RequestMotion(double now, RigFrame frame)
        {
            Waiting = false;
            return Motion.Start(now, frame);
        }

        /// <summary>Feeds one frame (before Apply converts it). While waiting
        /// this raises Countdown, and Finished once the snapshot has been
        /// calibrated or the request has timed out; while a motion
        /// calibration runs, it feeds the MotionGuide. Allocates nothing until
        /// it calibrates.</summary>
        public void Update(double now, RigFrame frame)
        {
            frame.Time = now;
            Motion.Update(now, frame, sourceRow);
            if (!Waiting) return;
            double still = stillness.Observe(now, WatchedRotations(frame), watchedPositions);
            double left = HoldStillSeconds - still;
            if (left <= 0) {
                Waiting = false;
                Raise(CalibrateNow(frame));
                return;
            }
            if (TimeoutSeconds > 0 && now - requestTime >= TimeoutSeconds) {
                Waiting = false;
                var outcome = new CalibrationOutcome();
                outcome.TimedOut = true;
                outcome.Message = "not calibrated: the devices were not held still for " + HoldStillSeconds +
                                  " s within " + TimeoutSeconds + " s";
                Raise(outcome);
                return;
            }
            Action<double> countdown = Countdown;
            if (countdown != null) countdown(left);
        }

        /// <summary>Calibrates from this frame now, without waiting.</summary>
        public CalibrationOutcome CalibrateNow(RigFrame frame)
        {
            var outcome = new CalibrationOutcome();
            byte[] before = Calibrator.Save();
            foreach (Hand hand in Hands) {
                Device tracker = hand == Hand.Right ? Device.RightTracker : Device.LeftTracker;
                if (frame.HasHand(hand) && frame.Has(tracker))
                    outcome.Set(KindOf(hand), Calibrator.CalibrateHand(hand, frame.HandBlock(hand), 4 * sourceRow,
                                                                       frame.Rotation(tracker), 0));
            }
            if (frame.Has(Device.RightTracker) && frame.Has(Device.LeftTracker))
                outcome.Set(CalibrationKinds.BothHands,
                            Calibrator.CalibrateBothHands(frame.Position(Device.RightTracker),
                                                          frame.Position(Device.LeftTracker)));
            var input = new AllVrInput();
            input.HeadsetDecides = HeadsetDecides;
            foreach (Device device in Devices)
                if (frame.Has(device)) input.SetDevice(device, frame.Position(device), frame.Rotation(device));
            if (frame.Has(Device.RightTracker) || frame.Has(Device.LeftTracker) || frame.Has(Device.Headset))
                outcome.Set(CalibrationKinds.AllVr, Calibrator.CalibrateAllVr(ref input));

            if (outcome.Attempted == CalibrationKinds.None) {
                outcome.Message = "nothing to calibrate: a glove needs its wrist tracker, All-VR a tracker or the headset";
            } else if (outcome.Refused != CalibrationKinds.None) {
                Calibrator.Restore(before);
                outcome.Message = "refused: " + CalibrationOutcome.Name(outcome.Refused) + ": " +
                                  outcome.Result(outcome.Refused).Explain();
            } else {
                calibrated |= outcome.Attempted;
                outcome.Message = "calibrated: " + Names(outcome.Attempted);
            }
            return outcome;
        }

        /// <summary>Converts a frame in place by the calibrations in force:
        /// each glove (by HandMode; in SingleHand, a calibrated glove with
        /// its wrist tracker through its drift monitor at frame.Time, see
        /// Drift), then each present device. Parts without a calibration are
        /// left as they are. Allocates nothing.</summary>
        public void Apply(RigFrame frame)
        {
            Calibrator c = Calibrator;
            if (HandMode == HandMode.BothHands && (calibrated & CalibrationKinds.BothHands) != 0) {
                Array.Copy(frame.Position(Device.RightTracker), frame.RightHandPosition, 3);
                Array.Copy(frame.Position(Device.LeftTracker), frame.LeftHandPosition, 3);
                c.ApplyBothHands(frame.RightHand, frame.LeftHand, frame.RightHandPosition, frame.LeftHandPosition);
            } else {
                foreach (Hand hand in Hands) {
                    if (!frame.HasHand(hand)) continue;
                    Device tracker = hand == Hand.Right ? Device.RightTracker : Device.LeftTracker;
                    if (Drift.Enabled && frame.Has(tracker) && (calibrated & KindOf(hand)) != 0)
                        Drift.Convert(hand, frame.Time, frame.HandBlock(hand), frame.Rotation(tracker));
                    else
                        c.ApplyHand(hand, frame.HandBlock(hand));
                }
            }
            for (int d = 0; d < 3; ++d)
                if (frame.Has((Device)d)) c.ApplyDevice((Device)d, frame.Position((Device)d), frame.Rotation((Device)d));
        }

        /// <summary>Every calibration as bytes, for PlayerPrefs or a file.</summary>
        public byte[] Save()
        {
            return Calibrator.Save();
        }

        /// <summary>Restores a saved calibration; false (nothing changed) for
        /// bytes that are truncated, altered or not a saved calibration.</summary>
        public bool Restore(byte[] saved)
        {
            if (saved == null || Calibrator.Restore(saved) != Status.Ok) return false;
            calibrated = CalibrationKinds.None;
            var rotation = new double[4];
            if (Calibrator.GetHandRotation(Hand.Right, rotation) == Status.Ok) calibrated |= CalibrationKinds.RightHand;
            if (Calibrator.GetHandRotation(Hand.Left, rotation) == Status.Ok) calibrated |= CalibrationKinds.LeftHand;
            if (Calibrator.GetBothHandsFrame(rotation, null) == Status.Ok) calibrated |= CalibrationKinds.BothHands;
            if (Calibrator.GetAllVrFrame(rotation, null, null) == Status.Ok) calibrated |= CalibrationKinds.AllVr;
            return true;
        }

        private void OnMotionFinished(MotionOutcome outcome)
        {
            foreach (Hand hand in Hands)
                if (outcome.Calibrated(hand)) calibrated |= KindOf(hand);
        }

        private double[] WatchedRotations(RigFrame frame)
        {
            Array.Clear(watchedRotations, 0, watchedRotations.Length);
            Array.Clear(watchedPositions, 0, watchedPositions.Length);
            for (int h = 0; h < 2; ++h)
                if (frame.HasHand(Hands[h])) Array.Copy(frame.HandBlock(Hands[h]), 4 * sourceRow, watchedRotations, 4 * h, 4);
            for (int d = 0; d < 3; ++d) {
                if (!frame.Has((Device)d)) continue;
                Array.Copy(frame.Rotation((Device)d), 0, watchedRotations, 8 + 4 * d, 4);
                Array.Copy(frame.Position((Device)d), 0, watchedPositions, 3 * d, 3);
            }
            return watchedRotations;
        }

        private void Raise(CalibrationOutcome outcome)
        {
            Action<CalibrationOutcome> finished = Finished;
            if (finished != null) finished(outcome);
        }

        private static CalibrationKinds KindOf(Hand hand)
        {
            return hand == Hand.Right ? CalibrationKinds.RightHand : CalibrationKinds.LeftHand;
        }

        private static string Names(CalibrationKinds kinds)
        {
            var text = new StringBuilder();
            foreach (CalibrationKinds kind in new[] { CalibrationKinds.RightHand, CalibrationKinds.LeftHand,
                                                      CalibrationKinds.BothHands, CalibrationKinds.AllVr })
                if ((kinds & kind) != 0) text.Append(text.Length > 0 ? ", " : "").Append(CalibrationOutcome.Name(kind));
            return text.ToString();
        }
    }
}
