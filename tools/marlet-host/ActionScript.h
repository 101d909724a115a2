// The script of user input that `marlet-host editor --actions` plays into an editor: one action a
// line (see ACTIONS.md), compiled to primitive steps (pointer moves, button and key presses and
// releases, waits, and waits for a pixel of the window to take or leave a colour). Coordinates
// are in the editor window's own pixels.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

class ActionScript {
public:
    struct Step {
        enum class Kind { Wait, Move, Button, Key, Until, UntilFile };
        Kind kind = Kind::Wait;
        int x = 0;               // Move
        int y = 0;               // Move
        std::uint32_t code = 0;  // Button: X button number 1-5; Key: an X keysym; Until: 0xRRGGBB
        bool press = false;      // Button, Key; Until: true to wait for the colour to go
        int milliseconds = 0;    // Wait; Until, UntilFile: how long at most
        std::string path = {};   // UntilFile: the file that must come to exist

        bool operator==(const Step&) const = default;
    };

    class Error : public std::runtime_error {
    public:
        using std::runtime_error::runtime_error;
    };

    // Throws Error naming the line and what is wrong with it.
    static ActionScript Parse(std::string_view text);
    static ActionScript Read(const std::string& path);

    const std::vector<Step>& Steps() const { return steps_; }
    // The time the script's waits and drags take (the longest a pixel wait may take not counted).
    int TotalMilliseconds() const;

private:
    void ParseLine(std::string_view line);
    void Move(int x, int y) { steps_.push_back({Step::Kind::Move, x, y}); }
    void Button(std::uint32_t button, bool press)
    {
        steps_.push_back({Step::Kind::Button, 0, 0, button, press});
    }
    void Key(std::uint32_t keysym, bool press)
    {
        steps_.push_back({Step::Kind::Key, 0, 0, keysym, press});
    }
    void Wait(int ms) { steps_.push_back({Step::Kind::Wait, 0, 0, 0, false, ms}); }
    void Until(int x, int y, std::uint32_t rgb, bool leaves, int ms)
    {
        steps_.push_back({Step::Kind::Until, x, y, rgb, leaves, ms});
    }
    void UntilFile(std::string path, int ms)
    {
        steps_.push_back({Step::Kind::UntilFile, 0, 0, 0, false, ms, std::move(path)});
    }
    void Chord(std::string_view chord);

    std::vector<Step> steps_;
};
