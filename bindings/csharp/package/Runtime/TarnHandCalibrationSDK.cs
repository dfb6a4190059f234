// The 16 exports (TarnHandCalibrationSDK) for existing C# hosts and Unity.
// New code uses Calibrator (Calibrator.cs), which works in Unity's own
// convention and allocates nothing per frame.
//
// Part of the Unity package, which carries the native library
// (TarnHandCalibrationSDK.dll on Windows, libTarnHandCalibrationSDK.so on
// Linux); other C# hosts put the library on their search path. It compiles
// without UnityEngine; inside Unity it also accepts UnityEngine.Vector3 and
// UnityEngine.Quaternion.
//
// Two layers:
//  - TarnHandCalibrationSDK: the 16 functions of the C library under their C
//    names, on double[] arrays in the library's convention. Every call checks
//    the array lengths first and throws ArgumentException on a wrong one: the
//    native side reads and writes exactly the lengths its header states and
//    trusts its caller.
//  - TarnVector3, TarnQuaternion, TarnPose, TarnHandBlock: plain value types,
//    with overloads of the same functions that take them; UnityConvention
//    converts between Unity's axes and the library's.
//
// The two conventions:
//   Unity:   left-handed; X right, Y up, Z forward; quaternion (x, y, z, w).
//   Library: right-handed; Z up; quaternion [w, x, y, z], scalar first.
//   Both describe a device rotation as "device coordinates into world
//   coordinates", so only the axes differ.
//
//   Position:   library (x, y, z) = Unity (x, z, y).
//   Quaternion: library [w, x, y, z] = Unity (w, -x, -z, -y). Swapping two
//               axes is a mirror, which reverses the sense of every
//               rotation, hence the minus signs on the vector part.
//   Both maps are their own inverse, so Unity -> library -> Unity gives back
//   exactly the same numbers.
//
// Worked example. A tracker 0.3 m to the right, 1.2 m up and 0.5 m forward,
// turned 90 degrees to the right about Unity's up axis:
//   Unity position (0.3, 1.2, 0.5)            -> library (0.3, 0.5, 1.2)
//   Unity Quaternion.Euler(0, 90, 0)
//     = (x 0, y 0.7071, z 0, w 0.7071)        -> library [0.7071, 0, 0, -0.7071]
// The library quaternion is a turn of -90 degrees about Z: it takes the
// library's forward axis +Y onto its right axis +X, just as the Unity one
// takes forward +Z onto right +X. A heading of +theta about Unity's up axis
// is always a heading of -theta about the library's Z axis.
//
// The library keeps one calibration state per process and has no locks:
// call it from one thread at a time (Unity's main thread).

using System;
using System.Runtime.InteropServices;
#if UNITY_5_3_OR_NEWER
using UnityEngine;
#endif

namespace Tarn.HandCalibration
{
    /// <summary>Three doubles (x, y, z): a position in whichever convention
    /// the caller states (see UnityConvention).</summary>
    public struct TarnVector3
    {
        public double X, Y, Z;

        public TarnVector3(double x, double y, double z)
        {
            X = x;
            Y = y;
            Z = z;
        }

        /// <summary>The array [x, y, z] that the library functions take.</summary>
        public double[] ToArray()
        {
            return new[] { X, Y, Z };
        }

        /// <summary>Reads [x, y, z]; throws ArgumentException unless the
        /// array holds exactly 3 doubles.</summary>
        public static TarnVector3 FromArray(double[] xyz)
        {
            Lengths.Require(xyz, 3, "xyz", Lengths.PositionLayout);
            return new TarnVector3(xyz[0], xyz[1], xyz[2]);
        }

        public override string ToString()
        {
            return "(" + X + ", " + Y + ", " + Z + ")";
        }
    }

    /// <summary>A quaternion w + xi + yj + zk, not necessarily of unit
    /// length, rotating device coordinates into world coordinates.</summary>
    public struct TarnQuaternion
    {
        public double W, X, Y, Z;

        /// <summary>The rotation that turns nothing, [1, 0, 0, 0].</summary>
        public static readonly TarnQuaternion Identity = new TarnQuaternion(1.0, 0.0, 0.0, 0.0);

