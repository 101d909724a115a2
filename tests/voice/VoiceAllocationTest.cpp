// Rendering on the audio thread must never touch the heap.
#include <gtest/gtest.h>

#include "tests/support/AllocationCounter.h"
#include "tests/voice/VoiceRig.h"

namespace {

using namespace voicetest;

TEST(GigaVoiceRender, RenderingAllocatesNothing)
{
    // The sample lives as long as the process: this executable counts allocations with global
    // operators that free what the sanitizer's nothrow operator new[] handed out, so its preload
    // record is never destroyed.
    static auto* memory = new MemorySample(Sine(441.0, 4410, 2), 2);
    GigaZone zone;
    PlainZone(zone, memory->sample);
    zone.loopEnabled = 1;
    zone.loopEnd = 4399;
    zone.filterEnabled = 1;
    zone.filterCutoff = 0.5f;
    Rig rig;
    rig.layer.bendRange = 2;
    rig.Start(zone, 65);
    rig.Block(512);
    testsupport::AllocationCounter counter;
    for (int i = 0; i < 20; ++i) {
        if (i == 10) rig.tone.PitchBend(0, 80);
        rig.Block(i % 2 ? 5000 : 333);
    }
    EXPECT_EQ(counter.Count(), 0u);
}

}  // namespace
