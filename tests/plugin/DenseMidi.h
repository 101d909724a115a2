// Busy music on all 16 channels, one block at a time, as a sequencer feeds a live host: notes
// starting and ending at any frame of the block (more of them than there are voices), held
// notes and the sustain pedal, controllers, pitch bends, program changes, and now and then an
// "all notes off". Deterministic for a given seed.
#pragma once

#include <algorithm>
#include <array>
#include <random>
#include <vector>

#include "tests/plugin/HostSide.h"

namespace hostside {

class DenseMidi {
public:
    static constexpr int kChannels = 16;

    // Without the mixer controllers (volume, pan, expression) the music leaves the rack's state
    // as it was, and a host state saved while it plays is the one loaded.
    explicit DenseMidi(unsigned seed, bool mixer = true)
        : random_(seed), controllers_(mixer ? kMixer : kOthers)
    {
        events_.reserve(512);
    }

    // The events of the next block of `frames`, ordered by frame.
    const std::vector<VstMidiEvent>& Next(int frames)
    {
        events_.clear();
        for (int channel = 0; channel < kChannels; ++channel) {
            auto& held = held_[static_cast<std::size_t>(channel)];
            for (int n = Pick(3); n > 0; --n) {
                const int key = 24 + Pick(84);
                Add(0x90, channel, key, 1 + Pick(127), frames);
                if (held.size() < 24) held.push_back(key);
            }
            while (held.size() > 6 || (!held.empty() && Pick(3) == 0)) {
                Add(0x80, channel, held.front(), 64, frames);
                held.erase(held.begin());
            }
            if (Pick(4) == 0)
                Add(0xB0, channel, controllers_[static_cast<std::size_t>(Pick(4))], Pick(128),
                    frames);
            if (Pick(16) == 0) Add(0xB0, channel, 64, Pick(2) * 127, frames);  // sustain
            if (Pick(3) == 0) Add(0xE0, channel, Pick(128), Pick(128), frames);
            if (Pick(200) == 0) Add(0xC0, channel, Pick(4), 0, frames);
            if (Pick(400) == 0) {
                Add(0xB0, channel, 123, 0, frames);
                held.clear();
            }
        }
        std::sort(events_.begin(), events_.end(), [](const VstMidiEvent& a, const VstMidiEvent& b) {
            return a.deltaFrames < b.deltaFrames;
        });
        return events_;
    }

private:
    static constexpr std::array<int, 4> kMixer {1, 7, 10, 11};
    static constexpr std::array<int, 4> kOthers {1, 2, 71, 74};

    int Pick(int range) { return static_cast<int>(random_() % static_cast<unsigned>(range)); }
    void Add(int status, int channel, int data1, int data2, int frames)
    {
        events_.push_back(Midi(status | channel, data1, data2, Pick(frames)));
    }

    std::mt19937 random_;
    std::array<int, 4> controllers_;
    std::vector<VstMidiEvent> events_;
    std::array<std::vector<int>, kChannels> held_ {};
};

}  // namespace hostside