        /// <summary>Note the order: scalar part first.</summary>
        public TarnQuaternion(double w, double x, double y, double z)
        {
            W = w;
            X = x;
            Y = y;
            Z = z;
        }

        /// <summary>The array [w, x, y, z] that the library functions take.</summary>
        public double[] ToArray()
        {
            return new[] { W, X, Y, Z };
        }

        /// <summary>Reads [w, x, y, z]; throws ArgumentException unless the
        /// array holds exactly 4 doubles.</summary>
        public static TarnQuaternion FromArray(double[] wxyz)
        {
            Lengths.Require(wxyz, 4, "wxyz", Lengths.QuaternionLayout);
            return new TarnQuaternion(wxyz[0], wxyz[1], wxyz[2], wxyz[3]);
        }

        public override string ToString()
        {
            return "[" + W + ", " + X + ", " + Y + ", " + Z + "]";
        }
    }

    /// <summary>Position and rotation of one device.</summary>
    public struct TarnPose
    {
        public TarnVector3 Position;
        public TarnQuaternion Rotation;

        public TarnPose(TarnVector3 position, TarnQuaternion rotation)
        {
            Position = position;
            Rotation = rotation;
        }
    }

    /// <summary>One glove's hand data: 20 quaternions stored as the 80
    /// doubles the library works on (quaternion i, component j at index
    /// 4 * i + j, components w, x, y, z).</summary>
    public sealed class TarnHandBlock
    {
        public const int QuaternionCount = 20;
        public const int Length = 4 * QuaternionCount;

        /// <summary>The 80 doubles, passed to the library as they are.</summary>
        public readonly double[] Values;

        /// <summary>A block of 20 zero quaternions.</summary>
        public TarnHandBlock()
        {
            Values = new double[Length];
        }

        /// <summary>Wraps (does not copy) an array of exactly 80 doubles;
        /// throws ArgumentException otherwise.</summary>
        public TarnHandBlock(double[] values)
        {
            Lengths.Require(values, Length, "values", Lengths.HandLayout);
            Values = values;
        }

        /// <summary>Quaternion 0..19; throws IndexOutOfRangeException
        /// outside that range.</summary>
        public TarnQuaternion this[int index]
        {
            get
            {
                CheckIndex(index);
                return new TarnQuaternion(Values[4 * index], Values[4 * index + 1], Values[4 * index + 2],
                                          Values[4 * index + 3]);
            }
            set
            {
                CheckIndex(index);
                Values[4 * index] = value.W;
                Values[4 * index + 1] = value.X;
                Values[4 * index + 2] = value.Y;
                Values[4 * index + 3] = value.Z;
            }
        }

        private static void CheckIndex(int index)
        {
            if (index < 0 || index >= QuaternionCount)
                throw new IndexOutOfRangeException("hand quaternion index must be 0.." + (QuaternionCount - 1) +
                                                   ", got " + index);
        }
    }

    /// <summary>Converts between Unity's convention (left-handed, Y up,
    /// Z forward) and the library's (right-handed, Z up). Every method is
    /// exact (it only swaps and negates numbers) and each ToUnity undoes the
    /// matching ToLibrary. See the top of this file for a worked example.</summary>
    public static class UnityConvention
    {
        /// <summary>Unity position (x right, y up, z forward) to the library's
        /// (x, y, z) with Z up.</summary>
        public static TarnVector3 ToLibrary(TarnVector3 unityPosition)
        {
            return SwapYZ(unityPosition);
        }

        /// <summary>Library position (Z up) to Unity's (Y up).</summary>
        public static TarnVector3 ToUnity(TarnVector3 libraryPosition)
        {
            return SwapYZ(libraryPosition);
        }

        /// <summary>Unity rotation, given by its components w, x, y, z, to the
        /// library's quaternion.</summary>
        public static TarnQuaternion ToLibrary(TarnQuaternion unityRotation)
        {
            return MirrorYZ(unityRotation);
        }

        /// <summary>Library quaternion to the components of the Unity rotation.</summary>
        public static TarnQuaternion ToUnity(TarnQuaternion libraryRotation)
        {
            return MirrorYZ(libraryRotation);
        }

