// What the editor's work does to the host's state: a rack the host restored is unchanged until
// the user changes it (Open and New then ask nothing), the user's edits through the editor count
// as changes of the host's state while looks and mute do not, and the volume fader's level comes
// back with the state.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <functional>
#include <memory>
#include <string>

#include "editor/GigaEditor.h"
#include "editor/GigaView.h"
#include "editor/XStripControls.h"
#include "engine/GigaTone.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "giga/GigaPlayer.h"
#include "gui/XFader.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace {

class EditorHostState : public ::testing::Test {
protected:
    EditorHostState()
    {
        testsupport::GigWriter(demo::DemoBank()).Write(bank);
        // The file dialog's stand-in answers "cancelled".
        std::ofstream(bin.File("zenity")) << "#!/bin/sh\nexit 1\n";
        chmod(bin.File("zenity").c_str(), 0755);
        player.OnInit();
        player.KyStart();
        editor = std::make_unique<GigaEditor>(player);
        RestoreHostState();
    }
    ~EditorHostState() override
    {
        editor.reset();
        player.LeavePlayerList();
    }

    // The host gives the plug-in a saved project: tone 1 plays the keys, tone 2 the pad.
    void RestoreHostState()
    {
        GigaPlayer saved;
        saved.OnInit();
        saved.LeavePlayerList();
        saved.Giga(0)->AddLayer(bank, demo::kKeys);
        saved.Giga(1)->AddLayer(bank, demo::kPad);
        const std::size_t size = saved.SaveToMemory();
        ASSERT_GT(size, 0u);
        player.LoadFromMemory(saved.Chunk().data(), size);
        player.WaitWhileLoading();
        Tick(3);
    }
    void Tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) editor->Idle(++tick);
    }
    GigaToneEdit& Door(int i) { return editor->View(i)->Tone(); }

    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    testsupport::TempFolder bin;
    testsupport::ScopedEnv path {"PATH", bin.Path() + ":/usr/bin:/bin"};
    std::string bank = folder.File("demo.gig");
    GigaPlayer player;
    std::unique_ptr<GigaEditor> editor;
    std::uint32_t tick = 0;
};

TEST_F(EditorHostState, ARestoredRackIsUnchangedSoOpenAndNewAskNothing)
{
    ASSERT_EQ(player.Giga(0)->Status(), GigaTone::kLoadedAndShown);
    EXPECT_FALSE(player.IsModified());
    EXPECT_EQ(player.StateChanges(), 0u) << "the host's own state is no change of it";

    editor->OpenCommand();
    EXPECT_EQ(editor->OpenPopup(), nullptr) << "no \"Save changes to Untitled?\"";
    editor->NewCommand();
    EXPECT_EQ(editor->OpenPopup(), nullptr);
    player.WaitWhileLoading();
    EXPECT_EQ(player.Giga(0)->LayerCount(), 0) << "new went ahead";
    EXPECT_GT(player.StateChanges(), 0u) << "an emptied rack is another state for the host";
}

struct Edit {
    const char* name;
    std::function<void(GigaToneEdit&)> apply;
    bool changesState;
};

class EditorEdits : public EditorHostState, public ::testing::WithParamInterface<Edit> {};

TEST_P(EditorEdits, CountAsChangesOfTheHostStateWhenTheyChangeWhatIsKept)
{
    const Edit& edit = GetParam();
    edit.apply(Door(0));
    EXPECT_EQ(player.IsModified(), edit.changesState);
    EXPECT_EQ(player.StateChanges() > 0, edit.changesState);
    if (!edit.changesState) return;
    // A save (the host's or the editor's) makes the rack unmodified again.
    player.SaveToMemory();
    EXPECT_FALSE(player.IsModified());
}

const auto kLayerVolume = [](GigaToneEdit& tone) {
    tone.EditLayer(0, [](GigaPart& layer) { layer.volume = 100; });
};
const auto kLayerRead = [](GigaToneEdit& tone) {
    tone.EditLayers([](int, GigaPart& layer) { (void)layer.volume.Get(); });
};

INSTANTIATE_TEST_SUITE_P(
    Edits, EditorEdits,
    ::testing::Values(Edit {"Fader", [](GigaToneEdit& t) { t.SetEffectiveVolume(41); }, true},
                      Edit {"Pan", [](GigaToneEdit& t) { t.SetPan(20); }, true},
                      Edit {"Bus", [](GigaToneEdit& t) { t.SetOutputBus(3); }, true},
                      Edit {"LayerVolume", kLayerVolume, true},
                      Edit {"Unload", [](GigaToneEdit& t) { t.Clear(); }, true},
                      Edit {"StackName", [](GigaToneEdit& t) { t.SetStackName("Mine"); }, true},
                      Edit {"SameValue", [](GigaToneEdit& t) { t.SetPan(t.Pan()); }, false},
                      Edit {"LayerRead", kLayerRead, false},
                      Edit {"Mute", [](GigaToneEdit& t) { t.SetMute(KyTone::kCurrentMute, 1); },
                            false}),
    [](const auto& info) { return std::string(info.param.name); });

// Set to 41 with the fader, the level comes back from the saved state as heard; the controller
// still drives the stored volume afterwards.
TEST_F(EditorHostState, TheFadersLevelComesBackWithTheState)
{
    editor->View(0)->Fader(XStripControls::kVolume).SetValue(41);
    EXPECT_EQ(player.Giga(0)->EffectiveVolume(), 41);
    EXPECT_GT(player.StateChanges(), 0u);

    GigaPlayer reopened;
    reopened.OnInit();
    reopened.LeavePlayerList();
    const std::size_t size = player.SaveToMemory();
    reopened.LoadFromMemory(player.Chunk().data(), size);
    EXPECT_EQ(reopened.Giga(0)->Volume(), 41);
    EXPECT_EQ(reopened.Giga(0)->EffectiveVolume(), 41);
    EXPECT_EQ(reopened.Giga(1)->EffectiveVolume(), KyTone::kDefaultVolume) << "others untouched";
}

}  // namespace
