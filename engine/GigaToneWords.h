// Words a .gig tone and its editor share besides the generic tone's: the type code, the select
// modes of a stack, the tone's statuses, and the shapes of the edits that reach its layers.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/KyToneWords.h"
#include "player/KyControllerSources.h"

class GigaPart;

struct GigaToneWords : KyToneWords {
    static constexpr std::int32_t kTypeCode = 0x67696761;  // "agig" in memory

    // Select modes of a stack.
    static constexpr int kSelectNone = 0;  // 1..127: that controller selects
    static constexpr int kSelectVelocity = KyControllerSources::kVelocity;
    static constexpr int kSelectKeySwitch = KyControllerSources::kKeySwitch;
    static constexpr int kSelectRoundRobin = KyControllerSources::kRoundRobin;
    static constexpr int kSelectRandom = KyControllerSources::kRandom;
    static constexpr int kSelectProgramChange = 199;

    // Tone status codes.
    enum Status : std::int32_t {
        kEmpty = 0,
        kLoadRequested = 1,
        kReadingProgram = 2,
        kLoadingSamples = 3,
        kNotEnoughMemory = 5,
        kLoadedWithFailure = 6,
        kLoaded = 8,
        kLoadedAndShown = 9,
    };

    // An edit of one layer, and of every layer in order; both run under the stack lock.
    using LayerEdit = std::function<void(GigaPart&)>;
    using StackEdit = std::function<void(int index, GigaPart&)>;
};
