// The browser tree over a generated folder tree: what it lists, what it leaves out, and that
// names and paths come through byte for byte.
#include <unistd.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "editor/XTreeGiga.h"
#include "gui/XGraphic.h"
#include "tests/editor/BrowserRig.h"
#include "tests/gui/ControlsRig.h"

namespace {

using browserrig::kLongName;
using browserrig::kOddName;

class editorBrowserTree : public browserrig::Folders {
protected:
    XTreeGiga tree_ {0, 0, 384, 200};
};

TEST_F(editorBrowserTree, ListsFoldersAndGigFilesSortedAndNothingElse)
{
    tree_.SetFolder(root_);
    EXPECT_EQ(Names(tree_.FirstNode()), (std::vector<std::string> {"broken.gig", kOddName, "locked",
                                                                   "loop", "Pianos", "x.GIG"}));
    EXPECT_EQ(Find(tree_.FirstNode(), "x.GIG")->kind, XTreeGiga::kGigFile);
    EXPECT_EQ(Find(tree_.FirstNode(), "Pianos")->kind, XTreeGiga::kFolder);

    XTree::Node* odd = Find(tree_.FirstNode(), kOddName);
    tree_.SetExpanded(odd, true);
    ASSERT_NE(odd->child, nullptr);
    EXPECT_EQ(odd->child->text, kLongName);
    EXPECT_EQ(tree_.FullPath(odd->child), Under(kOddName + "/" + kLongName));
    XGraphic g;
    controlsrig::DrawAll(tree_, g);  // names that are not UTF-8 draw like any other
    EXPECT_GT(tree_.RowsDrawn(), 6);
}

TEST_F(editorBrowserTree, LinksBackUpTheTreeListNothing)
{
    tree_.SetFolder(root_);
    XTree::Node* loop = Find(tree_.FirstNode(), "loop");
    tree_.SetExpanded(loop, true);
    EXPECT_EQ(loop->child, nullptr);

    XTree::Node* pianos = Find(tree_.FirstNode(), "Pianos");
    tree_.SetExpanded(pianos, true);
    EXPECT_EQ(Names(pianos->child), (std::vector<std::string> {"grand.gig", "up"}));
    XTree::Node* up = Find(pianos->child, "up");
    tree_.SetExpanded(up, true);
    EXPECT_EQ(up->child, nullptr);
    EXPECT_EQ(tree_.FullPath(up), Under("Pianos/up"));
}

// Windows has no folder permissions that chmod takes away (nor geteuid).
#ifndef _WIN32
TEST_F(editorBrowserTree, UnreadableFoldersListNothing)
{
    if (geteuid() == 0) GTEST_SKIP() << "root reads every folder";
    tree_.SetFolder(root_);
    XTree::Node* locked = Find(tree_.FirstNode(), "locked");
    tree_.SetExpanded(locked, true);
    EXPECT_EQ(locked->child, nullptr);
}
#endif

TEST_F(editorBrowserTree, ComputerShowsTheRootsWithTheirPlaces)
{
    tree_.SetFolder("");
    XTree::Node* first = tree_.FirstNode();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->text, "File System (/)");
    EXPECT_EQ(first->kind, XTreeGiga::kDrive);
    EXPECT_EQ(tree_.FullPath(first), "/");
    XTree::Node* home = first->next;
    ASSERT_NE(home, nullptr);
    EXPECT_EQ(tree_.FullPath(home), platform::HomeFolder());
    tree_.SetExpanded(home, true);
    XTree::Node* tree = Find(home->child, "tree");
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(tree_.FullPath(tree), root_);
}

}  // namespace
