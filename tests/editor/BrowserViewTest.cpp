// The browser panel as the user works it: favourites read and written, a .gig file's programs
// listed, an instrument chosen by a double click or dragged onto a tone view, folders dragged
// into the favourites and favourites out of them; and its picture.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editor/EditorCodes.h"
#include "editor/GigaDropSource.h"
#include "editor/UProgramList.h"
#include "editor/XListInst.h"
#include "editor/XListLink.h"
#include "gui/XGraphic.h"
#include "tests/editor/BrowserRig.h"
#include "tests/gui/ControlsRig.h"
#include "tests/gui/support/ReferenceImage.h"
#include "tests/support/HeldReads.h"
#include "tests/support/WaitFor.h"

namespace {

// Stands for a tone view: takes what a GigaDropSource above the drag's source offers.
class DropTarget : public XControl {
public:
    using XControl::XControl;
    bool AcceptDrop(XControl* source, std::int32_t payload) override
    {
        return Offer(source, payload, nullptr);
    }
    void Drop(XControl* source, std::int32_t payload) override { Offer(source, payload, this); }
    std::string path;
    int program = -1;

private:
    bool Offer(XControl* source, std::int32_t payload, DropTarget* keep)
    {
        for (XControl* c = source; c; c = c->Parent()) {
            if (auto* giver = dynamic_cast<GigaDropSource*>(c)) {
                std::string p;
                int n = 0;
                if (!giver->DraggedInstrument(payload, p, n)) return false;
                if (keep) keep->path = p, keep->program = n;
                return true;
            }
        }
        return false;
    }
};

class Listener : public XListener {
public:
    void Notify(XControl* sender, std::int32_t code) override { codes.push_back(code); }
    std::vector<std::int32_t> codes;
};

class editorBrowserView : public browserrig::Folders {
protected:
    void SetUp() override
    {
        Folders::SetUp();
        browserrig::WriteGig(root_ + "/Pianos/big.gig", Programs(1000));
        TreeFile favorites;
        favorites.Add(root_);
        favorites.Save();
        host_.nav->AddListener(&listener_);
        host_.nav->Populate();
    }
    static std::vector<std::string> Programs(int n)
    {
        std::vector<std::string> names;
        for (int i = 0; i < n; ++i) names.push_back("Program " + std::to_string(i));
        return names;
    }
    // Shows the favourite folder and opens Pianos in it.
    void OpenPianos()
    {
        host_.Click(Favs(), 1);
        host_.Click(Tree(), host_.TreeRow("Pianos"));
    }
    XListLink* Favs() { return host_.nav->FavoritesList(); }
    XTreeGiga* Tree() { return host_.nav->Tree(); }
    XListInst* Insts() { return host_.nav->InstrumentsList(); }

