#include "SessionText.h"

std::string gloveHeader(const std::string& prefix)
{
    std::string text;
    for (int row = 0; row < 20; ++row) {
        for (const char c : {'w', 'x', 'y', 'z'}) {
            text += (text.empty() ? "" : ",") + prefix + "_" + std::to_string(row) + "_" + c;
        }
    }
    return text;
}

std::string poseHeader(const std::string& prefix)
{
    std::string text;
    for (const char* suffix : {"px", "py", "pz", "qw", "qx", "qy", "qz"}) {
        text += (text.empty() ? "" : ",") + prefix + "_" + suffix;
    }
    return text;
}

std::string gloveValues(const std::string& row0, const std::string& row)
{
    std::string text = row0;
    for (int i = 1; i < 20; ++i) {
        text += "," + row;
    }
    return text;
}
