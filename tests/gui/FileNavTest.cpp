#include "gui/UFileNav.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <cerrno>
#include <fstream>
#include <sstream>

#include "fixtures/TempFolder.h"
#include "gui/XButton.h"
#include "gui/XEditBox.h"
#include "gui/XView.h"
#include "platform/FourCC.h"
#include "platform/Platform.h"
#include "tests/support/WaitFor.h"

namespace {

// Stand-in dialog programs in a folder that is the whole PATH, so the machine's own zenity
// or kdialog never answers.
class FileNavRig : public ::testing::Test {
protected:
    void Program(const std::string& name, const std::string& body)
    {
        const std::string path = bin.File(name);
        std::ofstream(path) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > "
                            << bin.File(name + ".args") << "\n"
                            << body << "\n";
        chmod(path.c_str(), 0755);
    }
    std::string Arguments(const std::string& name)
    {
        std::ifstream in(bin.File(name + ".args"));
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }
    // The state once the dialog program has ended (still kOpen, after a failure saying so,
    // when it never does).
    static UFileNav::State Settle(UFileNav& nav)
    {
        EXPECT_TRUE(testsupport::WaitFor([&] { return nav.Poll() != UFileNav::State::kOpen; },
                                         "the dialog program to end"));
        return nav.GetState();
    }
    // The first line of a file a stand-in program writes, once it is `expected`.
    testing::AssertionResult FileSays(const std::string& name, const std::string& expected)
    {
        std::string line;
        auto result = testsupport::WaitFor(
            [&] {
                std::ifstream in(bin.File(name));
                line.clear();
                std::getline(in, line);
                return line == expected;
            },
            name + " to say \"" + expected + "\"");
        if (!result) result << " (it says \"" << line << "\")";
        return result;
    }

