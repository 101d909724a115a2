// The plug-in as a host sees it: the built marlet.so, loaded through its exported entry and
// driven only through the AEffect record.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "fixtures/TempFolder.h"
#include "tools/marlet-host/VstPluginModule.h"
#include "vst/VstAbi.h"

namespace {

using namespace vst;

class PluginBinary : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        module = VstPluginModule::Load(MARLET_PLUGIN_PATH, error);
        ASSERT_NE(module, nullptr) << error;
        effect = module->Effect();
    }

    intptr Call(int32 opcode, int32 index = 0, intptr value = 0, void* ptr = nullptr, float opt = 0)
    {
        return module->Dispatch(opcode, index, value, ptr, opt);
    }

    // Renders one block into 32 channels that start out full of garbage.
    std::vector<std::vector<float>> Render(int frames)
    {
        std::vector<std::vector<float>> channels(
            32, std::vector<float>(static_cast<std::size_t>(frames) + 1, 7.0f));
        std::vector<float*> pointers;
        for (auto& c : channels) pointers.push_back(c.data());
        effect->processReplacing(effect, nullptr, pointers.data(), frames);
        return channels;
    }

    static bool Silent(const std::vector<std::vector<float>>& channels, int frames)
    {
        for (const auto& c : channels) {
            for (int i = 0; i < frames; ++i)
                if (c[static_cast<std::size_t>(i)] != 0.0f) return false;
            if (c[static_cast<std::size_t>(frames)] != 7.0f)
                return false;  // nothing past the block
        }
        return true;
    }

    testsupport::IsolatedHome home;
    std::unique_ptr<VstPluginModule> module;
    AEffect* effect = nullptr;
};

TEST_F(PluginBinary, TheRecordDescribesASynthWith32OutputsAndAnEditor)
{
    EXPECT_EQ(effect->magic, FourCC("VstP"));
    EXPECT_EQ(effect->uniqueID, FourCC("KyGm"));
    EXPECT_EQ(effect->numInputs, 0);
    EXPECT_EQ(effect->numOutputs, 32);
    EXPECT_EQ(effect->numPrograms, 0);
    EXPECT_EQ(effect->numParams, 0);
    EXPECT_EQ(effect->flags, 0x131);
    EXPECT_EQ(effect->version, 1);
    EXPECT_EQ(effect->initialDelay, 0);
    EXPECT_EQ(effect->ioRatio, 1.0f);
    ASSERT_NE(effect->process, nullptr);
    ASSERT_NE(effect->processReplacing, nullptr);
    ASSERT_NE(effect->processDoubleReplacing, nullptr);
    EXPECT_EQ(effect->getParameter(effect, 0), 0.0f);
    effect->setParameter(effect, 0, 0.5f);
}

TEST_F(PluginBinary, IdentityAndFixedAnswers)
{
    EXPECT_EQ(module->EffectName(), "Marlet");
    EXPECT_EQ(module->VendorString(), "Orvana");
    EXPECT_EQ(module->ProductString(), "Marlet 1.3.0.3");
    EXPECT_EQ(Call(effGetVendorVersion), 66053);
    EXPECT_EQ(Call(effGetVstVersion), 2400);
    EXPECT_EQ(Call(effGetPlugCategory), 2);
    EXPECT_EQ(Call(effIdentify), 0x4E764566);
    EXPECT_EQ(Call(effCanBeAutomated, 3), 1);
    EXPECT_EQ(Call(effGetCurrentMidiProgram), -1);
    EXPECT_EQ(Call(effSetTotalSampleToProcess, 0, 12345), 12345);
    EXPECT_EQ(Call(effGetProgram), 0);
    EXPECT_EQ(Call(effSetProgram, 0, 3), 0);
    EXPECT_EQ(Call(effGetProgram), 0);

    for (int32 opcode :
         {effGetProgramName, effGetParamLabel, effGetParamDisplay, effGetParamName}) {
        char text[64];
        std::memset(text, 'x', sizeof text);
        EXPECT_EQ(Call(opcode, 0, 0, text), 0);
        EXPECT_EQ(text[0], '\0') << "opcode " << opcode;
    }
    char name[] = "renamed";
    EXPECT_EQ(Call(effSetProgramName, 0, 0, name), 0);
}

