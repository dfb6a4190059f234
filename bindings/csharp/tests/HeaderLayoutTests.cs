// The package's structs, enums and constants against include/TarnCalibrator.h,
// as the C compiler laid it out (tests/bindings/HeaderLayout.c writes the
// facts, one a line, to the file TARN_HEADER_LAYOUT names).
using System;
using System.Collections.Generic;
using System.IO;
using System.Linq;
using System.Reflection;
using System.Runtime.InteropServices;

namespace Tarn.HandCalibration.Tests
{
    internal static class HeaderLayoutTests
    {
        private static readonly Dictionary<string, Type> Structs = new Dictionary<string, Type> {
            { "tarn_quality", typeof(CalibrationQuality) },
            { "tarn_all_vr_input", typeof(AllVrInput) },
            { "tarn_drift_settings", typeof(DriftSettings) },
            { "tarn_drift_report", typeof(DriftReport) },
            { "tarn_drift_event", typeof(DriftEvent) },
            { "tarn_tracked_hand_frames", typeof(TrackedHandFrames) },
            { "tarn_motion_frames", typeof(MotionFrames) },
            { "tarn_motion_result", typeof(MotionResult) },
        };

        private static readonly Dictionary<string, Type> Enums = new Dictionary<string, Type> {
            { "tarn_status", typeof(Status) },
            { "tarn_convention", typeof(Convention) },
            { "tarn_hand", typeof(Hand) },
            { "tarn_device", typeof(Device) },
            { "tarn_degeneracy", typeof(Degeneracy) },
            { "tarn_input", typeof(CalibrationInput) },
            { "tarn_drift_event_kind", typeof(DriftEventKind) },
            { "tarn_motion_verdict", typeof(MotionVerdict) },
        };

        // AllVrInput and MotionResult keep each array as its elements: the
        // first one's name.
        private static readonly Dictionary<string, string> Renamed = new Dictionary<string, string> {
            { "right_tracker_on", "rightOn" }, { "left_tracker_on", "leftOn" }, { "headset_on", "headsetOn" },
            { "right_position", "rightPx" }, { "right_orientation", "rightQ0" },
            { "left_position", "leftPx" }, { "left_orientation", "leftQ0" },
            { "headset_position", "headPx" }, { "headset_orientation", "headQ0" },
            { "mount", "mount0" },
        };

        private static string Plain(string name) { return name.Replace("_", "").ToUpperInvariant(); }

        private static string FieldOf(Type type, string cName)
        {
            bool elements = type == typeof(AllVrInput) || type == typeof(MotionResult);
            string wanted = Renamed.ContainsKey(cName) && elements ? Renamed[cName] : cName;
            var fields = type.GetFields(BindingFlags.Instance | BindingFlags.Public | BindingFlags.NonPublic);
            var field = fields.FirstOrDefault(f => Plain(f.Name) == Plain(wanted));
            return field == null ? null : field.Name;
        }

        public static void Run(Action<string, bool> check)
        {
            string path = Environment.GetEnvironmentVariable("TARN_HEADER_LAYOUT");
            if (string.IsNullOrEmpty(path)) return;
            var seen = new Dictionary<Type, HashSet<string>>();
            foreach (var line in File.ReadAllLines(path)) {
                var fact = line.Split(' ');
                switch (fact[0]) {
                case "size":
                    check("size of " + fact[1], Marshal.SizeOf(Structs[fact[1]]) == int.Parse(fact[2]));
                    break;
                case "offset": {
                    string field = FieldOf(Structs[fact[1]], fact[2]);
                    check("offset of " + fact[1] + "." + fact[2], field != null &&
                          (int)Marshal.OffsetOf(Structs[fact[1]], field) == int.Parse(fact[3]));
                    break;
                }
                case "enum": {
                    var type = Enums[fact[1]];
                    var name = Enum.GetNames(type).FirstOrDefault(n => Plain(n) == Plain(fact[2]));
                    check(fact[1] + " " + fact[2], name != null &&
                          Convert.ToInt32(Enum.Parse(type, name)) == int.Parse(fact[3]));
                    if (!seen.ContainsKey(type)) seen[type] = new HashSet<string>();
                    if (name != null) seen[type].Add(name);
                    break;
                }
                case "constant":
                    // The constants C# restates; the others it does not use.
                    if (fact[1] == "TARN_DRIFT_KEPT_EVENTS")
                        check(fact[1], Calibrator.KeptDriftEvents == int.Parse(fact[2]));
                    break;
                }
            }
            foreach (var type in Enums.Values)
                check("no " + type.Name + " value beyond the header's",
                      seen.ContainsKey(type) && seen[type].Count == Enum.GetNames(type).Length);
        }
    }
}
