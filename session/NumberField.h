// Conversion of one CSV field to a double.
#pragma once

#include <optional>
#include <string_view>

namespace session {

// Parses a whole field as a decimal or scientific number ("1.5", "+2",
// "-3e-4"), or as nan / inf / infinity (any case, optional sign).
// Returns nothing for an empty field, trailing characters, hexadecimal
// input or a value outside the range of a double. Independent of the
// process locale.
std::optional<double> parseNumberField(std::string_view field);

}  // namespace session