        /// <summary>A Unity pose (position and rotation) in the library's convention.</summary>
        public static TarnPose ToLibrary(TarnPose unityPose)
        {
            return new TarnPose(SwapYZ(unityPose.Position), MirrorYZ(unityPose.Rotation));
        }

        /// <summary>A library pose in Unity's convention.</summary>
        public static TarnPose ToUnity(TarnPose libraryPose)
        {
            return new TarnPose(SwapYZ(libraryPose.Position), MirrorYZ(libraryPose.Rotation));
        }

        /// <summary>A new block with each of the 20 Unity rotations converted.</summary>
        public static TarnHandBlock ToLibrary(TarnHandBlock unityHand)
        {
            return MirrorYZ(unityHand);
        }

        /// <summary>A new block with each of the 20 library quaternions converted.</summary>
        public static TarnHandBlock ToUnity(TarnHandBlock libraryHand)
        {
            return MirrorYZ(libraryHand);
        }

#if UNITY_5_3_OR_NEWER
        /// <summary>As ToLibrary(TarnVector3), from a UnityEngine.Vector3.</summary>
        public static TarnVector3 ToLibrary(Vector3 unityPosition)
        {
            return SwapYZ(new TarnVector3(unityPosition.x, unityPosition.y, unityPosition.z));
        }

        /// <summary>As ToLibrary(TarnQuaternion), from a UnityEngine.Quaternion.</summary>
        public static TarnQuaternion ToLibrary(Quaternion unityRotation)
        {
            return MirrorYZ(new TarnQuaternion(unityRotation.w, unityRotation.x, unityRotation.y, unityRotation.z));
        }

        /// <summary>A library position as a UnityEngine.Vector3 (rounded to float).</summary>
        public static Vector3 ToUnityVector3(TarnVector3 libraryPosition)
        {
            TarnVector3 p = SwapYZ(libraryPosition);
            return new Vector3((float)p.X, (float)p.Y, (float)p.Z);
        }

        /// <summary>A library quaternion as a UnityEngine.Quaternion (rounded to float).</summary>
        public static Quaternion ToUnityQuaternion(TarnQuaternion libraryRotation)
        {
            TarnQuaternion q = MirrorYZ(libraryRotation);
            return new Quaternion((float)q.X, (float)q.Y, (float)q.Z, (float)q.W);
        }
#endif

        private static TarnVector3 SwapYZ(TarnVector3 p)
        {
            return new TarnVector3(p.X, p.Z, p.Y);
        }

        private static TarnQuaternion MirrorYZ(TarnQuaternion q)
        {
            return new TarnQuaternion(q.W, -q.X, -q.Z, -q.Y);
        }

        private static TarnHandBlock MirrorYZ(TarnHandBlock hand)
        {
            var converted = new TarnHandBlock();
            for (int i = 0; i < TarnHandBlock.QuaternionCount; ++i)
                converted[i] = MirrorYZ(hand[i]);
            return converted;
        }
    }

    /// <summary>The library's 16 functions. Arrays are in the library's
    /// convention (quaternion [w, x, y, z], position [x, y, z] with Z up,
    /// radians); "in/out" arrays are overwritten with the calibrated values.
    /// Wrong array lengths, and null where an array is needed, throw
    /// ArgumentException before the native call.</summary>
    public static class TarnHandCalibrationSDK
    {
        // ---- Single hand -------------------------------------------------

        /// <summary>Calibrates the right hand from two quaternions (4 each):
        /// hand data with the heading of source afterwards gets the heading of
        /// target plus 90 degrees. Replaces any earlier right-hand calibration.</summary>
        public static void InitialRHand(double[] source, double[] target)
        {
            Lengths.Require(source, 4, "source", Lengths.QuaternionLayout);
            Lengths.Require(target, 4, "target", Lengths.QuaternionLayout);
            Native.InitialRHand(source, target);
        }

        /// <summary>As InitialRHand, for the left hand (target minus 90 degrees).</summary>
        public static void InitialLHand(double[] source, double[] target)
        {
            Lengths.Require(source, 4, "source", Lengths.QuaternionLayout);
            Lengths.Require(target, 4, "target", Lengths.QuaternionLayout);
            Native.InitialLHand(source, target);
        }

