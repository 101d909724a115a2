// The host hears of the user's changes: an edit in the editor becomes audioMasterUpdateDisplay
// on the thread that idles the editor, changes between reports wait for the next one (closing
// the editor reports them at once), and the host's own state given back is no change.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "editor/GigaEditor.h"
#include "editor/GigaView.h"
#include "fixtures/TempFolder.h"
#include "plugin/KyVstAudio.h"
#include "plugin/PluginEntry.h"

namespace {

std::atomic<int> reports {0};
std::atomic<int> reportsFromElsewhere {0};
std::thread::id guiThread;

vst::intptr Host(AEffect*, vst::int32 opcode, vst::int32, vst::intptr, void*, float)
{
    if (opcode == vst::audioMasterUpdateDisplay) {
        ++reports;
        if (std::this_thread::get_id() != guiThread) ++reportsFromElsewhere;
    }
    return opcode == vst::audioMasterVersion ? 2400 : 0;
}

TEST(ChangeReport, TheHostHearsOfTheUsersChangesAndNotOfItsOwnState)
{
    const testsupport::IsolatedHome home;
    guiThread = std::this_thread::get_id();
    AEffect* effect = CreatePluginEffect(&Host);
    ASSERT_NE(effect, nullptr);
    const auto dispatch = [&](vst::int32 opcode, vst::int32 index = 0, vst::intptr value = 0,
                              void* ptr = nullptr) {
        return effect->dispatcher(effect, opcode, index, value, ptr, 0);
    };
    dispatch(vst::effOpen);
    auto* plugin = static_cast<KyVstAudio*>(effect->object);
    GigaEditor* editor = plugin->GetEditor();

    // The host gives back the state it saved.
    void* data = nullptr;
    const vst::intptr size = dispatch(vst::effGetChunk, 0, 0, &data);
    ASSERT_GT(size, 0);
    const std::vector<char> chunk(static_cast<char*>(data), static_cast<char*>(data) + size);
    dispatch(vst::effSetChunk, 0, size, const_cast<char*>(chunk.data()));
    plugin->GetPlayer()->WaitWhileLoading();
    for (int i = 0; i < 3; ++i) dispatch(vst::effEditIdle);
    EXPECT_EQ(reports, 0);

    editor->View(0)->Tone().SetPan(10);
    dispatch(vst::effEditIdle);
    EXPECT_EQ(reports, 1) << "the first change is reported at the next idle";
    editor->View(0)->Tone().SetPan(20);
    editor->View(0)->Tone().SetPan(30);
    dispatch(vst::effEditClose);
    EXPECT_EQ(reports, 2) << "the changes left are reported, once, when the editor closes";
    dispatch(vst::effEditIdle);
    EXPECT_EQ(reports, 2) << "nothing new";
    EXPECT_EQ(reportsFromElsewhere, 0);
    dispatch(vst::effClose);
}

}  // namespace