TEST_F(PluginBinary, CanDoIsExactAndCaseSensitive)
{
    for (const char* yes : {"receiveVstEvents", "receiveVstMidiEvent", "LiveWithoutToolbar"}) {
        EXPECT_EQ(Call(effCanDo, 0, 0, const_cast<char*>(yes)), 1) << yes;
        const std::string blank = std::string(yes) + " ";
        EXPECT_EQ(Call(effCanDo, 0, 0, const_cast<char*>(blank.c_str())), -1) << blank;
        std::string upper = yes;
        for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        EXPECT_EQ(Call(effCanDo, 0, 0, upper.data()), -1) << upper;
    }
    EXPECT_EQ(Call(effCanDo, 0, 0, const_cast<char*>("sendVstEvents")), -1);
    EXPECT_EQ(Call(effCanDo, 0, 0, const_cast<char*>("")), -1);
}

TEST_F(PluginBinary, OutputPinsAreStereoPairsAndIndex32IsRefused)
{
    for (int32 i = 0; i < 32; ++i) {
        VstPinProperties pin {};
        ASSERT_EQ(Call(effGetOutputProperties, i, 0, &pin), 1);
        EXPECT_EQ(std::string(pin.label),
                  "Out " + std::to_string(i + 1) + "|" + std::to_string(i + 2));
        EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
        EXPECT_EQ(pin.arrangementType, kSpeakerArrStereo);
    }
    VstPinProperties untouched;
    std::memset(&untouched, 0x5A, sizeof untouched);
    VstPinProperties pin = untouched;
    EXPECT_EQ(Call(effGetOutputProperties, 32, 0, &pin), 0);
    EXPECT_EQ(std::memcmp(&pin, &untouched, sizeof pin), 0);
    EXPECT_EQ(Call(effGetOutputProperties, -1, 0, &pin), 0);
    EXPECT_EQ(Call(effGetInputProperties, 0, 0, &pin), 0);
}

// Without a window to open (no parent, or no display in the test's environment) the editor
// requests stay harmless: the size is there, opening fails, keys are taken.
TEST_F(PluginBinary, EditorRequestsWithoutAWindow)
{
    ERect* rect = nullptr;
    ASSERT_EQ(Call(effEditGetRect, 0, 0, &rect), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->right - rect->left, 800 * (rect->bottom - rect->top) / 560);
    EXPECT_EQ(Call(effEditGetRect, 0, 0, nullptr), 0);
    EXPECT_EQ(Call(effEditClose), 0);  // never opened
    EXPECT_EQ(Call(effEditOpen, 0, 0, nullptr), 0);
    EXPECT_EQ(Call(effEditIdle), 0);
    EXPECT_EQ(Call(effEditKeyDown, 'a', VKEY_UP, nullptr, 1.0f), 1);
    EXPECT_EQ(Call(effEditKeyDown, 0, 99, nullptr, 2.0f), 1);  // a key the editor has no use for
    EXPECT_EQ(Call(effEditKeyUp, 'a', VKEY_UP), 1);
    ERect* again = nullptr;
    ASSERT_EQ(Call(effEditGetRect, 0, 0, &again), 1);
    EXPECT_EQ(again, rect);
}

TEST_F(PluginBinary, SpeakerArrangementPointersAreCleared)
{
    void* input = reinterpret_cast<void*>(0x10);
    void* output = reinterpret_cast<void*>(0x20);
    EXPECT_EQ(Call(effGetSpeakerArrangement, 0, reinterpret_cast<intptr>(&input), &output), 0);
    EXPECT_EQ(input, nullptr);
    EXPECT_EQ(output, nullptr);
}

