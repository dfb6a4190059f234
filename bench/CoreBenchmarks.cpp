#include "CoreBenchmarks.h"

#include <benchmark/benchmark.h>

#include "Measure.h"
#include "Samples.h"
#include "matrix/MatFunc.h"

using tarn::MatFunc;

namespace {

// n rows of `columns` sample values (hand quaternions, repeated as needed).
MatFunc sampleRows(int n, int columns)
{
    const samples::Frame f = samples::frame();
    MatFunc m(n, columns);
    for (int k = 0; k < m.size; ++k) m.data[k] = f.hand1[k % 80];
    return m;
}

void productOfHandAndTurn(benchmark::State& state)
{
    const MatFunc hand = sampleRows(20, 4);
    const MatFunc turn = MatFunc(samples::kHandSource, 4).w_matrix_function(2);
    measurePerCall(state, [&] { benchmark::DoNotOptimize(hand * turn); });
}

void eulerToQuaternions(benchmark::State& state)
{
    const MatFunc angles = sampleRows(static_cast<int>(state.range(0)), 3);
    measurePerCall(state, [&] { benchmark::DoNotOptimize(angles.SY("ZYX")); });
}

void quaternionsToEuler(benchmark::State& state)
{
    const MatFunc quaternions = sampleRows(static_cast<int>(state.range(0)), 4);
    measurePerCall(state, [&] { benchmark::DoNotOptimize(quaternions.AttitudeAngle("ZYX")); });
}

void directionCosines(benchmark::State& state)
{
    const MatFunc q(samples::kHandSource, 4);
    measurePerCall(state, [&] { benchmark::DoNotOptimize(q.Cbn()); });
}

}  // namespace

void registerCoreBenchmarks()
{
    benchmark::RegisterBenchmark("core/product_20x4_4x4", productOfHandAndTurn);
    benchmark::RegisterBenchmark("core/SY", eulerToQuaternions)->Arg(1)->Arg(1000);
    benchmark::RegisterBenchmark("core/AttitudeAngle", quaternionsToEuler)->Arg(1)->Arg(1000);
    benchmark::RegisterBenchmark("core/Cbn", directionCosines);
}