    browserrig::Host host_;
    Listener listener_;
};

TEST_F(editorBrowserView, PopulateReadsTheFavoritesOnceAndShowsTheComputer)
{
    ASSERT_EQ(Favs()->ItemCount(), 2);
    EXPECT_EQ(Favs()->GetItem(0)->text, "Computer");
    EXPECT_EQ(Favs()->GetItem(1)->text, "tree");
    EXPECT_EQ(Favs()->SelectedIndex(), 0);
    EXPECT_EQ(Tree()->FirstNode()->text, "File System (/)");
    host_.nav->Populate();
    EXPECT_EQ(Favs()->ItemCount(), 2);
    EXPECT_EQ(Insts()->Text(), XViewNav::kEmptyInstruments);
}

TEST_F(editorBrowserView, DoubleClickChoosesTheInstrument)
{
    OpenPianos();
    host_.Click(Tree(), host_.TreeRow("grand.gig"));
    ASSERT_EQ(Insts()->ItemCount(), 3);
    EXPECT_EQ(Insts()->GetItem(2)->text, "Grand Pedal");
    std::string path;
    int program = -1;
    EXPECT_FALSE(host_.nav->ChosenInstrument(path, program));

    host_.DoubleClick(Insts(), 1);
    EXPECT_EQ(listener_.codes, std::vector<std::int32_t> {editorcode::kInstrumentChosen});
    ASSERT_TRUE(host_.nav->ChosenInstrument(path, program));
    EXPECT_EQ(path, Under("Pianos/grand.gig"));
    EXPECT_EQ(program, 1);
}

TEST_F(editorBrowserView, ProgramListsLargeAndFailed)
{
    OpenPianos();
    host_.Click(Tree(), host_.TreeRow("big.gig"));
    ASSERT_EQ(Insts()->ItemCount(), 1000);
    EXPECT_EQ(Insts()->GetItem(999)->text, "Program 999");
    EXPECT_EQ(Insts()->GetItem(999)->data, 999);

    host_.Click(Tree(), host_.TreeRow("broken.gig"));
    EXPECT_EQ(Insts()->ItemCount(), 0);
    EXPECT_EQ(host_.nav->ListedGig(), "");
    host_.DoubleClick(Insts(), 0);
    EXPECT_TRUE(listener_.codes.empty());
}

TEST_F(editorBrowserView, InstrumentsAndGigFilesDragOntoAToneView)
{
    auto* tone = host_.Add<DropTarget>(300, 310, 100, 20);
    OpenPianos();
    host_.Click(Tree(), host_.TreeRow("grand.gig"));
    host_.Drag(Insts(), 2, 350, 320);
    EXPECT_EQ(tone->path, Under("Pianos/grand.gig"));
    EXPECT_EQ(tone->program, 2);

    tone->path.clear();
    host_.Drag(Tree(), host_.TreeRow("x.GIG"), 350, 320);
    EXPECT_EQ(tone->path, Under("x.GIG"));
    EXPECT_EQ(tone->program, 0);

    tone->path.clear();
    host_.Drag(Tree(), host_.TreeRow("Pianos"), 350, 320);  // a folder is no instrument
    EXPECT_EQ(tone->path, "");
}

TEST_F(editorBrowserView, FoldersDragIntoTheFavoritesAndFavoritesOut)
{
    OpenPianos();
    const auto [fx, fy] = browserrig::Host::Row(Favs(), 3);
    host_.Drag(Tree(), host_.TreeRow("Pianos"), fx, fy);
    ASSERT_EQ(Favs()->ItemCount(), 3);
    EXPECT_EQ(Favs()->GetItem(2)->text, "Pianos");
    EXPECT_EQ(Favs()->GetColor(3), XColor(50, 60, 80));
    host_.Drag(Tree(), host_.TreeRow("x.GIG"), fx, fy);  // files are no favourites
    EXPECT_EQ(Favs()->ItemCount(), 3);
    ASSERT_TRUE(host_.nav->SaveFavorites());
    {
        TreeFile saved;
        ASSERT_TRUE(saved.Load());
        ASSERT_EQ(saved.Count(), 2);
        EXPECT_EQ(saved.PathAt(1), Under("Pianos"));
    }

    host_.Drag(Favs(), 0, 400, 150);  // the computer stays
    EXPECT_EQ(Favs()->ItemCount(), 3);
    host_.Drag(Favs(), 1, 400, 150);
    ASSERT_EQ(Favs()->ItemCount(), 2);
    EXPECT_EQ(Favs()->GetItem(1)->text, "Pianos");
    EXPECT_EQ(Favs()->SelectedIndex(), 0);
    ASSERT_TRUE(host_.nav->SaveFavorites());
    TreeFile saved;
    ASSERT_TRUE(saved.Load());
    ASSERT_EQ(saved.Count(), 1);
    EXPECT_EQ(saved.PathAt(0), Under("Pianos"));
}

TEST_F(editorBrowserView, Picture)
{
    OpenPianos();
    host_.Click(Tree(), host_.TreeRow("grand.gig"));
    host_.Click(Insts(), 1);
    XGraphic g;
    controlsrig::DrawAll(*host_.nav, g);
    testsupport::ExpectMatchesReference(g, "browser_panel");
}

// Reading a file that keeps the reader waiting (its opening held by the platform's seam, as a
// slow drive would): the answer comes later, and a file asked for meanwhile replaces it, the
// stale answer being dropped. The seam's rig is Linux's.
#ifndef _WIN32
TEST_F(editorBrowserView, ProgramNamesOfASlowFileComeLaterAndANewerRequestWins)
{
    const std::string slow = root_ + "/slow.gig";
    browserrig::WriteGig(slow, {"Slow"});
    testsupport::HeldReads::Instance().Hold(slow);
    UProgramList reader;
    reader.Request(slow);
    EXPECT_FALSE(reader.WaitFor(50));
    UProgramList::Result result;
    EXPECT_FALSE(reader.Take(result));
    EXPECT_TRUE(reader.Busy());
    reader.Request(root_ + "/Pianos/grand.gig");
    reader.Request(root_ + "/Pianos/big.gig");  // replaces grand.gig, not yet started

    testsupport::HeldReads::Instance().Release(slow);
    ASSERT_TRUE(testsupport::WaitFor([&] { return reader.Take(result); },
                                     "the answer for the newest file"));
    EXPECT_FALSE(reader.Busy());
    EXPECT_EQ(result.path, Under("Pianos/big.gig"));
    EXPECT_TRUE(result.opened);
    EXPECT_EQ(result.names.size(), 1000u);
}
#endif

}  // namespace
