// Host states that play the demo bank, written into a scratch folder: the racks a host swaps
// between while it plays.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "tests/plugin/HostSide.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace hostside {

class DemoRacks {
public:
    DemoRacks() { testsupport::GigWriter(demo::DemoBank()).Write(bank_); }

    const std::string& Bank() const { return bank_; }

    // Every tone plays, the demo's programs in turn.
    std::vector<std::uint8_t> Full() const
    {
        return HostState([this](GigaPlayer& player) {
            for (int t = 0; t < 16; ++t) AddLayer(*player.Giga(t), t % 3);
        });
    }

    // A few tones: drones that stream from disk, and keys over pads chosen by velocity.
    std::vector<std::uint8_t> Layered() const
    {
        return HostState([this](GigaPlayer& player) {
            for (int t = 0; t < 4; ++t) AddLayer(*player.Giga(t), demo::kDrone);
            for (int t = 4; t < 8; ++t) {
                GigaTone& tone = *player.Giga(t);
                AddLayer(tone, demo::kKeys);
                AddLayer(tone, demo::kPad);
                tone.SetSelectMode(GigaTone::kSelectVelocity);
            }
        });
    }

    // The drone alone, on tone 0: it streams from disk once its preload has played.
    std::vector<std::uint8_t> Drone() const
    {
        return HostState([this](GigaPlayer& player) { AddLayer(*player.Giga(0), demo::kDrone); });
    }

    // An empty rack: loading it unloads everything.
    static std::vector<std::uint8_t> Empty()
    {
        return HostState([](GigaPlayer&) {});
    }

private:
    void AddLayer(GigaTone& tone, int program) const
    {
        // Key range and bend range given, so that loading fills in nothing of its own and the
        // state saved after loading is the state loaded.
        GigaPart* layer = tone.AddLayer(bank_, program);
        layer->keyLow = 0;
        layer->keyHigh = 127;
        layer->bendRange = 2;
    }

    testsupport::TempFolder folder_;
    std::string bank_ = folder_.File("demo.gig");
};

}  // namespace hostside
