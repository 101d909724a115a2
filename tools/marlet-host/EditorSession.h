// The `editor` command: opens a plug-in's editor in a top-level window of its own, the way hosts
// do (an X11 window on Linux, a Win32 one on Windows), drives it from a GUI thread (idle calls at
// 25 Hz), optionally with a live audio thread, scripted input and a picture of the window at the
// end.
#pragma once

#include <optional>
#include <ostream>
#include <string>

class EditorSession {
public:
    struct Settings {
        std::string plugin;
        std::optional<std::string> loadChunk;
        std::optional<std::string> saveChunk;
        std::optional<std::string> audio;    // WAV file recorded while the editor is open
        double seconds = 2.0;                // how long each open lasts
        std::optional<std::string> snap;     // PNG of the window before the last close
        std::optional<std::string> actions;  // script of input played at each open
        int cycles = 1;
        bool untilDone = false;  // each open lasts until the script is done, at least `seconds`
        std::string display;     // X11: empty for $DISPLAY
    };

    static constexpr int kSampleRate = 44100;
    static constexpr int kBlockSize = 512;
    static constexpr int kIdleMilliseconds = 40;  // 25 Hz
    // Larger editors are taken as a broken size answer.
    static constexpr int kMaxEditorSide = 16384;

    explicit EditorSession(Settings settings) : settings_(std::move(settings)) {}

    // Reports go to `out` ("editor: WxH" at the first open; at the end one line per host opcode
    // the plug-in called, "host call 42 audioMasterUpdateDisplay: 3"), notes to `log`. Throws
    // std::runtime_error with a readable message on failure.
    void Run(std::ostream& out, std::ostream& log) const;

private:
    Settings settings_;
};
