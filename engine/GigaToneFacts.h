// What a tone shows of its stack: the status, the stack's settings and each layer's file,
// program, state and settings, copied under the tone's stack lock. The editor reads these and
// the host state is written from them; taking them never waits for a load.
#pragma once

#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/GigaPart.h"

struct GigaLayerFacts {
    std::string bankPath;
    std::int32_t programIndex = -1;
    std::int32_t state = GigaPart::kIdle;
    bool leaving = false;     // cleared from the stack, goes at the next load pass
    std::string programName;  // empty until the program has loaded
    std::int32_t volume = 127;
    std::int32_t pan = 64;
    std::int32_t tune = 0;
    std::int32_t keyLow = 0;
    std::int32_t keyHigh = 0;
    std::int32_t keyOffset = 0;
    std::int32_t bendRange = 0;
    std::int32_t filterSwitch = 0;
    std::array<float, GigaPart::kAmpValues> amplifierOffsets {};
    std::array<float, GigaPart::kFilterValues> filterOffsets {};
    std::uint32_t serial = 0;  // GigaPart::serial
    // The loaded program (zero until it has loaded).
    std::int32_t programKeyLow = 0;
    std::int32_t programKeyHigh = 0;
    std::int32_t sampleCount = 0;
    std::int32_t bitDepth = 16;
    bool streams = false;
    std::bitset<256> dimensions;
    std::int32_t programBendRange = 0;
    std::array<float, GigaPart::kAmpValues> amplifierAverages {};
    std::array<float, GigaPart::kFilterValues> filterAverages {};
    bool hasFilter = false;
};

struct GigaToneFacts {
    std::int32_t status = 0;  // GigaTone::Status
    std::string stackName;
    std::int32_t selectMode = 0;
    std::int32_t keySwitchLow = 0;
    std::vector<GigaLayerFacts> layers;
};

// A tone as a performance holds it, for GigaTone::Restore. What the performance lacks stays
// unset and leaves the tone's defaults.
struct GigaToneRecord {
    std::optional<std::int32_t> midiChannel;
    // As stored: the tone keeps it only when its player has that bus.
    std::optional<std::int32_t> outputBus;
    std::optional<std::array<std::int32_t, 3>> params;  // volume, pan, tune
    std::optional<std::string> stackName;
    std::optional<std::array<std::int32_t, 2>> stack;  // select mode, lowest key switch
    std::vector<GigaLayerFacts> layers;                // in the order they join the stack
};
