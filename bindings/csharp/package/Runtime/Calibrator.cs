// The integrator API (TarnCalibrator.h) for C# and Unity.
//
// A Calibrator holds one user's calibrations and takes and returns data in
// the convention it was created with. Created for Convention.Unity (the
// default), it takes Unity's numbers as they are: positions x, y, z in
// metres with Y up and Z forward, rotations as Quaternion's x, y, z, w. No
// axis conversion is done in C#.
//
// Arrays are caller-owned double[]: a quaternion is 4 doubles, a position 3,
// a hand block 80 (20 quaternions, row i at index 4 * i). Apply functions
// convert in place and allocate nothing, so they can run every frame.
// Array lengths are checked before the native call (ArgumentException);
// everything else the library decides and reports as a Status.
//
// One Calibrator is used from one thread at a time; different Calibrators
// share nothing.

using System;
using System.Runtime.InteropServices;

namespace Tarn.HandCalibration
{
    /// <summary>What a call did: Ok, or why it changed nothing.</summary>
    public enum Status
    {
        Ok = 0,
        InvalidArgument = 1,
        DegenerateInput = 2,
        NotCalibrated = 3,
        BufferTooSmall = 4,
        InvalidSavedState = 5,
        OutOfMemory = 6,
    }

    /// <summary>Axes, quaternion order and length unit of a host.</summary>
    public enum Convention
    {
        /// <summary>Right-handed, X right, Y forward, Z up; w, x, y, z; metres.</summary>
        Library = 0,
        /// <summary>Left-handed, X right, Y up, Z forward; x, y, z, w; metres.</summary>
        Unity = 1,
        /// <summary>Right-handed, X right, Y up, -Z forward; x, y, z, w; metres.</summary>
        OpenXR = 2,
        /// <summary>Left-handed, X forward, Y right, Z up; x, y, z, w; centimetres.</summary>
        Unreal = 3,
    }

    public enum Hand
    {
        Right = 0,
        Left = 1,
    }

    public enum Device
    {
        RightTracker = 0,
        LeftTracker = 1,
        Headset = 2,
    }

    /// <summary>The rule that made an input unusable for a calibration.</summary>
    public enum Degeneracy
    {
        None = 0,
        /// <summary>Every component below 1e-8: no orientation at all.</summary>
        ZeroQuaternion = 1,
        /// <summary>Rolled onto its side: its right (+X, library axes) axis
        /// within 5 degrees of vertical, where no heading is defined.</summary>
        NearVertical = 2,
        /// <summary>Two positions too close to give a direction: both hands
        /// less than 1 mm apart along both horizontal axes, All-VR's two
        /// trackers 1 mm or less along both.</summary>
        HandsTooClose = 3,
        /// <summary>All-VR with no device on.</summary>
        NoDevice = 4,
    }

    /// <summary>Which input a quality field or a degeneracy refers to.</summary>
    public enum CalibrationInput
    {
        None = 0,
        Source = 1,
        Target = 2,
        Positions = 3,
        RightTracker = 4,
        LeftTracker = 5,
        Headset = 6,
    }

    /// <summary>What a calibration found in its input (tarn_quality). Fields
    /// that do not apply to a calibration are NaN; angles in radians.</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct CalibrationQuality
    {
        public Degeneracy Degeneracy;
        public CalibrationInput DegenerateInput;
        /// <summary>Single hand: tilt of the source away from a pure heading, 0 to pi.</summary>
        public double SourceTilt;
        /// <summary>Single hand: the same for the target.</summary>
        public double TargetTilt;
        /// <summary>Double hand and All-VR with both trackers: horizontal distance.</summary>
        public double Separation;
        /// <summary>All-VR: the heading each possible source would give
        /// (library convention: counter-clockwise seen from above).</summary>
        public double TrackerLineHeading;
        public double RightForwardHeading;
        public double LeftForwardHeading;
        public double HeadsetHeading;
        /// <summary>Largest difference between any two of the four headings.</summary>
        public double LargestDisagreement;
        /// <summary>All-VR on Ok: Positions (the tracker line), a tracker, or Headset.</summary>
        public CalibrationInput FrameDecidedBy;
    }

    /// <summary>The status and quality record of one calibration.</summary>
    public struct CalibrationResult
    {
        public Status Status;
        public CalibrationQuality Quality;

        public bool Succeeded
        {
            get { return Status == Status.Ok; }
        }

        /// <summary>One sentence for the user: what was refused and what to do.</summary>
        public string Explain()
        {
            switch (Status) {
            case Status.Ok:
                return "calibrated";
            case Status.InvalidArgument:
                return "an input was NaN, infinite or out of range: a device has lost tracking";
            case Status.DegenerateInput:
                return Describe(Quality.Degeneracy) + " (" + Describe(Quality.DegenerateInput) + ")";
            default:
                return Status.ToString();
            }
        }

        private static string Describe(Degeneracy degeneracy)
        {
            switch (degeneracy) {
            case Degeneracy.ZeroQuaternion:
                return "no orientation was reported (zero quaternion)";
            case Degeneracy.NearVertical:
                return "rolled onto its side, so no heading can be read: turn it back flat";
            case Degeneracy.HandsTooClose:
                return "the two positions are about 1 mm apart or less on both horizontal axes: hold the hands apart";
            case Degeneracy.NoDevice:
                return "no device is on";
            default:
                return degeneracy.ToString();
            }
        }

