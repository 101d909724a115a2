// The edit box driven through a root view: filters, typing, selection, paste and commit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/XEditBox.h"
#include "gui/XGraphic.h"
#include "gui/XToolTip.h"
#include "gui/XView.h"
#include "tests/gui/ControlsRig.h"
#include "tests/gui/support/ReferenceImage.h"

namespace {

struct Heard : XListener {
    void EditNotify(XControl*, std::int32_t code) override { codes.push_back(code); }
    std::vector<std::int32_t> codes;
};

struct ClipPort : controlsrig::FakePort {
    std::string ClipboardText() override { return clipboard; }
    void SetClipboardText(std::string_view text) override { clipboard = text; }
    std::string clipboard;
};

struct EditRig {
    EditRig(std::int32_t filter = 0, std::string_view text = {})
    {
        root.SetWindowPort(&port);
        box = root.Add<XEditBox>(10, 10, 160, 20);
        box->SetFilter(filter);
        box->SetText(text);
        box->AddListener(&heard);
    }
    // A press at x inside the box starts editing.
    void Press(int x = 8)
    {
        root.MouseDownAt(10 + x, 20, 0, false, false);
        root.MouseUpAt(10 + x, 20);
    }
    bool Key(std::int32_t code, std::int32_t character = 0)
    {
        XKey k {character, 0, code};
        return root.KeyPress(&k);
    }
    void Type(std::string_view s)
    {
        for (char c : s) Key(kKeyChar, static_cast<unsigned char>(c));
    }