        /// <summary>Turns the 20 quaternions of handData (80 doubles, in/out)
        /// about Z by the right-hand calibration.</summary>
        public static void GetCalculationDataRHand(double[] handData)
        {
            Lengths.Require(handData, TarnHandBlock.Length, "handData", Lengths.HandLayout);
            Native.GetCalculationDataRHand(handData);
        }

        /// <summary>As GetCalculationDataRHand, with the left-hand calibration.</summary>
        public static void GetCalculationDataLHand(double[] handData)
        {
            Lengths.Require(handData, TarnHandBlock.Length, "handData", Lengths.HandLayout);
            Native.GetCalculationDataLHand(handData);
        }

        /// <summary>InitialRHand on quaternions in the library's convention.</summary>
        public static void InitialRHand(TarnQuaternion source, TarnQuaternion target)
        {
            InitialRHand(source.ToArray(), target.ToArray());
        }

        /// <summary>InitialLHand on quaternions in the library's convention.</summary>
        public static void InitialLHand(TarnQuaternion source, TarnQuaternion target)
        {
            InitialLHand(source.ToArray(), target.ToArray());
        }

        /// <summary>GetCalculationDataRHand on a hand block, in place.</summary>
        public static void GetCalculationDataRHand(TarnHandBlock hand)
        {
            GetCalculationDataRHand(hand.Values);
        }

        /// <summary>GetCalculationDataLHand on a hand block, in place.</summary>
        public static void GetCalculationDataLHand(TarnHandBlock hand)
        {
            GetCalculationDataLHand(hand.Values);
        }

        // ---- Double hand -------------------------------------------------

        /// <summary>Sets up the common frame of both hands from two positions
        /// (3 each). Returns false, and leaves double-hand calibration off,
        /// when they are closer than 0.001 along both horizontal axes.</summary>
        public static bool InitialDoubleCalibration(double[] position1, double[] position2)
        {
            Lengths.Require(position1, 3, "position1", Lengths.PositionLayout);
            Lengths.Require(position2, 3, "position2", Lengths.PositionLayout);
            return Native.InitialDoubleCalibration(position1, position2);
        }

        /// <summary>Re-expresses two hand blocks (80 each) and two positions
        /// (3 each), all in/out, in the double-hand frame. Writes nothing while
        /// no double-hand calibration is in force.</summary>
        public static void GetDoubleHandCalibrationData(double[] hand1, double[] hand2, double[] position1,
                                                        double[] position2)
        {
            Lengths.Require(hand1, TarnHandBlock.Length, "hand1", Lengths.HandLayout);
            Lengths.Require(hand2, TarnHandBlock.Length, "hand2", Lengths.HandLayout);
            Lengths.Require(position1, 3, "position1", Lengths.PositionLayout);
            Lengths.Require(position2, 3, "position2", Lengths.PositionLayout);
            Native.GetDoubleHandCalibrationData(hand1, hand2, position1, position2);
        }

        /// <summary>Discards the double-hand calibration.</summary>
        public static void ResetDoubleHandCalibration()
        {
            Native.ResetDoubleHandCalibration();
        }

        /// <summary>InitialDoubleCalibration on positions in the library's convention.</summary>
        public static bool InitialDoubleCalibration(TarnVector3 position1, TarnVector3 position2)
        {
            return InitialDoubleCalibration(position1.ToArray(), position2.ToArray());
        }

        /// <summary>GetDoubleHandCalibrationData on hand blocks (in place) and positions (by ref).</summary>
        public static void GetDoubleHandCalibrationData(TarnHandBlock hand1, TarnHandBlock hand2,
                                                        ref TarnVector3 position1, ref TarnVector3 position2)
        {
            double[] p1 = position1.ToArray(), p2 = position2.ToArray();
            GetDoubleHandCalibrationData(hand1.Values, hand2.Values, p1, p2);
            position1 = TarnVector3.FromArray(p1);
            position2 = TarnVector3.FromArray(p2);
        }

        // ---- All VR ------------------------------------------------------