        private static string Describe(CalibrationInput input)
        {
            switch (input) {
            case CalibrationInput.Source: return "the glove row";
            case CalibrationInput.Target: return "the wrist tracker";
            case CalibrationInput.Positions: return "the hand positions";
            case CalibrationInput.RightTracker: return "the right tracker";
            case CalibrationInput.LeftTracker: return "the left tracker";
            case CalibrationInput.Headset: return "the headset";
            default: return "no input named";
            }
        }
    }

    /// <summary>The inputs of an All-VR calibration (tarn_all_vr_input), in
    /// the calibrator's convention. A device that is off is not read. A
    /// wrist tracker's forward is its +Z axis in Unity's convention.</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct AllVrInput
    {
        private byte rightOn, leftOn, headsetOn, headsetDecides;
        private double rightPx, rightPy, rightPz, rightQ0, rightQ1, rightQ2, rightQ3;
        private double leftPx, leftPy, leftPz, leftQ0, leftQ1, leftQ2, leftQ3;
        private double headPx, headPy, headPz, headQ0, headQ1, headQ2, headQ3;

        /// <summary>When trackers and the headset are both on: true lets the
        /// headset decide the frame, false the trackers. A headset alone
        /// always decides.</summary>
        public bool HeadsetDecides
        {
            get { return headsetDecides != 0; }
            set { headsetDecides = (byte)(value ? 1 : 0); }
        }

        public bool IsOn(Device device)
        {
            switch (device) {
            case Device.RightTracker: return rightOn != 0;
            case Device.LeftTracker: return leftOn != 0;
            default: return headsetOn != 0;
            }
        }

        /// <summary>Turns a device on with its position (3 doubles) and
        /// orientation (4 doubles) read from the arrays at the offsets.</summary>
        public void SetDevice(Device device, double[] position, int positionOffset, double[] orientation,
                              int orientationOffset)
        {
            Buffers.Require(position, positionOffset, 3, "position");
            Buffers.Require(orientation, orientationOffset, 4, "orientation");
            double[] p = position, q = orientation;
            int i = positionOffset, j = orientationOffset;
            switch (device) {
            case Device.RightTracker:
                rightOn = 1;
                rightPx = p[i]; rightPy = p[i + 1]; rightPz = p[i + 2];
                rightQ0 = q[j]; rightQ1 = q[j + 1]; rightQ2 = q[j + 2]; rightQ3 = q[j + 3];
                break;
            case Device.LeftTracker:
                leftOn = 1;
                leftPx = p[i]; leftPy = p[i + 1]; leftPz = p[i + 2];
                leftQ0 = q[j]; leftQ1 = q[j + 1]; leftQ2 = q[j + 2]; leftQ3 = q[j + 3];
                break;
            case Device.Headset:
                headsetOn = 1;
                headPx = p[i]; headPy = p[i + 1]; headPz = p[i + 2];
                headQ0 = q[j]; headQ1 = q[j + 1]; headQ2 = q[j + 2]; headQ3 = q[j + 3];
                break;
            default:
                throw new ArgumentOutOfRangeException("device");
            }
        }

        public void SetDevice(Device device, double[] position, double[] orientation)
        {
            SetDevice(device, position, 0, orientation, 0);
        }

        /// <summary>Turns a device off (its arrays are then not read).</summary>
        public void SetOff(Device device)
        {
            switch (device) {
            case Device.RightTracker: rightOn = 0; break;
            case Device.LeftTracker: leftOn = 0; break;
            case Device.Headset: headsetOn = 0; break;
            default: throw new ArgumentOutOfRangeException("device");
            }
        }
    }

    /// <summary>The settings of a hand's drift monitor
    /// (tarn_drift_settings). Angles in radians, times in seconds. Start
    /// from Default (the values TarnCalibrator.h states) or
    /// Calibrator.GetDriftSettings and change what is needed.</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct DriftSettings
    {
        /// <summary>The glove row compared with the tracker, 0 to 19: the row
        /// the hand is calibrated from.</summary>
        public uint ReferenceRow;
        /// <summary>The trend residual beyond which the flag goes up, radians:
        /// above 0, at most a quarter turn.</summary>
        public double Threshold;
        /// <summary>Seconds the trend residual stays beyond Threshold before
        /// the flag goes up, 0 to 3600.</summary>
        public double HoldTime;
        /// <summary>Radians a second (over a sixth of a second or more) glove and
        /// tracker turn slower than, for StillTime seconds (0 to 3600), for
        /// the hand to be still: above 0, at most 720 degrees a second.</summary>
        public double StillSpeed;
        public double StillTime;
        /// <summary>Seconds of history the drift rate is fitted over, 30 to 3600.</summary>
        public double Window;
        private byte autoRecalibrate, compensate;
        /// <summary>Compensation starts once the rate's standard error times
        /// the span it was fitted over is below this.</summary>
        public double CompensateWithin;

        /// <summary>While the flag is up and the hand is still, re-calibrate
        /// the hand from the current frame, once its residual is within half
        /// the threshold of the trend residual.</summary>
        public bool AutoRecalibrate
        {
            get { return autoRecalibrate != 0; }
            set { autoRecalibrate = (byte)(value ? 1 : 0); }
        }

        /// <summary>Once the drift is known to within CompensateWithin, turn
        /// the calibration back by the fitted drift every second.</summary>
        public bool Compensate
        {
            get { return compensate != 0; }
            set { compensate = (byte)(value ? 1 : 0); }
        }

        /// <summary>Null when SetDriftSettings takes these settings;
        /// otherwise the library's sentence naming the first one out of
        /// range, its unit and range ("threshold: radians, above 0 and at
        /// most a quarter turn (90 degrees)").</summary>
        public string Problem
        {
            get {
                DriftSettings copy = this;
                IntPtr problem = CalibratorNative.tarn_drift_settings_problem(ref copy);
                return problem == IntPtr.Zero ? null : Marshal.PtrToStringAnsi(problem);
            }
        }

        /// <summary>The settings every drift monitor starts with.</summary>
        public static DriftSettings Default
        {
            get {
                DriftSettings settings;
                CalibratorNative.tarn_drift_default_settings(out settings);  // refuses only a null pointer
                return settings;
            }
        }
    }

