// The package's engine-free runtime against the native library as built:
// the Unity convention against the old binding's own conversion, the
// quality record's layout, statuses, saved calibrations, stillness, the
// calibration flow, a per-frame path that allocates nothing, and a drift
// monitor watching a known drift.
using System;
using System.Collections.Generic;
using System.Linq;
using Calibrate = System.Func<Tarn.HandCalibration.Calibrator, Tarn.HandCalibration.CalibrationResult>;
using Holds = System.Func<Tarn.HandCalibration.CalibrationQuality, bool>;

namespace Tarn.HandCalibration.Tests
{
    internal static class RuntimeTests
    {
        // Unity x, y, z, w of a turn about Unity's up, right or forward axis.
        internal static double[] Yaw(double degrees) { return Turn(degrees, 1); }
        private static double[] Pitch(double degrees) { return Turn(degrees, 0); }
        private static double[] Roll(double degrees) { return Turn(degrees, 2); }

        private static double[] Turn(double degrees, int axis)
        {
            var q = new double[] { 0, 0, 0, Math.Cos(degrees * Math.PI / 360) };
            q[axis] = Math.Sin(degrees * Math.PI / 360);
            return q;
        }

        private static double[] Rows(double[] q) { return Enumerable.Repeat(q, 20).SelectMany(x => x).ToArray(); }

        // Unity's numbers in the library's convention, by the old binding's conversion.
        private static double[] Lib(double[] u)
        {
            return UnityConvention.ToLibrary(new TarnQuaternion(u[3], u[0], u[1], u[2])).ToArray();
        }

        private static double[] LibPos(double[] u)
        {
            return UnityConvention.ToLibrary(new TarnVector3(u[0], u[1], u[2])).ToArray();
        }

        private static bool Near(IEnumerable<double> a, IEnumerable<double> b, double tolerance = 1e-12)
        {
            return a.Zip(b, (x, y) => Math.Abs(x - y) < tolerance).All(x => x);
        }

