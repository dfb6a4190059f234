#pragma once
// Benchmarks of the exported functions and of their Eigen baselines.

void registerExportBenchmarks();

// False when some baseline was found to compute something else than its
// export (that benchmark was then skipped with an error).
bool baselinesAgreed();
