#pragma once
// The motion calibration: adding frames to a window one at a time, and
// solving a window of 10 seconds at 90 frames a second.
void registerMotionBenchmarks();
