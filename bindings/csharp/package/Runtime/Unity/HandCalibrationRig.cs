// The Unity face of the calibration: maps Transforms to a RigFrame and
// back, and hands everything else to RigCalibration (engine-free, tested
// outside Unity). World-space rotations and positions are read and written
// as Unity gives them: the calibrator works in Unity's convention, so
// nothing is converted here.

using System;
using System.IO;
using UnityEngine;

namespace Tarn.HandCalibration
{
    /// <summary>Where HandCalibrationRig keeps a saved calibration.</summary>
    public enum CalibrationStore
    {
        None,
        /// <summary>PlayerPrefs, under the rig's key, as Base64.</summary>
        PlayerPrefs,
        /// <summary>A file named by the rig's key under Application.persistentDataPath.</summary>
        File,
    }

    /// <summary>Calibrates data gloves, wrist trackers and a headset when
    /// asked, after the user has held still, and converts their poses every
    /// frame (in LateUpdate, after the device drivers have moved them).
    /// Input Transforms are read, never written; calibrated poses go to the
    /// calibrated Transforms.</summary>
    [DisallowMultipleComponent]
    [AddComponentMenu("Tarn/Hand Calibration Rig")]
    public sealed class HandCalibrationRig : MonoBehaviour
    {
        [Header("Gloves: row i of the hand block is element i")]
        [Tooltip("The 20 Transforms the right glove's driver rotates, in hand-block row order")]
        public Transform[] rightGloveRows = new Transform[Calibrator.HandRows];
        public Transform[] leftGloveRows = new Transform[Calibrator.HandRows];
        [Tooltip("Where the calibrated rotations of the right glove's rows go (empty: not written)")]
        public Transform[] rightCalibratedRows = new Transform[Calibrator.HandRows];
        public Transform[] leftCalibratedRows = new Transform[Calibrator.HandRows];

        [Header("Devices (inputs, then where the calibrated poses go)")]
        public Transform rightTracker;
        public Transform leftTracker;
        public Transform headset;
        public Transform calibratedRightTracker;
        public Transform calibratedLeftTracker;
        public Transform calibratedHeadset;

        [Header("Calibration")]
        public HandMode handMode = HandMode.SingleHand;
        [Tooltip("The glove row calibrated against the wrist tracker")]
        [Range(0, 19)]
        public int sourceRow;
        [Tooltip("With trackers and headset: the headset decides the All-VR frame")]
        public bool headsetDecides;
        [Tooltip("Seconds the user holds still before the snapshot")]
        public float holdStillSeconds = 2f;
        [Tooltip("Largest turn, degrees, that still counts as holding still")]
        public float stillAngleDegrees = 3f;
        [Tooltip("Largest movement, metres, that still counts as holding still")]
        public float stillDistance = 0.015f;
        [Tooltip("A request not completed after this many seconds is given up (0: never)")]
        public float timeoutSeconds = 30f;

        [Header("Drift")]
        [Tooltip("Watch each calibrated glove's heading against its wrist tracker (gloves drift; trackers do not)")]
        public bool monitorDrift = true;
        [Tooltip("While the drift flag is up, re-calibrate the hand once it is still")]
        public bool autoRecalibrate;
        [Tooltip("Once the drift rate is known, turn the calibration back by it every second")]
        public bool compensateDrift;
        [Tooltip("Degrees of drift, held for the hold time, that raise the flag (above 0, at most 90)")]
        public float driftThresholdDegrees = 5f;

        [Header("Calibration from motion")]
        [Tooltip("Seconds of arm motion collected before each hand's calibration is solved")]
        public float motionSeconds = 8f;
        [Tooltip("A motion calibration not done after this many seconds is given up (0: never)")]
        public float motionTimeoutSeconds = 40f;

        [Header("Saved calibration")]
        public CalibrationStore store = CalibrationStore.PlayerPrefs;
        [Tooltip("PlayerPrefs key, or file name under Application.persistentDataPath")]
        public string key = "TarnHandCalibration";
        public bool restoreOnStart = true;
        public bool saveAfterCalibrating = true;

        private readonly RigFrame frame = new RigFrame();

        /// <summary>Seconds the user still has to hold still (each frame while waiting).</summary>
        public event Action<float> CountdownChanged;
        /// <summary>A calibration request has ended; Succeeded or Message says how.</summary>
        public event Action<CalibrationOutcome> CalibrationFinished;
        /// <summary>Each frame of a motion calibration, per hand: what to
        /// tell the user ("move your arm...", or why the motion did not
        /// do) and how far along it is.</summary>
        public event Action<MotionProgress> MotionProgressChanged;
        /// <summary>A motion calibration has ended: every hand calibrated, or
        /// timed out (Message says why).</summary>
        public event Action<MotionOutcome> MotionCalibrationFinished;
        /// <summary>A hand's drift flag went up (true: its calibration has
        /// drifted beyond the threshold; ask the user to re-calibrate, or let
        /// autoRecalibrate do it) or down.</summary>
        public event Action<Hand, bool> DriftFlagChanged;
        /// <summary>The drift monitor re-calibrated a hand or started
        /// compensating its drift.</summary>
        public event Action<Hand, DriftEvent> DriftCorrected;

