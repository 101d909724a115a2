// The missing-files dialog over generated folder trees: what a scan takes and what it leaves,
// trees that could trap it (links, unreadable and over-long folders), cancelling, closing it
// mid-scan, its results and its picture.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "editor/WMissing.h"
#include "fixtures/TempFolder.h"
#include "gui/WFileDialog.h"
#include "gui/XButton.h"
#include "gui/XEditBox.h"
#include "gui/XGraphic.h"
#include "gui/XLabel.h"
#include "gui/XList.h"
#include "gui/XScrollBar.h"
#include "gui/XViewPort.h"
#include "platform/Platform.h"
#include "tests/editor/DialogsRig.h"
#include "tests/gui/ControlsRig.h"
#include "tests/gui/support/ReferenceImage.h"

namespace {

namespace fs = std::filesystem;
using dialogsrig::Host;
using namespace std::chrono_literals;

// A temporary tree: the folder to scan is Scan(); files and links are made relative to it
// (".." reaches beside it).
class Tree {
public:
    Tree() { fs::create_directories(Scan()); }
    std::string Scan() const { return folder_.File("scan"); }
    std::string At(const std::string& relative) const { return Scan() + "/" + relative; }

    void File(const std::string& relative) const
    {
        const fs::path path(At(relative));
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "gig";
    }
    void Folder(const std::string& relative) const { fs::create_directories(At(relative)); }
    void Link(const std::string& relative, const std::string& target) const
    {
        const fs::path path(At(relative));
        fs::create_directories(path.parent_path());
        fs::create_symlink(target, path);
    }

private:
    testsupport::TempFolder folder_;
};

// The dialog shown over a host; the scan runs to its end on ticks like the editor's.
struct Rig {
    Rig() { dialog = host->Show(std::make_unique<WMissing>(), WMissing::kPopupId); }

    // Ticks until the scan's 'done' was handled; false when it takes longer than 20 s.
    bool Scan(const std::string& folder)
    {
        if (!dialog->ScanFolder(folder)) return false;
        return Finish();
    }
    bool Finish()
    {
        const auto end = std::chrono::steady_clock::now() + 20s;
        while (dialog->IsScanning() && std::chrono::steady_clock::now() < end) {
            host->Tick();
            platform::SleepMs(1);
        }
        return !dialog->IsScanning();
    }
    // After a scan that did not find everything, the dialog is ready for another one.
    void ExpectIdleAgain() const
    {
        host->Tick();
        EXPECT_EQ(host->closed, 0);
        EXPECT_EQ(dialog->ScanButton()->Text(), "Select folder to scan");
        EXPECT_TRUE(dialog->ScanButton()->IsEnabled());
        EXPECT_TRUE(dialog->IgnoreButton()->IsEnabled());
    }
    void ExpectClosedWith(std::int32_t result) const
    {
        host->Tick();
        EXPECT_EQ(host->closed, 1);
        EXPECT_EQ(host->closedId, WMissing::kPopupId);
        EXPECT_EQ(host->result, result);
    }

    std::unique_ptr<Host> host = std::make_unique<Host>(800, 600);  // room for the folder dialog
    WMissing* dialog = nullptr;
};

// --- What one scan takes

struct MatchCase {
    const char* name;
    std::vector<std::string> files;
    std::vector<std::pair<std::string, std::string>> links;  // where -> target
    std::string listed;
    std::optional<std::string> found;  // relative to the scanned folder
};

void PrintTo(const MatchCase& c, std::ostream* out)
{
    *out << c.name;
}

class MissingMatchTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MissingMatchTest, FindsExactlyTheListedName)
{
    const MatchCase& c = GetParam();
    Tree tree;
    for (const std::string& file : c.files) tree.File(file);
    for (const auto& [where, target] : c.links) tree.Link(where, target);
    Rig rig;
    ASSERT_TRUE(rig.dialog->AddMissing(c.listed));

    ASSERT_TRUE(rig.Scan(tree.Scan()));

    if (c.found) {
        EXPECT_EQ(rig.dialog->FoundPathFor(c.listed), tree.At(*c.found));
        rig.ExpectClosedWith(1);
    } else {
        EXPECT_EQ(rig.dialog->FoundPathFor(c.listed), std::nullopt);
        EXPECT_EQ(rig.dialog->FoundCount(), 0u);
        rig.ExpectIdleAgain();
    }
}

