#pragma once
// Benchmarks of the core matrix and attitude operations behind the exports.

void registerCoreBenchmarks();