    testsupport::TempFolder bin;
    testsupport::ScopedEnv path {"PATH", bin.Path()};
};

class EitherDialog : public FileNavRig, public ::testing::WithParamInterface<const char*> {};

TEST_P(EitherDialog, ChosenNamesComeBackByteForByte)
{
    // Spaces and bytes that are not UTF-8, in the folder and in the names.
    Program(GetParam(), "printf '/tmp/a b/\\377\\376 first.mrp\\n/tmp/a b/second.mrp\\n'");
    UFileNav nav;
    nav.AddFilter("Marlet Performance", "mrp");
    ASSERT_TRUE(nav.Open("Open a Performance"));
    ASSERT_EQ(Settle(nav), UFileNav::State::kChosen);
    EXPECT_EQ(nav.Folder(), "/tmp/a b");
    ASSERT_EQ(nav.Names().size(), 2u);
    EXPECT_EQ(nav.Names()[0], "\xff\xfe first.mrp");
    EXPECT_EQ(nav.Path(1), "/tmp/a b/second.mrp");
    const std::string args = Arguments(GetParam());
    EXPECT_NE(args.find("Open a Performance"), std::string::npos) << args;
    EXPECT_NE(args.find("Marlet Performance (*.mrp)"), std::string::npos) << args;
}

TEST_P(EitherDialog, CancelGarbageAndFailureAreToldApart)
{
    const std::pair<const char*, UFileNav::State> cases[] = {
        {"exit 1", UFileNav::State::kCancelled},
        {"exit 0", UFileNav::State::kCancelled},
        {"echo 'Gtk-WARNING: no display'; exit 0", UFileNav::State::kFailed},
        {"exit 5", UFileNav::State::kFailed},
        {"kill -9 $$", UFileNav::State::kFailed},
    };
    for (const auto& [body, expected] : cases) {
        Program(GetParam(), body);
        UFileNav nav;
        ASSERT_TRUE(nav.Open("t")) << body;
        EXPECT_EQ(Settle(nav), expected) << body;
        EXPECT_TRUE(nav.Names().empty()) << body;
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, EitherDialog, ::testing::Values("zenity", "kdialog"));

TEST_F(FileNavRig, ADialogThatNeverEndsGoesWithItsOwner)
{
    Program("zenity", "echo $$ > " + bin.File("pid") + "\nexec /bin/sleep 1000");
    long pid = 0;
    {
        UFileNav nav;
        ASSERT_TRUE(nav.Open("t"));
        ASSERT_TRUE(testsupport::WaitFor(
            [&] {
                std::ifstream(bin.File("pid")) >> pid;
                return pid > 0;
            },
            "the dialog program to write its process id"));
        EXPECT_EQ(nav.Poll(), UFileNav::State::kOpen);
        EXPECT_FALSE(nav.Open("again"));  // one dialog at a time
    }
    errno = 0;
    EXPECT_EQ(kill(static_cast<pid_t>(pid), 0), -1);
    EXPECT_EQ(errno, ESRCH);
}

TEST_F(FileNavRig, SaveAndFolderAnswersAndTheFilterSlots)
{
    Program("zenity", "printf '/home/u/My Song\\n'");
    UFileNav nav;
    nav.AddFilter("A description longer than its slot", ".mrpxyz");
    for (int i = 0; i < UFileNav::kMaxFilters; ++i) nav.AddFilter("more", "x");
    EXPECT_EQ(nav.FilterLabel(0), "A description longe (*.mrpxy)");
    EXPECT_EQ(nav.FilterLabel(UFileNav::kMaxFilters), "");
    ASSERT_TRUE(nav.Save("Save a Performance"));
    ASSERT_EQ(Settle(nav), UFileNav::State::kChosen);
    EXPECT_EQ(nav.Path(), "/home/u/My Song.mrpxy");  // the first filter's extension

    Program("kdialog", "printf '/media/disk/Sounds/\\n'");
    Program("zenity", "exit 127");  // gone from PATH below
    unlink(bin.File("zenity").c_str());
    ASSERT_TRUE(nav.ChooseFolder("Find"));
    ASSERT_EQ(Settle(nav), UFileNav::State::kChosen);
    EXPECT_EQ(nav.Path(), "/media/disk/Sounds");
    EXPECT_NE(Arguments("kdialog").find("--getexistingdirectory"), std::string::npos);
}

TEST_F(FileNavRig, WithoutADialogProgramOpenFailsAtOnce)
{
    EXPECT_EQ(UFileNav::Available(), UFileNav::Program::kNone);
    UFileNav nav;
    EXPECT_FALSE(nav.Open("t"));
    EXPECT_EQ(nav.GetState(), UFileNav::State::kFailed);
}

// Without a dialog program the owner view shows our own dialog: a folder tree (names as bytes,
// files that fit the filters) over a path box.
TEST_F(FileNavRig, OurOwnDialogListsFoldersAndAnswersThePathBox)
{
    testsupport::TempFolder place;
    platform::CreateFolder(place.File("\xff odd folder"));
    for (const char* name : {"a.MRP", "b.txt", ".hidden.mrp"})
        std::ofstream(place.File(name)) << "x";

    XView owner(0, 0, 800, 560);
    UFileNav nav;
    nav.SetOwner(&owner);
    nav.AddFilter("Marlet Performance", "mrp");
    ASSERT_TRUE(nav.Open("Open a Performance"));
    auto* dialog = dynamic_cast<WFileDialog*>(owner.OpenPopup());
    ASSERT_NE(dialog, nullptr);
    dialog->AddRoot(place.Path());
    XTree& tree = *dialog->Tree();
    XTree::Node* top = tree.NodeAt(XTree::kTop + XTree::kRowHeight * 2);  // after / and home
    ASSERT_NE(top, nullptr);
    tree.SetExpanded(top, true);
    std::vector<std::string> listed;
    for (XTree::Node* n = top->child; n; n = n->next) listed.push_back(n->text);
    EXPECT_EQ(listed, (std::vector<std::string> {"a.MRP", "\xff odd folder"}));

    tree.Select(top->child->next);
    dialog->TreeNotify(&tree, FourCC("ktis"));
    EXPECT_EQ(dialog->PathBox()->Text(), place.File("\xff odd folder"));
    EXPECT_EQ(nav.Poll(), UFileNav::State::kOpen);
    // OK through the mouse, as a user would.
    XButton* ok = dialog->OkButton();
    const int x = ok->AbsoluteX() + 5, y = ok->AbsoluteY() + 5;
    owner.MouseDownAt(x, y, 0, false, false);
    owner.MouseUpAt(x, y);
    owner.Idle(1);
    EXPECT_EQ(owner.OpenPopup(), nullptr);
    ASSERT_EQ(nav.Poll(), UFileNav::State::kChosen);
    EXPECT_EQ(nav.Folder(), place.Path());
    EXPECT_EQ(nav.Names(), (std::vector<std::string> {"\xff odd folder"}));

    // Cancelled by its owner going: the dialog closes and nothing is chosen.
    ASSERT_TRUE(nav.ChooseFolder("Find"));
    ASSERT_NE(owner.OpenPopup(), nullptr);
    nav.Cancel();
    owner.Idle(2);
    EXPECT_EQ(owner.OpenPopup(), nullptr);
    EXPECT_EQ(nav.GetState(), UFileNav::State::kCancelled);
}

TEST_F(FileNavRig, ADetachedProgramRunsOnItsOwn)
{
    Program("xdg-open", "printf '%s' \"$1\" > " + bin.File("opened"));
    ASSERT_TRUE(platform::ChildProcess::StartDetached("xdg-open", {"https://example.org/a b"}));
    EXPECT_TRUE(FileSays("opened", "https://example.org/a b"));
    EXPECT_FALSE(platform::ChildProcess::StartDetached("no-such-program", {}));

    // The editor's web page goes the same way.
    ASSERT_TRUE(platform::OpenWebPage("https://example.org/c"));
    EXPECT_TRUE(FileSays("opened", "https://example.org/c"));
}

}  // namespace
