// The demo command's bank must load and sound: every instrument opens, the drone streams, and
// the keyboard's notes reach the right zones.
#include <gtest/gtest.h>

#include "gig/GigaBank.h"
#include "tests/tone/ToneFixture.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace tonetest {
namespace {

class DemoBank : public ToneFixture {};

TEST_F(DemoBank, EveryInstrumentLoadsAndTheDroneStreams)
{
    const std::string path = Write(demo::DemoBank(), "demo.gig");
    GigaBank bank;
    ASSERT_TRUE(bank.Open(path));
    ASSERT_EQ(bank.ProgramCount(), 3);
    const char* names[] = {"Demo Keys", "Demo Pad", "Demo Drone"};
    for (int i = 0; i < 3; ++i) {
        GigaProgram* program = bank.LoadProgram(i, nullptr);
        ASSERT_NE(program, nullptr) << names[i];
        EXPECT_EQ(program->name, names[i]);
        EXPECT_EQ(program->needsStreaming, i == demo::kDrone) << names[i];
    }
    EXPECT_EQ(bank.Program(demo::kKeys)->RegionForKey(40)->zoneCount, 4);
    for (int i = 0; i < 3; ++i) bank.Program(i)->Release();
}

TEST_F(DemoBank, KeysChooseTheirLayerByVelocityAndThumpOnRelease)
{
    GigaTone& keys = AddTone(Write(demo::DemoBank(), "demo.gig"), {demo::kKeys});
    Start();
    EXPECT_EQ(ZoneFor(keys, 0, 60, 30), 0);
    EXPECT_EQ(ZoneFor(keys, 0, 60, 100), 1);
    Note(0, 40, 100);
    Off(0, 40);
    int thumps = 0;
    for (MarkerVoice* v : Voices(keys)) thumps += v->Region() == nullptr && v->Key() == 40;
    EXPECT_EQ(thumps, 1);
}

}  // namespace
}  // namespace tonetest
