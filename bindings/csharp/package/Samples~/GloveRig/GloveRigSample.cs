// Wires a HandCalibrationRig to a rig whose glove bones are named as
// below, asks for a calibration at start unless one was restored, and
// logs the countdown and the result. Call Calibrate() from a UI button to
// calibrate again.
//
// The mapping of the 20 hand-block rows to bones is this sample's choice
// (the library treats the rows alike):
//   row 0        Wrist
//   rows 1-3     ThumbMetacarpal, ThumbProximal, ThumbDistal
//   rows 4-7     IndexMetacarpal, IndexProximal, IndexIntermediate, IndexDistal
//   rows 8-11    Middle... (same four)
//   rows 12-15   Ring...
//   rows 16-19   Little...
// Each finger's bones are nested under the previous one, the first under
// Wrist: Wrist/IndexMetacarpal/IndexProximal/...

using Tarn.HandCalibration;
using UnityEngine;

[RequireComponent(typeof(HandCalibrationRig))]
public sealed class GloveRigSample : MonoBehaviour
{
    [Tooltip("Parent of the right glove's Wrist bone, as the glove driver poses it")]
    public Transform rightGlove;
    public Transform leftGlove;
    [Tooltip("Parent of the Wrist bone of the hand model that shows the calibrated right hand")]
    public Transform rightHandModel;
    public Transform leftHandModel;

    private static readonly string[] Fingers = { "Thumb", "Index", "Middle", "Ring", "Little" };
    private static readonly string[] Bones = { "Metacarpal", "Proximal", "Intermediate", "Distal" };

    private HandCalibrationRig rig;
    private int lastWholeSecond = -1;

    /// <summary>The path of each hand-block row below a glove's root.</summary>
    public static string[] RowPaths()
    {
        var paths = new string[Calibrator.HandRows];
        int row = 0;
        paths[row++] = "Wrist";
        foreach (string finger in Fingers) {
            string path = "Wrist";
            foreach (string bone in Bones) {
                if (finger == "Thumb" && bone == "Intermediate") continue;
                path += "/" + finger + bone;
                paths[row++] = path;
            }
        }
        return paths;
    }

    public void Calibrate()
    {
        lastWholeSecond = -1;
        rig.RequestCalibration();
    }

    private void Awake()
    {
        rig = GetComponent<HandCalibrationRig>();
        rig.rightGloveRows = Map(rightGlove);
        rig.leftGloveRows = Map(leftGlove);
        rig.rightCalibratedRows = Map(rightHandModel);
        rig.leftCalibratedRows = Map(leftHandModel);
        rig.sourceRow = 0;
        rig.CountdownChanged += OnCountdown;
        rig.CalibrationFinished += OnFinished;
    }

    private void Start()
    {
        // The rig restores a saved calibration in its own Start; calibrate
        // only when there was none.
        if (rig.Calibration != null && rig.Calibration.Calibrated == CalibrationKinds.None) Calibrate();
    }

    private static Transform[] Map(Transform root)
    {
        var rows = new Transform[Calibrator.HandRows];
        if (root == null) return rows;
        string[] paths = RowPaths();
        for (int i = 0; i < rows.Length; ++i) {
            rows[i] = root.Find(paths[i]);
            if (rows[i] == null) Debug.LogWarning("Glove rig sample: no " + paths[i] + " under " + root.name);
        }
        return rows;
    }

    private void OnCountdown(float secondsLeft)
    {
        int whole = Mathf.CeilToInt(secondsLeft);
        if (whole == lastWholeSecond) return;
        lastWholeSecond = whole;
        Debug.Log("Hold still: " + whole);
    }

    private void OnFinished(CalibrationOutcome outcome)
    {
        Debug.Log("Hand calibration " + outcome.Message);
        if (outcome.Attempted == CalibrationKinds.None) return;
        if ((outcome.Attempted & CalibrationKinds.AllVr) != 0) {
            CalibrationQuality q = outcome.Result(CalibrationKinds.AllVr).Quality;
            Debug.Log("All-VR frame decided by " + q.FrameDecidedBy + ", largest disagreement " +
                      (q.LargestDisagreement * 180.0 / System.Math.PI).ToString("F1") + " degrees");
        }
    }
}
