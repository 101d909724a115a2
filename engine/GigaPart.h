// One layer of a tone's stack: a .gig program reference and the layer's own settings. The
// editor changes the settings while the audio thread reads them at note starts, so each is a
// relaxed atomic; the program and bank references change only while the tone is stopped.
#pragma once

#include <array>
#include <atomic>
#include <bitset>
#include <cstdint>
#include <string>

#include "platform/Relaxed.h"

class GigaBank;
class GigaProgram;
class GigaTone;

// The layer's mute words, as the tone has them: 0 saved, 1 current (1 muted), 2 requested.
class KyPart {
public:
    virtual ~KyPart() = default;
    std::array<Relaxed<std::int16_t>, 3> mute {};
    bool IsMuted() const { return mute[1] == 1; }
};

class GigaPart : public KyPart {
public:
    // Layer states.
    enum State : std::int32_t {
        kIdle = 0,
        kLoadRequested = 1,
        kLoaded = 2,
        kFileNotFound = 3,
        kToBeRemoved = 4,
    };

    // Indices into the amplifier offsets/averages ("vcau").
    enum AmplifierValue {
        kAmpUnused = 0,
        kAmpVelocityDepth,
        kAmpAttack,
        kAmpDecay,
        kAmpSustain,
        kAmpRelease,
        kAmpValues
    };
    // Indices into the filter offsets/averages ("vcfu"); the engine uses the first two.
    enum FilterValue { kCutoff = 0, kCutoffVelocityDepth, kFilterValues = 6 };

    explicit GigaPart(GigaTone* owner) : owner(owner) {}

    Relaxed<std::int32_t> volume {127};
    Relaxed<std::int32_t> pan {64};
    Relaxed<std::int32_t> tune {0};  // cents
    Relaxed<std::int32_t> keyLow {0};
    Relaxed<std::int32_t> keyHigh {0};
    Relaxed<std::int32_t> keyOffset {0};  // played key K reaches program key K - offset
    Relaxed<std::int32_t> programBendRange {0};
    Relaxed<std::int32_t> bendRange {0};     // semitones for a full bend
    Relaxed<std::int32_t> filterSwitch {0};  // > 0 forces the filter on
    std::array<Relaxed<float>, kAmpValues> amplifierAverages {};
    std::array<Relaxed<float>, kFilterValues> filterAverages {};
    std::array<Relaxed<float>, kAmpValues> amplifierOffsets {};
    std::array<Relaxed<float>, kFilterValues> filterOffsets {};
    Relaxed<bool> hasFilter {false};
    Relaxed<std::int32_t> state {kIdle};
    // Stays with the layer for its whole life, so the editor finds it again after the loader
    // moved the stack.
    const std::uint32_t serial = NextSerial();

    // What the editor shows of the loaded program, copied by the loader under the stack lock
    // (the program itself may change under a reader on another thread).
    std::int32_t programKeyLow = 0;
    std::int32_t programKeyHigh = 0;
    std::int32_t sampleCount = 0;
    std::int32_t bitDepth = 16;
    bool streams = false;         // some sample plays its remainder from disk
    std::bitset<256> dimensions;  // the dimension sources the program uses

    GigaTone* owner;
    std::string bankPath;
    GigaBank* bank = nullptr;
    std::int32_t programIndex = -1;
    GigaProgram* program = nullptr;
    // Cleared from its stack: goes at the next load pass and no longer counts against the
    // stack's size (control threads, under the loader's lock).
    bool leaving = false;

private:
    static std::uint32_t NextSerial()
    {
        static std::atomic<std::uint32_t> next {1};
        return next.fetch_add(1, std::memory_order_relaxed);
    }
};
