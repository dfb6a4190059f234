#include "NumberBenchmarks.h"

#include <benchmark/benchmark.h>

#include <charconv>
#include <random>
#include <string>
#include <vector>

#include "Measure.h"
#include "NumberField.h"
#include "ShortestText.h"

namespace {

constexpr std::size_t kNumbers = 1000;

// What a converted session holds: components of unit quaternions and
// positions of a few metres, every bit significant.
const std::vector<double>& values()
{
    static const std::vector<double> v = [] {
        std::mt19937_64 random(7);
        std::uniform_real_distribution<double> unit(-1.0, 1.0), metres(-3.0, 3.0);
        std::vector<double> out(kNumbers);
        for (std::size_t k = 0; k < kNumbers; ++k) out[k] = k % 7 < 4 ? unit(random) : metres(random);
        return out;
    }();
    return v;
}

// A recorded session's fields: the same values to 10 significant digits.
const std::vector<std::string>& fields()
{
    static const std::vector<std::string> f = [] {
        std::vector<std::string> out;
        char text[32];
        for (double v : values())
            out.emplace_back(text, std::to_chars(text, text + sizeof text, v, std::chars_format::general, 10).ptr);
        return out;
    }();
    return f;
}

void readFields(benchmark::State& state)
{
    measurePerCall(state, [] {
        double sum = 0.0;
        for (const std::string& f : fields()) sum += *session::parseNumberField(f);
        benchmark::DoNotOptimize(sum);
    });
}

template <class Write>
void writeValues(benchmark::State& state, Write write)
{
    char text[kNumbers * session::kLongestShortestText];
    measurePerCall(state, [&] {
        char* at = text;
        for (double v : values()) at = write(at, v);
        benchmark::DoNotOptimize(at);
    });
}

}  // namespace

void registerNumberBenchmarks()
{
    benchmark::RegisterBenchmark("read/1000 session fields", readFields)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("write/1000 session values", [](benchmark::State& s) {
        writeValues(s, [](char* at, double v) { return session::writeShortest(at, v); });
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("to_chars/1000 session values", [](benchmark::State& s) {
        writeValues(s, [](char* at, double v) { return std::to_chars(at, at + 32, v).ptr; });
    })->Unit(benchmark::kMicrosecond);
}