        internal static void Run(Action<string, bool> check)
        {
            // The native Unity convention agrees with UnityConvention: glove, tracker and data yaw.
            foreach (var c in new[] { new[] { 0.0, 0, 0 }, new[] { 30.0, -70, 10 }, new[] { 170.0, 5, -120 } })
                foreach (Hand hand in new[] { Hand.Right, Hand.Left })
                    using (var unity = new Calibrator())
                    using (var library = new Calibrator(Convention.Library)) {
                        double[] u = Rows(Yaw(c[2])), l = Rows(Lib(Yaw(c[2])));
                        unity.CalibrateHand(hand, Yaw(c[0]), Yaw(c[1]));
                        library.CalibrateHand(hand, Lib(Yaw(c[0])), Lib(Yaw(c[1])));
                        unity.ApplyHand(hand, u);
                        library.ApplyHand(hand, l);
                        check("Unity convention " + hand + " " + string.Join(",", c),
                              Near(Lib(u.Take(4).ToArray()), l.Take(4)));
                    }
            double[] right = { 0.2, 1.1, 0.3 }, left = { -0.2, 1.0, 0.3 }, head = { 0, 1.6, 0 };
            using (var unity = new Calibrator())
            using (var library = new Calibrator(Convention.Library)) {
                AllVrInput ui = new AllVrInput(), li = new AllVrInput();
                ui.SetDevice(Device.RightTracker, right, Yaw(20));
                li.SetDevice(Device.RightTracker, LibPos(right), Lib(Yaw(20)));
                ui.SetDevice(Device.LeftTracker, left, Yaw(25));
                li.SetDevice(Device.LeftTracker, LibPos(left), Lib(Yaw(25)));
                check("All-VR both conventions",
                      unity.CalibrateAllVr(ref ui).Succeeded && library.CalibrateAllVr(ref li).Succeeded);
                double[] up = { 0.5, 1.2, 0.7 }, uq = Yaw(40), lp = LibPos(up), lq = Lib(uq);
                unity.ApplyDevice(Device.LeftTracker, up, uq);
                library.ApplyDevice(Device.LeftTracker, lp, lq);
                check("All-VR device pose", Near(LibPos(up), lp) && Near(Lib(uq), lq));
            }

            // Every field of the quality record lands where the library wrote
            // it: "status degeneracy input", then what the fields hold.
            Holds any = q => true;
            var qualities = new List<Tuple<string, Calibrate, string, Holds>> {
                Tuple.Create("separation", (Calibrate)(k => k.CalibrateBothHands(new[] { 0, 1.0, 0 }, new[] { 0.3, 1.5, 0.4 })),
                             "Ok None None", (Holds)(q => Math.Abs(q.Separation - 0.5) < 1e-12 && double.IsNaN(q.SourceTilt))),
                Tuple.Create("tilts", (Calibrate)(k => k.CalibrateHand(Hand.Left, Pitch(30), Pitch(-60))),
                             "Ok None None", (Holds)(q => Near(new[] { q.SourceTilt, q.TargetTilt }, new[] { Math.PI / 6, Math.PI / 3 }, 1e-9))),
                Tuple.Create("near vertical", (Calibrate)(k => k.CalibrateHand(Hand.Right, Yaw(0), Roll(89))),
                             "DegenerateInput NearVertical Target", any),
                Tuple.Create("zero", (Calibrate)(k => k.CalibrateHand(Hand.Right, new double[4], Yaw(0))),
                             "DegenerateInput ZeroQuaternion Source", any),
                Tuple.Create("too close", (Calibrate)(k => k.CalibrateBothHands(new[] { 0, 1.0, 0 }, new[] { 0.0005, 2, 0.0005 })),
                             "DegenerateInput HandsTooClose Positions", any),
                Tuple.Create("NaN", (Calibrate)(k => k.CalibrateHand(Hand.Right, new[] { double.NaN, 0, 0, 1 }, Yaw(0))),
                             "InvalidArgument", any),
                Tuple.Create("headset decides", (Calibrate)(k => {
                                 var i = new AllVrInput();
                                 i.SetDevice(Device.Headset, head, Yaw(10));
                                 return k.CalibrateAllVr(ref i);
                             }),
                             "Ok None None", (Holds)(q => q.FrameDecidedBy == CalibrationInput.Headset &&
                                                          Math.Abs(q.HeadsetHeading + Math.PI / 18) < 1e-9 &&
                                                          double.IsNaN(q.LargestDisagreement))),
            };
            foreach (var t in qualities)
                using (var k = new Calibrator()) {
                    CalibrationResult r = t.Item2(k);
                    string got = r.Status == Status.InvalidArgument
                                     ? r.Status.ToString()
                                     : r.Status + " " + r.Quality.Degeneracy + " " + r.Quality.DegenerateInput;
                    check("quality " + t.Item1 + ": " + got, got == t.Item3 && t.Item4(r.Quality));
                }

            // Refusals at the boundary: statuses from the library, exceptions for misuse.
            var disposed = new Calibrator();
            disposed.Dispose();
            var boundary = new Dictionary<string, Func<Calibrator, object>> {
                { "NotCalibrated", k => k.ApplyHand(Hand.Right, new double[80]) },
                { "InvalidSavedState", k => k.Restore(new byte[] { 1, 2, 3 }) },
                { "ArgumentException", k => k.ApplyHand(Hand.Left, new double[80], 2) },
                { "ArgumentNullException", k => k.ApplyDevice(Device.Headset, null, null) },
                { "ObjectDisposedException", k => disposed.ApplyHand(Hand.Left, new double[80]) },
            };
            foreach (var row in boundary)
                using (var k = new Calibrator()) {
                    string got;
                    try { got = row.Value(k).ToString(); } catch (Exception e) { got = e.GetType().Name; }
                    check("boundary " + row.Key + ", got " + got, got == row.Key);
                }

            // Saved in Unity's convention, restored into the library's: same rotation.
            using (var rig = new RigCalibration()) using (var library = new Calibrator(Convention.Library)) {
                double[] u = new double[4], l = new double[4];
                rig.Calibrator.CalibrateHand(Hand.Right, Yaw(15), Yaw(-40));
                byte[] saved = rig.Save();
                check("restore across conventions",
                      library.Restore(saved) == Status.Ok && rig.Calibrator.GetHandRotation(Hand.Right, u) == Status.Ok &&
                      library.GetHandRotation(Hand.Right, l) == Status.Ok && Near(Lib(u), l));
                check("restore refuses a truncated string",
                      !rig.Restore(saved.Take(saved.Length - 1).ToArray()) && rig.Save().SequenceEqual(saved));
                check("restore names what is calibrated", rig.Restore(saved) && rig.Calibrated == CalibrationKinds.RightHand);
            }

            // Stillness: time, yaw degrees, x metres, the still seconds expected.
            var still = new StillnessDetector(1, 1);
            double[,] samples = { { 0, 0, 0, 0 }, { 0.5, 2, 0.01, 0.5 }, { 1, 2.9, 0, 1 }, { 1.5, 3.5, 0, 0 },
                                  { 2, 4, 0, 0.5 }, { 2.5, 4, 0.02, 0 }, { 3, double.NaN, 0, 0 }, { 3.5, 4, 0.02, 0 },
                                  { 4, 4, 0.02, 0.5 } };
            for (int i = 0; i < samples.GetLength(0); ++i) {
                double got = still.Observe(samples[i, 0], Yaw(samples[i, 1]), new[] { samples[i, 2], 1, 0 });
                check("still at " + samples[i, 0] + " s: " + got, got == samples[i, 3]);
            }

            Flow(check, 0, "calibrated: right hand, left hand, both hands, All-VR");
            Flow(check, 89, "refused: right hand: rolled onto its side, so no heading can be read: " +
                            "turn it back flat (the wrist tracker)");
            Allocation(check);
            Drift(check);
            RigDriftFlag(check);
            Motion(check, true, "calibrated from motion");
            Motion(check, false, "not calibrated from motion within 15 s: turn your forearm over as well as round");
        }

