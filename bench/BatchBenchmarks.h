#pragma once
// A session of 100,000 frames at once: the integrator API's batch calls
// against the same frames pushed one at a time through the 16 exports.
void registerBatchBenchmarks();