    XView root {0, 0, 200, 50};
    ClipPort port;
    Heard heard;
    XEditBox* box = nullptr;
};

struct FilterCase {
    std::int32_t filter;
    std::string accepted;
    std::string refused;
};

class EditFilter : public ::testing::TestWithParam<FilterCase> {};

TEST_P(EditFilter, LetsThroughOnlyWhatTheFlagsAllow)
{
    XEditBox box(0, 0, 10, 10);
    box.SetFilter(GetParam().filter);
    for (char c : GetParam().accepted) EXPECT_TRUE(box.Accepts(c)) << c;
    for (char c : GetParam().refused) EXPECT_FALSE(box.Accepts(static_cast<unsigned char>(c))) << c;
    for (std::int32_t c : {0, 9, 13, 31, 127, 128, 0xE9, 0x20AC, -5}) EXPECT_FALSE(box.Accepts(c));
}

INSTANTIATE_TEST_SUITE_P(Flags, EditFilter,
                         ::testing::Values(FilterCase {0, " aZ09~!#\\", ""},
                                           FilterCase {1, "aZ", "0#+ ."},
                                           FilterCase {2, "0459", "a-+. "},
                                           FilterCase {4 | 8, "+-.", "a0#"},
                                           FilterCase {XEditBox::kNoteName, "C#4-a", ". \\"},
                                           FilterCase {64, "\\:", "/a0"}));

TEST(EditBox, DigitsCommitAsANumberAndLettersGoBackToTheView)
{
    EditRig rig(XEditBox::kDigits);
    rig.Press();
    EXPECT_TRUE(rig.box->IsEditing());
    EXPECT_FALSE(rig.Key(kKeyChar, 'x'));
    rig.Type("042");
    EXPECT_EQ(rig.box->EditText(), "042");
    rig.Key(kKeyEnter);
    EXPECT_FALSE(rig.box->IsEditing());
    EXPECT_EQ(rig.box->Text(), "042");
    EXPECT_EQ(rig.heard.codes, std::vector<std::int32_t>({42}));

    // Far too many digits saturate instead of overflowing.
    rig.Press();
    rig.Type("99999999999999999999");
    rig.Key(kKeyEnter);
    EXPECT_EQ(rig.heard.codes.back(), 2147483647);
}

TEST(EditBox, EscapeDropsTheEditAndTellsTheOwner)
{
    EditRig rig(0, "Strings");
    rig.Press(150);  // past the end: caret after the text
    rig.Type(" B");
    rig.Key(kKeyEscape);
    EXPECT_EQ(rig.box->Text(), "Strings");
    rig.Press(150);
    rig.Type(" B");
    rig.Key(kKeyEnter);
    EXPECT_EQ(rig.box->Text(), "Strings B");
    EXPECT_EQ(rig.heard.codes, std::vector<std::int32_t>({0, 1}));
    // Not editing: keys are not consumed.
    EXPECT_FALSE(rig.Key(kKeyLeft));
}

TEST(EditBox, SelectionByDragIsReplacedByTypingAndKeysMoveAroundIt)
{
    EditRig rig(0, "abcdef");
    rig.root.MouseDownAt(10 + 6, 20, 0, false, false);  // before "a"
    rig.root.MouseMoveTo(10 + 200, 20, false, false);   // past "f"
    rig.root.MouseUpAt(10 + 200, 20);
    EXPECT_EQ(rig.box->CaretPosition(), 0);
    EXPECT_EQ(rig.box->SelectionLength(), 6);
    rig.Key(kKeyRight);
    EXPECT_EQ(rig.box->CaretPosition(), 6);
    rig.Key(kKeyBackspace);
    rig.Key(kKeyLeft);
    rig.Key(kKeyLeft);
    rig.Key(kKeyDelete);
    rig.Type("X");
    EXPECT_EQ(rig.box->EditText(), "abcXe");

    rig.root.MouseDownAt(10 + 6, 20, 0, false, false);
    rig.root.MouseMoveTo(10 + 190, 20, false, false);
    rig.root.MouseUpAt(10 + 190, 20);
    rig.Key(kKeyCopy);
    EXPECT_EQ(rig.port.clipboard, "abcXe");
}

TEST(EditBox, PasteTakesShortTextsUpToTheLineEnd)
{
    EditRig rig(0, "old");
    rig.Press();
    rig.port.clipboard = "Grand Piano\r\nsecond line";
    rig.Key(kKeyPaste);
    EXPECT_EQ(rig.box->EditText(), "Grand Piano");
    EXPECT_EQ(rig.box->CaretPosition(), 11);
    rig.port.clipboard = std::string(100, 'x');
    rig.Key(kKeyPaste);
    EXPECT_EQ(rig.box->EditText(), "Grand Piano");
    rig.port.clipboard = std::string(99, 'y');
    rig.Key(kKeyPaste);
    EXPECT_EQ(rig.box->EditText(), std::string(99, 'y'));

    // What the filter refuses stays out of a number box.
    EditRig digits(XEditBox::kDigits);
    digits.Press();
    digits.port.clipboard = "1a2\t3";
    digits.Key(kKeyPaste);
    EXPECT_EQ(digits.box->EditText(), "123");
}

TEST(EditBox, BytesThatAreNoUtf8AreKeptAndStepOverOneByOne)
{
    const std::string name = std::string("Pi\xE9no \xFF") + "\xC3\xA9";
    EditRig rig(0, name);
    rig.Press(150);
    rig.Key(kKeyEnter);
    EXPECT_EQ(rig.box->Text(), name);

    rig.Press(150);
    rig.Key(kKeyBackspace);  // the whole "é"
    rig.Key(kKeyBackspace);  // the lone 0xFF
    rig.Key(kKeyEnter);
    EXPECT_EQ(rig.box->Text(), std::string("Pi\xE9no "));
}

TEST(EditBox, EndEditCommitsAsTheLeaveFlagSays)
{
    EditRig rig(0, "a");
    rig.Press(150);
    rig.Type("b");
    rig.box->EndEdit(true);  // keep editing
    EXPECT_TRUE(rig.box->IsEditing());
    rig.box->EndEdit(false);
    EXPECT_EQ(rig.box->Text(), "ab");
    rig.box->SetCommitOnLeave(false);
    rig.Press(150);
    rig.Type("c");
    rig.box->EndEdit(false);
    EXPECT_EQ(rig.box->Text(), "ab");
    EXPECT_EQ(rig.heard.codes, std::vector<std::int32_t>({1, 0}));
}

class NoteNames : public ::testing::TestWithParam<std::pair<int, const char*>> {};

TEST_P(NoteNames, ShowNameAndOctave)
{
    XEditBox box(0, 0, 50, 20);
    box.SetFilter(XEditBox::kNoteName);
    box.SetNumber(GetParam().first);
    EXPECT_EQ(box.Text(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Notes, NoteNames,
                         ::testing::Values(std::pair {21, "A-1"}, std::pair {60, "C3"},
                                           std::pair {0, "C-2"}, std::pair {127, "G8"},
                                           std::pair {-1, "B-3"}, std::pair {61, "C#3"}));

TEST(EditBox, OtherFiltersShowPlainNumbers)
{
    XEditBox box(0, 0, 50, 20);
    box.SetFilter(XEditBox::kDigits);
    box.SetNumber(-2147483647 - 1);
    EXPECT_EQ(box.Text(), "-2147483648");
}

TEST(ToolTip, LongTextsAreCutAtACharacterAndTheBoxFitsTheText)
{
    XToolTip tip;
    std::string text(255, 'a');
    text += "\xC3\xA9\xC3\xA9" + std::string(10000, 'b');
    tip.SetText(text);
    EXPECT_EQ(tip.Text(), std::string(255, 'a'));
    XGraphic g;
    g.Begin(nullptr, 100, 40);
    tip.SetText("Mute");
    const XRect size = tip.Size(&g);
    EXPECT_GT(size.Width(), 12);
    EXPECT_LT(size.Width(), 60);
    tip.Draw(&g, 95, 35);  // mostly off the surface
}

TEST(EditBoxPicture, IdleEditingDisabledAndScrolledToTheCaret)
{
    XView root(0, 0, 200, 110);
    root.SetColor(0, XColor(30, 33, 40));
    auto* idle = root.Add<XEditBox>(10, 8, 180, 20);
    idle->SetText("Layered Strings");
    auto* editing = root.Add<XEditBox>(10, 34, 180, 20);
    editing->SetText("Grand Pi\xE9no");
    auto* off = root.Add<XEditBox>(10, 60, 180, 20);
    off->SetText("C3");
    off->SetEnabled(false);

    root.MouseDownAt(10 + 6, 44, 0, false, false);
    root.MouseMoveTo(10 + 40, 44, false, false);
    root.MouseUpAt(10 + 40, 44);
    // A long name edited at its end shows its tail.
    auto* tail = root.Add<XEditBox>(10, 86, 180, 20);
    tail->SetText(std::string(240, 'w') + " tail");
    root.MouseDownAt(10 + 170, 96, 0, false, false);
    root.MouseUpAt(10 + 170, 96);
    XKey end {0, 0, kKeyRight};
    for (int i = 0; i < 300; ++i) root.KeyPress(&end);
    XKey x {'X', 0, kKeyChar};
    root.KeyPress(&x);
    tail->Blink(1);
    EXPECT_EQ(tail->EditText().size(), 246u);
    XGraphic g;
    controlsrig::DrawAll(root, g);
    testsupport::ExpectMatchesReference(g, "lists_editbox");
}

}  // namespace