    /// <summary>A hand's drift monitor as of its last frame
    /// (tarn_drift_report). A residual is the turn about the up axis of the
    /// calibrated glove row away from where it would be had it kept its
    /// mount on the wrist tracker at calibration (the glove's heading less
    /// the tracker's, less the same at calibration, tilts allowed for):
    /// radians, counter-clockwise seen from above (the library's way: a
    /// drift of +θ about Unity's up axis reads -θ), unwrapped. Times are
    /// the frames' times in seconds.</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct DriftReport
    {
        /// <summary>The last frame's time; NaN before any.</summary>
        public double Time;
        /// <summary>The residual of the last frame sampled; NaN when its
        /// glove row or tracker was NaN, infinite or zero.</summary>
        public double Residual;
        /// <summary>The fitted drift now, less the corrections; NaN until the
        /// first fit, 10 seconds after calibrating.</summary>
        public double TrendResidual;
        /// <summary>Drift rate of the glove against the tracker and its
        /// standard error (infinite when the history cannot tell), radians
        /// a second; NaN until the first fit.</summary>
        public double Rate;
        public double RateUncertainty;
        /// <summary>Seconds of history behind the fit; 0 until the first fit.</summary>
        public double FitSpan;
        /// <summary>The trend residual of largest magnitude so far (signed), and when.</summary>
        public double LargestResidual;
        public double LargestResidualTime;
        /// <summary>When the flag first went up; NaN if it has not.</summary>
        public double FirstFlagTime;
        /// <summary>Radians the monitor has turned the calibration by since
        /// the hand was calibrated: re-calibrations and compensation.</summary>
        public double Correction;
        /// <summary>Start of the current still stretch; NaN while moving.</summary>
        public double StillSince;
        private byte flag, still, compensating;
        private UIntPtr frames;

        /// <summary>Re-calibration recommended: the trend residual has been
        /// beyond the threshold for the hold time.</summary>
        public bool Flag
        {
            get { return flag != 0; }
        }

        /// <summary>Still for the settings' StillTime or longer.</summary>
        public bool Still
        {
            get { return still != 0; }
        }

        /// <summary>Compensation is turning the calibration.</summary>
        public bool Compensating
        {
            get { return compensating != 0; }
        }

        /// <summary>Rate in degrees a minute (Rate is radians a second).</summary>
        public double RateDegreesPerMinute
        {
            get { return Rate * 60.0 * 180.0 / Math.PI; }
        }

        /// <summary>Frames observed since the hand was calibrated.</summary>
        public ulong Frames
        {
            get { return frames.ToUInt64(); }
        }
    }

    public enum DriftEventKind
    {
        /// <summary>The monitor re-calibrated the hand from one frame.</summary>
        Recalibration = 1,
        /// <summary>Compensation started turning the calibration (once per
        /// start, not for each small turn that follows).</summary>
        Compensation = 2,
    }

    /// <summary>A change the drift monitor made to a hand's calibration
    /// (tarn_drift_event): the time of the frame it came after, seconds, and
    /// the trend residual just before and just after, radians.</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct DriftEvent
    {
        public DriftEventKind Kind;
        public double Time;
        public double ResidualBefore;
        public double ResidualAfter;
    }

    /// <summary>tarn_tracked_hand_frames: an address and a byte stride (0:
    /// packed) per array.</summary>
    [StructLayout(LayoutKind.Sequential)]
    internal struct TrackedHandFrames
    {
        internal IntPtr Times;
        internal UIntPtr TimeStride;
        internal IntPtr Blocks;
        internal UIntPtr BlockStride;
        internal IntPtr Trackers;
        internal UIntPtr TrackerStride;
        internal IntPtr Residuals;
        internal UIntPtr ResidualStride;
    }

