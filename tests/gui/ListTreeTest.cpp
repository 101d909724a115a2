// Lists and trees driven through a root view: selection, drag and drop, lazy expansion, paths,
// names as bytes, and long lists drawing only what shows.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gui/XEditBox.h"
#include "gui/XGraphic.h"
#include "gui/XKeyboard.h"
#include "gui/XList.h"
#include "gui/XTree.h"
#include "gui/XView.h"
#include "platform/FourCC.h"
#include "tests/gui/ControlsRig.h"
#include "tests/gui/support/ReferenceImage.h"

namespace {

using controlsrig::Probe;

struct Heard : XListener {
    void ListNotify(XControl*, std::int32_t code) override { list.push_back(code); }
    void TreeNotify(XControl*, std::int32_t code) override { tree.push_back(code); }
    std::vector<std::int32_t> list, tree;
};

// A list at (10, 10) in a root view; row r's middle is at y = 10 + 4 + 18 r + 9.
struct ListRig {
    explicit ListRig(bool multi = false, std::int32_t payload = 0)
    {
        list = root.Add<XList>(10, 10, 150, 10);
        list->SetKind(XBroadcaster::kList);
        list->SetMultiSelect(multi);
        list->SetPayload(payload);
        list->AddListener(&heard);
        for (const char* name : {"Piano", "Strings", "Choir", "Organ", "Bells"})
            list->AddItem(name);
    }
    static int RowY(int row) { return 10 + 4 + 18 * row + 9; }
    bool Click(int row, bool shift = false, bool control = false)
    {
        const bool taken = root.MouseDownAt(40, RowY(row), 0, shift, control);
        root.MouseUpAt(40, RowY(row));
        return taken;
    }
    std::vector<int> Selection() const
    {
        std::vector<int> s;
        for (int i = 0; i < list->ItemCount(); ++i)
            if (list->IsSelected(i)) s.push_back(i);
        return s;
    }

    XView root {0, 0, 400, 300};
    Heard heard;
    XList* list = nullptr;
};

TEST(List, GrowsWithItemsAndSingleSelectionBroadcastsChanges)
{
    ListRig rig;
    EXPECT_EQ(rig.list->Height(), 18 * 5 + 4);
    EXPECT_FALSE(rig.Click(1));  // no payload: the press is not taken
    EXPECT_FALSE(rig.Click(1));
    rig.Click(3);
    EXPECT_EQ(rig.Selection(), std::vector<int>({3}));
    EXPECT_EQ(rig.heard.list, std::vector<std::int32_t>({0, 0}));
    rig.root.MouseDownAt(40, ListRig::RowY(5), 0, false, false);  // below the last row
    EXPECT_EQ(rig.Selection(), std::vector<int>({3}));
    rig.list->Clear();
    EXPECT_EQ(rig.list->Height(), 10);
    EXPECT_EQ(rig.list->SelectedIndex(), -1);
}

TEST(List, MultiSelectExtendsTogglesAndReplaces)
{
    ListRig rig(true);
    rig.Click(1);
    rig.Click(3, true);
    EXPECT_EQ(rig.Selection(), std::vector<int>({1, 2, 3}));
    rig.Click(2, false, true);
    EXPECT_EQ(rig.Selection(), std::vector<int>({1, 3}));
    rig.Click(0, true);  // from the anchor (2) up
    EXPECT_EQ(rig.Selection(), std::vector<int>({0, 1, 2}));
    rig.Click(4);
    EXPECT_EQ(rig.Selection(), std::vector<int>({4}));
    EXPECT_TRUE(rig.heard.list.empty());
}

TEST(List, DragCarriesThePayloadToATargetOnlyPastThreePixels)
{
    controlsrig::Log log;
    ListRig rig(false, FourCC("inst"));
    auto* target = rig.root.Add<Probe>(&log, "tone", 200, 10, 100, 100);
    target->acceptsDrop = true;
    EXPECT_TRUE(rig.root.MouseDownAt(40, ListRig::RowY(2), 0, false, false));
    rig.root.MouseMoveTo(43, ListRig::RowY(2) + 3, false, false);
    EXPECT_FALSE(rig.list->IsDragging());
    rig.root.MouseMoveTo(44, ListRig::RowY(2), false, false);
    EXPECT_TRUE(rig.list->IsDragging());
    rig.root.MouseMoveTo(250, 50, false, false);
    rig.root.MouseUpAt(250, 50);
    EXPECT_FALSE(rig.list->IsDragging());
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "tone Drop " + std::to_string(FourCC("inst")));

