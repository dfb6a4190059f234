#pragma once
// The reference vector files kept in tests/data: one JSON object a line,
// doubles as 16 hex digits of their bit pattern.
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

// All records of a JSON-lines file in tests/data.
std::vector<nlohmann::json> readVectorFile(const std::string& name);

// A list of hex bit patterns as doubles.
std::vector<double> doublesFromJson(const nlohmann::json& list);

// The bytes of a hex string, with each "\n" turned into this platform's end
// of line.
std::string stdoutFromHex(const std::string& hex);
