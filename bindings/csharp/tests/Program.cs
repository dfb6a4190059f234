// Calls every export of the native library through the C# binding and
// checks the results; exits non-zero on any failure.
namespace Tarn.HandCalibration.Tests
{
    internal static class Program
    {
        private static int Main()
        {
            HandTests.Run();
            AllVRTests.Run();
            ConventionTests.Run();
            ReadmeSnippetTests.Run();
            Expect.Report();
            return Expect.Failed == 0 ? 0 : 1;
        }
    }
}
