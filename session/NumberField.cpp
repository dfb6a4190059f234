#include "NumberField.h"

#include <charconv>
#include <system_error>

namespace session {

std::optional<double> parseNumberField(std::string_view field)
{
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
        if (!field.empty() && (field.front() == '+' || field.front() == '-')) {
            return std::nullopt;
        }
    }
    if (field.empty()) {
        return std::nullopt;
    }
    double value = 0.0;
    const char* end = field.data() + field.size();
    const auto result = std::from_chars(field.data(), end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end) {
        return std::nullopt;
    }
    return value;
}

}  // namespace session
