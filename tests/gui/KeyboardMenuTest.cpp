// The on-screen keyboard (notes and velocities sent to its parent) and popup menus (commands,
// submenus, choices answered through the reply queue, scrolling).
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "gui/XGraphic.h"
#include "gui/XKeyboard.h"
#include "gui/XMenu.h"
#include "gui/XMenuHost.h"
#include "gui/XView.h"
#include "platform/FourCC.h"
#include "tests/gui/ControlsRig.h"
#include "tests/gui/support/ReferenceImage.h"

namespace {

// The keyboard's parent: keeps every 'midi' command as "note:velocity".
class Pane : public XView {
public:
    Pane() : XView(0, 0, 800, 100) {}
    void Command(std::int32_t code, std::int32_t a, std::int32_t b) override
    {
        if (code == FourCC("midi")) sent.push_back(std::to_string(a) + ":" + std::to_string(b));
    }
    std::vector<std::string> sent;
};

struct KeyCase {
    int x, y, note;
};

class KeyboardHits : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyboardHits, MapPointsToNotes)
{
    int note = -1, velocity = -1;
    ASSERT_TRUE(XKeyboard::NoteAt(GetParam().x, GetParam().y, 80, note, velocity));
    EXPECT_EQ(note, GetParam().note);
    EXPECT_GE(velocity, 1);
    EXPECT_LE(velocity, 127);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyboardHits,
                         ::testing::Values(KeyCase {0, 70, 21}, KeyCase {8, 10, 21},
                                           KeyCase {15, 70, 23}, KeyCase {12, 10, 22},
                                           KeyCase {12, 60, 21}, KeyCase {30, 5, 24},
                                           KeyCase {41, 48, 25}, KeyCase {779, 40, 108},
                                           KeyCase {391, 79, 65}));

TEST(Keyboard, VelocityGrowsDownTheKeyAndNeverEndsTheNote)
{
    int note = 0, top = 0, bottom = 0, blackEnd = 0;
    XKeyboard::NoteAt(2, 0, 80, note, top);
    XKeyboard::NoteAt(2, 79, 80, note, bottom);
    XKeyboard::NoteAt(12, 48, 80, note, blackEnd);
    EXPECT_EQ(top, 1);
    EXPECT_EQ(bottom, 126);
    EXPECT_EQ(blackEnd, 126);
    for (auto [x, y] : {std::pair {-1, 10}, {781, 10}, {10, -1}, {10, 80}})
        EXPECT_FALSE(XKeyboard::NoteAt(x, y, 80, note, top));
}

TEST(Keyboard, PlaysWithinTheRangesAndSendsEachNoteOff)
{
    Pane pane;
    auto* keys = pane.Add<XKeyboard>(0, 0, 781, 80);
    keys->SetRanges(24, 60, 21, 22);
    EXPECT_FALSE(pane.MouseDownAt(16, 70, 0, false, false));  // B0 (23): in neither range
    EXPECT_TRUE(pane.sent.empty());

    EXPECT_TRUE(pane.MouseDownAt(31, 79, 0, false, false));  // C1
    EXPECT_TRUE(keys->IsKeyHeld(24));
    pane.MouseMoveTo(46, 79, false, false);  // D1
    pane.MouseMoveTo(16, 79, false, false);  // B0: the note ends, nothing new
    pane.MouseMoveTo(31, 79, false, false);  // back on C1
    pane.MouseUpAt(31, 79);
    EXPECT_EQ(pane.sent,
              std::vector<std::string>({"24:126", "24:0", "26:126", "26:0", "24:126", "24:0"}));
    EXPECT_FALSE(keys->IsKeyHeld(24));

    pane.MouseDownAt(2, 79, 0, false, false);  // A0 (21): the key-switch range plays
    pane.MouseUpAt(2, 79);
    EXPECT_EQ(pane.sent.back(), "21:0");

    keys->SetKeyHeld(60, true);
    keys->SetKeyHeld(500, true);
    EXPECT_TRUE(keys->IsKeyHeld(60));
    EXPECT_EQ(pane.sent.size(), 8u);

    // Removed while a key is down: the note still ends.
    pane.MouseDownAt(46, 79, 0, false, false);
    keys->Remove();
    XGraphic g;
    controlsrig::DrawAll(pane, g);
    EXPECT_EQ(pane.sent.back(), "26:0");
}

