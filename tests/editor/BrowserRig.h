// The browser tests' rig: a generated folder tree (folders, .gig files that open and one that
// does not, hidden and misnamed files, a folder nobody may read, links back up the tree, names
// of 255 bytes and names that are not UTF-8) in an isolated home, and a host view holding the
// panel at the size the editor gives it, clicked and dragged like a user.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editor/XTreeGiga.h"
#include "editor/XViewNav.h"
#include "fixtures/GigWriter.h"
#include "fixtures/TempFolder.h"
#include "gui/XView.h"
#include "platform/Platform.h"
#include "tests/support/WaitFor.h"

namespace browserrig {

inline const std::string kLongName = std::string(251, 'L') + ".gig";  // 255 bytes
inline const std::string kOddName = "Kl\xe4nge \xff";                 // Latin-1, not UTF-8

inline void WriteGig(const std::string& path, const std::vector<std::string>& programs)
{
    testsupport::GigFilePlan plan;
    plan.instruments.clear();
    for (const std::string& name : programs) {
        testsupport::GigInstrumentPlan instrument;
        instrument.name = name;
        plan.instruments.push_back(instrument);
    }
    testsupport::GigWriter(plan).Write(path);
}

// <home>/tree: the folder the tests browse.
class Folders : public ::testing::Test {
protected:
    void SetUp() override
    {
        namespace fs = std::filesystem;
        fs::create_directories(root_ + "/Pianos");
        fs::create_directories(root_ + "/locked");
        fs::create_directories(root_ + "/" + kOddName);
        WriteGig(root_ + "/Pianos/grand.gig", {"Grand Soft", "Grand Hard", "Grand Pedal"});
        WriteGig(root_ + "/" + kOddName + "/" + kLongName, {"Odd"});
        WriteGig(root_ + "/x.GIG", {"Upper Case"});
        WriteGig(root_ + "/.hidden.gig", {"Hidden"});
        WriteGig(root_ + "/locked/inside.gig", {"Inside"});
        for (const char* name : {".gig", "a.gi", "notes.txt"}) Touch(root_ + "/" + name, "x");
        Touch(root_ + "/broken.gig", "RIFF this is no gig");
#ifndef _WIN32
        // Wine makes no links, and Windows' folders have no permissions chmod takes away: the
        // cases about them are Linux's (tests/wine/linux-only-gui.txt).
        fs::create_directory_symlink(root_, root_ + "/loop");
        fs::create_directory_symlink("..", root_ + "/Pianos/up");
        chmod((root_ + "/locked").c_str(), 0);
#endif
    }
#ifndef _WIN32
    void TearDown() override
    {
        chmod((root_ + "/locked").c_str(), 0700);
    }
#endif

    static void Touch(const std::string& path, const std::string& text)
    {
        testsupport::WriteFileBytes(path, text.data(), text.size());
    }
    static std::vector<std::string> Names(const XTree::Node* first)
    {
        std::vector<std::string> names;
        for (const XTree::Node* n = first; n; n = n->next) names.push_back(n->text);
        return names;
    }
    static XTree::Node* Find(XTree::Node* first, const std::string& name)
    {
        for (XTree::Node* n = first; n; n = n->next)
            if (n->text == name) return n;
        return nullptr;
    }

    // A path under the tree as the browser gives it.
    std::string Under(const std::string& relative) const
    {
        return testsupport::NativePath(root_, relative);
    }

    testsupport::IsolatedHome home_;
    std::string root_ = home_.Folder().File("tree");
};

// The panel as the editor places it, with room below it for drop targets.
class Host : public XView {
public:
    Host() : XView(0, 0, 800, 340), nav(Add<XViewNav>(0, 0, 800, 296)) {}

    // The middle of row `row` of a list or tree (rows from 4 pixels below the top, 18 high).
    static std::pair<int, int> Row(const XControl* c, int row)
    {
        return {c->AbsoluteX() + 40, c->AbsoluteY() + 4 + 18 * row + 9};
    }
    void Click(const XControl* c, int row)
    {
        const auto [x, y] = Row(c, row);
        MouseDownAt(x, y, 0, false, false);
        MouseUpAt(x, y);
        FinishReading();
    }
    // Lets the panel list the programs of a .gig file it is reading, as later ticks would.
    void FinishReading()
    {
        EXPECT_TRUE(testsupport::WaitFor(
            [&] {
                if (!nav->Reading()) return true;
                nav->Poll();
                return !nav->Reading();
            },
            "the panel to read the file's programs"));
    }
    void DoubleClick(const XControl* c, int row)
    {
        Click(c, row);
        const auto [x, y] = Row(c, row);
        DoubleClickAt(x, y);
    }
    // Presses on the row and lets go at (x, y) in the host, moving there in steps.
    void Drag(const XControl* c, int row, int x, int y)
    {
        const auto [px, py] = Row(c, row);
        MouseDownAt(px, py, 0, false, false);
        for (int step = 1; step <= 4; ++step)
            MouseMoveTo(px + (x - px) * step / 4, py + (y - py) * step / 4, false, false);
        MouseUpAt(x, y);
    }
    // The tree row showing the named node, -1 when none does.
    int TreeRow(const std::string& name) const
    {
        for (int row = 0; row < nav->Tree()->RowCount(); ++row) {
            const XTree::Node* n = nav->Tree()->NodeAt(XTree::kTop + row * XTree::kRowHeight + 1);
            if (n && n->text == name) return row;
        }
        return -1;
    }

    XViewNav* nav;
};

}  // namespace browserrig