    // Multi-select: a press on the selection drags it at once.
    ListRig multi(true, FourCC("inst"));
    multi.Click(1);
    multi.root.MouseDownAt(40, ListRig::RowY(1), 0, false, false);
    EXPECT_TRUE(multi.list->IsDragging());
    multi.root.MouseUpAt(40, ListRig::RowY(1));
}

TEST(List, LongListsDrawOnlyTheRowsInView)
{
    XView root(0, 0, 200, 100);
    auto* list = root.Add<XList>(0, 0, 200, 10);
    for (int i = 0; i < 1000; ++i) list->AddItem("Program " + std::to_string(i), 0, i);
    EXPECT_EQ(list->Height(), 18 * 1000 + 4);
    list->SetPosition(0, -9004);  // scrolled: rows 500 .. 505 show
    XGraphic g;
    controlsrig::DrawAll(root, g);
    EXPECT_GT(list->RowsDrawn(), 0);
    EXPECT_LE(list->RowsDrawn(), 7);
    EXPECT_EQ(list->ItemAt(5, 9004 + 4), 500);
}

TEST(Tree, LargeFoldersListAndDrawOnlyTheRowsInView)
{
    XView root(0, 0, 200, 100);
    auto* tree = root.Add<XTree>(0, 0, 200, 10);
    tree->SetSorted(true);
    for (int i = 999; i >= 0; --i) {
        char name[16];
        std::snprintf(name, sizeof name, "file%04d.gig", i);
        tree->AddNode(nullptr, name, 3);
    }
    EXPECT_EQ(tree->RowCount(), 1000);
    EXPECT_EQ(tree->Height(), 18 * 1000 + 4);
    tree->SetPosition(0, -9004);
    XGraphic g;
    controlsrig::DrawAll(root, g);
    EXPECT_LE(tree->RowsDrawn(), 7);
    EXPECT_EQ(tree->NodeAt(9004 + 4)->text, "file0500.gig");
}

TEST(List, NamesAreBytesKeptUnchanged)
{
    const std::string longName(255, 'n');
    const std::string raw = "Ch\xF6r \xC3(\xFE";
    ListRig rig;
    rig.list->AddItem(longName, 0, 7);
    rig.list->AddItem(raw);
    EXPECT_EQ(rig.list->GetItem(5)->text, longName);
    EXPECT_EQ(rig.list->GetItem(6)->text, raw);
    EXPECT_EQ(rig.list->GetItem(5)->data, 7);
    XGraphic g;
    controlsrig::DrawAll(rig.root, g);
    EXPECT_EQ(rig.list->GetItem(6)->text, raw);
    EXPECT_EQ(rig.list->GetItem(99), nullptr);
}

// A tree whose folders (kind 2) list three children when expanded.
class Folders : public XTree {
public:
    using XTree::XTree;
    void Expand(Node* node) override
    {
        ++expands;
        for (const char* name : {"b.gig", "A.gig", "c"}) AddNode(node, name, name[1] ? 3 : 2);
    }
    int expands = 0;
};

struct TreeRig {
    TreeRig()
    {
        tree = root.Add<Folders>(0, 0, 300, 10);
        tree->SetIcon(2, XPic(), true);
        tree->SetSorted(true);
        tree->SetRootPath("C:\\");
        tree->AddListener(&heard);
        music = tree->AddNode(nullptr, "Music", 2);
        tree->AddNode(nullptr, "Docs", 2);
    }
    static int RowY(int row) { return 4 + 18 * row + 9; }
    void Click(int x, int row)
    {
        root.MouseDownAt(x, RowY(row), 0, false, false);
        root.MouseUpAt(x, RowY(row));
    }
    XView root {0, 0, 300, 300};
    Heard heard;
    Folders* tree = nullptr;
    XTree::Node* music = nullptr;
};

