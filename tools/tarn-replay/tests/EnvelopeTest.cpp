// The HTML report's envelopes against brute force: whatever the session's
// length, each stretch holds the smallest and largest of the values whose
// times fall in it, and there are never more stretches than the bound.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "SessionTrace.h"

using namespace replay;

TEST(Envelope, EachStretchHoldsTheExtremesOfItsValuesWhateverTheLength)
{
    std::mt19937_64 random(11);
    for (const double seconds : {0.5, 20.0, 300.0, 3600.0}) {
        Envelope e;
        std::vector<std::pair<double, double>> added;
        std::uniform_real_distribution<double> value(-180, 180), step(0.0, 2.0 / 90);
        for (double t = 5.0; t < 5.0 + seconds; t += step(random)) {
            const double v = random() % 50 == 0 ? NAN : value(random);
            e.add(t, v);
            if (!std::isnan(v)) added.emplace_back(t, v);
        }
        ASSERT_LE(e.size(), Envelope::kBuckets) << seconds;
        std::vector<double> low(e.size(), INFINITY), high(e.size(), -INFINITY);
        for (const auto& [t, v] : added) {
            const auto k = static_cast<std::size_t>((t - e.start()) / e.width());
            ASSERT_LT(k, e.size());
            low[k] = std::fmin(low[k], v);
            high[k] = std::fmax(high[k], v);
        }
        for (std::size_t k = 0; k < e.size(); ++k) {
            EXPECT_EQ(std::isnan(e.low(k)), std::isinf(low[k])) << seconds << " s, stretch " << k;
            if (!std::isnan(e.low(k))) {
                EXPECT_TRUE(e.low(k) == low[k] && e.high(k) == high[k]) << seconds << " s, stretch " << k;
            }
        }
        // A long session uses at least half the stretches (each doubling
        // halves them).
        if (seconds > 60) {
            EXPECT_GE(e.size(), Envelope::kBuckets / 2) << seconds << " s";
        }
    }
}
