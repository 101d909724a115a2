// The host's MIDI as the rack receives it: the plug-in is created as its entry creates it, fed
// through its record; recording tones in its rack show what arrived.
#include <gtest/gtest.h>

#include <vector>

#include "fixtures/TempFolder.h"
#include "plugin/KyVstAudio.h"
#include "plugin/PluginEntry.h"
#include "tests/support/RecordingTone.h"

namespace {

using testsupport::RecordingTone;

vst::intptr Host(AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*, float)
{
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

VstMidiEvent Midi(unsigned char status, unsigned char data1, unsigned char data2, int delta)
{
    VstMidiEvent e {};
    e.type = vst::kVstMidiType;
    e.byteSize = sizeof(VstMidiEvent);
    e.deltaFrames = delta;
    e.midiData[0] = static_cast<char>(status);
    e.midiData[1] = static_cast<char>(data1);
    e.midiData[2] = static_cast<char>(data2);
    return e;
}

class PluginMidi : public ::testing::Test {
protected:
    void SetUp() override
    {
        effect = CreatePluginEffect(&Host);
        ASSERT_NE(effect, nullptr);
        // Before the host opens the plug-in, its rack becomes one tone that records what it hears.
        auto owned = std::make_unique<RecordingTone>(0, 0);
        tone = owned.get();
        GigaPlayer* player = static_cast<KyVstAudio*>(effect->object)->GetPlayer();
        player->RemoveTones();  // in place of its 16 .gig tones
        player->AddTone(std::move(owned));
        effect->dispatcher(effect, vst::effOpen, 0, 0, nullptr, 0);
        Block();  // the tone takes up its start request
    }
    void TearDown() override
    {
        EXPECT_EQ(effect->dispatcher(effect, vst::effClose, 0, 0, nullptr, 0), 1);
    }

    void Send(std::vector<VstMidiEvent> midi, const VstEvent* extra = nullptr)
    {
        std::vector<char> storage(sizeof(VstEvents) + sizeof(VstEvent*) * (midi.size() + 1));
        auto* list = reinterpret_cast<VstEvents*>(storage.data());
        list->numEvents = 0;
        for (auto& e : midi) list->events[list->numEvents++] = reinterpret_cast<VstEvent*>(&e);
        if (extra) list->events[list->numEvents++] = const_cast<VstEvent*>(extra);
        EXPECT_EQ(effect->dispatcher(effect, vst::effProcessEvents, 0, 0, list, 0), 1);
    }
    void Block()
    {
        std::vector<std::vector<float>> channels(32, std::vector<float>(512));
        std::vector<float*> pointers;
        for (auto& c : channels) pointers.push_back(c.data());
        effect->processReplacing(effect, nullptr, pointers.data(), 512);
    }

    testsupport::IsolatedHome home;
    AEffect* effect = nullptr;
    RecordingTone* tone = nullptr;
};

TEST_F(PluginMidi, StatusBytesBecomePlayerCalls)
{
    Send({Midi(0x90, 60, 100, 0), Midi(0x90, 61, 0, 5), Midi(0x80, 62, 64, 6), Midi(0xB0, 7, 99, 7),
          Midi(0xC0, 5, 0, 8), Midi(0xE0, 0x01, 0x40, 9)});
    Block();
    const auto events = tone->Events();
    ASSERT_EQ(events.size(), 6u);
    const KyMidiEvent expected[] = {
        {KyMidiEvent::kNoteOn, 60, 100, 0},     {KyMidiEvent::kNoteOff, 61, 0, 5},
        {KyMidiEvent::kNoteOff, 62, 0, 6},      {KyMidiEvent::kControlChange, 7, 99, 7},
        {KyMidiEvent::kProgramChange, 5, 0, 0}, {KyMidiEvent::kPitchBend, 1, 64, 9},
    };
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(events[i].event.type, expected[i].type) << i;
        EXPECT_EQ(events[i].event.data1, expected[i].data1) << i;
        EXPECT_EQ(events[i].event.data2, expected[i].data2) << i;
        EXPECT_EQ(events[i].event.offset, expected[i].offset) << i;
    }
    EXPECT_EQ(tone->Bend(), 1);
    EXPECT_EQ(tone->Volume(), 99);
}

TEST_F(PluginMidi, DeltaFramesArePassedInListOrder)
{
    Send({Midi(0x90, 60, 100, 300), Midi(0x90, 64, 100, 0)});
    Block();
    const auto on = tone->EventsOfType(KyMidiEvent::kNoteOn);
    ASSERT_EQ(on.size(), 2u);
    EXPECT_EQ(on[0].offset, 300);
    EXPECT_EQ(on[1].offset, 0);
}

TEST_F(PluginMidi, OtherStatusesAndEventKindsAreIgnored)
{
    VstEvent sysex {};
    sysex.type = vst::kVstSysExType;
    sysex.byteSize = sizeof sysex;
    Send({Midi(0xA0, 60, 10, 0), Midi(0xD0, 50, 0, 0), Midi(0xF0, 1, 2, 0), Midi(0xF8, 0, 0, 0),
          Midi(0xFF, 0, 0, 0), Midi(0x45, 60, 100, 0)},
         &sysex);
    Block();
    EXPECT_TRUE(tone->Events().empty());
}

TEST_F(PluginMidi, DataBytesAreMaskedToSevenBits)
{
    Send({Midi(0x9F, 0xBC, 0xFF, 0)});  // channel 15 reaches the only tone of the rack
    Block();
    const auto on = tone->EventsOfType(KyMidiEvent::kNoteOn);
    ASSERT_EQ(on.size(), 1u);
    EXPECT_EQ(on[0].data1, 0x3C);
    EXPECT_EQ(on[0].data2, 0x7F);
}

}  // namespace