    /// <summary>Whether a motion window determines the calibration: Good,
    /// or the reason it does not (Calibrator.VerdictMessage gives the
    /// sentence a host can show).</summary>
    public enum MotionVerdict
    {
        Good = 0,
        /// <summary>Fewer than 20 frames with both orientations.</summary>
        TooFewFrames = 1,
        /// <summary>Under 2 seconds from the first valid frame to the last.</summary>
        TooShort = 2,
        /// <summary>The motion cannot tell the heading: the forearm turned
        /// round but hardly over.</summary>
        TurnOver = 3,
        /// <summary>The hand turned against the tracker by 15 degrees or
        /// more (root mean square).</summary>
        HandMoved = 4,
    }

    /// <summary>What a motion window gave (tarn_motion_result). Angles in
    /// radians (the Degrees helpers convert), headings about the world's up
    /// axis counter-clockwise seen from above (the library's way); the
    /// solved values are NaN in a progress report.</summary>
    [StructLayout(LayoutKind.Sequential)]
    public struct MotionResult
    {
        public MotionVerdict Verdict;
        /// <summary>The turn the hand's rows get about the up axis.</summary>
        public double HeadingOffset;
        /// <summary>One standard error of HeadingOffset, from the data.</summary>
        public double HeadingUncertainty;
        private double mount0, mount1, mount2, mount3;
        /// <summary>The mount against the nominal one: turned about the
        /// forearm (-pi to pi) and tilted (0 to pi).</summary>
        public double StrapTurn;
        public double StrapTilt;
        /// <summary>How far the hand turned against the tracker (RMS).</summary>
        public double ResidualSpread;
        /// <summary>Motion seen: the tracker's heading and tilt about their means (RMS).</summary>
        public double TurningRound;
        public double TurningOver;
        /// <summary>Seconds from the first valid frame to the last.</summary>
        public double Duration;
        private UIntPtr framesUsed, framesSkipped;

        public bool Good
        {
            get { return Verdict == MotionVerdict.Good; }
        }

        public double HeadingOffsetDegrees
        {
            get { return HeadingOffset * 180.0 / Math.PI; }
        }

        public double HeadingUncertaintyDegrees
        {
            get { return HeadingUncertainty * 180.0 / Math.PI; }
        }

        /// <summary>Frames with both orientations, and frames skipped (a NaN,
        /// infinite or zero orientation).</summary>
        public ulong FramesUsed
        {
            get { return framesUsed.ToUInt64(); }
        }

        public ulong FramesSkipped
        {
            get { return framesSkipped.ToUInt64(); }
        }

        /// <summary>How the glove's reference row sits on the tracker
        /// (tracker_from_glove), in the calibrator's convention, into
        /// `mount` (4 doubles).</summary>
        public void GetMount(double[] mount)
        {
            Buffers.Require(mount, 0, 4, "mount");
            mount[0] = mount0;
            mount[1] = mount1;
            mount[2] = mount2;
            mount[3] = mount3;
        }
    }

    /// <summary>tarn_motion_frames: an address and a byte stride per array.</summary>
    [StructLayout(LayoutKind.Sequential)]
    internal struct MotionFrames
    {
        internal IntPtr Times;
        internal UIntPtr TimeStride;
        internal IntPtr Rows;
        internal UIntPtr RowStride;
        internal IntPtr Trackers;
        internal UIntPtr TrackerStride;
    }

    /// <summary>Thrown when a calibrator cannot be made or a saved
    /// calibration cannot be read back.</summary>
    public sealed class CalibrationException : Exception
    {
        public readonly Status Status;

        public CalibrationException(Status status, string message) : base(message + ": " + status)
        {
            Status = status;
        }
    }

    /// <summary>Owns a native calibrator; released once, also when the
    /// Calibrator is collected without Dispose.</summary>
    internal sealed class CalibratorHandle : SafeHandle
    {
        private CalibratorHandle() : base(IntPtr.Zero, true)
        {
        }

        public override bool IsInvalid
        {
            get { return handle == IntPtr.Zero; }
        }

        protected override bool ReleaseHandle()
        {
            CalibratorNative.tarn_calibrator_destroy(handle);
            return true;
        }
    }

    /// <summary>One user's calibrations over the native library
    /// TarnCalibrator (TarnCalibrator.dll, libTarnCalibrator.so).</summary>
    public sealed class Calibrator : IDisposable
    {
        public const int HandBlockLength = 80;
        public const int HandRows = 20;

        /// <summary>How many events a drift monitor keeps until they are
        /// taken (TARN_DRIFT_KEPT_EVENTS); older ones are dropped.</summary>
        public const int KeptDriftEvents = 64;

        private readonly CalibratorHandle handle;
        private readonly double[] source = new double[4], target = new double[4];
        // The arrays ApplyHandTracked and AddMotion pin for the length of a native call.
        private readonly GCHandle[] pins = new GCHandle[4];
        // The time of a single-frame ApplyHandTracked.
        private readonly double[] frameTime = new double[1];

        /// <summary>A calibrator with no calibration that takes and returns
        /// data in `convention` (Unity's unless said otherwise).</summary>
        /// <exception cref="PlatformNotSupportedException">on a platform the
        /// package has no native library for (see Unsupported).</exception>
        public Calibrator(Convention convention = Convention.Unity)
        {
            Status status;
            try {
                status = CalibratorNative.tarn_calibrator_create(convention, out handle);
            } catch (DllNotFoundException e) {
                throw new PlatformNotSupportedException(Unsupported, e);
            } catch (BadImageFormatException e) {
                throw new PlatformNotSupportedException(Unsupported, e);
            }
            if (status != Status.Ok) throw new CalibrationException(status, "cannot create a calibrator");
            Convention = convention;
        }

