#include "tools/marlet-host/ActionScript.h"

#include <array>
#include <cctype>
#include <utility>

#include "tools/marlet-host/BinaryFile.h"
#include "tools/marlet-host/TextNumbers.h"

namespace {

constexpr std::size_t kMaxScriptBytes = 1 << 20;
constexpr int kMaxCoordinate = 32767;
constexpr int kMaxWait = 600000;
constexpr int kMaxWheelSteps = 100;
constexpr int kDragMoves = 10;
constexpr int kDefaultUntil = 30000;

constexpr std::uint32_t kShift = 0xffe1, kControl = 0xffe3, kAlt = 0xffe9;

constexpr std::array<std::pair<std::string_view, std::uint32_t>, 15> kNamedKeys {{
    {"Return", 0xff0d},
    {"Escape", 0xff1b},
    {"Tab", 0xff09},
    {"BackSpace", 0xff08},
    {"Delete", 0xffff},
    {"Left", 0xff51},
    {"Up", 0xff52},
    {"Right", 0xff53},
    {"Down", 0xff54},
    {"Home", 0xff50},
    {"End", 0xff57},
    {"PageUp", 0xff55},
    {"PageDown", 0xff56},
    {"space", 0x20},
    {"KP_Enter", 0xff8d},
}};

std::vector<std::string_view> Words(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        const std::size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i]))) ++i;
        if (i > start) words.push_back(line.substr(start, i - start));
    }
    return words;
}

int Number(std::string_view word, int min, int max, std::string_view what)
{
    const auto value = textnumbers::ParseInteger(word);
    if (!value || *value < min || *value > max)
        throw ActionScript::Error(std::string(what) + " must be a whole number from " +
                                  std::to_string(min) + " to " + std::to_string(max) + ", not \"" +
                                  std::string(word) + "\"");
    return static_cast<int>(*value);
}

int Coordinate(std::string_view word)
{
    return Number(word, -kMaxCoordinate, kMaxCoordinate, "a coordinate");
}

std::uint32_t ButtonNumber(std::string_view word)
{
    if (word == "left") return 1;
    if (word == "middle") return 2;
    if (word == "right") return 3;
    throw ActionScript::Error("a button is left, middle or right, not \"" + std::string(word) +
                              "\"");
}

std::uint32_t KeySym(std::string_view name)
{
    if (name.size() == 1 && name[0] > 0x20 && name[0] < 0x7f)
        return static_cast<unsigned char>(name[0]);
    for (const auto& [known, keysym] : kNamedKeys)
        if (name == known) return keysym;
    if (name.size() >= 2 && name[0] == 'F') {
        const auto n = textnumbers::ParseInteger(name.substr(1));
        if (n && *n >= 1 && *n <= 12) return 0xffbe + static_cast<std::uint32_t>(*n - 1);
    }
    throw ActionScript::Error("unknown key \"" + std::string(name) + "\"");
}

void Expect(const std::vector<std::string_view>& words, std::size_t min, std::size_t max)
{
    if (words.size() - 1 < min || words.size() - 1 > max)
        throw ActionScript::Error(std::string(words[0]) + " takes " +
                                  (min == max
                                       ? std::to_string(min)
                                       : std::to_string(min) + " to " + std::to_string(max)) +
                                  " arguments");
}

}  // namespace

ActionScript ActionScript::Parse(std::string_view text)
{
    ActionScript script;
    int number = 0;
    while (!text.empty()) {
        ++number;
        const auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view {} : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        try {
            script.ParseLine(line);
        } catch (const Error& e) {
            throw Error("line " + std::to_string(number) + ": " + e.what());
        }
    }
    return script;
}

