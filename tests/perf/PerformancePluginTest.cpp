// Host state through the built plug-in's entry only: the chunk is exactly a performance file.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "riff/CExpRiff.h"
#include "tests/support/WaitFor.h"
#include "tools/marlet-host/VstPluginModule.h"
#include "vst/VstAbi.h"

namespace {

using namespace vst;
using Bytes = std::vector<std::byte>;

// A performance with one layer of `gig` on each given tone (tone i on channel i, bus `bus`).
Bytes Performance(const std::string& gig, std::vector<int> tones, int bus, int volume)
{
    CExpRiff w;
    w.CreateMemory();
    w.StartChunk("RIFF", "KyGm");
    w.StartChunk("LIST", "tone");
    for (int i = 0; i < 16; ++i) {
        const std::int32_t indx[] = {i};
        const std::int32_t type[] = {0x67696761};
        w.StartChunk("RIFF", "tone");
        w.WriteIntChunk("indx", indx);
        w.WriteIntChunk("type", type);
        w.StartChunk("RIFF", "kytn");
        const std::int32_t stak[] = {0, 0};
        const std::int32_t midi[] = {i};
        const std::int32_t outb[] = {bus};
        const std::int32_t para[] = {volume, 64, 0};
        w.WriteIntChunk("stak", stak);
        w.WriteIntChunk("midi", midi);
        w.WriteIntChunk("outb", outb);
        w.WriteIntChunk("para", para);
        if (std::find(tones.begin(), tones.end(), i) != tones.end()) {
            w.StartChunk("part");
            w.StartChunk("bank");
            w.WriteString(gig);
            w.EndChunk();
            const std::int32_t prog[] = {0};
            const std::int32_t keys[] = {0, 127, 0};
            const std::int32_t layer[] = {127, 64, 0};
            const std::int32_t bend[] = {2};
            w.WriteIntChunk("prog", prog);
            w.WriteIntChunk("stak", keys);
            w.WriteIntChunk("para", layer);
            w.WriteIntChunk("bend", bend);
            w.StartChunk("vcau");
            for (int v = 0; v < 6; ++v) w.WriteFloat(0.0f);
            w.EndChunk();
            w.StartChunk("vcfu");
            for (int v = 0; v < 6; ++v) w.WriteFloat(0.0f);
            w.WriteInt(0);
            w.EndChunk();
            w.EndChunk();
        }
        w.EndChunk();
        w.EndChunk();
    }
    w.EndChunk();
    w.EndChunk();
    EXPECT_TRUE(w.Close());
    return Bytes(w.MemoryBytes().begin(), w.MemoryBytes().end());
}

class PluginChunk : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        module = VstPluginModule::Load(MARLET_PLUGIN_PATH, error);
        ASSERT_NE(module, nullptr) << error;
        effect = module->Effect();
        testsupport::GigFilePlan plan;
        plan.samples[0].frames = 44100;
        plan.samples[0].loop = true;
        plan.samples[0].loopEnd = 44099;
        testsupport::GigWriter(plan).Write(gig);
    }

    intptr Call(int32 opcode, int32 index = 0, intptr value = 0, void* ptr = nullptr)
    {
        return module->Dispatch(opcode, index, value, ptr, 0.0f);
    }
    intptr SetChunk(const Bytes& bytes)
    {
        return Call(effSetChunk, 0, static_cast<intptr>(bytes.size()),
                    const_cast<std::byte*>(bytes.data()));
    }
    Bytes GetChunk()
    {
        void* data = nullptr;
        const auto size = Call(effGetChunk, 0, 0, &data);
        const auto* bytes = static_cast<const std::byte*>(data);
        return size > 0 && bytes ? Bytes(bytes, bytes + size) : Bytes {};
    }
    // Peak level per output channel over one block, with a note held on `channel`.
    std::vector<float> Levels(int channel)
    {
        VstMidiEvent note {kVstMidiType,
                           sizeof(VstMidiEvent),
                           0,
                           0,
                           0,
                           0,
                           {static_cast<char>(0x90 | channel), 60, 100, 0},
                           0,
                           0,
                           0,
                           0};
        VstEvents events {1, 0, {reinterpret_cast<VstEvent*>(&note), nullptr}};
        Call(effProcessEvents, 0, 0, &events);
        std::vector<std::vector<float>> channels(32, std::vector<float>(512));
        std::vector<float*> pointers;
        for (auto& c : channels) pointers.push_back(c.data());
        effect->processReplacing(effect, nullptr, pointers.data(), 512);
        std::vector<float> peaks;
        for (const auto& c : channels) {
            float peak = 0.0f;
            for (float v : c) peak = std::max(peak, std::fabs(v));
            peaks.push_back(peak);
        }
        return peaks;
    }

    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    std::string gig = folder.File("chunk.gig");
    std::unique_ptr<VstPluginModule> module;
    AEffect* effect = nullptr;
};

TEST_F(PluginChunk, SetChunkThenGetChunkGivesTheSameBytesAndTheToneSounds)
{
    Call(effOpen);
    Call(effMainsChanged, 0, 1);
    const Bytes bytes = Performance(gig, {1}, 3, 100);
    ASSERT_EQ(SetChunk(bytes), 1);
    EXPECT_EQ(GetChunk(), bytes);

    // The instrument loads in the background; then channel 1 sounds on bus 3 only.
    std::vector<float> peaks;
    EXPECT_TRUE(testsupport::WaitFor(
        [&] {
            peaks = Levels(1);
            return peaks[6] > 0.0f;
        },
        "the instrument to load and sound"));
    EXPECT_GT(peaks[6], 0.0f);
    EXPECT_GT(peaks[7], 0.0f);
    for (int c = 0; c < 32; ++c)
        if (c != 6 && c != 7) {
            EXPECT_EQ(peaks[static_cast<std::size_t>(c)], 0.0f) << c;
        }
    EXPECT_EQ(GetChunk(), bytes) << "loaded, the layer writes what it read";
    EXPECT_TRUE(testsupport::ListFolder(home.Data() + "/Orvana").empty());
}

TEST_F(PluginChunk, TwoChunksInQuickSuccessionLoadTheSecondAfterTheFirst)
{
    Call(effOpen);
    const Bytes first = Performance(gig, {0, 1, 2}, 0, 90);
    const Bytes second = Performance(gig, {4}, 2, 70);
    ASSERT_EQ(SetChunk(first), 1);
    ASSERT_EQ(SetChunk(second), 1);
    // A third chunk waits for the second's load, so the rack is settled afterwards.
    ASSERT_EQ(SetChunk(second), 1);
    EXPECT_EQ(GetChunk(), second);
}

TEST_F(PluginChunk, PresetChunksAnswerZeroAndChangeNothing)
{
    const Bytes bytes = Performance(gig, {1}, 3, 100);
    const Bytes before = GetChunk();
    void* data = nullptr;
    EXPECT_EQ(Call(effGetChunk, 1, 0, &data), 0);
    EXPECT_EQ(Call(effSetChunk, 1, static_cast<intptr>(bytes.size()),
                   const_cast<std::byte*>(bytes.data())),
              0);
    EXPECT_EQ(GetChunk(), before);
    EXPECT_EQ(before.size(), 1752u);
}

}  // namespace