        /// <summary>What a platform without the native library is told: the
        /// package's libraries are for Windows x86-64 and Linux x86-64, editor
        /// and standalone player (Documentation~, "Platforms").</summary>
        public const string Unsupported =
            "Tarn Hand Calibration runs on Windows x86-64 and Linux x86-64 (editor and standalone player): its " +
            "native library TarnCalibrator is not built for this platform (macOS, Android and Quest, iOS, WebGL " +
            "and consoles are not supported)";

        public Convention Convention { get; private set; }

        /// <summary>The native library's version, major * 10000 + minor * 100 + patch.</summary>
        public static uint LibraryVersion
        {
            get { return CalibratorNative.tarn_version(); }
        }

        public void Dispose()
        {
            handle.Dispose();
        }

        /// <summary>Whether a heading can be read from a quaternion, the rule
        /// every calibration applies: for checking samples beforehand.</summary>
        public static Status CheckOrientation(Convention convention, double[] orientation, out Degeneracy degeneracy)
        {
            Buffers.Require(orientation, 0, 4, "orientation");
            degeneracy = Degeneracy.None;
            return CalibratorNative.tarn_check_orientation(convention, orientation, out degeneracy);
        }

        // ---- Calibrations (replace the previous one of their kind) --------

        /// <summary>Calibrates one hand: afterwards hand data with the heading
        /// of `source` (4 doubles at sourceOffset, usually the glove's wrist
        /// row) gets the heading of `target` (the wrist tracker) plus 90
        /// degrees for the right hand, minus 90 for the left.</summary>
        public CalibrationResult CalibrateHand(Hand hand, double[] source, int sourceOffset, double[] target,
                                               int targetOffset)
        {
            Buffers.Require(source, sourceOffset, 4, "source");
            Buffers.Require(target, targetOffset, 4, "target");
            Array.Copy(source, sourceOffset, this.source, 0, 4);
            Array.Copy(target, targetOffset, this.target, 0, 4);
            var result = new CalibrationResult();
            result.Status = CalibratorNative.tarn_calibrate_hand(handle, hand, this.source, this.target,
                                                                 out result.Quality);
            return result;
        }

        public CalibrationResult CalibrateHand(Hand hand, double[] source, double[] target)
        {
            return CalibrateHand(hand, source, 0, target, 0);
        }

        /// <summary>The common frame of both hands from their positions (3
        /// doubles each): origin midway, forward from position2 towards
        /// position1 (right hand first).</summary>
        public CalibrationResult CalibrateBothHands(double[] position1, double[] position2)
        {
            Buffers.Require(position1, 0, 3, "position1");
            Buffers.Require(position2, 0, 3, "position2");
            var result = new CalibrationResult();
            result.Status = CalibratorNative.tarn_calibrate_both_hands(handle, position1, position2,
                                                                       out result.Quality);
            return result;
        }

        /// <summary>The All-VR frame from the devices that are on.</summary>
        public CalibrationResult CalibrateAllVr(ref AllVrInput input)
        {
            var result = new CalibrationResult();
            result.Status = CalibratorNative.tarn_calibrate_all_vr(handle, ref input, out result.Quality);
            return result;
        }

        /// <summary>Discards the double-hand calibration.</summary>
        public Status ResetBothHands()
        {
            return CalibratorNative.tarn_reset_both_hands(handle);
        }

        // ---- Per frame: in place, no allocation ---------------------------

        /// <summary>Turns `count` hand blocks (80 doubles each, packed) of
        /// one hand by its calibration. NotCalibrated leaves them as they are.</summary>
        public Status ApplyHand(Hand hand, double[] blocks, int count = 1)
        {
            Buffers.RequireFrames(blocks, count, HandBlockLength, "blocks", false);
            return CalibratorNative.tarn_apply_hand(handle, hand, blocks, UIntPtr.Zero, (UIntPtr)count);
        }

        /// <summary>Re-expresses `count` frames of both hand blocks and both
        /// positions in the double-hand frame.</summary>
        public Status ApplyBothHands(double[] hand1, double[] hand2, double[] position1, double[] position2,
                                     int count = 1)
        {
            Buffers.RequireFrames(hand1, count, HandBlockLength, "hand1", false);
            Buffers.RequireFrames(hand2, count, HandBlockLength, "hand2", false);
            Buffers.RequireFrames(position1, count, 3, "position1", false);
            Buffers.RequireFrames(position2, count, 3, "position2", false);
            return CalibratorNative.tarn_apply_both_hands(handle, hand1, UIntPtr.Zero, hand2, UIntPtr.Zero,
                                                          position1, UIntPtr.Zero, position2, UIntPtr.Zero,
                                                          (UIntPtr)count);
        }