ActionScript ActionScript::Read(const std::string& path)
{
    const auto bytes = binaryfile::Read(path, kMaxScriptBytes);
    try {
        return Parse(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    } catch (const Error& e) {
        throw Error(path + ", " + e.what());
    }
}

int ActionScript::TotalMilliseconds() const
{
    int total = 0;
    for (const Step& step : steps_)
        if (step.kind == Step::Kind::Wait) total += step.milliseconds;
    return total;
}

void ActionScript::ParseLine(std::string_view line)
{
    const auto words = Words(line);
    if (words.empty() || words[0].front() == '#') return;
    const std::string_view verb = words[0];
    if (verb == "wait") {
        Expect(words, 1, 1);
        Wait(Number(words[1], 0, kMaxWait, "a wait"));
    } else if (verb == "until") {
        Expect(words, 3, 4);
        std::string_view colour = words[3];
        const bool leaves = colour.front() == '!';
        if (leaves) colour.remove_prefix(1);
        const auto rgb = textnumbers::ParseHex(colour);
        if (colour.size() != 6 || !rgb)
            throw Error("a colour is six hex digits RRGGBB, or !RRGGBB, not \"" +
                        std::string(words[3]) + "\"");
        const int ms = words.size() > 4 ? Number(words[4], 1, kMaxWait, "a wait") : kDefaultUntil;
        Until(Coordinate(words[1]), Coordinate(words[2]), *rgb, leaves, ms);
    } else if (verb == "until-file") {
        Expect(words, 1, 2);
        const int ms = words.size() > 2 ? Number(words[2], 1, kMaxWait, "a wait") : kDefaultUntil;
        UntilFile(std::string(words[1]), ms);
    } else if (verb == "move") {
        Expect(words, 2, 2);
        Move(Coordinate(words[1]), Coordinate(words[2]));
    } else if (verb == "click" || verb == "press" || verb == "release") {
        Expect(words, 2, 3);
        Move(Coordinate(words[1]), Coordinate(words[2]));
        const std::uint32_t button = words.size() > 3 ? ButtonNumber(words[3]) : 1;
        if (verb != "release") Button(button, true);
        if (verb != "press") Button(button, false);
    } else if (verb == "double") {
        Expect(words, 2, 2);
        Move(Coordinate(words[1]), Coordinate(words[2]));
        for (int i = 0; i < 2; ++i) {
            Button(1, true);
            Button(1, false);
            if (i == 0) Wait(50);  // well inside any double-click time
        }
    } else if (verb == "drag") {
        Expect(words, 4, 5);
        const int x1 = Coordinate(words[1]), y1 = Coordinate(words[2]);
        const int x2 = Coordinate(words[3]), y2 = Coordinate(words[4]);
        const int ms = words.size() > 5 ? Number(words[5], 0, kMaxWait, "a drag time") : 200;
        Move(x1, y1);
        Button(1, true);
        // Several moves, so the editor sees a path rather than a jump.
        for (int i = 1; i <= kDragMoves; ++i) {
            Wait(ms / kDragMoves);
            Move(x1 + (x2 - x1) * i / kDragMoves, y1 + (y2 - y1) * i / kDragMoves);
        }
        Button(1, false);
    } else if (verb == "wheel") {
        Expect(words, 3, 3);
        Move(Coordinate(words[1]), Coordinate(words[2]));
        const int steps = Number(words[3], -kMaxWheelSteps, kMaxWheelSteps, "wheel steps");
        // X reports the wheel as buttons: 4 away from the user, 5 towards.
        for (int i = 0; i < (steps < 0 ? -steps : steps); ++i) {
            Button(steps > 0 ? 4 : 5, true);
            Button(steps > 0 ? 4 : 5, false);
        }
    } else if (verb == "key") {
        Expect(words, 1, 64);
        for (std::size_t i = 1; i < words.size(); ++i) Chord(words[i]);
    } else if (verb == "type") {
        const auto start = line.find(verb) + verb.size() + 1;
        const std::string_view text = start < line.size() ? line.substr(start) : "";
        if (text.empty()) throw Error("type needs the text to type");
        for (const char c : text) {
            if (c < 0x20 || c >= 0x7f) throw Error("type takes printable ASCII text only");
            Key(static_cast<unsigned char>(c), true);
            Key(static_cast<unsigned char>(c), false);
        }
    } else {
        throw Error("unknown action \"" + std::string(verb) + "\"");
    }
}

void ActionScript::Chord(std::string_view chord)
{
    std::vector<std::uint32_t> held;
    for (;;) {
        const auto plus = chord.find('+');
        // A lone "+" (or one at the end, "ctrl++") is the key itself.
        if (plus == std::string_view::npos || plus == 0 || plus + 1 == chord.size()) break;
        const std::string_view modifier = chord.substr(0, plus);
        if (modifier == "ctrl")
            held.push_back(kControl);
        else if (modifier == "shift")
            held.push_back(kShift);
        else if (modifier == "alt")
            held.push_back(kAlt);
        else
            throw Error("unknown modifier \"" + std::string(modifier) + "\"");
        chord = chord.substr(plus + 1);
    }
    const std::uint32_t keysym = KeySym(chord);
    for (const auto m : held) Key(m, true);
    Key(keysym, true);
    Key(keysym, false);
    for (auto it = held.rbegin(); it != held.rend(); ++it) Key(*it, false);
}
