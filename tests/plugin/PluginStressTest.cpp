// What plug-in validators do to a plug-in, through its exported entry only: odd block sizes,
// changing sample rates, hostile chunks and events. Nothing may crash, write outside the host's
// buffers, or produce samples that are not finite.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "tests/plugin/HostSide.h"
#include "tests/support/GigWriter.h"
#include "tests/support/TempFolder.h"
#include "tools/marlet-demo/DemoInstrument.h"
#include "tools/marlet-host/VstPluginModule.h"

namespace {

constexpr float kGuard = 12345.0f;
constexpr int kGuardFrames = 64;

// 32 channels with a guard zone before and after each block: the plug-in writes exactly the
// frames it was given, and writes only finite samples.
class GuardedOutputs {
public:
    explicit GuardedOutputs(int frames) : frames_(frames)
    {
        for (auto& c : storage_)
            c.assign(static_cast<std::size_t>(frames + 2 * kGuardFrames), kGuard);
        for (auto& c : storage_) pointers_.push_back(c.data() + kGuardFrames);
    }
    float** Pointers() { return pointers_.data(); }
    void Check() const
    {
        for (const auto& c : storage_) {
            for (int i = 0; i < kGuardFrames; ++i) {
                ASSERT_EQ(c[static_cast<std::size_t>(i)], kGuard) << "written before the block";
                ASSERT_EQ(c[static_cast<std::size_t>(kGuardFrames + frames_ + i)], kGuard)
                    << "written after the block";
            }
            for (int i = 0; i < frames_; ++i)
                ASSERT_TRUE(std::isfinite(c[static_cast<std::size_t>(kGuardFrames + i)]));
        }
    }

private:
    int frames_;
    std::vector<std::vector<float>> storage_ = std::vector<std::vector<float>>(32);
    std::vector<float*> pointers_;
};

class PluginStress : public ::testing::Test {
protected:
    void SetUp() override
    {
        testsupport::GigWriter(demo::DemoBank()).Write(bank);
        std::string error;
        module = VstPluginModule::Load(MARLET_PLUGIN_PATH, error);
        ASSERT_NE(module, nullptr) << error;
        effect = module->Effect();
        module->Dispatch(vst::effOpen);
        module->Dispatch(vst::effMainsChanged, 0, 1);
    }
    std::vector<std::uint8_t> DemoRack()
    {
        return hostside::HostState([this](GigaPlayer& player) {
            for (int t = 0; t < 16; ++t) {
                // Key range and bend range given, so that loading fills in nothing of its own.
                GigaPart* layer = player.Giga(t)->AddLayer(bank, t % 3);
                layer->keyLow = 0;
                layer->keyHigh = 127;
                layer->bendRange = 2;
            }
        });
    }
    void Events(std::vector<VstMidiEvent> midi) { hostside::SendEvents(*module, std::move(midi)); }
    void Block(int frames)
    {
        GuardedOutputs outputs(frames);
        effect->processReplacing(effect, nullptr, outputs.Pointers(), frames);
        outputs.Check();
    }
    static VstMidiEvent Midi(int status, int data1, int data2, int delta)
    {
        return hostside::Midi(status, data1, data2, delta);
    }

    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    std::string bank = folder.File("demo.gig");
    std::unique_ptr<VstPluginModule> module;
    AEffect* effect = nullptr;
};

TEST_F(PluginStress, OddBlocksRatesAndEventsWithInstrumentsPlaying)
{
    auto chunk = DemoRack();
    ASSERT_EQ(
        module->Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(chunk.size()), chunk.data()),
        1);
    std::mt19937 random(5);
    const int sizes[] = {1, 7, 64, 511, 4096, 8192};
    const float rates[] = {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f};
    for (int round = 0; round < 120; ++round) {
        if (round % 10 == 0)
            module->Dispatch(vst::effSetSampleRate, 0, 0, nullptr, rates[random() % 5]);
        const int frames = round < 60 ? sizes[round % 6] : 1 + static_cast<int>(random() % 3000);
        std::vector<VstMidiEvent> midi;
        for (int e = 0; e < 8; ++e) {
            const int channel = static_cast<int>(random() % 16);
            const int kind = static_cast<int>(random() % 6);
            const int statuses[] = {0x90, 0x80, 0xB0, 0xE0, 0xC0, 0xF0};
            // Delta frames outside the block, negative ones too.
            midi.push_back(Midi(statuses[kind] | (kind < 5 ? channel : 0),
                                static_cast<int>(random() % 128), static_cast<int>(random() % 128),
                                static_cast<int>(random() % 20000) - 5000));
        }
        Events(midi);
        Block(frames);
    }
    // All notes off and a few silent blocks: everything ends cleanly.
    for (int channel = 0; channel < 16; ++channel) Events({Midi(0xB0 | channel, 123, 0, 0)});
    for (int i = 0; i < 4; ++i) Block(512);
}

TEST_F(PluginStress, HostileChunksLeaveAWorkingPlugin)
{
    std::mt19937 random(9);
    std::vector<std::uint8_t> bytes(4096);
    for (int round = 0; round < 50; ++round) {
        for (auto& b : bytes) b = static_cast<std::uint8_t>(random());
        const auto size = static_cast<vst::intptr>(random() % bytes.size());
        EXPECT_EQ(module->Dispatch(vst::effSetChunk, 0, size, bytes.data()), 1);
    }
    std::uint8_t one = 0;
    EXPECT_EQ(module->Dispatch(vst::effSetChunk, 0, 0, &one), 1) << "an empty chunk";
    EXPECT_EQ(module->Dispatch(vst::effSetChunk, 0, -1, bytes.data()), 0) << "a negative size";
    // A huge claimed size with a small buffer would be read out of bounds by the plug-in: hosts
    // never do that, so it is not tried. A genuinely large chunk of garbage is.
    std::vector<std::uint8_t> large(8 << 20, 0x41);
    EXPECT_EQ(
        module->Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(large.size()), large.data()),
        1);

    auto rack = DemoRack();
    ASSERT_EQ(
        module->Dispatch(vst::effSetChunk, 0, static_cast<vst::intptr>(rack.size()), rack.data()),
        1);
    void* data = nullptr;
    const auto size = module->Dispatch(vst::effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(static_cast<std::uint8_t*>(data),
                                        static_cast<std::uint8_t*>(data) + size),
              rack);
    Events({Midi(0x90, 60, 100, 0)});
    Block(512);
}

}  // namespace