        /// <summary>Re-expresses `count` poses of one device in the All-VR
        /// frame. Either array may be null (not converted), not both.</summary>
        public Status ApplyDevice(Device device, double[] positions, double[] orientations, int count = 1)
        {
            Buffers.RequireFrames(positions, count, 3, "positions", orientations != null);
            Buffers.RequireFrames(orientations, count, 4, "orientations", positions != null);
            return CalibratorNative.tarn_apply_device(handle, device, positions, UIntPtr.Zero, orientations,
                                                      UIntPtr.Zero, (UIntPtr)count);
        }

        /// <summary>ApplyHand with every frame watched by the hand's drift
        /// monitor. For `count` frames, packed, in the calibrator's
        /// convention: `times` (1 double a frame) in seconds, never going back
        /// (nor from the last frame of the previous call); `blocks` (80
        /// doubles a frame), converted in place; `trackers` (4 doubles a
        /// frame), the wrist tracker's orientations; `residuals` (1 double a
        /// frame, may be null) gets each frame's residual in radians. The
        /// blocks come out as from ApplyHand while the monitor changes
        /// nothing; with AutoRecalibrate or Compensate set it may change the
        /// hand's calibration after a frame, the frames after it use the new
        /// one, and TakeDriftEvents tells. InvalidArgument (a time NaN,
        /// infinite or going back) and NotCalibrated convert nothing.
        /// Allocates no managed memory.</summary>
        /// <summary>ApplyHandTracked for one frame at `time` seconds: the
        /// block (80 doubles) converted in place, the wrist tracker's
        /// rotation (4 doubles). Allocates no managed memory.</summary>
        public Status ApplyHandTracked(Hand hand, double time, double[] block, double[] tracker)
        {
            frameTime[0] = time;
            return ApplyHandTracked(hand, frameTime, block, tracker);
        }

        public Status ApplyHandTracked(Hand hand, double[] times, double[] blocks, double[] trackers,
                                       double[] residuals = null, int count = 1)
        {
            Buffers.RequireFrames(times, count, 1, "times", false);
            Buffers.RequireFrames(blocks, count, HandBlockLength, "blocks", false);
            Buffers.RequireFrames(trackers, count, 4, "trackers", false);
            Buffers.RequireFrames(residuals, count, 1, "residuals", true);
            try {
                var frames = new TrackedHandFrames {
                    Times = Pin(0, times), TimeStride = UIntPtr.Zero,
                    Blocks = Pin(1, blocks), BlockStride = UIntPtr.Zero,
                    Trackers = Pin(2, trackers), TrackerStride = UIntPtr.Zero,
                    Residuals = Pin(3, residuals), ResidualStride = UIntPtr.Zero,
                };
                return CalibratorNative.tarn_apply_hand_tracked(handle, hand, ref frames, (UIntPtr)count);
            } finally {
                Unpin();
            }
        }

        private void Unpin()
        {
            for (int i = 0; i < pins.Length; ++i)
                if (pins[i].IsAllocated) pins[i].Free();
        }

        // The address of `array` pinned in pins[slot]; IntPtr.Zero for null.
        private IntPtr Pin(int slot, double[] array)
        {
            if (array == null) return IntPtr.Zero;
            pins[slot] = GCHandle.Alloc(array, GCHandleType.Pinned);
            return pins[slot].AddrOfPinnedObject();
        }

        // ---- Drift monitors ------------------------------------------------

        /// <summary>The settings of the hand's drift monitor.</summary>
        public Status GetDriftSettings(Hand hand, out DriftSettings settings)
        {
            return CalibratorNative.tarn_get_drift_settings(handle, hand, out settings);
        }

        /// <summary>Sets the hand's drift monitor settings; its history is
        /// kept, cut to the new window. InvalidArgument (nothing changed) for
        /// a setting out of its range: settings.Problem says which.</summary>
        public Status SetDriftSettings(Hand hand, DriftSettings settings)
        {
            return CalibratorNative.tarn_set_drift_settings(handle, hand, ref settings);
        }

        /// <summary>The hand's drift monitor as of its last frame;
        /// NotCalibrated before the hand is calibrated (calibrating restarts
        /// the monitor).</summary>
        public Status GetDrift(Hand hand, out DriftReport report)
        {
            return CalibratorNative.tarn_get_drift(handle, hand, out report);
        }

        /// <summary>Takes up to events.Length of the changes the hand's drift
        /// monitor made to its calibration, oldest first, into `events`;
        /// `count` says how many. The monitor forgets them; it keeps the last
        /// KeptDriftEvents.</summary>
        public Status TakeDriftEvents(Hand hand, DriftEvent[] events, out int count)
        {
            if (events == null) throw new ArgumentNullException("events");
            UIntPtr taken;
            Status status = CalibratorNative.tarn_take_drift_events(handle, hand, events, (UIntPtr)events.Length,
                                                                    out taken);
            count = (int)taken;
            return status;
        }

        // ---- Calibrating a hand from motion --------------------------------

        /// <summary>Starts a motion window for the hand with room for
        /// `capacity` frames (900: 10 seconds at 90 frames a second); beyond
        /// it each frame replaces the oldest. A window already started is
        /// discarded; the calibration is untouched until FinishMotion.</summary>
        public Status StartMotion(Hand hand, int capacity = 900)
        {
            if (capacity < 0) throw new ArgumentOutOfRangeException("capacity");
            return CalibratorNative.tarn_motion_start(handle, hand, (UIntPtr)capacity);
        }

