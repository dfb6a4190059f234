#pragma once
// Reading the reference vector files (JSON lines) kept in tests/data.
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "matrix/MatFunc.h"
#include "support/ValueMatch.h"

// All records of a JSON-lines file in tests/data.
std::vector<nlohmann::json> readVectorFile(const std::string& name);

// {"row", "col", "size", "empty", "data": [hex...]} with the fields set
// directly, so failed matrices come out exactly as recorded.
MatFunc matrixFromJson(const nlohmann::json& m);

// A list of hex bit patterns as doubles.
std::vector<double> doublesFromJson(const nlohmann::json& list);

// The bytes of a hex string, with each "\n" turned into this platform's end
// of line.
std::string stdoutFromHex(const std::string& hex);

// Empty when `actual` matches the recorded matrix field by field; otherwise a
// description of the first difference.
std::string compareMatrix(const MatFunc& actual, const nlohmann::json& expected,
                          Precision precision = Precision::BitExact);