        /// <summary>Whether the hand's drift flag is up.</summary>
        public bool DriftFlag(Hand hand)
        {
            return Calibration != null && Calibration.Drift.Report(hand).Flag;
        }

        /// <summary>The hand's drift rate in degrees a minute; NaN until the
        /// monitor has fitted one (about 10 seconds after calibrating).</summary>
        public double DriftRateDegreesPerMinute(Hand hand)
        {
            return Calibration == null ? double.NaN : Calibration.Drift.Report(hand).RateDegreesPerMinute;
        }

        /// <summary>The engine-free calibration this component drives (null
        /// when the native library could not be loaded).</summary>
        public RigCalibration Calibration { get; private set; }

        /// <summary>This frame's poses after conversion, in Unity's convention.</summary>
        public RigFrame Frame
        {
            get { return frame; }
        }

        public bool IsWaitingForStillness
        {
            get { return Calibration != null && Calibration.Waiting; }
        }

        /// <summary>Starts a calibration: the snapshot is taken once every
        /// present device has been held still for holdStillSeconds.</summary>
        public void RequestCalibration()
        {
            if (Calibration == null) return;
            Configure();
            Calibration.Request(Time.unscaledTimeAsDouble);
        }

        /// <summary>Starts calibrating each hand whose glove and wrist
        /// tracker are present from a few seconds of the user's arm motion
        /// (any strap position; no still pose needed). Progress comes through
        /// MotionProgressChanged; false when no hand can be calibrated.</summary>
        public bool RequestMotionCalibration()
        {
            if (Calibration == null) return false;
            Configure();
            ReadInputs();
            return Calibration.RequestMotion(Time.unscaledTimeAsDouble, frame);
        }

        public void CancelCalibration()
        {
            if (Calibration != null) Calibration.Cancel();
        }

        /// <summary>Writes the calibration to the store; false if there is
        /// nothing to write to.</summary>
        public bool SaveCalibration()
        {
            if (Calibration == null || store == CalibrationStore.None) return false;
            byte[] saved = Calibration.Save();
            if (store == CalibrationStore.PlayerPrefs) {
                PlayerPrefs.SetString(key, Convert.ToBase64String(saved));
                PlayerPrefs.Save();
            } else {
                File.WriteAllBytes(SavePath(), saved);
            }
            return true;
        }

        /// <summary>Reads the calibration back from the store; false when
        /// none is there or it is not a saved calibration.</summary>
        public bool RestoreCalibration()
        {
            if (Calibration == null || store == CalibrationStore.None) return false;
            byte[] saved = null;
            try {
                if (store == CalibrationStore.PlayerPrefs && PlayerPrefs.HasKey(key))
                    saved = Convert.FromBase64String(PlayerPrefs.GetString(key, ""));
                else if (store == CalibrationStore.File && File.Exists(SavePath()))
                    saved = File.ReadAllBytes(SavePath());
            } catch (FormatException) {
                return false;
            }
            return Calibration.Restore(saved);
        }

        private void Awake()
        {
            try {
                Calibration = new RigCalibration(Convention.Unity);
            } catch (PlatformNotSupportedException e) {
                // Once per component, then nothing more is tried.
                Debug.LogError("Hand calibration: " + e.Message);
                enabled = false;
                return;
            }
            Calibration.Countdown += OnCountdown;
            Calibration.Finished += OnFinished;
            Calibration.Motion.Progress += OnMotionProgress;
            Calibration.Motion.Finished += OnMotionFinished;
            Calibration.Drift.FlagChanged += OnDriftFlagChanged;
            Calibration.Drift.Corrected += OnDriftCorrected;
            Configure();
        }

        private void Start()
        {
            if (restoreOnStart && Calibration != null) RestoreCalibration();
        }

        private void OnDestroy()
        {
            if (Calibration != null) Calibration.Dispose();
            Calibration = null;
        }

        private void LateUpdate()
        {
            ReadInputs();
            Calibration.HandMode = handMode;
            Calibration.Update(Time.unscaledTimeAsDouble, frame);
            Calibration.Apply(frame);
            WriteOutputs();
        }