const std::string kLongFolder(200, 'f');
const std::string kLongName = std::string(246, 'n') + ".gig";

INSTANTIATE_TEST_SUITE_P(
    editor, MissingMatchTest,
    ::testing::Values(
        MatchCase {"SubSubFolder",
                   {"a/Other.gig", "a/b/MyPiano.gig"},
                   {},
                   "/old/Samples/MyPiano.gig",
                   "a/b/MyPiano.gig"},
        MatchCase {"NameCaseDiffers",
                   {"MyPiano.GIG", "x/mypiano.gig"},
                   {},
                   "/old/Samples/MyPiano.gig",
                   std::nullopt},
        MatchCase {
            "ExtensionCaseFree", {"Strings.GIG"}, {}, "C:\\Samples\\Strings.GIG", "Strings.GIG"},
        MatchCase {"HiddenSkipped", {".cache/Choir.gig"}, {}, "/x/Choir.gig", std::nullopt},
        MatchCase {"OnlyGigFiles", {"Organ.sf2"}, {}, "/x/Organ.sf2", std::nullopt},
        MatchCase {"NotUtf8",
                   {"Fl\xFC"
                    "gel/Fl\xFC"
                    "gel.gig"},
                   {},
                   "/x/Fl\xFC"
                   "gel.gig",
                   "Fl\xFC"
                   "gel/Fl\xFC"
                   "gel.gig"},
        MatchCase {"LongNames",
                   {kLongFolder + "/" + kLongName},
                   {},
                   "/x/" + kLongName,
                   kLongFolder + "/" + kLongName},
        MatchCase {"LinkToFileTaken",
                   {"../outside/Bells.gig"},
                   {{"Bells.gig", "../outside/Bells.gig"}},
                   "/x/Bells.gig",
                   "Bells.gig"},
        MatchCase {"LinkToFolderNotFollowed",
                   {"../outside/Harp/Harp.gig"},
                   {{"harp", "../outside/Harp"}},
                   "/x/Harp.gig",
                   std::nullopt},
        MatchCase {"DanglingLinkNotTaken",
                   {},
                   {{"Ghost.gig", "../nowhere/Ghost.gig"}},
                   "/x/Ghost.gig",
                   std::nullopt},
        MatchCase {"LinkLoops",
                   {"a/b/Target.gig"},
                   {{"a/up", ".."}, {"a/b/self", "."}},
                   "/x/Target.gig",
                   "a/b/Target.gig"}),
    [](const ::testing::TestParamInfo<MatchCase>& info) { return info.param.name; });

// --- The list and its results across scans

TEST(editorMissingList, SamePathListedOnceAndOneFileSatisfiesEveryEntryOfItsName)
{
    Tree tree;
    tree.File("deep/down/Piano.gig");
    Rig rig;
    EXPECT_TRUE(rig.dialog->AddMissing("/a/Piano.gig"));
    EXPECT_FALSE(rig.dialog->AddMissing("/a/Piano.gig"));
    EXPECT_TRUE(rig.dialog->AddMissing("/b/Piano.gig"));
    EXPECT_EQ(rig.dialog->MissingCount(), 2u);
    EXPECT_EQ(rig.dialog->List()->ItemCount(), 2);

    ASSERT_TRUE(rig.Scan(tree.Scan()));
    EXPECT_EQ(rig.dialog->FoundPathFor("/a/Piano.gig"), tree.At("deep/down/Piano.gig"));
    EXPECT_EQ(rig.dialog->FoundPathFor("/b/Piano.gig"), tree.At("deep/down/Piano.gig"));
    EXPECT_EQ(rig.dialog->FoundPathFor("/c/Piano.gig"), std::nullopt);
    rig.ExpectClosedWith(1);
}

