#include "golden/VectorFile.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/Bits.h"
#include "support/StdoutCapture.h"

std::vector<nlohmann::json> readVectorFile(const std::string& name)
{
    std::ifstream in(std::string(TARN_TEST_DATA_DIR) + "/" + name);
    if (!in) throw std::runtime_error("cannot open " + name);
    std::vector<nlohmann::json> records;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) records.push_back(nlohmann::json::parse(line));
    return records;
}

std::vector<double> doublesFromJson(const nlohmann::json& list)
{
    std::vector<double> values;
    for (const auto& hex : list) values.push_back(fromHex(hex.get<std::string>()));
    return values;
}

MatFunc matrixFromJson(const nlohmann::json& m)
{
    MatFunc result;
    result.row = m.at("row").get<int>();
    result.col = m.at("col").get<int>();
    result.size = m.at("size").get<int>();
    result.empty = m.at("empty").get<bool>();
    result.data = doublesFromJson(m.at("data"));
    return result;
}

std::string stdoutFromHex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t k = 0; k + 1 < hex.size(); k += 2) {
        const char c = static_cast<char>(std::stoi(hex.substr(k, 2), nullptr, 16));
        if (c == '\n')
            bytes += kEndOfLine;
        else
            bytes += c;
    }
    return bytes;
}

std::string compareMatrix(const MatFunc& actual, const nlohmann::json& expected, Precision precision)
{
    std::ostringstream why;
    if (actual.row != expected.at("row").get<int>() || actual.col != expected.at("col").get<int>() ||
        actual.size != expected.at("size").get<int>() || actual.empty != expected.at("empty").get<bool>()) {
        why << "shape " << actual.row << "x" << actual.col << " size " << actual.size << " empty " << actual.empty
            << ", expected " << expected.dump();
        return why.str();
    }
    const std::vector<double> data = doublesFromJson(expected.at("data"));
    if (data.size() != actual.data.size()) {
        why << actual.data.size() << " elements, expected " << data.size();
        return why.str();
    }
    const std::size_t k = firstMismatch(actual.data.data(), data, precision);
    if (k < data.size()) {
        why << "element " << k << ": " << std::hexfloat << actual.data[k] << " expected " << data[k];
        return why.str();
    }
    return {};
}
