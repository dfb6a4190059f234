// Runs the README's Unity snippet (compiled into this program from the
// README itself): identity glove and tracker at calibration turn the right
// hand by +90 degrees about the library's Z, which is -90 degrees about
// Unity's up axis.
namespace Tarn.HandCalibration.Tests
{
    internal static class ReadmeSnippetTests
    {
        internal static void Run()
        {
            RightGloveCalibration.Calibrate(TarnQuaternion.Identity, TarnQuaternion.Identity);
            TarnHandBlock unityHand = RightGloveCalibration.Apply(Samples.HandOf(TarnQuaternion.Identity));
            double s = Samples.HalfRoot2;
            Samples.ExpectEveryRow("README snippet", unityHand, new TarnQuaternion(s, 0.0, -s, 0.0));
        }
    }
}
