#include "tools/marlet-host/TextNumbers.h"

#include <charconv>
#include <cmath>

namespace textnumbers {

std::string_view Trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    const auto last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

std::optional<double> ParseReal(std::string_view text)
{
    double value = 0.0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || stop != end || !std::isfinite(value)) return {};
    return value;
}

std::optional<std::int64_t> ParseInteger(std::string_view text)
{
    std::int64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || stop != end) return {};
    return value;
}

std::optional<std::uint32_t> ParseHex(std::string_view text)
{
    std::uint32_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, ec] = std::from_chars(text.data(), end, value, 16);
    if (text.empty() || text.front() == '-' || ec != std::errc() || stop != end) return {};
    return value;
}

}  // namespace textnumbers
