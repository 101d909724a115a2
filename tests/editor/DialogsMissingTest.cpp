// The missing-files dialog over generated folder trees: what a scan takes, trees that could
// trap it, cancelling and closing mid-scan, its results and its picture.
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
#include <vector>

#include "editor/EditorCodes.h"
#include "editor/WMissing.h"
#include "fixtures/TempFolder.h"
#include "gui/WFileDialog.h"
#include "gui/XButton.h"
#include "gui/XEditBox.h"
#include "gui/XLabel.h"
#include "gui/XList.h"
#include "tests/editor/DialogsRig.h"
#include "tests/support/WaitFor.h"
#include "tests/support/Watchdog.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// A temporary tree made relative to the folder to scan ("../" reaches beside it): "a/b.gig" a
// file, "a/" a folder, "link>target" a symbolic link.
struct Tree {
    explicit Tree(const std::vector<std::string>& entries)
    {
        fs::create_directories(Scan());
        for (const std::string& entry : entries) {
            const std::size_t arrow = entry.find('>');
            const fs::path path(At(entry.substr(0, arrow)));
            fs::create_directories(path.parent_path());
            if (arrow != std::string::npos) {
                fs::create_symlink(entry.substr(arrow + 1), path);
            } else if (entry.back() == '/') {
                fs::create_directories(path);
            } else {
                std::ofstream(path) << "gig";
            }
        }
    }
    std::string Scan() const { return folder.File("scan"); }
    // As the scan reports it.
    std::string At(const std::string& relative) const
    {
        return testsupport::NativePath(Scan(), relative);
    }

    testsupport::TempFolder folder;
};

// The dialog shown over a host as the editor shows it, scans run to their end on ticks.
struct Rig {
    explicit Rig(std::vector<std::string> missing = {})
    {
        for (const std::string& path : missing) EXPECT_TRUE(dialog->AddMissing(path));
    }
    // Ticks until the scan's 'done' was handled.
    ::testing::AssertionResult Scan(const std::string& folder)
    {
        if (!dialog->ScanFolder(folder)) return ::testing::AssertionFailure() << "no scan started";
        return Finish();
    }
    ::testing::AssertionResult Finish()
    {
        return testsupport::WaitFor(
            [&] {
                host->Tick();
                return !dialog->IsScanning();
            },
            "the scan to end");
    }
    // Open and ready for another folder, or closed with `result`.
    void ExpectOutcome(std::optional<std::int32_t> result)
    {
        host->Tick();
        EXPECT_EQ(host->closed, result ? 1 : 0);
        if (result) {
            EXPECT_EQ(host->closedId, editorcode::kMissingFiles);
            EXPECT_EQ(host->result, *result);
            return;
        }
        EXPECT_EQ(dialog->ScanButton()->Text(), "Select folder to scan");
        EXPECT_TRUE(dialog->ScanButton()->IsEnabled());
        EXPECT_TRUE(dialog->IgnoreButton()->IsEnabled());
    }

    std::unique_ptr<dialogsrig::Host> host = std::make_unique<dialogsrig::Host>(800, 600);
    WMissing* dialog = host->Show(std::make_unique<WMissing>(), editorcode::kMissingFiles);
};

struct MatchCase {
    const char* name;
    std::vector<std::string> tree;
    std::string listed;
    std::optional<std::string> found;  // relative to the scanned folder
};
void PrintTo(const MatchCase& c, std::ostream* out)
{
    *out << c.name;
}

class MissingMatchTest : public ::testing::TestWithParam<MatchCase> {};

TEST_P(MissingMatchTest, TakesExactlyTheListedName)
{
    const MatchCase& c = GetParam();
    const Tree tree(c.tree);
    Rig rig({c.listed});
    ASSERT_TRUE(rig.Scan(tree.Scan()));
    EXPECT_EQ(rig.dialog->FoundPathFor(c.listed),
              c.found ? std::optional(tree.At(*c.found)) : std::nullopt);
    rig.ExpectOutcome(c.found ? std::optional(1) : std::nullopt);
}

const std::string kLong = std::string(200, 'f') + "/" + std::string(246, 'n') + ".gig";

