#pragma once
// Reading the reference vector files (JSON lines) kept in tests/data.
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "matrix/MatFunc.h"

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

// How recorded values are compared. Values that passed through sin, cos,
// asin, acos or atan2 carry the last bits of the platform's math library:
// where it is not the one the vectors were computed with (built with
// TARN_PLATFORM_MATH_EXACT=0), they match within a relative 1e-12 of the
// largest magnitude among the recorded values. Everything else, and
// everything on the reference platform, matches bit for bit (NaNs alike).
enum class Precision { BitExact, PlatformMath };

// The index of the first of `expected.size()` values of `actual` that does
// not match, or expected.size() when all do.
std::size_t firstMismatch(const double* actual, const std::vector<double>& expected, Precision precision);

// Empty when `actual` matches the recorded matrix field by field; otherwise a
// description of the first difference.
std::string compareMatrix(const MatFunc& actual, const nlohmann::json& expected,
                          Precision precision = Precision::BitExact);
