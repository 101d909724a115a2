#include "tools/marlet-host/VstPluginModule.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "fixtures/TempFolder.h"
#include "tests/host/TestPlugins.h"

namespace {

using testing::HasSubstr;
using testing::Not;

std::string ReadText(const std::string& path)
{
    const auto bytes = testsupport::ReadFileBytes(path);
    return {bytes.begin(), bytes.end()};
}

TEST(HostVstPluginModule, AnswersAndRecordsTheCallbackFromEntryToOtherThreads)
{
    testsupport::TempFolder folder;
    const testsupport::ScopedEnv log("MARLET_PROBE_LOG", folder.File("log"));
    VstPluginModule::Options options;
    options.versionAnswer = 2300;
    options.sampleRate = 22050;
    options.blockSize = 64;
    std::string error;
    const auto module = VstPluginModule::Load(testplugins::kProbe, options, error);
    ASSERT_TRUE(module) << error;
    module->Dispatch(vst::effOpen);  // the probe asks the host its questions here
    module->SetSampleRate(96000);
    module->SetBlockSize(128);
    module->Dispatch(vst::effOpen);

    const std::string text = ReadText(folder.File("log"));
    EXPECT_THAT(text, HasSubstr("entry version 2300\n"));  // answered before the effect existed
    EXPECT_THAT(text, HasSubstr("host sampleRate 22050\nhost blockSize 64\n"));
    EXPECT_THAT(text, HasSubstr("host sampleRate 96000\nhost blockSize 128\n"));

    const auto calls = module->HostCalls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front().opcode, vst::audioMasterVersion);
    // The probe makes this call from a thread of its own.
    EXPECT_TRUE(std::any_of(calls.begin(), calls.end(), [](const auto& c) {
        return c.opcode == vst::audioMasterIdle && c.index == 7;
    }));
}

TEST(HostVstPluginModule, ExplainsFailures)
{
    std::string error;
    VstPluginModule::Options tooOld;
    tooOld.versionAnswer = 0;
    EXPECT_FALSE(VstPluginModule::Load(testplugins::kProbe, tooOld, error));
    EXPECT_THAT(error, HasSubstr("refused to start"));

    EXPECT_FALSE(VstPluginModule::Load("/no/such/plugin.so", error));
    EXPECT_THAT(error, HasSubstr("/no/such/plugin.so"));

    testsupport::TempFolder folder;
    const std::string junk = folder.File("junk.so");
    ASSERT_TRUE(testsupport::WriteFileBytes(junk, "not a library", 13));
    EXPECT_FALSE(VstPluginModule::Load(junk, error));
    EXPECT_THAT(error, HasSubstr("cannot load"));
    EXPECT_THAT(error, Not(HasSubstr("%1"))) << "the system's text keeps its placeholder";

    EXPECT_FALSE(VstPluginModule::Load(testplugins::NonPluginLibrary(), error));
    EXPECT_THAT(error, HasSubstr("no VSTPluginMain or main"));
}

}  // namespace
