#include "tools/marlet-host/NoteList.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "tools/marlet-host/TextNumbers.h"

namespace {

// Ten hours: far beyond any render, small enough that frame counts stay exact.
constexpr double kMaxSeconds = 36000.0;

struct Field {
    const char* name;
    double min, max;
    const char* range;
    bool integer;
};

constexpr std::array<Field, 5> kFields {{
    {"start", 0, kMaxSeconds, "0..36000", false},
    {"channel", 0, 15, "0..15 (channels count from 0)", true},
    {"key", 0, 127, "0..127", true},
    {"velocity", 1, 127, "1..127", true},
    {"length", 0, kMaxSeconds, "0..36000", false},
}};

std::vector<std::string_view> Split(std::string_view text, char separator)
{
    std::vector<std::string_view> pieces;
    for (std::size_t pos = 0;;) {
        const std::size_t next = text.find(separator, pos);
        pieces.push_back(textnumbers::Trim(text.substr(pos, next - pos)));
        if (next == std::string_view::npos) return pieces;
        pos = next + 1;
    }
}

double ParseField(const Field& field, std::string_view text, const std::string& where)
{
    std::optional<double> value;
    if (!field.integer)
        value = textnumbers::ParseReal(text);
    else if (const auto n = textnumbers::ParseInteger(text))
        value = static_cast<double>(*n);
    if (!value)
        throw std::invalid_argument(where + field.name + " \"" + std::string(text) + "\" is not " +
                                    (field.integer ? "a whole number" : "a number"));
    if (*value < field.min || *value > field.max)
        throw std::invalid_argument(where + field.name + " " + std::string(text) + " is outside " +
                                    field.range);
    return *value;
}

}  // namespace

NoteList NoteList::Parse(std::string_view text)
{
    if (textnumbers::Trim(text).empty()) throw std::invalid_argument("the note list is empty");
    NoteList list;
    const auto entries = Split(text, ',');
    for (std::size_t n = 0; n < entries.size(); ++n) {
        const std::string where =
            "note " + std::to_string(n + 1) + " \"" + std::string(entries[n]) + "\": ";
        const auto pieces = Split(entries[n], ':');
        if (pieces.size() != kFields.size())
            throw std::invalid_argument(where + "expected start:channel:key:velocity:length");
        std::array<double, kFields.size()> v {};
        for (std::size_t i = 0; i < kFields.size(); ++i)
            v[i] = ParseField(kFields[i], pieces[i], where);
        if (v[4] <= 0.0) throw std::invalid_argument(where + "length must be above 0");

        const auto channel = static_cast<std::uint8_t>(v[1]);
        const auto key = static_cast<std::uint8_t>(v[2]);
        const double end = v[0] + v[4];
        list.events_.push_back({v[0], static_cast<std::uint8_t>(0x90 | channel), key,
                                static_cast<std::uint8_t>(v[3])});
        list.events_.push_back({end, static_cast<std::uint8_t>(0x80 | channel), key, 0});
        list.endSeconds_ = std::max(list.endSeconds_, end);
    }

    std::stable_sort(list.events_.begin(), list.events_.end(), [](const auto& a, const auto& b) {
        if (a.seconds != b.seconds) return a.seconds < b.seconds;
        return (a.status & 0xF0) == 0x80 && (b.status & 0xF0) != 0x80;
    });
    return list;
}