TEST_F(PluginBinary, EveryOtherOpcodeAnswersZero)
{
    const std::set<int32> answered = {effGetProgram,
                                      effIdentify,
                                      effCanBeAutomated,
                                      effGetPlugCategory,
                                      effGetVendorVersion,
                                      effCanDo,
                                      effGetVstVersion,
                                      effGetCurrentMidiProgram,
                                      effSetTotalSampleToProcess,
                                      effGetChunk,
                                      effSetChunk,
                                      effProcessEvents,
                                      effClose,
                                      effEditGetRect,  // the editor's, tested above
                                      effEditKeyDown,
                                      effEditKeyUp};
    std::array<char, 256> scratch {};
    for (int32 opcode = 0; opcode <= 90; ++opcode) {
        if (answered.count(opcode) || opcode == effGetEffectName || opcode == effGetVendorString ||
            opcode == effGetProductString || opcode == effGetOutputProperties)
            continue;
        scratch.fill(0);
        EXPECT_EQ(Call(opcode, 0, 0, scratch.data()), 0) << "opcode " << opcode;
    }
    EXPECT_EQ(Call(1000), 0);
    EXPECT_EQ(Call(-1), 0);
}

TEST_F(PluginBinary, MainsOnAsksTheHostForMidi)
{
    Call(effOpen);
    Call(effMainsChanged, 0, 1);
    bool asked = false;
    for (const auto& call : module->HostCalls())
        if (call.opcode == audioMasterWantMidi && call.value == 1) asked = true;
    EXPECT_TRUE(asked);
    EXPECT_EQ(Call(effMainsChanged, 0, 0), 0);
}

TEST_F(PluginBinary, OutputIsSilentBeforeOpenAndWithAnEmptyRackForAnyBlockSize)
{
    EXPECT_TRUE(Silent(Render(256), 256)) << "before open";
    Call(effSetSampleRate, 0, 0, nullptr, 48000.0f);
    Call(effOpen);
    Call(effSetBlockSize, 0, 64);
    Call(effMainsChanged, 0, 1);
    for (int frames : {1, 2, 3, 63, 64, 65, 127, 512, 1000, 2048, 2049, 4096}) {
        VstMidiEvent note {
            kVstMidiType, sizeof(VstMidiEvent), 0, 0, 0, 0, {'\x90', 60, 100, 0}, 0, 0, 0, 0};
        VstEvents events {1, 0, {reinterpret_cast<VstEvent*>(&note), nullptr}};
        EXPECT_EQ(Call(effProcessEvents, 0, 0, &events), 1);
        EXPECT_TRUE(Silent(Render(frames), frames)) << frames << " frames";
    }
    effect->processReplacing(effect, nullptr, nullptr, 64);  // a host without buffers: no crash
    Render(0);
}

TEST_F(PluginBinary, ChunksWithoutStateAndPresetChunks)
{
    void* data = nullptr;
    EXPECT_EQ(Call(effGetChunk, 0, 0, &data), 1752) << "an empty rack is a performance too";
    EXPECT_NE(data, nullptr);
    EXPECT_EQ(Call(effGetChunk, 1, 0, &data), 0) << "preset chunk";

    const char bytes[] = "not a performance";
    EXPECT_EQ(Call(effSetChunk, 0, sizeof bytes, const_cast<char*>(bytes)), 1);
    EXPECT_EQ(Call(effSetChunk, 1, sizeof bytes, const_cast<char*>(bytes)), 0);
    EXPECT_EQ(Call(effSetChunk, 0, 16, nullptr), 0) << "a null chunk is refused";
    EXPECT_TRUE(testsupport::ListFolder(home.Data() + "/Orvana").empty())
        << "no temporary file left";
}

TEST(PluginEntry, AHostThatAnswersVersionZeroGetsNoPlugin)
{
    VstPluginModule::Options old;
    old.versionAnswer = 0;
    std::string error;
    EXPECT_EQ(VstPluginModule::Load(MARLET_PLUGIN_PATH, old, error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(PluginEntry, TheLibraryExportsOnlyItsTwoEntryPoints)
{
    const std::string command = std::string("nm -D --defined-only ") + MARLET_PLUGIN_PATH;
    std::FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::set<std::string> functions;
    char line[512];
    while (std::fgets(line, sizeof line, pipe)) {
        char type = 0;
        char name[400] = {};
        unsigned long long address = 0;
        if (std::sscanf(line, "%llx %c %399s", &address, &type, name) == 3 &&
            (type == 'T' || type == 'W' || type == 'i'))
            functions.insert(name);
    }
    ASSERT_EQ(pclose(pipe), 0);
    EXPECT_EQ(functions, (std::set<std::string> {"VSTPluginMain", "main"}));
}

}  // namespace