std::vector<std::string> Names(const XTree::Node* first)
{
    std::vector<std::string> names;
    for (const XTree::Node* n = first; n; n = n->next) names.push_back(n->text);
    return names;
}

TEST(Tree, SortedChildrenIgnoreAsciiCaseOnly)
{
    XTree tree(0, 0, 100, 10);
    tree.SetSorted(true);
    for (const char* name : {"beta", "Alpha", "alpha", "_x", "\xC3\x89t\xE9", "Zeta", "10"})
        tree.AddNode(nullptr, name, 1);
    EXPECT_EQ(Names(tree.FirstNode()), std::vector<std::string>({"10", "_x", "Alpha", "alpha",
                                                                 "beta", "Zeta", "\xC3\x89t\xE9"}));
}

TEST(Tree, PressesExpandPickAndClear)
{
    TreeRig rig;
    EXPECT_EQ(Names(rig.tree->FirstNode()), std::vector<std::string>({"Docs", "Music"}));
    rig.Click(5, 1);  // Music's expander: lists it
    EXPECT_EQ(rig.tree->expands, 1);
    EXPECT_EQ(rig.tree->RowCount(), 5);
    EXPECT_EQ(rig.tree->Height(), 18 * 5 + 4);
    EXPECT_TRUE(rig.heard.tree.empty());

    rig.Click(60, 2);  // A.gig
    EXPECT_EQ(rig.heard.tree, std::vector<std::int32_t>({FourCC("ktis")}));
    EXPECT_EQ(rig.tree->PathOf(rig.tree->Selected()), "C:\\Music\\A.gig");
    EXPECT_EQ(rig.tree->PathOf(rig.music), "C:\\Music\\");

    rig.Click(60, 4);  // folder "c": picked and listed
    EXPECT_EQ(rig.tree->expands, 2);
    EXPECT_EQ(rig.tree->RowCount(), 8);

    XKey down {0, 0, kKeyDown};
    EXPECT_TRUE(rig.tree->KeyDown(&down));
    EXPECT_EQ(rig.tree->Selected(), nullptr);
    rig.Click(60, 0);  // Docs: picked and listed above Music
    EXPECT_EQ(rig.tree->RowCount(), 11);
    rig.root.MouseDownAt(60, 2, 0, false, false);  // the margin above the rows
    EXPECT_EQ(rig.tree->Selected(), nullptr);
    EXPECT_EQ(rig.heard.tree.size(), 4u);

    rig.Click(5, 4);  // Music's expander: its branch folds away
    EXPECT_EQ(rig.tree->RowCount(), 5);
    rig.tree->RemoveChildren(rig.music);
    rig.tree->Clear();
    EXPECT_EQ(rig.tree->RowCount(), 0);
    EXPECT_EQ(rig.tree->Selected(), nullptr);
}

TEST(Tree, SelectedNodeDragsPastTwoPixels)
{
    controlsrig::Log log;
    TreeRig rig;
    rig.tree->SetPayload(FourCC("tree"));
    auto* favourites = rig.root.Add<Probe>(&log, "fav", 0, 200, 300, 100);
    favourites->acceptsDrop = true;
    rig.Click(60, 0);
    rig.root.MouseDownAt(60, TreeRig::RowY(0), 0, false, false);
    rig.root.MouseMoveTo(62, TreeRig::RowY(0) + 2, false, false);
    EXPECT_FALSE(rig.tree->IsDragging());
    rig.root.MouseMoveTo(60, 250, false, false);
    EXPECT_TRUE(rig.tree->IsDragging());
    rig.root.MouseUpAt(60, 250);
    EXPECT_EQ(log.back(), "fav Drop " + std::to_string(FourCC("tree")));
    EXPECT_EQ(rig.heard.tree.size(), 1u);  // the first pick only
}

XPic Square(std::uint32_t body, std::uint32_t edge)
{
    std::vector<std::uint32_t> px(16 * 16, body);
    std::vector<std::uint8_t> mask(16 * 16, 0);
    for (int y = 2; y < 14; ++y)
        for (int x = 1; x < 15; ++x) {
            const bool rim = y == 2 || y == 13 || x == 1 || x == 14;
            px[y * 16 + x] = rim ? edge : body;
            mask[y * 16 + x] = 1;
        }
    return XPic::FromPixels(16, 16, px, mask);
}