        // A rig whose right glove drifts at 6 degrees a minute against its
        // tracker, at 10 frames a second: with a 2-degree threshold the flag
        // rises once, after about 20 s and the 3 s hold; the rate reads 6
        // degrees a minute; an impossible threshold is refused.
        private static void RigDriftFlag(Action<string, bool> check)
        {
            using (var rig = new RigCalibration()) {
                var raised = new List<string>();
                rig.Drift.FlagChanged += (hand, up) => raised.Add(hand + " " + up);
                check("rig drift: a threshold of 120 degrees refused", !rig.Drift.Configure(false, false, 120));
                check("rig drift: 2 degrees taken", rig.Drift.Configure(false, false, 2));
                RigFrame frame = Frame(0, 0);
                frame.HasLeftHand = false;
                double flagTime = double.NaN;
                for (int step = 0; step < 600; ++step) {
                    double t = 0.1 * step, yaw = 10 * Math.Sin(t / 7);
                    double[] tracker = Yaw(yaw), glove = Yaw(yaw + 90 - 6 * t / 60);
                    for (int i = 0; i < 20; ++i)
                        frame.SetRow(Hand.Right, i, (float)glove[0], (float)glove[1], (float)glove[2], (float)glove[3]);
                    frame.SetPose(Device.RightTracker, 0.2f, 1.1f, 0.3f, (float)tracker[0], (float)tracker[1],
                                  (float)tracker[2], (float)tracker[3]);
                    if (step == 0) check("rig drift: calibrated", rig.CalibrateNow(frame).Succeeded);
                    rig.Update(t, frame);
                    rig.Apply(frame);
                    if (raised.Count == 1 && double.IsNaN(flagTime)) flagTime = t;
                }
                double rate = rig.Drift.Report(Hand.Right).RateDegreesPerMinute;
                check("rig drift: the flag rose once, at " + flagTime + " s: " + string.Join(", ", raised),
                      raised.Count == 1 && raised[0] == "Right True" && flagTime > 20 && flagTime < 26);
                check("rig drift: rate " + rate + " degrees a minute", Math.Abs(Math.Abs(rate) - 6) < 0.3);
            }
        }

        // The library's [w, x, y, z] product p (x) q.
        private static double[] Mul(double[] p, double[] q)
        {
            return new[] { p[0] * q[0] - p[1] * q[1] - p[2] * q[2] - p[3] * q[3],
                           p[0] * q[1] + p[1] * q[0] + p[2] * q[3] - p[3] * q[2],
                           p[0] * q[2] - p[1] * q[3] + p[2] * q[0] + p[3] * q[1],
                           p[0] * q[3] + p[1] * q[2] - p[2] * q[1] + p[3] * q[0] };
        }

        private static double[] About(int axis, double radians)
        {
            var q = new double[] { Math.Cos(radians / 2), 0, 0, 0 };
            q[axis] = Math.Sin(radians / 2);
            return q;
        }

