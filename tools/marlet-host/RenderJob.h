// The `render` command: loads the plug-in, plays the MIDI file or note list through it offline
// and writes what it produces to a WAV file, optionally restoring and saving its state.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

#include "tools/marlet-host/NoteList.h"

class RenderJob {
public:
    struct Settings {
        std::string plugin;
        std::string out;
        std::optional<std::string> midiFile;
        std::optional<NoteList> notes;
        int sampleRate = 44100;
        std::int32_t blockSize = 512;
        std::optional<double> seconds;  // the length; else the end of the music plus the tail
        double tail = 1.0;
        std::optional<std::string> loadChunk;
        std::optional<std::string> saveChunk;
        std::optional<int> bus;  // write outputs 2N and 2N+1 only
    };

    // Plug-in chunks larger than this are refused rather than read.
    static constexpr std::size_t kMaxChunkBytes = std::size_t {1} << 30;

    explicit RenderJob(Settings settings) : settings_(std::move(settings)) {}

    // Notes go to `log`. Throws std::runtime_error with a readable message on failure.
    void Run(std::ostream& log) const;

private:
    Settings settings_;
};
