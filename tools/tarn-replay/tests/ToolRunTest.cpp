// tarn-replay and the generator as a user runs them: the runs listed in
// tool-runs.txt (bad inputs, each calibration path, the sample's report), and
// the bundled sample session, whose output must be its ground truth.
#include <algorithm>
#include <iterator>
#include <nlohmann/json.hpp>
#include <map>
#include <regex>

#include "ReplayTestSupport.h"
#include "Rotations.h"

using namespace replay;

namespace {

// examples/sample-truth.txt: the values the sample session was made from.
std::map<std::string, double> truthValues(const std::string& file = kExamples + "/sample-truth.txt")
{
    std::map<std::string, double> values;
    std::ifstream in(file);
    for (std::string key; in >> key;) {
        if (key[0] == '#') {
            in.ignore(1 << 10, '\n');  // a comment
        } else {
            in >> values[key];
        }
    }
    return values;
}

// Each run of tool-runs.txt: its "run:" line and the lines after it.
TEST(ReplayRuns, EachGivesItsExitCodeReportAndOutput)
{
    const auto truth = truthValues();
    const std::regex placeholder(R"(\{(\w+)\|([^}]+)\})");
    std::vector<std::vector<std::pair<std::string, std::string>>> runs;  // key, value
    std::istringstream lines(readFile(TARN_REPLAY_TEST_DIR "/tool-runs.txt"));
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(':');
        if (line.rfind("run:", 0) == 0) {
            runs.emplace_back();
        }
        if (colon != std::string::npos && line[0] != '#') {
            runs.back().emplace_back(line.substr(0, colon), line.substr(std::min(colon + 2, line.size())));
        }
    }
    for (const auto& run : runs) {
        TempDir dir;
        std::string session;
        int expectedExit = 0;
        for (const auto& [key, value] : run) {
            session += key == "in" ? value + "\n" : "";
            expectedExit = key == "exit" ? std::stoi(value) : expectedExit;
        }
        std::ofstream(dir.file("in.csv"), std::ios::binary) << session;
        const std::string command = std::regex_replace(run[0].second, std::regex("\\bDIR"), dir.path);
        std::istringstream words(std::regex_replace(command, std::regex("\\bEXAMPLES"), kExamples));
        SCOPED_TRACE("run: " + run[0].second);
        std::vector<std::string> args{std::istream_iterator<std::string>(words), {}};
        if (!args.empty() && args[0] != "--help") args.insert(args.end(), {"--report-json", dir.file("report.json")});
        const auto [exitCode, err] = runProgram(TARN_REPLAY_EXE, args, dir);
        EXPECT_EQ(exitCode, expectedExit) << err;
        EXPECT_TRUE(expectedExit == 0 || err.find("Calibrations") == std::string::npos) << "a report after an error";
        const std::string outFile = dir.file("out.csv");
        const std::string out = std::filesystem::exists(outFile) ? readFile(outFile) : std::string();
        const std::string jsonText = readFile(dir.file("report.json"));
        const nlohmann::json report = nlohmann::json::parse(jsonText.empty() ? "null" : jsonText);
        for (auto [key, value] : run) {
            for (std::smatch m; std::regex_search(value, m, placeholder);) {
                char text[32];
                std::snprintf(text, sizeof text, m.str(2).c_str(), truth.at(m.str(1)));
                value = m.prefix().str() + text + m.suffix().str();
            }
            std::size_t line = 0;
            char column[32] = "";
            double expected = 0.0;
            if (key == "says" || key == "not") {
                EXPECT_EQ(err.find(value) != std::string::npos, key == "says") << '"' << value << "\" in:\n" << err;
            } else if (key == "out" && std::sscanf(value.c_str(), "%zu %31s %lf", &line, column, &expected) == 3) {
                const double actual = cell(out, line, column);
                const bool near = actual == expected || std::fabs(actual - expected) <= 1e-7;
                EXPECT_TRUE(std::isnan(expected) ? std::isnan(actual) : near) << value << ": " << actual;
            } else if (key == "json") {  // a JSON pointer into the report and its value
                // "POINTER VALUE", or "POINTER NUMBER +- TOLERANCE"
                const auto space = value.find(' '), plusMinus = value.find(" +- ");
                const nlohmann::json actual = report.value(nlohmann::json::json_pointer(value.substr(0, space)), nlohmann::json());
                const nlohmann::json wanted = nlohmann::json::parse(value.substr(space + 1, plusMinus - space - 1));
                const double tolerance = plusMinus == std::string::npos ? 5e-4 : std::stod(value.substr(plusMinus + 4));
                const bool near = wanted.is_number() && actual.is_number() && std::fabs(actual.get<double>() - wanted.get<double>()) <= tolerance;
                EXPECT_TRUE(actual == wanted || near) << value << ": " << actual;
            } else if (key == "files") {  // the files DIR holds after the run, sorted (not the run's own)
                std::vector<std::string> names;
                for (const auto& entry : std::filesystem::directory_iterator(dir.path))
                    if (entry.path().filename() != "stdout" && entry.path().filename() != "stderr")
                        names.push_back(entry.path().filename().string());
                std::sort(names.begin(), names.end());
                std::string listed;
                for (const std::string& name : names) listed += (listed.empty() ? "" : " ") + name;
                EXPECT_EQ(listed, value);
            } else {
                EXPECT_TRUE(key == "run" || key == "in" || key == "exit") << key;
            }
        }
    }
}

