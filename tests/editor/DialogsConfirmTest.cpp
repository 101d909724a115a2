// The save confirmation: its message, the result of each button and key, and its picture.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>

#include "editor/WConfirm.h"
#include "gui/XButton.h"
#include "gui/XGraphic.h"
#include "gui/XLabel.h"
#include "platform/FourCC.h"
#include "tests/editor/DialogsRig.h"
#include "tests/gui/ControlsRig.h"
#include "tests/gui/support/ReferenceImage.h"

namespace {

using dialogsrig::Host;

struct MessageCase {
    std::string path;
    std::string message;
};

void PrintTo(const MessageCase& c, std::ostream* out)
{
    // Bytes outside ASCII escaped: test names must stay readable text.
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (const unsigned char byte : c.path) {
        if (byte < 0x80) {
            *out << static_cast<char>(byte);
        } else {
            *out << "\\x" << kHex[byte >> 4] << kHex[byte & 15];
        }
    }
}

class ConfirmMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ConfirmMessageTest, NamesTheLastPathComponent)
{
    const WConfirm dialog(GetParam().path);
    EXPECT_EQ(dialog.Message()->Text(), GetParam().message);
}

INSTANTIATE_TEST_SUITE_P(editor, ConfirmMessageTest,
                         ::testing::Values(MessageCase {"/home/me/Songs/Live.mrp",
                                                        "Save changes to Live.mrp?"},
                                           MessageCase {"", "Save changes to Untitled?"},
                                           MessageCase {"Live.mrp", "Save changes to Live.mrp?"},
                                           MessageCase {"/gigs/Fl\xFC"
                                                        "gel set.mrp",
                                                        "Save changes to Fl\xFC"
                                                        "gel set.mrp?"}));

struct AnswerCase {
    const char* name;
    std::function<void(Host&, WConfirm&)> act;
    std::int32_t result;
};

void PrintTo(const AnswerCase& c, std::ostream* out)
{
    *out << c.name;
}

class ConfirmAnswerTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(ConfirmAnswerTest, ClosesWithTheAnswer)
{
    Host host(600, 300);
    WConfirm* dialog = host.Show(std::make_unique<WConfirm>("/x/Live.mrp"), FourCC("NPrf"));
    GetParam().act(host, *dialog);
    host.Tick();
    EXPECT_EQ(host.closed, 1);
    EXPECT_EQ(host.closedId, FourCC("NPrf"));
    EXPECT_EQ(host.result, GetParam().result);
    EXPECT_EQ(host.OpenPopup(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    editor, ConfirmAnswerTest,
    ::testing::Values(AnswerCase {"Yes", [](Host& h, WConfirm& d) { h.Click(d.YesButton()); }, 1},
                      AnswerCase {"No", [](Host& h, WConfirm& d) { h.Click(d.NoButton()); }, 0},
                      AnswerCase {"Cancel", [](Host& h, WConfirm& d) { h.Click(d.CancelButton()); },
                                  -1},
                      AnswerCase {"Enter", [](Host& h, WConfirm&) { h.Press(kKeyEnter); }, 1},
                      AnswerCase {"Escape", [](Host& h, WConfirm&) { h.Press(kKeyEscape); }, -1}),
    [](const ::testing::TestParamInfo<AnswerCase>& info) { return info.param.name; });

TEST(editorConfirmPicture, MatchesReference)
{
    Host host(WConfirm::kWidth + 20, WConfirm::kHeight + 20);
    host.Show(std::make_unique<WConfirm>("/home/me/Songs/Live.mrp"), FourCC("OPrf"));
    XGraphic g;
    controlsrig::DrawAll(host, g);
    testsupport::ExpectMatchesReference(g, "dialogs_confirm");
}

}  // namespace
