// The editor's ways to a file meet a named pipe (named x.gig or x.mrp), which a plain open for
// reading waits on until somebody writes, and a read held by the platform's seam, which stands
// in for a drive that does not answer: the tone menu's Load Instrument, the browser's program
// list, the missing files' folder scan and the toolbar's Open. None of them may hold up the GUI
// or closing for ever.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <condition_variable>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>

#include "editor/GigaEditor.h"
#include "editor/UProgramList.h"
#include "editor/WMissing.h"
#include "engine/GigaTone.h"
#include "fixtures/TempFolder.h"
#include "giga/GigaPlayer.h"
#include "gui/XButton.h"
#include "tests/editor/ViewsRig.h"
#include "tests/support/HeldReads.h"
#include "tools/marlet-demo/DemoInstrument.h"

namespace {

using testsupport::HeldReads;
using testsupport::Pipe;
using testsupport::ReturnsWithin;

// The desktop's file dialog, as a stand-in on PATH that answers what the test tells it.
class DialogAnswers {
public:
    DialogAnswers()
    {
        std::ofstream(bin_.File("zenity")) << "#!/bin/sh\ncat " << bin_.File("answer") << "\n";
        chmod(bin_.File("zenity").c_str(), 0755);
    }
    void Answer(const std::string& path) { std::ofstream(bin_.File("answer")) << path << "\n"; }

private:
    testsupport::TempFolder bin_;
    testsupport::ScopedEnv path_ {"PATH", bin_.Path() + ":/usr/bin:/bin"};
};

// --- The tone menu's Load Instrument

class ToneMenuPipe : public viewsrig::ViewsTest {
protected:
    DialogAnswers dialog;
    Pipe pipe {folder.File("x.gig")};
};

TEST_F(ToneMenuPipe, TheLoadFailsAtOnceAndTheOtherTonesLoad)
{
    Tone(1).AddLayer(bank, demo::kKeys);
    dialog.Answer(pipe.Path());
    const bool returned = ReturnsWithin(
        "Load Instrument on a pipe",
        [&] {
            ChooseInToneMenu(0, {"Load Instrument"});
            testsupport::Eventually([&] {
                View(0).Tick();
                return View(0).FileNav().GetState() != UFileNav::State::kOpen;
            });
            player.WaitWhileLoading();
        },
        [&] { pipe.Unblock(); });
    EXPECT_TRUE(returned) << "the load pass waited on the pipe";
    EXPECT_EQ(editor.Count("Load"), 1);
    ASSERT_EQ(Tone(0).LayerCount(), 1);
    EXPECT_EQ(Tone(0).Layer(0)->bankPath, pipe.Path());
    EXPECT_EQ(Tone(0).Status(), GigaTone::kLoadedWithFailure);
    EXPECT_EQ(Tone(1).Status(), GigaTone::kLoaded);
}

// --- The browser's program list

class ProgramListReads : public ::testing::Test {
protected:
    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    std::string bank = folder.File("demo.gig");
    ProgramListReads() { testsupport::GigWriter(demo::DemoBank()).Write(bank); }
};

TEST_F(ProgramListReads, APipeAnswersAsAFileThatDoesNotOpenAndTheListGoesOn)
{
    Pipe pipe(folder.File("x.gig"));
    UProgramList::Result pipeResult, bankResult;
    const bool returned = ReturnsWithin(
        "the program list on a pipe",
        [&] {
            UProgramList reader;
            reader.Request(pipe.Path());
            testsupport::Eventually([&] { return reader.Take(pipeResult); });
            reader.Request(bank);
            testsupport::Eventually([&] { return reader.Take(bankResult); });
        },
        [&] { pipe.Unblock(); });
    EXPECT_TRUE(returned) << "the reader waited on the pipe";
    EXPECT_EQ(pipeResult.path, pipe.Path());
    EXPECT_FALSE(pipeResult.opened);
    EXPECT_TRUE(bankResult.opened);
    EXPECT_EQ(bankResult.names.size(), 3u);
}

TEST_F(ProgramListReads, ClosingWhileAReadNeverEndsReturns)
{
    HeldReads::Instance().Hold(bank);
    auto reader = std::make_unique<UProgramList>();
    reader->Request(bank);
    ASSERT_TRUE(HeldReads::Instance().AwaitHeld(bank)) << "the reader never opened the bank";
    EXPECT_FALSE(reader->WaitFor(0));
    EXPECT_TRUE(ReturnsWithin(
        "closing the program list", [&] { reader.reset(); },
        [&] { HeldReads::Instance().Release(bank); }))
        << "closing waited for the held read";
    HeldReads::Instance().Release(bank);
}

// --- The missing files' folder scan

TEST(MissingFilesScan, ClosingWhileAFolderNeverAnswersReturns)
{
    testsupport::TempFolder tree;
    std::filesystem::create_directories(tree.File("a/b"));
    // The scan's first folder never answers until released; what the scan holds is shared
    // with it, for it may end after this test.
    struct Hold {
        std::mutex mutex;
        std::condition_variable changed;
        bool held = false;
        bool released = false;
    };
    auto hold = std::make_shared<Hold>();
    const auto release = [hold] {
        std::lock_guard lock(hold->mutex);
        hold->released = true;
        hold->changed.notify_all();
    };
    auto dialog = std::make_unique<WMissing>();
    ASSERT_TRUE(dialog->AddMissing("/o/Never.gig"));
    dialog->SetScanObserver([hold](const std::string&) {
        std::unique_lock lock(hold->mutex);
        hold->held = true;
        hold->changed.notify_all();
        hold->changed.wait(lock, [&] { return hold->released; });
    });
    ASSERT_TRUE(dialog->ScanFolder(tree.Path()));
    {
        std::unique_lock lock(hold->mutex);
        ASSERT_TRUE(hold->changed.wait_for(lock, testsupport::kReturnDeadline, [&] {
            return hold->held;
        })) << "the scan never entered its folder";
    }
    EXPECT_TRUE(ReturnsWithin(
        "closing the dialog mid-scan", [&] { dialog.reset(); }, release))
        << "closing waited for the scan";
    release();
}

// --- The toolbar's Open

class ToolbarOpen : public ::testing::Test {
protected:
    ToolbarOpen()
    {
        testsupport::GigWriter(demo::DemoBank()).Write(bank);
        GigaPlayer writer;
        writer.OnInit();
        writer.LeavePlayerList();
        writer.Giga(2)->AddLayer(bank, demo::kPad);
        writer.Save(performance);
        player.OnInit();
        player.KyStart();
        editor = std::make_unique<GigaEditor>(player);
        Tick();
    }
    ~ToolbarOpen() override
    {
        editor.reset();
        player.WaitWhileLoading();
        player.LeavePlayerList();
    }
    void Tick() { editor->Idle(++tick); }
    // Open on the toolbar, the dialog's answer, and the ticks until the dialog has answered.
    void Open(const std::string& path)
    {
        dialog.Answer(path);
        XButton* button = editor->ToolButton(GigaEditor::kOpen);
        editor->MouseDownAt(button->AbsoluteX() + 10, button->AbsoluteY() + 10, 1, false, false);
        editor->MouseUpAt(button->AbsoluteX() + 10, button->AbsoluteY() + 10);
        testsupport::Eventually([&] {
            Tick();
            return editor->FileNav().GetState() != UFileNav::State::kOpen;
        });
    }