INSTANTIATE_TEST_SUITE_P(
    editor, MissingMatchTest,
    ::testing::Values(
        MatchCase {"SubSubFolder",
                   {"a/Other.gig", "a/b/MyPiano.gig"},
                   "/o/MyPiano.gig",
                   "a/b/MyPiano.gig"},
        MatchCase {"NameCase", {"MyPiano.GIG", "x/mypiano.gig"}, "/o/MyPiano.gig", {}},
        MatchCase {"ExtensionCase", {"Strings.GIG"}, "C:\\Lib\\Strings.GIG", "Strings.GIG"},
        MatchCase {"Hidden", {".cache/Choir.gig"}, "/o/Choir.gig", {}},
        MatchCase {"NotGig", {"Organ.sf2"}, "/o/Organ.sf2", {}},
        MatchCase {"NotUtf8", {"\xFC/Fl\xFC.gig"}, "/o/Fl\xFC.gig", "\xFC/Fl\xFC.gig"},
        MatchCase {"LongNames", {kLong}, "/o/" + kLong.substr(201), kLong},
        MatchCase {"LinkToFile",
                   {"../out/Bells.gig", "Bells.gig>../out/Bells.gig"},
                   "/o/Bells.gig",
                   "Bells.gig"},
        MatchCase {"LinkToFolder", {"../out/Harp.gig", "harp>../out"}, "/o/Harp.gig", {}},
        MatchCase {"DanglingLink", {"Ghost.gig>../none/Ghost.gig"}, "/o/Ghost.gig", {}},
        MatchCase {"LinkLoops", {"a/b/T.gig", "a/up>..", "a/b/self>."}, "/o/T.gig", "a/b/T.gig"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(editorMissing, ListsEachPathOnceAndKeepsWhatEarlierScansFound)
{
    const Tree first({"x/Piano.gig"}), second({"Piano.gig", "Bass.gig"});
    Rig rig({"/a/Piano.gig", "/b/Piano.gig", "/a/Bass.gig"});
    EXPECT_FALSE(rig.dialog->AddMissing("/a/Piano.gig"));
    EXPECT_EQ(rig.dialog->List()->ItemCount(), 3);

    ASSERT_TRUE(rig.Scan(first.Scan()));
    EXPECT_EQ(rig.dialog->FoundCount(), 2u);
    rig.ExpectOutcome(std::nullopt);
    ASSERT_TRUE(rig.Scan(second.Scan()));
    for (const char* piano : {"/a/Piano.gig", "/b/Piano.gig"})
        EXPECT_EQ(rig.dialog->FoundPathFor(piano), first.At("x/Piano.gig"));
    EXPECT_EQ(rig.dialog->FoundPathFor("/a/Bass.gig"), second.At("Bass.gig"));
    rig.ExpectOutcome(1);
}

TEST(editorMissing, IgnoreClosesWithZero)
{
    Rig rig({"/o/A.gig"});
    rig.host->Click(rig.dialog->IgnoreButton());
    rig.ExpectOutcome(0);
}

// With no dialog program on the PATH our own folder dialog opens over this one; its answer
// starts the scan on a later tick.
TEST(editorMissing, ScanButtonScansTheFolderTheDialogAnswers)
{
    const testsupport::TempFolder noPrograms;
    const testsupport::ScopedEnv path("PATH", noPrograms.Path());
    const Tree tree({"x/Piano.gig"});
    Rig rig({"/o/Piano.gig"});
    rig.host->Click(rig.dialog->ScanButton());
    auto* chooser = dynamic_cast<WFileDialog*>(rig.dialog->OpenPopup());
    ASSERT_NE(chooser, nullptr);
    EXPECT_EQ(chooser->Title(), "Select a folder");
    chooser->PathBox()->SetText(tree.Scan());
    rig.host->Click(chooser->OkButton());
    EXPECT_TRUE(testsupport::WaitFor(
        [&] {
            rig.host->Tick();
            return rig.host->closed != 0;
        },
        "the scan of the chosen folder to find the file and close the dialog"));
    EXPECT_EQ(rig.host->result, 1);
}

// Windows has neither folder handles for these calls nor permissions that chmod takes away.
#ifndef _WIN32
// A folder that cannot be read, whoever runs the test: a chain of folders deeper than any path
// may be, made and removed through folder handles.
struct OverlongChain {
    static constexpr int kDepth = 24;
    explicit OverlongChain(const std::string& top) : top(top)
    {
        int fd = open(top.c_str(), O_RDONLY | O_DIRECTORY);
        for (int i = 0; i < kDepth; ++i) {
            mkdirat(fd, name.c_str(), 0755);
            const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
            close(fd);
            fd = next;
        }
        close(openat(fd, "Deep.gig", O_CREAT | O_WRONLY, 0644));
        close(fd);
    }
    ~OverlongChain() { Remove(open(top.c_str(), O_RDONLY | O_DIRECTORY), 0); }
    void Remove(int fd, int level)
    {
        if (level < kDepth) Remove(openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY), level + 1);
        unlinkat(fd, level < kDepth ? name.c_str() : "Deep.gig", level < kDepth ? AT_REMOVEDIR : 0);
        close(fd);
    }
    std::string top;
    const std::string name = std::string(200, 'd');
};

TEST(editorMissing, UnreadableFoldersContributeNothing)
{
    const Tree tree({"locked/inner/", "long/", "zz/Target.gig"});
    const OverlongChain chain(tree.At("long"));
    chmod(tree.At("locked").c_str(), 0);  // unreadable unless the test runs as root
    Rig rig({"/o/Target.gig", "/o/Deep.gig"});
    ASSERT_TRUE(rig.Scan(tree.Scan()));
    chmod(tree.At("locked").c_str(), 0755);
    EXPECT_EQ(rig.dialog->FoundPathFor("/o/Target.gig"), tree.At("zz/Target.gig"));
    EXPECT_EQ(rig.dialog->FoundPathFor("/o/Deep.gig"), std::nullopt);
    rig.ExpectOutcome(std::nullopt);
}
#endif

// Ten sub-folders, each with the listed file; the scan thread is held as it enters the second
// folder it meets, so nothing is found yet.
TEST(editorMissing, ScanButtonCancelsAtTheNextFolderAndTheDialogStaysUsable)
{
    std::vector<std::string> entries;
    for (int i = 0; i < 10; ++i) entries.push_back("s" + std::to_string(i) + "/T.gig");
    const Tree tree(entries);
    std::atomic<int> entered {0};
    std::promise<std::string> held;
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    Rig rig({"/o/T.gig"});
    WMissing& dialog = *rig.dialog;
    dialog.SetScanObserver([&](const std::string& folder) {
        if (++entered != 2) return;
        held.set_value(folder);
        released.wait();
    });
    ASSERT_TRUE(dialog.ScanFolder(tree.Scan()));
    auto heldAt = held.get_future();
    const ::testing::AssertionResult reached =
        testsupport::WaitFor([&] { return heldAt.wait_for(0s) == std::future_status::ready; },
                             "the scan to enter its second folder");
    if (!reached) release.set_value();  // a late hold must not block the join
    ASSERT_TRUE(reached);

    // Only non-fatal checks until the thread is released.
    rig.host->Tick();
    EXPECT_EQ(dialog.Status()->Text(), heldAt.get());
    EXPECT_EQ(dialog.ScanButton()->Text(), "Cancel");
    EXPECT_FALSE(dialog.IgnoreButton()->IsEnabled());
    EXPECT_FALSE(dialog.AddMissing("/o/Other.gig"));
    EXPECT_EQ(dialog.FoundPathFor("/o/T.gig"), std::nullopt);
    rig.host->Click(dialog.ScanButton());
    EXPECT_FALSE(dialog.ScanButton()->IsEnabled());
    release.set_value();

    ASSERT_TRUE(rig.Finish());
    EXPECT_EQ(entered.load(), 2);
    EXPECT_EQ(dialog.FoundCount(), 0u);
    rig.ExpectOutcome(std::nullopt);
}

// What the test sees of a scan, shared with the scan's thread: the close destroys the dialog,
// and a scan it had to leave running would outlive the test case too.
struct ScanProgress {
    std::atomic<int> entered {0};
    std::atomic<bool> held {false};
    std::atomic<bool> closing {false};
};

// A dialog whose scan is held in its second folder until the dialog is being closed, so that
// the close always meets it mid-walk. This destructor runs first in the close; the dialog's own
// then stops the scan and waits for it.
class ClosedMidScan : public WMissing {
public:
    explicit ClosedMidScan(std::shared_ptr<ScanProgress> progress) : progress_(progress)
    {
        SetScanObserver([progress](const std::string&) {
            if (++progress->entered != 2) return;
            progress->held.store(true);
            EXPECT_TRUE(testsupport::WaitFor([&] { return progress->closing.load(); },
                                             "the dialog to be closed"));
        });
    }
    ~ClosedMidScan() override { progress_->closing.store(true); }

private:
    std::shared_ptr<ScanProgress> progress_;
};

TEST(editorMissing, ClosingTheEditorMidScanStopsAndJoinsTheThread)
{
    constexpr int kFolders = 300;
    std::vector<std::string> entries;
    for (int i = 0; i < kFolders; ++i) entries.push_back("f" + std::to_string(i) + "/");
    const Tree tree(entries);
    const auto progress = std::make_shared<ScanProgress>();
    auto host = std::make_unique<dialogsrig::Host>(800, 600);
    auto* dialog = host->Show(std::make_unique<ClosedMidScan>(progress), editorcode::kMissingFiles);
    ASSERT_TRUE(dialog->AddMissing("/o/Never.gig"));
    ASSERT_TRUE(dialog->ScanFolder(tree.Scan()));
    ASSERT_TRUE(testsupport::WaitFor([&] { return progress->held.load(); },
                                     "the scan to enter its second folder"));
    {
        testsupport::Watchdog watchdog("the editor to close while its dialog scans");
        host.reset();
    }
    EXPECT_LT(progress->entered.load(), kFolders) << "the close did not stop the walk";
}

TEST(editorMissing, Picture)
{
    auto dialog = std::make_unique<WMissing>();
    for (const char* path :
         {"/home/me/Samples/Pianos/Concert Grand.gig", "/home/me/Samples/Pianos/Upright.gig",
          "/home/me/Samples/Strings/Chamber Strings.gig", "/home/me/Samples/Choir/Aahs.gig",
          "/media/library/Organ/Drawbars.gig", "/media/library/Bells/Tubular Bells.gig",
          "/media/library/Guitar/Nylon.gig", "/media/library/Bass/Fretless.gig"})
        dialog->AddMissing(path);
    dialog->Status()->SetText("/media/library/Orchestra/Brass/");
    dialogsrig::ExpectPicture(std::move(dialog), "dialogs_missing");
}

}  // namespace