TEST(KeyboardPicture, RangesAndHeldKeys)
{
    Pane pane;
    pane.SetSize(330, 80);
    auto* keys = pane.Add<XKeyboard>(0, 0, 330, 80);
    keys->SetPicture(XKeyboard::PlainPicture());
    keys->SetRanges(36, 55, 24, 26);
    keys->SetKeyHeld(40, true);
    keys->SetKeyHeld(42, true);
    XGraphic g;
    controlsrig::DrawAll(pane, g);
    testsupport::ExpectMatchesReference(g, "lists_keyboard");
}

TEST(Menu, CommandsCarryTheMenuIdAndIndex)
{
    XMenu menu;
    EXPECT_EQ(menu.AddItem("Open"), 1);
    menu.AddSeparator();
    EXPECT_EQ(menu.AddItem("Save"), 3);
    XMenu* recent = menu.AddSubmenu("Recent");
    XMenu* other = menu.AddSubmenu("Other");
    XMenu* deeper = recent->AddSubmenu("More");
    EXPECT_EQ(recent->Id(), 1);
    EXPECT_EQ(other->Id(), 2);
    EXPECT_EQ(deeper->Id(), 3);
    const std::int32_t song = recent->AddItem("song.mrp");
    EXPECT_EQ(song, (1 << 16) + 2);
    EXPECT_EQ(MenuIdOf(song), 1);
    EXPECT_EQ(MenuIndexOf(song), 1);
    EXPECT_EQ(MenuIdOf(0), -1);

    EXPECT_TRUE(menu.Choose(song));
    EXPECT_EQ(menu.ChosenMenu(), 1);
    EXPECT_EQ(menu.ChosenIndex(), 1);
    menu.SetEnabled(3, false);
    EXPECT_FALSE(menu.Choose(3));
    EXPECT_FALSE(menu.Choose(2));  // the separator
    EXPECT_FALSE(menu.Choose(99));
}

// A menu shown as a popup in the editor.
struct MenuRig {
    explicit MenuRig(int maxHeight = 700)
    {
        auto menu = std::make_unique<XMenu>();
        open = menu->AddItem("Open...");
        menu->AddSeparator();
        save = menu->AddItem("Save");
        XMenu* sub = menu->AddSubmenu("Layers");
        for (int i = 0; i < 30; ++i) layer.push_back(sub->AddItem("Layer " + std::to_string(i)));
        view = static_cast<XMenuView*>(root.ShowPopup(
            std::make_unique<XMenuView>(std::move(menu), maxHeight, &root, FourCC("menu")), 1));
        view->SetPosition(0, 0);
    }
    static int RowY(int line) { return XMenuView::kPad + 10 + 20 * line - (line > 1 ? 11 : 0); }
    void Click(int x, int y)
    {
        root.MouseDownAt(x, y, 0, false, false);
        root.MouseUpAt(x, y);
    }
    std::vector<XEvent> Replies()
    {
        std::vector<XEvent> out;
        XEvent e;
        while (root.NextEvent(e)) out.push_back(e);
        return out;
    }
    XView root {0, 0, 600, 700};
    XMenuView* view = nullptr;
    std::int32_t open = 0, save = 0;
    std::vector<std::int32_t> layer;
};

TEST(MenuView, AClickChoosesAndTheChoiceArrivesAsAnEvent)
{
    MenuRig rig;
    rig.Click(30, MenuRig::RowY(2));  // Save
    EXPECT_TRUE(rig.view->IsFinished());
    EXPECT_TRUE(rig.view->CloseRequested());
    const auto replies = rig.Replies();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].code, FourCC("menu"));
    EXPECT_EQ(replies[0].a, rig.save);
    EXPECT_EQ(rig.view->Menu().ChosenIndex(), 2);
    rig.Click(30, MenuRig::RowY(0));  // finished: nothing more
    EXPECT_TRUE(rig.Replies().empty());
}

