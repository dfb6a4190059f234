// Running tarn-replay and the generator as a user does, and reading what
// they wrote.
#pragma once

#include <string>
#include <vector>

#include "TempDir.h"

struct ToolResult {
    int exitCode = -1;
    std::string out;  // standard output
    std::string err;  // standard error
};

// Runs `program` with `args`; its outputs are caught in files of `dir`.
ToolResult runProgram(const std::string& program, const std::vector<std::string>& args, const TempDir& dir);

// Runs tarn-replay.
ToolResult runReplay(const std::vector<std::string>& args, const TempDir& dir);

std::string readFile(const std::string& path);

// A CSV file of numbers: its header and its rows (values parsed as doubles).
struct NumericCsv {
    std::vector<std::string> header;
    std::vector<std::vector<double>> rows;
    std::size_t column(const std::string& name) const;
};
NumericCsv readNumericCsv(const std::string& path);

// The first `count` numbers after `label` in `text`, skipping any other
// characters between them; fails the test if the label is absent.
std::vector<double> numbersAfter(const std::string& text, const std::string& label, std::size_t count);
double numberAfter(const std::string& text, const std::string& label);