TEST(editorMissingList, FoundEntriesStayFoundWhenAnotherFolderFindsTheRest)
{
    Tree first, second;
    first.File("A.gig");
    second.File("A.gig");
    second.File("B.gig");
    Rig rig;
    rig.dialog->AddMissing("/old/A.gig");
    rig.dialog->AddMissing("/old/B.gig");

    ASSERT_TRUE(rig.Scan(first.Scan()));
    EXPECT_EQ(rig.dialog->FoundCount(), 1u);
    rig.ExpectIdleAgain();

    ASSERT_TRUE(rig.Scan(second.Scan()));
    EXPECT_EQ(rig.dialog->FoundPathFor("/old/A.gig"), first.At("A.gig"));
    EXPECT_EQ(rig.dialog->FoundPathFor("/old/B.gig"), second.At("B.gig"));
    rig.ExpectClosedWith(1);
}

TEST(editorMissingList, IgnoreClosesWithZero)
{
    Rig rig;
    rig.dialog->AddMissing("/old/A.gig");
    rig.host->Click(rig.dialog->IgnoreButton());
    rig.ExpectClosedWith(0);
}

// The scan button asks for the folder; with no dialog program on the PATH our own folder
// dialog opens over this one, and its answer starts the scan on a later tick.
TEST(editorMissingList, ScanButtonScansTheFolderTheDialogAnswers)
{
    testsupport::TempFolder emptyBin;
    const testsupport::ScopedEnv path("PATH", emptyBin.Path());
    Tree tree;
    tree.File("x/Piano.gig");
    Rig rig;
    rig.dialog->AddMissing("/old/Piano.gig");

    rig.host->Click(rig.dialog->ScanButton());
    auto* chooser = dynamic_cast<WFileDialog*>(rig.dialog->OpenPopup());
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->Title(), "Select a folder");
    chooser->PathBox()->SetText(tree.Scan());
    rig.host->Click(chooser->OkButton());

    for (int i = 0; i < 2000 && rig.host->closed == 0; ++i) {
        rig.host->Tick();
        platform::SleepMs(1);
    }
    EXPECT_EQ(rig.host->closed, 1);
    EXPECT_EQ(rig.host->result, 1);
}

// --- Trees that must not trap the scan

// A chain of folders whose full path is longer than the system allows: made and removed
// through folder handles, since no path reaches its bottom.
class OverlongChain {
public:
    OverlongChain(const std::string& top, int depth) : top_(top)
    {
        int fd = open(top.c_str(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < depth && fd >= 0; ++i) {
            mkdirat(fd, kName.c_str(), 0755);
            const int next = openat(fd, kName.c_str(), O_RDONLY | O_DIRECTORY);
            close(fd);
            fd = next;
            ++depth_;
        }
        if (fd >= 0) {
            close(openat(fd, "Deep.gig", O_CREAT | O_WRONLY, 0644));
            close(fd);
        }
    }
    ~OverlongChain() { Remove(open(top_.c_str(), O_RDONLY | O_DIRECTORY), 0); }

    static inline const std::string kName = std::string(200, 'd');

private:
    void Remove(int fd, int level)
    {
        if (fd < 0) return;
        if (level < depth_) {
            Remove(openat(fd, kName.c_str(), O_RDONLY | O_DIRECTORY), level + 1);
            unlinkat(fd, kName.c_str(), AT_REMOVEDIR);
        } else {
            unlinkat(fd, "Deep.gig", 0);
        }
        close(fd);
    }

    std::string top_;
    int depth_ = 0;
};

TEST(editorMissingTrap, UnreadableAndOverlongFoldersContributeNothing)
{
    Tree tree;
    tree.Folder("locked/inner");
    tree.File("zz/Target.gig");
    chmod(tree.At("locked").c_str(), 0);
    tree.Folder("long");
    const OverlongChain chain(tree.At("long"), 24);
    Rig rig;
    rig.dialog->AddMissing("/old/Target.gig");
    rig.dialog->AddMissing("/old/Deep.gig");

    ASSERT_TRUE(rig.Scan(tree.Scan()));
    chmod(tree.At("locked").c_str(), 0755);

    EXPECT_EQ(rig.dialog->FoundPathFor("/old/Target.gig"), tree.At("zz/Target.gig"));
    EXPECT_EQ(rig.dialog->FoundPathFor("/old/Deep.gig"), std::nullopt);
    rig.ExpectIdleAgain();
}

// --- Cancelling and closing while a scan runs

// Ten sub-folders, each holding the listed file; the scan is held on entering its second
// folder, so nothing has been found yet.
struct HeldScan {
    HeldScan()
    {
        for (int i = 0; i < 10; ++i) tree.File("s" + std::to_string(i) + "/Target.gig");
        rig.dialog->AddMissing("/old/Target.gig");
        rig.dialog->SetScanObserver([this](const std::string& folder) {
            if (++entered != 2) return;
            heldAt.set_value(folder);
            released.wait();
        });
    }
    // A failed check must not leave the thread held while the dialog joins it.
    ~HeldScan() { Release(); }
    void Release()
    {
        if (!releasedSet.exchange(true)) release.set_value();
    }

