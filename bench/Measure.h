#pragma once
// The timed loop shared by every benchmark of the program.
#include <benchmark/benchmark.h>

#include "AllocationCounter.h"

// Calls `body` once untimed (so the loop measures the steady state), then
// once per benchmark iteration; reports the heap allocations per call as the
// "allocs" counter.
template <class Body>
void measurePerCall(benchmark::State& state, Body body)
{
    body();
    const std::size_t before = allocationCount();
    for (auto _ : state) {
        body();
        benchmark::ClobberMemory();
    }
    state.counters["allocs"] = benchmark::Counter(static_cast<double>(allocationCount() - before),
                                                  benchmark::Counter::kAvgIterations);
}
