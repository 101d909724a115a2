// One wave of a bank's wave pool: where its data lie, how they are encoded, its loop, and the
// preload record that holds its head in memory. Zones share samples; refCount counts them.
#pragma once

#include <cstdint>

#include "sample/GigaSampleFormat.h"

class GigaFile;
class GigaMemory;

class GigaSample : public GigaSampleFormat {
public:
    // Shorter samples are never played: zones pointing at them stay silent.
    static constexpr std::int32_t kMinimumFrames = 128;

    // How much of its data the file holds. A file cut short ends inside one sample, which plays
    // what is there, and loses every sample after it.
    enum class Presence : std::uint8_t { kWhole, kCut, kLost };

    GigaSample() = default;
    GigaSample(const GigaSample&) = delete;
    GigaSample& operator=(const GigaSample&) = delete;

    bool Playable() const { return frameCount >= kMinimumFrames; }
    bool Compressed() const { return blockFrames != 0; }

    // A zone links to or unlinks from this sample. The first link adds a user to the preload
    // record, the last unlink removes it (which frees the record when it was its last user).
    void AddZone();
    void RemoveZone();

    // Forgets a preload record whose blocks have been freed, so the next load reserves anew.
    void ForgetStaleMemory();

    // Keeps the loop inside the sample's frames.
    void SanitiseLoop();

    GigaMemory* memory = nullptr;
    GigaFile* file = nullptr;
    std::int32_t streamOffset = 0;
    std::int32_t sampleRate = 44100;
    std::int32_t unityNote = 60;
    std::int16_t fineTune = 0;
    std::int32_t loopEnabled = 0;
    std::int32_t loopStart = 0;
    std::int32_t loopEnd = 0;
    std::int32_t frameCount = 0;
    std::int32_t blockCountField = 0;
    std::int32_t preloadFrames = 0;
    std::int32_t lastProgram = -1;
    Presence presence = Presence::kWhole;
    bool loaded = false;
    std::int32_t refCount = 0;
    std::int64_t memoryOffset = 0;  // in 16-bit values, as the preload record counts
};