TEST(MenuView, SeparatorsDoNothingAndEscapeCancels)
{
    MenuRig rig;
    rig.Click(30, XMenuView::kPad + 24);  // the separator
    EXPECT_FALSE(rig.view->IsFinished());
    XKey escape {0, 0, kKeyEscape};
    rig.root.KeyPress(&escape);
    const auto replies = rig.Replies();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].a, 0);
}

TEST(MenuView, SubmenusOpenInPlaceAndScrollWhenTallerThanTheScreen)
{
    MenuRig rig(200);
    EXPECT_LE(rig.view->Height(), 200);
    EXPECT_TRUE(rig.view->IsScrollable());
    XKey key {0, 0, kKeyDown};
    for (int i = 0; i < 3; ++i) rig.root.KeyPress(&key);  // Open, Save, Layers
    key.code = kKeyRight;
    rig.root.KeyPress(&key);
    EXPECT_EQ(rig.view->Level().Id(), 1);
    key.code = kKeyUp;  // from nothing to the last layer: scrolled into view
    rig.root.KeyPress(&key);
    EXPECT_GT(rig.view->ScrollRow(), 0);
    key.code = kKeyEnter;
    rig.root.KeyPress(&key);
    const auto replies = rig.Replies();
    ASSERT_EQ(replies.size(), 1u);
    EXPECT_EQ(replies[0].a, rig.layer.back());
}

TEST(MenuView, APressOutsideCancels)
{
    MenuRig rig;
    rig.view->PressedOutside();
    rig.view->PointerPressed(-5, 10);
    EXPECT_EQ(rig.Replies().size(), 1u);
}

TEST(MenuView, ShownInTheEditorFitsTheRootAndAnswersItsOwner)
{
    XView root(0, 0, 300, 200);
    auto* owner = root.Add<XView>(200, 150, 100, 50);
    auto menu = std::make_unique<XMenu>();
    const std::int32_t item = menu->AddItem("Load into Tone 1");
    XMenuView* view = XMenuView::ShowIn(owner, std::move(menu), 90, 40, FourCC("tone"));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->X() + view->Width(), 300);
    EXPECT_EQ(view->Y() + view->Height(), 200);
    root.MouseDownAt(view->X() + 20, view->Y() + 10, 0, false, false);
    root.MouseUpAt(view->X() + 20, view->Y() + 10);
    XEvent reply;
    ASSERT_TRUE(owner->NextEvent(reply));
    EXPECT_EQ(reply.code, FourCC("tone"));
    EXPECT_EQ(reply.a, item);
    root.Idle(1);
    EXPECT_EQ(root.OpenPopup(), nullptr);
    EXPECT_EQ(XMenuView::ShowIn(nullptr, nullptr, 0, 0, 0), nullptr);
}

TEST(MenuPicture, HighlightChecksAndScrolling)
{
    XView root(0, 0, 330, 170);
    root.SetColor(0, XColor(30, 33, 40));
    auto menu = std::make_unique<XMenu>();
    menu->AddItem("New Performance");
    const std::int32_t save = menu->AddItem("Save");
    menu->AddSeparator();
    const std::int32_t stack = menu->AddItem("Stack Mode");
    menu->SetChecked(stack, true);
    menu->SetEnabled(save, false);
    menu->AddSubmenu("Recent Files")->AddItem("a.mrp");
    auto* plain = root.Adopt(std::make_unique<XMenuView>(std::move(menu), 400, nullptr, 0));
    plain->SetPosition(8, 8);
    plain->PointerMoved(30, XMenuView::kPad + 10);

    auto tall = std::make_unique<XMenu>();
    for (int i = 0; i < 20; ++i) tall->AddItem("Program " + std::to_string(i));
    auto* scrolled = root.Adopt(std::make_unique<XMenuView>(std::move(tall), 150, nullptr, 0));
    scrolled->SetPosition(180, 8);
    scrolled->ScrollBy(3);

    XGraphic g;
    controlsrig::DrawAll(root, g);
    testsupport::ExpectMatchesReference(g, "lists_menu");
}

}  // namespace
