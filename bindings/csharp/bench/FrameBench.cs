// Time per frame of both gloves and three devices through the C# API:
//   rig      RigCalibration.Apply with the float copies a Unity component
//            makes (Transform rotations in, calibrated rotations out);
//   direct   the same native calls made directly on double[] buffers;
//   exports  the 16-export pattern for both gloves (convert to the
//            library's axes, call, convert back), for comparison.
// Also the managed bytes allocated and collections run during each.
//   mono TarnCSharpFrameBench.exe [frames]     (default 100000)
using System;
using System.Diagnostics;
using Tarn.HandCalibration;

internal static class FrameBench
{
    private static int Main(string[] args)
    {
        int frames = args.Length > 0 ? int.Parse(args[0]) : 100000;
        var rig = new RigCalibration();
        var frame = new RigFrame { HasRightHand = true, HasLeftHand = true };
        var q = new float[] { 0.05f, 0.3f, 0.02f, 0.95f };
        for (int i = 0; i < Calibrator.HandRows; ++i) {
            frame.SetRow(Hand.Right, i, q[0], q[1], q[2], q[3]);
            frame.SetRow(Hand.Left, i, q[0], q[1], q[2], q[3]);
        }
        frame.SetPose(Device.RightTracker, 0.2f, 1.1f, 0.3f, 0, 0.17f, 0, 0.98f);
        frame.SetPose(Device.LeftTracker, -0.2f, 1.0f, 0.3f, 0, 0.2f, 0, 0.98f);
        frame.SetPose(Device.Headset, 0, 1.6f, 0, 0, 0, 0, 1);
        CalibrationOutcome outcome = rig.CalibrateNow(frame);
        if (!outcome.Succeeded) {
            Console.WriteLine(outcome.Message);
            return 1;
        }

        Calibrator c = rig.Calibrator;
        double[] right = new double[80], left = new double[80];
        double[][] positions = { new double[3], new double[3], new double[3] };
        double[][] rotations = { new double[4], new double[4], new double[4] };
        Action direct = () => {
            c.ApplyHand(Hand.Right, right);
            c.ApplyHand(Hand.Left, left);
            for (int d = 0; d < 3; ++d) c.ApplyDevice((Device)d, positions[d], rotations[d]);
        };
        Action rigPath = () => {
            for (int i = 0; i < Calibrator.HandRows; ++i) {
                frame.SetRow(Hand.Right, i, q[0], q[1], q[2], q[3]);
                frame.SetRow(Hand.Left, i, q[0], q[1], q[2], q[3]);
            }
            for (int d = 0; d < 3; ++d) frame.SetPose((Device)d, 0.1f, 1.2f, 0.3f, q[0], q[1], q[2], q[3]);
            rig.Apply(frame);
            float x, y, z, w, px, py, pz;
            for (int i = 0; i < Calibrator.HandRows; ++i) {
                frame.GetRow(Hand.Right, i, out x, out y, out z, out w);
                frame.GetRow(Hand.Left, i, out x, out y, out z, out w);
            }
            for (int d = 0; d < 3; ++d) frame.GetPose((Device)d, out px, out py, out pz, out x, out y, out z, out w);
        };
        TarnHandCalibrationSDK.InitialRHand(TarnQuaternion.Identity, TarnQuaternion.Identity);
        TarnHandCalibrationSDK.InitialLHand(TarnQuaternion.Identity, TarnQuaternion.Identity);
        var unityRight = new TarnHandBlock(new double[80]);
        var unityLeft = new TarnHandBlock(new double[80]);
        Action exports = () => {
            TarnHandBlock r = UnityConvention.ToLibrary(unityRight), l = UnityConvention.ToLibrary(unityLeft);
            TarnHandCalibrationSDK.GetCalculationDataRHand(r);
            TarnHandCalibrationSDK.GetCalculationDataLHand(l);
            unityRight = UnityConvention.ToUnity(r);
            unityLeft = UnityConvention.ToUnity(l);
        };

        Console.WriteLine("{0} frames of both gloves{1}", frames, "; rig and direct also three devices");
        Console.WriteLine("{0,-8} {1,12} {2,16} {3,12}", "path", "us/frame", "bytes allocated", "collections");
        bool clean = true;
        foreach (var path in new[] { Tuple.Create("rig", rigPath), Tuple.Create("direct", direct),
                                     Tuple.Create("exports", exports) }) {
            for (int n = 0; n < frames / 10; ++n) path.Item2();
            var clock = new Stopwatch();
            int collections = GC.CollectionCount(0);
            long bytes = GC.GetAllocatedBytesForCurrentThread();
            clock.Start();
            for (int n = 0; n < frames; ++n) path.Item2();
            clock.Stop();
            bytes = GC.GetAllocatedBytesForCurrentThread() - bytes;
            collections = GC.CollectionCount(0) - collections;
            Console.WriteLine("{0,-8} {1,12:F3} {2,16} {3,12}", path.Item1,
                              clock.Elapsed.TotalMilliseconds * 1000.0 / frames, bytes, collections);
            if (path.Item1 != "exports" && bytes != 0) clean = false;
        }
        rig.Dispose();
        return clean ? 0 : 1;
    }
}