TEST(ReplaySample, IsExactlyWhatTheGeneratorWrites)
{
    TempDir dir;
    ASSERT_EQ(runProgram(TARN_GENERATOR_EXE, {"--dir", dir.path}, dir).first, 0);
    for (const char* name : {"sample-session.csv", "sample-truth.csv", "sample-truth.txt"}) {
        EXPECT_TRUE(readFile(dir.file(name)) == readFile(kExamples + "/" + name)) << name << ": regenerate examples/";
    }
}

TEST(ReplaySample, OutputIsTheGroundTruthWithSingleOrDoubleHandGloves)
{
    const std::string sample = kExamples + "/sample-session.csv";
    const std::vector<Frame> input = readFrames(sample);
    std::vector<Frame> expected = readFrames(kExamples + "/sample-truth.csv");
    const Quaternion unturn = conjugate(aboutZ(radians(truthValues().at("frame_heading_deg"))));
    for (const std::string hands : {"single", "double"}) {
        TempDir dir;
        const auto [exitCode, report] =
            runProgram(TARN_REPLAY_EXE, {sample, "-o", dir.file("out.csv"), "--hands", hands}, dir);
        ASSERT_EQ(exitCode, 0) << report;
        std::vector<Frame> actual = readFrames(dir.file("out.csv"));
        ASSERT_EQ(actual.size(), expected.size());
        for (std::size_t r = 0; r < actual.size() && !::testing::Test::HasFailure(); ++r) {
            const auto want = namedValues(expected[r]), got = namedValues(actual[r]);
            for (std::size_t k = 0; k < want.size(); ++k) {
                EXPECT_NEAR(*got[k].second, *want[k].second, 1e-7) << hands << " " << r + 2 << ": " << want[k].first;
            }
        }
        // With both hands, each glove row is turned by minus the hands' heading.
        for (std::size_t r = 0; r < expected.size(); ++r) {
            for (std::size_t i = 0; i < 2 * kGloveValues; i += 4) {
                const double* q = &input[r].glove[i / 80][i % 80];
                const Quaternion turned = product(unturn, {q[0], q[1], q[2], q[3]});
                std::copy(turned.begin(), turned.end(), &expected[r].glove[i / 80][i % 80]);
            }
        }
    }
}

}  // namespace

// Both gloves of a generated session of realistic wear (any strap),
// calibrated from their first ten seconds of motion: each heading within a
// degree of the truth, where one snapshot misses by tens of degrees.
TEST(ReplayMotion, CalibratesEachGloveFromItsMotion)
{
    TempDir dir;
    ASSERT_EQ(runProgram(TARN_GENERATOR_EXE, {"--motion", "--dir", dir.path}, dir).first, 0);
    const auto [exitCode, report] = runProgram(
        TARN_REPLAY_EXE, {dir.file("motion-session.csv"), "--calibrate-from-motion", "0:10", "-o", dir.file("out.csv"),
                          "--report-json", dir.file("report.json")}, dir);
    ASSERT_EQ(exitCode, 0) << report;
    const auto truth = truthValues(dir.file("motion-truth.txt"));
    const nlohmann::json json = nlohmann::json::parse(readFile(dir.file("report.json")));
    for (const std::string hand : {"right", "left"}) {
        const nlohmann::json& calibration = json["calibrations"][hand + "_hand"];
        const double offset = calibration["heading_offset_deg"].get<double>();
        EXPECT_NEAR(std::remainder(offset - truth.at(hand + "_heading_offset_deg"), 360.0), 0.0, 1.0) << hand;
        EXPECT_EQ(calibration["motion"]["verdict"], "TARN_MOTION_GOOD") << hand;
        EXPECT_EQ(calibration["motion"]["heading_offset_deg"].get<double>(), offset) << hand;
        EXPECT_TRUE(calibration["motion"]["snapshot_heading_offset_deg"].is_number()) << hand;
    }
}
