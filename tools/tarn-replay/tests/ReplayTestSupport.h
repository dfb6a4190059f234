// Running tarn-replay and the generator in a scratch directory, and reading
// what they wrote.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

#include "SessionTypes.h"

using namespace replay;

inline const std::string kExamples = TARN_EXAMPLES_DIR;

inline std::string readFile(const std::string& path)
{
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

// A fresh directory, removed with everything in it.
struct TempDir {
    std::string path = (std::filesystem::temp_directory_path() / "tarn-replay-XXXXXX").string();
    TempDir() { ::mkdtemp(path.data()); }
    ~TempDir() { std::filesystem::remove_all(path); }
    std::string file(const std::string& name) const { return path + "/" + name; }
};

// Runs `program`; returns its exit code and what it wrote on standard error.
inline std::pair<int, std::string> runProgram(const std::string& program, const std::vector<std::string>& args,
                                              const TempDir& dir)
{
    std::string command = "'" + program + "'";
    for (const auto& arg : args) {
        command += " '" + arg + "'";
    }
    const int status = std::system((command + " >'" + dir.file("stdout") + "' 2>'" + dir.file("stderr") + "'").c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(dir.file("stderr"))};
}

// Every value of `frame` under its column name: time, right and left glove,
// right and left tracker, headset.
using NamedValues = std::vector<std::pair<std::string, double*>>;

inline NamedValues namedValues(Frame& frame)
{
    NamedValues values{{"time", &frame.time}};
    for (std::size_t i = 0; i < 2 * kGloveValues; ++i) {
        values.push_back({gloveColumnName(Side(i / 80), i % 80 / 4, i % 4), &frame.glove[i / 80][i % 80]});
    }
    for (std::size_t i = 0; i < 21; ++i) {
        Pose& pose = frame.device[i / 7];
        values.push_back({deviceColumnName(Device(i / 7), i % 7),
                          i % 7 < 3 ? &pose.position[i % 7] : &pose.orientation[i % 7 - 3]});
    }
    return values;
}

// The number in `column` of data row `row` (0: the first frame) of a CSV
// file's text; NaN when there is no such cell.
inline double cell(const std::string& csv, std::size_t row, const std::string& column)
{
    const auto fields = [](const std::string& line) {
        std::vector<std::string> out(1);
        for (char c : line) {
            if (c == ',') out.emplace_back();
            else out.back().push_back(c);
        }
        return out;
    };
    std::istringstream lines(csv);
    std::string header, line;
    std::getline(lines, header);
    for (std::size_t r = 0; r <= row; ++r)
        if (!std::getline(lines, line)) return NAN;
    const auto names = fields(header), values = fields(line);
    for (std::size_t c = 0; c < names.size() && c < values.size(); ++c)
        if (names[c] == column) return std::strtod(values[c].c_str(), nullptr);
    return NAN;
}

inline std::vector<Frame> readFrames(const std::string& path)
{
    SessionReader reader(path);
    std::vector<Frame> frames;
    for (Frame frame; reader.next(frame);) {
        frames.push_back(frame);
    }
    return frames;
}