        // The guided flow in the library convention, at 90 frames a second:
        // both arms waved (and, when `over`, turned over), each glove on its
        // tracker by a mount turned 70 degrees about the forearm, its heading
        // reference 25 degrees from the tracking frame.
        private static void Motion(Action<string, bool> check, bool over, string message)
        {
            using (var rig = new RigCalibration(Convention.Library)) {
                rig.Motion.TimeoutSeconds = 15;
                var progress = new List<MotionProgress>();
                var outcomes = new List<MotionOutcome>();
                rig.Motion.Progress += progress.Add;
                rig.Motion.Finished += outcomes.Add;
                double[] mount = Mul(About(2, 70 * Math.PI / 180), About(3, Math.PI / 2));
                double[] reference = About(3, -25 * Math.PI / 180);
                var frame = new RigFrame { HasRightHand = true, HasLeftHand = true };
                for (int f = 0; f < 90 * 16 && outcomes.Count == 0; ++f) {
                    double t = f / 90.0;
                    double[] tracker = Mul(Mul(About(3, 0.8 * Math.Sin(0.9 * t)), About(1, over ? 0.6 * Math.Sin(1.3 * t) : 0)),
                                           About(2, over ? 0.5 * Math.Sin(0.7 * t + 1) : 0));
                    double[] glove = Mul(reference, Mul(tracker, mount));
                    foreach (Hand hand in new[] { Hand.Right, Hand.Left }) {
                        frame.SetRow(hand, 0, (float)glove[0], (float)glove[1], (float)glove[2], (float)glove[3]);
                        frame.SetPose(hand == Hand.Right ? Device.RightTracker : Device.LeftTracker, 0, 1, 0,
                                      (float)tracker[0], (float)tracker[1], (float)tracker[2], (float)tracker[3]);
                    }
                    if (f == 0) check("motion starts for both hands", rig.RequestMotion(t, frame));
                    rig.Update(t, frame);
                }
                check("motion outcome: " + (outcomes.Count > 0 ? outcomes[0].Message : "none"),
                      outcomes.Count == 1 && outcomes[0].Message == message);
                check("motion asks the user to move first", progress[0].Message == MotionGuide.MoveMessage &&
                                                            progress[0].Fraction < 0.01);
                MotionResult result;
                Status status = rig.Calibrator.GetMotionCalibration(Hand.Left, out result);
                if (over)
                    check("motion calibrates both hands " + result.HeadingOffsetDegrees,
                          rig.Calibrated == (CalibrationKinds.RightHand | CalibrationKinds.LeftHand) &&
                          status == Status.Ok && Math.Abs(result.HeadingOffsetDegrees - 25) < 0.01 &&
                          progress[progress.Count - 1].Done);
                else
                    check("motion refused keeps nothing", rig.Calibrated == CalibrationKinds.None &&
                                                          status == Status.NotCalibrated &&
                                                          outcomes[0].Result(Hand.Right).Verdict == MotionVerdict.TurnOver);
            }
        }

        // Two minutes at 10 frames a second: the tracker turns to and fro;
        // glove row 3 drifts from it at 6 degrees a minute (counter-clockwise
        // seen from above: a negative yaw in Unity), the other rows do not.
        private static void Drift(Action<string, bool> check)
        {
            const int n = 1200;
            double rate = Math.PI / 1800;  // radians a second
            double[] times = new double[n], blocks = new double[80 * n], trackers = new double[4 * n];
            double[] residuals = new double[n], time = new double[1];
            for (int f = 0; f < n; ++f) {
                times[f] = 0.1 * f;
                double yaw = 17 * Math.Sin(times[f] / 20);
                Array.Copy(Yaw(yaw), 0, trackers, 4 * f, 4);
                Array.Copy(Rows(Yaw(yaw + 90)), 0, blocks, 80 * f, 80);
                Array.Copy(Yaw(yaw + 90 - rate * times[f] * 180 / Math.PI), 0, blocks, 80 * f + 12, 4);
            }
            using (var k = new Calibrator()) {
                DriftSettings settings = DriftSettings.Default, got;
                settings.ReferenceRow = 3;
                settings.Compensate = true;
                check("drift settings", k.SetDriftSettings(Hand.Right, settings) == Status.Ok &&
                                        k.GetDriftSettings(Hand.Right, out got) == Status.Ok && got.ReferenceRow == 3 &&
                                        got.Compensate && !got.AutoRecalibrate && got.Window == 300);
                settings.Window = 9;
                DriftReport report;
                check("drift refusals", k.SetDriftSettings(Hand.Right, settings) == Status.InvalidArgument &&
                                        k.GetDrift(Hand.Right, out report) == Status.NotCalibrated);
                k.CalibrateHand(Hand.Right, blocks, 12, trackers, 0);
                Status applied = k.ApplyHandTracked(Hand.Right, times, blocks, trackers, residuals, n);
                Status again = k.ApplyHandTracked(Hand.Right, times, blocks, trackers);  // time goes back
                check("drift apply " + applied + " " + again, applied == Status.Ok && again == Status.InvalidArgument);
                k.GetDrift(Hand.Right, out report);
                var events = new DriftEvent[2];
                int taken;
                k.TakeDriftEvents(Hand.Right, events, out taken);
                check("drift rate " + report.Rate, Math.Abs(report.Rate - rate) < 1e-5);
                check("drift report", report.Frames == n && report.Time == times[n - 1] && report.Still &&
                                      report.Compensating && !report.Flag && report.Residual == residuals[n - 1] &&
                                      Math.Abs(report.Residual + report.Correction - rate * times[n - 1]) < 1e-9);
                check("drift events", taken == 1 && events[0].Kind == DriftEventKind.Compensation &&
                                      Array.IndexOf(times, events[0].Time) > 100 && events[0].ResidualAfter == 0);
                long bytes = GC.GetAllocatedBytesForCurrentThread();
                for (int f = 0; f < 1000; ++f) {
                    time[0] = 200 + f;
                    k.ApplyHandTracked(Hand.Right, time, blocks, trackers, residuals);
                }
                check("drift apply allocates nothing", GC.GetAllocatedBytesForCurrentThread() == bytes);
            }
        }

