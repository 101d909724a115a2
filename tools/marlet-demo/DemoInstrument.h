// The demo's instrument and phrase, made from waves synthesised here: a keyboard with two key
// regions, two velocity layers and release-trigger thumps; a looped pad; a long drone that
// plays from disk. Written with the same .gig writer the tests use.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "fixtures/GigWriter.h"

namespace demo {

constexpr int kRate = 44100;

// Instruments of the demo bank, by program index.
enum Program { kKeys = 0, kPad = 1, kDrone = 2 };

testsupport::GigFilePlan DemoBank();

// A short phrase: the keyboard on channel 0, pad chords with a low drone on channel 1.
std::vector<std::uint8_t> DemoPhrase();

}  // namespace demo
