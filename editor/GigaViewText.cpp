#include "editor/GigaViewText.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "editor/GigaViewLayout.h"
#include "engine/GigaToneEdit.h"

namespace viewtext {

namespace {

struct ModeNames {
    int mode;
    std::string_view name;
    std::string_view badge;
};

const ModeNames& NamesOf(int mode)
{
    static constexpr std::array<ModeNames, 6> kModes {{
        {GigaToneEdit::kSelectNone, "None (Play All)", "+"},
        {GigaToneEdit::kSelectProgramChange, "Program Change", "PC"},
        {GigaToneEdit::kSelectKeySwitch, "Key Switch", "KS"},
        {GigaToneEdit::kSelectRoundRobin, "Round Robin", ""},
        {GigaToneEdit::kSelectVelocity, "Velocity", "VL"},
        {GigaToneEdit::kSelectRandom, "Random", "RD"},
    }};
    static constexpr ModeNames kController {1, "Control Change", "CC"};
    static constexpr ModeNames kUnknown {-1, "", ""};
    if (mode >= 1 && mode <= 127) return kController;
    for (const ModeNames& names : kModes)
        if (names.mode == mode) return names;
    return kUnknown;
}

}  // namespace

std::string_view SelectModeName(int mode)
{
    return NamesOf(mode).name;
}

std::string_view SelectModeBadge(int mode)
{
    return NamesOf(mode).badge;
}

std::string BusText(int bus)
{
    return std::to_string(2 * bus + 1) + "|" + std::to_string(2 * bus + 2);
}

std::string PanText(int pan)
{
    if (pan == 64) return "<C>";
    return pan < 64 ? "L" + std::to_string(64 - pan) : "R" + std::to_string(pan - 64);
}

std::string NoteName(int key)
{
    static constexpr std::array<const char*, 12> kNames {"C",  "C#", "D",  "D#", "E",  "F",
                                                         "F#", "G",  "G#", "A",  "A#", "B"};
    const int octave = key >= 0 ? key / 12 : (key - 11) / 12;
    const int note = key - octave * 12;
    char text[16];
    std::snprintf(text, sizeof text, "%s%d", kNames[static_cast<std::size_t>(note)], octave - 2);
    return text;
}

std::string ValueText(double value, int decimals)
{
    char text[32];
    if (!std::isfinite(value)) value = 0;
    if (decimals <= 0)
        std::snprintf(text, sizeof text, "%d", static_cast<int>(std::lround(value)));
    else
        std::snprintf(text, sizeof text, "%.2f", value);
    return text;
}

XColor ValueColour(double value, double marker, int decimals)
{
    // Compared as printed, so a knob snapped to its step next to the program's value still
    // reads as unchanged.
    if (!std::isfinite(value) || !std::isfinite(marker) || std::abs(value) > 1e9 ||
        std::abs(marker) > 1e9)
        return viewlayout::kValueText;
    const double scale = decimals <= 0 ? 1.0 : 100.0;
    const long long shown = std::llround(value * scale);
    const long long program = std::llround(marker * scale);
    if (shown < program) return viewlayout::kBelow;
    if (shown > program) return viewlayout::kAbove;
    return viewlayout::kValueText;
}

}  // namespace viewtext