        /// <summary>Calibrates the frame of the two wrist trackers and the
        /// headset (replacing the stored origin). Per tracker: position (3),
        /// second position (3, used when it calibrates alone), quaternion (4),
        /// optional second quaternion (4, may be null; when neither tracker
        /// supplies one and the headset is on, the headset decides the frame).
        /// Headset: position (3), quaternion (4). A device whose flag is false
        /// may pass null arrays. Always returns true.</summary>
        public static bool InitialAllVRCalibration(
            bool rTrackerOn, double[] rTrackerPos, double[] rTrackerPos2, double[] rTrackerQuat,
            double[] rTrackerQuat2, bool lTrackerOn, double[] lTrackerPos, double[] lTrackerPos2,
            double[] lTrackerQuat, double[] lTrackerQuat2, bool vrGlassesOn, double[] vrGlassesPos,
            double[] vrGlassesQuat)
        {
            CheckTracker(rTrackerOn, rTrackerPos, rTrackerPos2, rTrackerQuat, rTrackerQuat2, "rTracker");
            CheckTracker(lTrackerOn, lTrackerPos, lTrackerPos2, lTrackerQuat, lTrackerQuat2, "lTracker");
            CheckHeadset(vrGlassesOn, vrGlassesPos, vrGlassesQuat);
            return Native.InitialAllVRCalibration(rTrackerOn, rTrackerPos, rTrackerPos2, rTrackerQuat, rTrackerQuat2,
                                                  lTrackerOn, lTrackerPos, lTrackerPos2, lTrackerQuat, lTrackerQuat2,
                                                  vrGlassesOn, vrGlassesPos, vrGlassesQuat);
        }

        /// <summary>As InitialAllVRCalibration; with replaceOrigin false the new
        /// origin is added to the stored one instead of replacing it.</summary>
        public static bool InitialAllVRCalibrationV2(
            bool rTrackerOn, double[] rTrackerPos, double[] rTrackerPos2, double[] rTrackerQuat,
            double[] rTrackerQuat2, bool lTrackerOn, double[] lTrackerPos, double[] lTrackerPos2,
            double[] lTrackerQuat, double[] lTrackerQuat2, bool vrGlassesOn, double[] vrGlassesPos,
            double[] vrGlassesQuat, bool replaceOrigin)
        {
            CheckTracker(rTrackerOn, rTrackerPos, rTrackerPos2, rTrackerQuat, rTrackerQuat2, "rTracker");
            CheckTracker(lTrackerOn, lTrackerPos, lTrackerPos2, lTrackerQuat, lTrackerQuat2, "lTracker");
            CheckHeadset(vrGlassesOn, vrGlassesPos, vrGlassesQuat);
            return Native.InitialAllVRCalibrationV2(rTrackerOn, rTrackerPos, rTrackerPos2, rTrackerQuat,
                                                    rTrackerQuat2, lTrackerOn, lTrackerPos, lTrackerPos2,
                                                    lTrackerQuat, lTrackerQuat2, vrGlassesOn, vrGlassesPos,
                                                    vrGlassesQuat, replaceOrigin);
        }

        /// <summary>Right tracker pose, in/out: position (3) relative to the
        /// frame origin and turned into the frame, quaternion (4) without the
        /// tracker's heading at calibration. Unchanged when the last All-VR
        /// calibration did not cover the right tracker.</summary>
        public static void GetAllRTracker(double[] position, double[] quaternion)
        {
            CheckPose(position, quaternion, "position", "quaternion");
            Native.GetAllRTracker(position, quaternion);
        }

        /// <summary>As GetAllRTracker, for the left tracker.</summary>
        public static void GetAllLTracker(double[] position, double[] quaternion)
        {
            CheckPose(position, quaternion, "position", "quaternion");
            Native.GetAllLTracker(position, quaternion);
        }

        /// <summary>As GetAllRTracker, for the headset.</summary>
        public static void GetAllVRGlasses(double[] position, double[] quaternion)
        {
            CheckPose(position, quaternion, "position", "quaternion");
            Native.GetAllVRGlasses(position, quaternion);
        }