        /// <summary>Adds `count` frames to the hand's window: times in
        /// seconds, never going back; the glove's reference row of frame k at
        /// rows[rowOffset + k * rowStride] (rowStride 4 for packed rows,
        /// HandBlockLength with rowOffset 4 * row for hand blocks); the wrist
        /// tracker's orientations, 4 doubles a frame; in the calibrator's
        /// convention. Frames with a NaN, infinite or zero orientation are
        /// counted and skipped. InvalidArgument (nothing added) without a
        /// window or for a time NaN, infinite or going back. Allocates no
        /// managed memory.</summary>
        public Status AddMotion(Hand hand, double[] times, double[] rows, int rowOffset, int rowStride,
                                double[] trackers, int count = 1)
        {
            Buffers.RequireFrames(times, count, 1, "times", false);
            Buffers.RequireFrames(trackers, count, 4, "trackers", false);
            if (rowStride < 4) throw new ArgumentOutOfRangeException("rowStride");
            if (count > 0) Buffers.Require(rows, rowOffset, (count - 1) * rowStride + 4, "rows");
            try {
                var frames = new MotionFrames {
                    Times = Pin(0, times), TimeStride = UIntPtr.Zero,
                    Rows = Pin(1, rows) + 8 * rowOffset, RowStride = (UIntPtr)(8 * rowStride),
                    Trackers = Pin(2, trackers), TrackerStride = UIntPtr.Zero,
                };
                return CalibratorNative.tarn_motion_add(handle, hand, ref frames, (UIntPtr)count);
            } finally {
                Unpin();
            }
        }

        /// <summary>The window so far, without solving: frames, duration,
        /// motion seen and the verdict they allow. Cheap enough for every
        /// rendered frame. InvalidArgument without a window.</summary>
        public Status GetMotionProgress(Hand hand, out MotionResult result)
        {
            return CalibratorNative.tarn_motion_progress(handle, hand, out result);
        }

        /// <summary>Solves the hand's window. Ok: the hand's calibration is
        /// the solved heading turn, its drift monitor takes the solved mount
        /// and the window ends. DegenerateInput: nothing changed, the window
        /// stays open, and result.Verdict says why.</summary>
        public Status FinishMotion(Hand hand, out MotionResult result)
        {
            return CalibratorNative.tarn_motion_finish(handle, hand, out result);
        }

        /// <summary>The motion calibration the hand's calibration came from
        /// (a motion window, or a restored string that holds one);
        /// NotCalibrated when it came from CalibrateHand or there is none.</summary>
        public Status GetMotionCalibration(Hand hand, out MotionResult result)
        {
            return CalibratorNative.tarn_get_motion_calibration(handle, hand, out result);
        }

        /// <summary>The library's sentence for a verdict ("good", "turn your
        /// forearm over as well as round", ...).</summary>
        public static string VerdictMessage(MotionVerdict verdict)
        {
            return Marshal.PtrToStringAnsi(CalibratorNative.tarn_motion_verdict_string(verdict));
        }

        // ---- Reading a calibration back ------------------------------------

        /// <summary>The rotation a hand's calibration applies (4 doubles).</summary>
        public Status GetHandRotation(Hand hand, double[] rotation)
        {
            Buffers.Require(rotation, 0, 4, "rotation");
            return CalibratorNative.tarn_get_hand_rotation(handle, hand, rotation);
        }

        /// <summary>The double-hand frame: orientation (4) and origin (3, may be null).</summary>
        public Status GetBothHandsFrame(double[] rotation, double[] origin)
        {
            Buffers.Require(rotation, 0, 4, "rotation");
            if (origin != null) Buffers.Require(origin, 0, 3, "origin");
            return CalibratorNative.tarn_get_both_hands_frame(handle, rotation, origin);
        }

        /// <summary>The All-VR frame; `covered` (3 bytes by Device, may be
        /// null) says which devices the calibration covers.</summary>
        public Status GetAllVrFrame(double[] rotation, double[] origin, byte[] covered)
        {
            Buffers.Require(rotation, 0, 4, "rotation");
            if (origin != null) Buffers.Require(origin, 0, 3, "origin");
            if (covered != null && covered.Length < 3) throw new ArgumentException("covered needs 3 bytes", "covered");
            return CalibratorNative.tarn_get_all_vr_frame(handle, rotation, origin, covered);
        }

        // ---- Saved calibrations ------------------------------------------

        /// <summary>All calibrations as a small versioned byte string (not
        /// the convention: it restores into a calibrator of any).</summary>
        public byte[] Save()
        {
            UIntPtr size;
            Status status = CalibratorNative.tarn_calibrator_save(handle, null, UIntPtr.Zero, out size);
            if (status != Status.BufferTooSmall) throw new CalibrationException(status, "cannot size the saved calibration");
            var bytes = new byte[(int)size];
            status = CalibratorNative.tarn_calibrator_save(handle, bytes, size, out size);
            if (status != Status.Ok) throw new CalibrationException(status, "cannot save the calibration");
            return bytes;
        }

