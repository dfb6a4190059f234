#include "support/ReferenceVectors.h"

#include <fstream>
#include <stdexcept>

#include "support/Matchers.h"
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

std::string stdoutFromHex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t k = 0; k + 1 < hex.size(); k += 2) {
        const char c = static_cast<char>(std::stoi(hex.substr(k, 2), nullptr, 16));
        bytes += c == '\n' ? kEndOfLine : std::string(1, c);
    }
    return bytes;
}