        /// <summary>The three pose conversions in one call (right tracker,
        /// left tracker, headset). The C function's two unused spare pointers
        /// are passed as null.</summary>
        public static void GetAllVRCalibrationData(double[] rTrackerPos, double[] rTrackerQuat, double[] lTrackerPos,
                                                   double[] lTrackerQuat, double[] vrGlassesPos,
                                                   double[] vrGlassesQuat)
        {
            CheckPose(rTrackerPos, rTrackerQuat, "rTrackerPos", "rTrackerQuat");
            CheckPose(lTrackerPos, lTrackerQuat, "lTrackerPos", "lTrackerQuat");
            CheckPose(vrGlassesPos, vrGlassesQuat, "vrGlassesPos", "vrGlassesQuat");
            Native.GetAllVRCalibrationData(rTrackerPos, rTrackerQuat, null, lTrackerPos, lTrackerQuat, null,
                                           vrGlassesPos, vrGlassesQuat);
        }

        /// <summary>GetAllRTracker on a pose in the library's convention, by ref.</summary>
        public static void GetAllRTracker(ref TarnPose pose)
        {
            ConvertPose(GetAllRTracker, ref pose);
        }

        /// <summary>GetAllLTracker on a pose in the library's convention, by ref.</summary>
        public static void GetAllLTracker(ref TarnPose pose)
        {
            ConvertPose(GetAllLTracker, ref pose);
        }

        /// <summary>GetAllVRGlasses on a pose in the library's convention, by ref.</summary>
        public static void GetAllVRGlasses(ref TarnPose pose)
        {
            ConvertPose(GetAllVRGlasses, ref pose);
        }

        /// <summary>GetAllVRCalibrationData on three poses in the library's convention, by ref.</summary>
        public static void GetAllVRCalibrationData(ref TarnPose rTracker, ref TarnPose lTracker,
                                                   ref TarnPose vrGlasses)
        {
            double[] rp = rTracker.Position.ToArray(), rq = rTracker.Rotation.ToArray();
            double[] lp = lTracker.Position.ToArray(), lq = lTracker.Rotation.ToArray();
            double[] gp = vrGlasses.Position.ToArray(), gq = vrGlasses.Rotation.ToArray();
            GetAllVRCalibrationData(rp, rq, lp, lq, gp, gq);
            rTracker = FromArrays(rp, rq);
            lTracker = FromArrays(lp, lq);
            vrGlasses = FromArrays(gp, gq);
        }

        // ---- Lifetime ----------------------------------------------------

        /// <summary>Does nothing; kept for hosts that call it.</summary>
        public static void GetAllmHand()
        {
            Native.GetAllmHand();
        }

        /// <summary>Does nothing: the All-VR calibration stays in force.</summary>
        public static void ResetAllVRCalibration()
        {
            Native.ResetAllVRCalibration();
        }

        /// <summary>Resets both single-hand calibrations to the identity; the
        /// library stays usable.</summary>
        public static void Close()
        {
            Native.Close();
        }

        // ---- Checks ------------------------------------------------------

        private static void CheckTracker(bool on, double[] position, double[] position2, double[] quaternion,
                                         double[] quaternion2, string side)
        {
            Lengths.Check(position, 3, !on, side + "Pos", Lengths.PositionLayout);
            Lengths.Check(position2, 3, !on, side + "Pos2", Lengths.PositionLayout);
            Lengths.Check(quaternion, 4, !on, side + "Quat", Lengths.QuaternionLayout);
            Lengths.Check(quaternion2, 4, true, side + "Quat2", Lengths.QuaternionLayout);
        }

        private static void CheckHeadset(bool on, double[] position, double[] quaternion)
        {
            Lengths.Check(position, 3, !on, "vrGlassesPos", Lengths.PositionLayout);
            Lengths.Check(quaternion, 4, !on, "vrGlassesQuat", Lengths.QuaternionLayout);
        }

        private static void CheckPose(double[] position, double[] quaternion, string positionName,
                                      string quaternionName)
        {
            Lengths.Require(position, 3, positionName, Lengths.PositionLayout);
            Lengths.Require(quaternion, 4, quaternionName, Lengths.QuaternionLayout);
        }

        private static void ConvertPose(Action<double[], double[]> export, ref TarnPose pose)
        {
            double[] p = pose.Position.ToArray(), q = pose.Rotation.ToArray();
            export(p, q);
            pose = FromArrays(p, q);
        }

        private static TarnPose FromArrays(double[] position, double[] quaternion)
        {
            return new TarnPose(TarnVector3.FromArray(position), TarnQuaternion.FromArray(quaternion));
        }