        private void Configure()
        {
            Calibration.HandMode = handMode;
            Calibration.SourceRow = sourceRow;
            Calibration.HeadsetDecides = headsetDecides;
            Calibration.HoldStillSeconds = holdStillSeconds;
            Calibration.TimeoutSeconds = timeoutSeconds;
            Calibration.Stillness.MaxAngle = stillAngleDegrees * Math.PI / 180.0;
            Calibration.Stillness.MaxDistance = stillDistance;
            Calibration.Motion.MotionSeconds = motionSeconds;
            Calibration.Motion.TimeoutSeconds = motionTimeoutSeconds;
            Calibration.Drift.Enabled = monitorDrift;
            if (!Calibration.Drift.Configure(autoRecalibrate, compensateDrift, driftThresholdDegrees))
                Debug.LogWarning("Hand calibration: drift threshold " + driftThresholdDegrees +
                                 " degrees is out of range (above 0, at most 90); the monitors keep their settings");
        }

        private void ReadInputs()
        {
            frame.HasRightHand = ReadHand(Hand.Right, rightGloveRows);
            frame.HasLeftHand = ReadHand(Hand.Left, leftGloveRows);
            ReadDevice(Device.RightTracker, rightTracker);
            ReadDevice(Device.LeftTracker, leftTracker);
            ReadDevice(Device.Headset, headset);
        }

        // A glove is present when its source row is mapped; unmapped rows
        // go through as the identity and are not written back.
        private bool ReadHand(Hand hand, Transform[] rows)
        {
            if (rows == null || rows.Length <= sourceRow || rows[sourceRow] == null) return false;
            for (int i = 0; i < Calibrator.HandRows; ++i) {
                Transform row = i < rows.Length ? rows[i] : null;
                if (row == null) {
                    frame.SetRow(hand, i, 0f, 0f, 0f, 1f);
                    continue;
                }
                Quaternion q = row.rotation;
                frame.SetRow(hand, i, q.x, q.y, q.z, q.w);
            }
            return true;
        }

        private void ReadDevice(Device device, Transform source)
        {
            if (source == null) {
                frame.SetPresent(device, false);
                return;
            }
            Vector3 p = source.position;
            Quaternion q = source.rotation;
            frame.SetPose(device, p.x, p.y, p.z, q.x, q.y, q.z, q.w);
        }

        private void WriteOutputs()
        {
            if (frame.HasRightHand) WriteHand(Hand.Right, rightCalibratedRows);
            if (frame.HasLeftHand) WriteHand(Hand.Left, leftCalibratedRows);
            WriteDevice(Device.RightTracker, calibratedRightTracker);
            WriteDevice(Device.LeftTracker, calibratedLeftTracker);
            WriteDevice(Device.Headset, calibratedHeadset);
        }

        private void WriteHand(Hand hand, Transform[] rows)
        {
            if (rows == null) return;
            for (int i = 0; i < rows.Length && i < Calibrator.HandRows; ++i) {
                if (rows[i] == null) continue;
                float x, y, z, w;
                frame.GetRow(hand, i, out x, out y, out z, out w);
                rows[i].rotation = new Quaternion(x, y, z, w);
            }
        }

        private void WriteDevice(Device device, Transform target)
        {
            if (target == null || !frame.Has(device)) return;
            float px, py, pz, x, y, z, w;
            frame.GetPose(device, out px, out py, out pz, out x, out y, out z, out w);
            target.position = new Vector3(px, py, pz);
            target.rotation = new Quaternion(x, y, z, w);
        }

        private void OnCountdown(double secondsLeft)
        {
            Action<float> handler = CountdownChanged;
            if (handler != null) handler((float)secondsLeft);
        }

        private void OnFinished(CalibrationOutcome outcome)
        {
            if (outcome.Succeeded && saveAfterCalibrating) SaveCalibration();
            if (!outcome.Succeeded) Debug.LogWarning("Hand calibration " + outcome.Message);
            Action<CalibrationOutcome> handler = CalibrationFinished;
            if (handler != null) handler(outcome);
        }

        private void OnDriftFlagChanged(Hand hand, bool up)
        {
            Action<Hand, bool> handler = DriftFlagChanged;
            if (handler != null) handler(hand, up);
        }

        private void OnDriftCorrected(Hand hand, DriftEvent e)
        {
            if (saveAfterCalibrating) SaveCalibration();
            Action<Hand, DriftEvent> handler = DriftCorrected;
            if (handler != null) handler(hand, e);
        }

        private void OnMotionProgress(MotionProgress progress)
        {
            Action<MotionProgress> handler = MotionProgressChanged;
            if (handler != null) handler(progress);
        }

        private void OnMotionFinished(MotionOutcome outcome)
        {
            if (outcome.Succeeded && saveAfterCalibrating) SaveCalibration();
            if (!outcome.Succeeded) Debug.LogWarning("Hand calibration " + outcome.Message);
            Action<MotionOutcome> handler = MotionCalibrationFinished;
            if (handler != null) handler(outcome);
        }

        private string SavePath()
        {
            return Path.Combine(Application.persistentDataPath, key);
        }
    }
}