        /// <summary>Replaces every calibration by those of a saved string;
        /// InvalidSavedState (and nothing changed) for a truncated, altered
        /// or foreign one.</summary>
        public Status Restore(byte[] saved)
        {
            if (saved == null) throw new ArgumentNullException("saved");
            return CalibratorNative.tarn_calibrator_restore(handle, saved, (UIntPtr)saved.Length);
        }

        /// <summary>The library's fixed name of a status ("TARN_OK", ...).</summary>
        public static string StatusName(Status status)
        {
            return Marshal.PtrToStringAnsi(CalibratorNative.tarn_status_string(status));
        }
    }

    /// <summary>Array checks made before a native call. Messages are built
    /// only once a check has failed: the passing path allocates nothing.</summary>
    internal static class Buffers
    {
        internal static void Require(double[] array, int offset, int length, string name)
        {
            if (array == null) throw new ArgumentNullException(name);
            if (offset < 0 || array.Length - offset < length)
                throw new ArgumentException(name + " needs " + length + " doubles from index " + offset + ", has " +
                                            array.Length, name);
        }

        internal static void RequireFrames(double[] array, int count, int frameLength, string name, bool mayBeNull)
        {
            if (count < 0) throw new ArgumentOutOfRangeException("count");
            if (array == null) {
                if (mayBeNull) return;
                throw new ArgumentNullException(name);
            }
            if (array.Length / frameLength < count)
                throw new ArgumentException(name + " needs " + count + " frames of " + frameLength + " doubles, has " +
                                            array.Length + " doubles", name);
        }
    }

    internal static class CalibratorNative
    {
        private const string Library = "TarnCalibrator";

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern uint tarn_version();

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern IntPtr tarn_status_string(Status status);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_check_orientation(Convention convention, [In] double[] orientation,
                                                             out Degeneracy degeneracy);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_calibrator_create(Convention convention, out CalibratorHandle calibrator);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern void tarn_calibrator_destroy(IntPtr calibrator);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_calibrate_hand(CalibratorHandle calibrator, Hand hand, [In] double[] source,
                                                          [In] double[] target, out CalibrationQuality quality);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_apply_hand(CalibratorHandle calibrator, Hand hand, [In, Out] double[] blocks,
                                                      UIntPtr stride, UIntPtr count);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_calibrate_both_hands(CalibratorHandle calibrator, [In] double[] position1,
                                                                [In] double[] position2, out CalibrationQuality quality);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_apply_both_hands(CalibratorHandle calibrator, [In, Out] double[] hand1,
                                                            UIntPtr hand1Stride, [In, Out] double[] hand2, UIntPtr hand2Stride,
                                                            [In, Out] double[] position1, UIntPtr position1Stride,
                                                            [In, Out] double[] position2, UIntPtr position2Stride,
                                                            UIntPtr count);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_reset_both_hands(CalibratorHandle calibrator);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_calibrate_all_vr(CalibratorHandle calibrator, ref AllVrInput input,
                                                            out CalibrationQuality quality);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_apply_device(CalibratorHandle calibrator, Device device,
                                                        [In, Out] double[] positions, UIntPtr positionStride,
                                                        [In, Out] double[] orientations, UIntPtr orientationStride,
                                                        UIntPtr count);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_get_hand_rotation(CalibratorHandle calibrator, Hand hand,
                                                             [Out] double[] rotation);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_get_both_hands_frame(CalibratorHandle calibrator, [Out] double[] rotation,
                                                                [Out] double[] origin);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_get_all_vr_frame(CalibratorHandle calibrator, [Out] double[] rotation,
                                                            [Out] double[] origin, [Out] byte[] covered);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_drift_default_settings(out DriftSettings settings);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern IntPtr tarn_drift_settings_problem([In] ref DriftSettings settings);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_set_drift_settings(CalibratorHandle calibrator, Hand hand,
                                                              [In] ref DriftSettings settings);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_get_drift_settings(CalibratorHandle calibrator, Hand hand,
                                                              out DriftSettings settings);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_apply_hand_tracked(CalibratorHandle calibrator, Hand hand,
                                                              [In] ref TrackedHandFrames frames, UIntPtr count);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_get_drift(CalibratorHandle calibrator, Hand hand, out DriftReport report);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_take_drift_events(CalibratorHandle calibrator, Hand hand,
                                                             [Out] DriftEvent[] events, UIntPtr capacity,
                                                             out UIntPtr count);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern IntPtr tarn_motion_verdict_string(MotionVerdict verdict);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_motion_start(CalibratorHandle calibrator, Hand hand, UIntPtr capacity);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_motion_add(CalibratorHandle calibrator, Hand hand,
                                                      [In] ref MotionFrames frames, UIntPtr count);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_motion_progress(CalibratorHandle calibrator, Hand hand,
                                                           out MotionResult result);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_motion_finish(CalibratorHandle calibrator, Hand hand,
                                                         out MotionResult result);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_get_motion_calibration(CalibratorHandle calibrator, Hand hand,
                                                                  out MotionResult result);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_calibrator_save(CalibratorHandle calibrator, [Out] byte[] buffer,
                                                           UIntPtr capacity, out UIntPtr size);

        [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
        internal static extern Status tarn_calibrator_restore(CalibratorHandle calibrator, [In] byte[] data,
                                                              UIntPtr size);
    }
}