        // ---- Native entry points -----------------------------------------

        private static class Native
        {
            private const string Library = "TarnHandCalibrationSDK";

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void InitialRHand([In] double[] source, [In] double[] target);

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void InitialLHand([In] double[] source, [In] double[] target);

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void GetCalculationDataRHand([In, Out] double[] handData);

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void GetCalculationDataLHand([In, Out] double[] handData);

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            [return: MarshalAs(UnmanagedType.U1)]
            internal static extern bool InitialDoubleCalibration([In] double[] position1, [In] double[] position2);

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void GetDoubleHandCalibrationData([In, Out] double[] hand1,
                                                                     [In, Out] double[] hand2,
                                                                     [In, Out] double[] position1,
                                                                     [In, Out] double[] position2);

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void ResetDoubleHandCalibration();

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            [return: MarshalAs(UnmanagedType.U1)]
            internal static extern bool InitialAllVRCalibration(
                [MarshalAs(UnmanagedType.U1)] bool rTrackerOn, [In] double[] rTrackerPos, [In] double[] rTrackerPos2,
                [In] double[] rTrackerQuat, [In] double[] rTrackerQuat2, [MarshalAs(UnmanagedType.U1)] bool lTrackerOn,
                [In] double[] lTrackerPos, [In] double[] lTrackerPos2, [In] double[] lTrackerQuat,
                [In] double[] lTrackerQuat2, [MarshalAs(UnmanagedType.U1)] bool vrGlassesOn,
                [In] double[] vrGlassesPos, [In] double[] vrGlassesQuat);

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            [return: MarshalAs(UnmanagedType.U1)]
            internal static extern bool InitialAllVRCalibrationV2(
                [MarshalAs(UnmanagedType.U1)] bool rTrackerOn, [In] double[] rTrackerPos, [In] double[] rTrackerPos2,
                [In] double[] rTrackerQuat, [In] double[] rTrackerQuat2, [MarshalAs(UnmanagedType.U1)] bool lTrackerOn,
                [In] double[] lTrackerPos, [In] double[] lTrackerPos2, [In] double[] lTrackerQuat,
                [In] double[] lTrackerQuat2, [MarshalAs(UnmanagedType.U1)] bool vrGlassesOn,
                [In] double[] vrGlassesPos, [In] double[] vrGlassesQuat,
                [MarshalAs(UnmanagedType.U1)] bool replaceOrigin);

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void GetAllVRCalibrationData([In, Out] double[] rTrackerPos,
                                                                [In, Out] double[] rTrackerQuat, double[] rSpare,
                                                                [In, Out] double[] lTrackerPos,
                                                                [In, Out] double[] lTrackerQuat, double[] lSpare,
                                                                [In, Out] double[] vrGlassesPos,
                                                                [In, Out] double[] vrGlassesQuat);

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void GetAllRTracker([In, Out] double[] position, [In, Out] double[] quaternion);

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void GetAllLTracker([In, Out] double[] position, [In, Out] double[] quaternion);

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void GetAllVRGlasses([In, Out] double[] position, [In, Out] double[] quaternion);

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void GetAllmHand();

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void ResetAllVRCalibration();

            [DllImport(Library, CallingConvention = CallingConvention.Cdecl, ExactSpelling = true)]
            internal static extern void Close();
        }
    }

    /// <summary>Array length checks shared by the types above.</summary>
    internal static class Lengths
    {
        internal const string PositionLayout = "a position x, y, z";
        internal const string QuaternionLayout = "a quaternion w, x, y, z";
        internal const string HandLayout = "20 quaternions w, x, y, z";

        /// <summary>Throws unless the array is there and holds exactly
        /// `length` doubles.</summary>
        internal static void Require(double[] array, int length, string name, string what)
        {
            Check(array, length, false, name, what);
        }

        /// <summary>As Require; a null array passes when mayBeNull.</summary>
        internal static void Check(double[] array, int length, bool mayBeNull, string name, string what)
        {
            if (array == null && mayBeNull) return;
            string expected = name + " must be " + length + " doubles (" + what + "), got ";
            if (array == null) throw new ArgumentNullException(name, expected + "null");
            if (array.Length != length) throw new ArgumentException(expected + array.Length, name);
        }
    }
}
