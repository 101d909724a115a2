// Strict number parsing for command-line values: the whole text must be the number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace textnumbers {

// Leading and trailing spaces and tabs removed.
std::string_view Trim(std::string_view text);
// A finite decimal number ("1", "0.25", "1e-3"); no inf or nan.
std::optional<double> ParseReal(std::string_view text);
// A decimal integer, optionally negative.
std::optional<std::int64_t> ParseInteger(std::string_view text);
// Hexadecimal digits alone, no sign or prefix ("ff8800").
std::optional<std::uint32_t> ParseHex(std::string_view text);

}  // namespace textnumbers