TEST(ListTreePicture, BrowserColumns)
{
    XView root(0, 0, 420, 150);
    root.SetColor(0, XColor(0, 20, 30));
    const XColor back(50, 60, 80), text(220, 220, 190);

    auto* tree = root.Add<Folders>(6, 6, 200, 10);
    tree->SetColor(0, back);
    tree->SetColor(1, XColor(70, 100, 160));
    tree->SetColor(2, text);
    tree->SetIcon(2, Square(0xC8A040, 0x806020), true);
    tree->SetIcon(3, Square(0x5080C0, 0x203860), false);
    tree->SetSorted(true);
    XTree::Node* music = tree->AddNode(nullptr, "Music", 2);
    tree->AddNode(nullptr, "Samples (D:)", 2);
    tree->SetExpanded(music, true);
    tree->Select(music->child);

    auto* list = root.Add<XList>(212, 6, 200, 10);
    list->SetColor(0, back);
    list->SetColor(3, back);
    list->SetColor(2, text);
    list->SetIcon(0, Square(0x60B070, 0x285830));
    for (const char* name : {"Concert Grand", "Warm Pad \xFF", "Pizzicato"}) list->AddItem(name);
    list->Select(1);

    auto* empty = root.Add<XList>(212, 76, 200, 68);
    empty->SetColor(0, back);
    empty->SetColor(3, XColor(25, 30, 40));
    empty->SetText("Drag and drop an instrument from this column");
    empty->SetSize(200, 68);

    XGraphic g;
    controlsrig::DrawAll(root, g);
    testsupport::ExpectMatchesReference(g, "lists_browser");
}

}  // namespace

namespace {

// Presses, drags, releases, keys and rebuilds in any order: nothing breaks, nothing dangles.
TEST(ListTreeRobustness, RandomInputInAnyOrder)
{
    XView root(0, 0, 400, 300);
    auto* list = root.Add<XList>(0, 0, 150, 10);
    list->SetMultiSelect(true);
    list->SetPayload(FourCC("inst"));
    auto* tree = root.Add<Folders>(160, 0, 200, 10);
    tree->SetIcon(2, XPic(), true);
    tree->SetPayload(FourCC("tree"));
    auto* box = root.Add<XEditBox>(0, 190, 150, 20);
    root.Add<XKeyboard>(0, 220, 400, 80);
    std::uint32_t seed = 12345;
    auto next = [&seed](int n) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 8) % static_cast<std::uint32_t>(n));
    };
    for (int step = 0; step < 4000; ++step) {
        const int x = next(420) - 10, y = next(320) - 10;
        switch (next(9)) {
            case 0:
                root.MouseDownAt(x, y, 0, next(2), next(2));
                break;
            case 1:
            case 2:
                root.MouseMoveTo(x, y, next(2), next(2));
                break;
            case 3:
                root.MouseUpAt(x, y);
                break;
            case 4: {
                XKey k {next(200), 0, next(12)};
                root.KeyPress(&k);
                break;
            }
            case 5:
                if (next(20) == 0) list->Clear();
                list->AddItem(std::string(next(300), static_cast<char>(next(256))));
                break;
            case 6:
                if (next(30) == 0) tree->Clear();
                if (next(4) == 0) tree->RemoveChildren(tree->FirstNode());
                tree->AddNode(nullptr, std::string(1, static_cast<char>(next(256))), 2);
                break;
            case 7:
                list->RemoveItem(next(list->ItemCount() + 2) - 1);
                if (next(10) == 0)
                    box->SetText(std::string(next(5000), static_cast<char>(next(256))));
                break;
            default: {
                XGraphic g;
                controlsrig::DrawAll(root, g);
            }
        }
    }
    // A release lost in the shuffle: the next press on each ends its drag without a drop.
    for (int x : {1, 161}) {
        root.MouseDownAt(x, 1, 0, false, false);
        root.MouseUpAt(x, 1);
    }
    EXPECT_FALSE(list->IsDragging());
    EXPECT_FALSE(tree->IsDragging());
}

}  // namespace
