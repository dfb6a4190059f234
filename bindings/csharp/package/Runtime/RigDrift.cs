// Each glove's drift monitor as a rig sees it: every frame of a calibrated
// glove with its wrist tracker goes through the hand's monitor
// (Calibrator.ApplyHandTracked), and what the monitor does comes out as
// events. Engine-free; RigCalibration owns one.
using System;

namespace Tarn.HandCalibration
{
    public sealed class RigDrift
    {
        private static readonly Hand[] Hands = { Hand.Right, Hand.Left };

        private readonly Calibrator calibrator;
        private readonly DriftEvent[] taken = new DriftEvent[Calibrator.KeptDriftEvents];
        private readonly bool[] flags = new bool[2];
        private readonly DriftReport[] reports = new DriftReport[2];
        private const double PollInterval = 0.09;  // seconds: the monitor's sampling interval
        private readonly double[] polled = { double.NegativeInfinity, double.NegativeInfinity };

        internal RigDrift(Calibrator calibrator)
        {
            this.calibrator = calibrator;
            Enabled = true;
        }

        /// <summary>Whether frames go through the monitors (the default);
        /// off, gloves are converted by ApplyHand alone.</summary>
        public bool Enabled { get; set; }

        /// <summary>A hand's flag went up (true: re-calibration recommended)
        /// or down.</summary>
        public event Action<Hand, bool> FlagChanged;
        /// <summary>The monitor re-calibrated the hand or started
        /// compensating (DriftEvent.Kind says which).</summary>
        public event Action<Hand, DriftEvent> Corrected;

        /// <summary>The hand's monitor as of its last frame (all NaN and
        /// zero before its first).</summary>
        public DriftReport Report(Hand hand)
        {
            return reports[(int)hand];
        }

        /// <summary>Sets both monitors: automatic re-calibration,
        /// compensation and the threshold in degrees, the other settings
        /// left as they are. False (nothing changed) for settings the
        /// library refuses.</summary>
        public bool Configure(bool autoRecalibrate, bool compensate, double thresholdDegrees)
        {
            foreach (Hand hand in Hands) {
                DriftSettings settings;
                calibrator.GetDriftSettings(hand, out settings);
                settings.AutoRecalibrate = autoRecalibrate;
                settings.Compensate = compensate;
                settings.Threshold = thresholdDegrees * Math.PI / 180.0;
                if (settings.Problem != null) return false;
                calibrator.SetDriftSettings(hand, settings);
            }
            return true;
        }

        // Converts one frame of a calibrated glove through its monitor, then
        // raises what the monitor did. A frame the monitor refuses (a time
        // going back, after the host's clock was reset) is converted
        // without it.
        internal void Convert(Hand hand, double time, double[] block, double[] tracker)
        {
            if (calibrator.ApplyHandTracked(hand, time, block, tracker) != Status.Ok) {
                calibrator.ApplyHand(hand, block);
                return;
            }
            // The monitor acts only on the frames it samples, 0.09 s or
            // more apart: between them there is nothing new to read.
            int h = (int)hand;
            if (time >= polled[h] && time < polled[h] + PollInterval) return;
            polled[h] = time;
            calibrator.GetDrift(hand, out reports[h]);
            int count;
            calibrator.TakeDriftEvents(hand, taken, out count);
            Action<Hand, DriftEvent> corrected = Corrected;
            for (int k = 0; k < count && corrected != null; ++k) corrected(hand, taken[k]);
            if (reports[h].Flag == flags[h]) return;
            flags[h] = reports[h].Flag;
            Action<Hand, bool> flagChanged = FlagChanged;
            if (flagChanged != null) flagChanged(hand, flags[h]);
        }
    }
}
