// The motion calibration's accuracy table: sessions of realistic wear
// (WearModel.h) for each setting, the heading error of the motion
// calibration and of one snapshot at the window's start, the share of
// sessions whose true error lies within three reported standard errors,
// and the refusals; and the mount's error with the wrist held rigid.
// docs/motion-calibration.md gives the figures of 200 sessions a setting.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "MotionTrial.h"

using namespace replay;

namespace {

double percentile(std::vector<double> values, double p)
{
    if (values.empty()) return std::nan("");
    std::sort(values.begin(), values.end());
    return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1) + 0.5)];
}

struct Setting {
    const char* name;
    double strapTurnRange;  // degrees
    bool rigid;             // no sway, no slip
};

}  // namespace

int main(int argc, char** argv)
{
    int sessions = 200;
    double seconds = 10.0;
    CLI::App app{"Prints the motion calibration's accuracy against the generator's truth."};
    app.add_option("--sessions", sessions, "Sessions a setting (default 200)");
    app.add_option("--seconds", seconds, "Seconds of motion a session (default 10)");
    CLI11_PARSE(app, argc, argv);
    const Setting settings[] = {{"typical strap (+-20 deg)", 20.0, false},
                                {"any strap (+-180 deg)", 180.0, false},
                                {"any strap, wrist rigid", 180.0, true}};
    std::printf("| setting | motion median | p95 | max | snapshot median | p95 | max | within 3 SE | refused | mount p95 |\n"
                "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
    for (const Setting& s : settings) {
        std::vector<double> motion, snapshot, mount;
        int covered = 0, refused = 0;
        for (int seed = 1; seed <= sessions; ++seed) {
            WearTruth truth;
            truth.seed = static_cast<std::uint64_t>(seed);
            truth.hand = seed % 2 ? Side::Right : Side::Left;
            truth.strapTurnRange = radians(s.strapTurnRange);
            if (s.rigid) truth.swayUpDown = truth.swaySideways = truth.strapSlip = 0.0;
            const MotionTrial trial = runMotionTrial(truth, seconds);
            if (!std::isnan(trial.snapshotError)) snapshot.push_back(std::fabs(degrees(trial.snapshotError)));
            if (trial.status != TARN_OK) {
                ++refused;
                continue;
            }
            motion.push_back(std::fabs(degrees(trial.headingError)));
            mount.push_back(degrees(trial.mountError));
            covered += std::fabs(trial.headingError) <= 3 * trial.result.heading_uncertainty;
        }
        std::printf("| %s | %.2f | %.2f | %.2f | %.1f | %.1f | %.1f | %.1f%% | %d of %d | %.2f |\n", s.name,
                    percentile(motion, 0.5), percentile(motion, 0.95), percentile(motion, 1.0), percentile(snapshot, 0.5),
                    percentile(snapshot, 0.95), percentile(snapshot, 1.0),
                    100.0 * covered / static_cast<double>(std::max<std::size_t>(motion.size(), 1)), refused, sessions,
                    percentile(mount, 0.95));
    }
    return 0;
}