        private static RigFrame Frame(double moving, double roll)
        {
            var f = new RigFrame { HasRightHand = true, HasLeftHand = true };
            for (int i = 0; i < 20; ++i) {
                f.SetRow(Hand.Right, i, 0, (float)Math.Sin(0.1 * i), 0, (float)Math.Cos(0.1 * i));
                f.SetRow(Hand.Left, i, (float)Math.Sin(0.1 * i), 0, 0, (float)Math.Cos(0.1 * i));
            }
            double[] r = roll != 0 ? Roll(roll) : Yaw(20), l = Yaw(moving);
            f.SetPose(Device.RightTracker, 0.2f, 1.1f, 0.3f, (float)r[0], (float)r[1], (float)r[2], (float)r[3]);
            f.SetPose(Device.LeftTracker, -0.2f, 1.0f, 0.3f, (float)l[0], (float)l[1], (float)l[2], (float)l[3]);
            f.SetPose(Device.Headset, 0, 1.6f, 0, 0, 0, 0, 1);
            return f;
        }

        // Moving for 1 s, then still: the snapshot comes after 1 s of stillness.
        private static void Flow(Action<string, bool> check, double roll, string message)
        {
            using (var rig = new RigCalibration { HoldStillSeconds = 1 }) {
                var countdown = new List<double>();
                var outcomes = new List<CalibrationOutcome>();
                rig.Countdown += countdown.Add;
                rig.Finished += outcomes.Add;
                byte[] before = rig.Save();
                rig.Request(0);
                for (int step = 0; step <= 12; ++step)
                    rig.Update(0.25 * step, Frame(step <= 4 ? 10 * step : 40, roll));
                check("flow countdown " + string.Join(" ", countdown),
                      countdown.SequenceEqual(new[] { 1, 1, 1, 1, 1, 0.75, 0.5, 0.25 }));
                check("flow outcome: " + (outcomes.Count > 0 ? outcomes[0].Message : "none"),
                      outcomes.Count == 1 && outcomes[0].Message == message);
                check("flow keeps nothing refused",
                      roll == 0 ? rig.Calibrated != CalibrationKinds.None
                                : rig.Calibrated == CalibrationKinds.None && rig.Save().SequenceEqual(before));
            }
        }

        // 100,000 frames of both gloves and three devices through the rig,
        // floats in and out as a Unity component does: no managed allocation.
        private static void Allocation(Action<string, bool> check)
        {
            foreach (HandMode mode in new[] { HandMode.SingleHand, HandMode.BothHands })
                using (var rig = new RigCalibration { HandMode = mode }) {
                    RigFrame frame = Frame(0, 0);
                    check("allocation test calibrates", rig.CalibrateNow(frame).Succeeded);
                    float[] q = { 0, 0.3f, 0, 0.95f };
                    Action run = () => {
                        for (int n = 0; n < 100000; ++n) {
                            for (int i = 0; i < 20; ++i) {
                                frame.SetRow(Hand.Right, i, q[0], q[1], q[2], q[3]);
                                frame.SetRow(Hand.Left, i, q[0], q[1], q[2], q[3]);
                            }
                            frame.SetPose(Device.Headset, 0, 1.6f, 0, q[0], q[1], q[2], q[3]);
                            rig.Update(n, frame);
                            rig.Apply(frame);
                            for (int i = 0; i < 20; ++i) frame.GetRow(Hand.Left, i, out q[0], out q[1], out q[2], out q[3]);
                        }
                    };
                    run();
                    long bytes = GC.GetAllocatedBytesForCurrentThread();
                    run();
                    bytes = GC.GetAllocatedBytesForCurrentThread() - bytes;
                    Console.WriteLine(mode + ": " + bytes + " bytes allocated over 100000 frames");
                    check("no allocation per frame, " + mode, bytes == 0);
                }
        }
    }
}
