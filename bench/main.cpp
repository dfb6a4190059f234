// The benchmark program: Google Benchmark's usual command line, the console
// output followed by a summary table. Exits with 1 when an Eigen baseline
// disagrees with its export.
#include <benchmark/benchmark.h>

#include "BatchBenchmarks.h"
#include "MotionBenchmarks.h"
#include "NumberBenchmarks.h"
#include "CoreBenchmarks.h"
#include "ExportBenchmarks.h"
#include "SummaryReporter.h"

int main(int argc, char** argv)
{
    registerExportBenchmarks();
    registerCoreBenchmarks();
    registerBatchBenchmarks();
    registerMotionBenchmarks();
#ifdef TARN_BENCH_NUMBERS
    registerNumberBenchmarks();
#endif
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    SummaryReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return baselinesAgreed() ? 0 : 1;
}
