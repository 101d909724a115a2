// The save confirmation: its message, the answer of each button and key, and its picture.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <utility>

#include "editor/WConfirm.h"
#include "gui/XButton.h"
#include "gui/XLabel.h"
#include "platform/FourCC.h"
#include "tests/editor/DialogsRig.h"

namespace {

using dialogsrig::Host;

TEST(editorConfirm, MessageNamesTheLastPathComponent)
{
    const std::pair<std::string, std::string> cases[] = {
        {"/home/me/Songs/Live.mrp", "Save changes to Live.mrp?"},
        {"", "Save changes to Untitled?"},
        {"Fl\xFC"
         "gel set.mrp",
         "Save changes to Fl\xFC"
         "gel set.mrp?"}};
    for (const auto& [path, message] : cases)
        EXPECT_EQ(WConfirm(path).Message()->Text(), message) << path;
}

TEST(editorConfirm, Picture)
{
    dialogsrig::ExpectPicture(std::make_unique<WConfirm>("/home/me/Songs/Live.mrp"),
                              "dialogs_confirm");
}

// A button's text, or the key "Enter" or "Escape", and the answer it gives.
struct Answer {
    const char* input;
    std::int32_t result;
};
void PrintTo(const Answer& answer, std::ostream* out)
{
    *out << answer.input;
}

class ConfirmAnswerTest : public ::testing::TestWithParam<Answer> {};

TEST_P(ConfirmAnswerTest, ClosesWithIt)
{
    Host host(600, 300);
    auto* dialog = host.Show(std::make_unique<WConfirm>("/x/Live.mrp"), FourCC("NPrf"));
    const std::string input = GetParam().input;
    if (input == "Enter" || input == "Escape")
        host.Press(input == "Enter" ? kKeyEnter : kKeyEscape);
    for (XButton* button : {dialog->YesButton(), dialog->NoButton(), dialog->CancelButton()})
        if (button->Text() == input) host.Click(button);
    host.Tick();
    EXPECT_EQ(host.closed, 1);
    EXPECT_EQ(host.closedId, FourCC("NPrf"));
    EXPECT_EQ(host.result, GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(editor, ConfirmAnswerTest,
                         ::testing::Values(Answer {"Yes", 1}, Answer {"No", 0},
                                           Answer {"Cancel", -1}, Answer {"Enter", 1},
                                           Answer {"Escape", -1}),
                         [](const auto& info) { return std::string(info.param.input); });

}  // namespace