    testsupport::IsolatedHome home;
    testsupport::TempFolder folder;
    DialogAnswers dialog;
    std::string bank = folder.File("demo.gig");
    std::string performance = folder.File("rack.mrp");
    GigaPlayer player;
    std::unique_ptr<GigaEditor> editor;
    std::uint32_t tick = 0;
};

TEST_F(ToolbarOpen, APipeIsRefusedAtOnceAndTheRackStays)
{
    Pipe pipe(folder.File("x.mrp"));
    EXPECT_TRUE(ReturnsWithin(
        "Open on a pipe",
        [&] {
            Open(pipe.Path());
            Tick();
        },
        [&] { pipe.Unblock(); }))
        << "the GUI thread waited on the pipe";
    EXPECT_EQ(editor->Path(), "");
    EXPECT_EQ(player.Giga(2)->LayerCount(), 0);
    // Refused, not left reading: the next Open is not turned away.
    Open(performance);
    EXPECT_EQ(editor->Path(), performance);
}

// A drive that does not answer: the GUI goes on, and the performance opens on the tick after
// its read ends; an editor closed meanwhile goes without waiting for the read.
TEST_F(ToolbarOpen, ASlowReadNeverHoldsTheGuiAndOpensOnALaterTick)
{
    HeldReads::Instance().Hold(performance);
    EXPECT_TRUE(ReturnsWithin(
        "Open on a held read", [&] { Open(performance); },
        [&] { HeldReads::Instance().Release(performance); }))
        << "the GUI thread waited for the held read";
    ASSERT_TRUE(HeldReads::Instance().AwaitHeld(performance));
    Tick();
    EXPECT_EQ(editor->Path(), "");
    HeldReads::Instance().Release(performance);
    EXPECT_TRUE(testsupport::Eventually([&] {
        Tick();
        return editor->Path() == performance;
    })) << "the performance never opened";
    player.WaitWhileLoading();
    EXPECT_EQ(player.Giga(2)->LayerCount(), 1);
}

TEST_F(ToolbarOpen, ClosingWhileTheReadIsHeldReturns)
{
    HeldReads::Instance().Hold(performance);
    Open(performance);
    ASSERT_TRUE(HeldReads::Instance().AwaitHeld(performance));
    EXPECT_TRUE(ReturnsWithin(
        "closing the editor", [&] { editor.reset(); },
        [&] { HeldReads::Instance().Release(performance); }))
        << "closing waited for the held read";
    HeldReads::Instance().Release(performance);
}

}  // namespace