    Tree tree;
    std::atomic<int> entered {0};
    std::promise<std::string> heldAt;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::atomic<bool> releasedSet {false};
    Rig rig;
};

TEST(editorMissingCancel, ScanButtonCancelsAtTheNextFolderAndTheDialogStaysUsable)
{
    HeldScan held;
    WMissing& dialog = *held.rig.dialog;
    ASSERT_TRUE(dialog.ScanFolder(held.tree.Scan()));
    std::future<std::string> heldAt = held.heldAt.get_future();
    ASSERT_EQ(heldAt.wait_for(10s), std::future_status::ready);
    const std::string folder = heldAt.get();

    held.rig.host->Tick();
    EXPECT_EQ(dialog.Status()->Text(), folder);
    EXPECT_EQ(dialog.ScanButton()->Text(), "Cancel");
    EXPECT_FALSE(dialog.IgnoreButton()->IsEnabled());
    EXPECT_FALSE(dialog.AddMissing("/old/Other.gig"));
    EXPECT_FALSE(dialog.ScanFolder(held.tree.Scan()));
    EXPECT_EQ(dialog.FoundPathFor("/old/Target.gig"), std::nullopt);

    held.rig.host->Click(dialog.ScanButton());
    EXPECT_FALSE(dialog.ScanButton()->IsEnabled());
    held.Release();
    ASSERT_TRUE(held.rig.Finish());

    EXPECT_EQ(held.entered.load(), 2);
    EXPECT_EQ(dialog.FoundCount(), 0u);
    held.rig.ExpectIdleAgain();
}

TEST(editorMissingCancel, ClosingTheEditorMidScanStopsAndJoinsTheThread)
{
    Tree tree;
    for (int i = 0; i < 300; ++i) tree.Folder("f" + std::to_string(i));
    std::promise<void> started;
    std::atomic<int> entered {0};
    Rig rig;
    rig.dialog->AddMissing("/old/Never.gig");
    // About 6 s for the whole tree.
    rig.dialog->SetScanObserver([&](const std::string&) {
        if (++entered == 2) started.set_value();
        std::this_thread::sleep_for(20ms);
    });
    ASSERT_TRUE(rig.dialog->ScanFolder(tree.Scan()));
    ASSERT_EQ(started.get_future().wait_for(10s), std::future_status::ready);

    const auto before = std::chrono::steady_clock::now();
    rig.host.reset();
    const auto took = std::chrono::steady_clock::now() - before;
    EXPECT_LT(took, 1s);
    EXPECT_LT(entered.load(), 60);
}

// --- The picture

TEST(editorMissingPicture, MatchesReference)
{
    Host host(WMissing::kWidth + 20, WMissing::kHeight + 20);
    auto* dialog = host.Show(std::make_unique<WMissing>(), WMissing::kPopupId);
    for (const char* path :
         {"/home/me/Samples/Pianos/Concert Grand.gig", "/home/me/Samples/Pianos/Upright.gig",
          "/home/me/Samples/Strings/Chamber Strings.gig", "/home/me/Samples/Choir/Aahs.gig",
          "/media/library/Organ/Drawbars.gig", "/media/library/Bells/Tubular Bells.gig",
          "/media/library/Guitar/Nylon.gig", "/media/library/Bass/Fretless.gig"})
        dialog->AddMissing(path);
    dialog->Status()->SetText("/media/library/Orchestra/Brass/");
    XGraphic g;
    controlsrig::DrawAll(host, g);
    testsupport::ExpectMatchesReference(g, "dialogs_missing");
}

}  // namespace
