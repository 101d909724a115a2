#include "editor/WStackEdit.h"
#include "editor/GigaViewText.h"

#include <cstdio>
#include <initializer_list>
#include <memory>
#include <string>

#include "editor/GigaView.h"
#include "editor/StackKeySwitch.h"
#include "editor/XPanLab.h"
#include "editor/XStack_Keyb.h"
#include "editor/XStack_List.h"
#include "engine/GigaToneEdit.h"
#include "gui/XButton.h"
#include "gui/XEditBox.h"
#include "gui/XLabel.h"
#include "gui/XMenu.h"
#include "gui/XMenuHost.h"
#include "gui/XSelect.h"

namespace {

constexpr XColor kBackground {220, 220, 240};
constexpr XColor kLabelText {240, 240, 240};
constexpr XColor kProgramText {180, 200, 255};
constexpr XColor kTransposeText {180, 255, 200};
constexpr XColor kRangeText {255, 200, 180};
constexpr XColor kOctaveText {170, 176, 196};
constexpr XColor kBoxBackground {22, 25, 31};

constexpr int kPanelMargin = 11;
constexpr int kLineTop = 24;
constexpr int kLineHeight = 19;
constexpr int kPropertiesHeight = 50;
constexpr int kMappingTop = 66;
constexpr int kMapLeft = 5;
constexpr int kMapTop = 36;
constexpr int kKeyboardGap = 4;
constexpr int kKeyboardHeight = 34;
constexpr int kSelectMenu = 1;

// A label draws its text 4 pixels in from its left edge: the box starts that much earlier so
// that the text starts at x.
constexpr int kLabelInset = 4;

XLabel* AddLabel(XControl& panel, int x, int width, std::string_view text, XColor colour)
{
    XLabel* label =
        panel.Add<XLabel>(x - kLabelInset, kLineTop, width + kLabelInset, kLineHeight, text);
    label->SetColor(2, colour);
    label->SetFont(10, 0);
    return label;
}

std::string SwitchRangeText(int low, int high)
{
    return XEditBox::NoteName(low) + " : " + XEditBox::NoteName(high);
}

}  // namespace

WStackEdit::WStackEdit(GigaEditorLink& editor, GigaToneEdit& tone)
    : XView(0, 0, kWidth, HeightFor(0)), editor_(editor), tone_(tone)
{
    SetTitle("Stack Editor");
    SetColor(0, kBackground);
    const int width = kWidth - 2 * kPanelMargin;
    auto map = std::make_unique<XStack_List>(kMapLeft, kMapTop, XStack_Keyb::kWidth, tone_);
    SetSize(kWidth, HeightFor(map->RowCount()));
    BuildProperties(width);
    BuildMapping(width, std::move(map));
    BuildLayerFacts(width, Height());

    done_ = Add<XButton>(-90, -30, 80, 22, "Done");
    done_->AddListener(this);
    SetDialog(true);
    SetDefaultButton(done_);

    ShowMode();
    ShowLayer(-1);
}

void WStackEdit::BuildProperties(int width)
{
    auto* panel =
        Add<XPanLab>(kPanelMargin, kPanelMargin, width, kPropertiesHeight, "Stack properties");
    AddLabel(*panel, 5, 50, "Name:", kLabelText);
    name_ = panel->Add<XEditBox>(55, kLineTop, 160, kLineHeight);
    name_->SetText(tone_.StackName());
    name_->AddListener(this);

    AddLabel(*panel, 250, 59, "Select by:", kLabelText);
    selectBy_ = panel->Add<XSelect>(310, kLineTop, 160, kLineHeight);
    selectBy_->AddListener(this);

    controllerLabel_ = AddLabel(*panel, 500, 100, "MIDI Controller:", kLabelText);
    controller_ = panel->Add<XEditBox>(600, kLineTop, 50, kLineHeight);
    controller_->SetFilter(XEditBox::kDigits);
    controller_->AddListener(this);

    switchLabel_ = AddLabel(*panel, 500, 100, "MIDI key switch:", kLabelText);
    switchDown_ = panel->Add<XButton>(600, kLineTop, 12, kLineHeight, "<");
    switchText_ = panel->Add<XLabel>(613, kLineTop, 70, kLineHeight);
    switchText_->SetColor(0, kBoxBackground);
    switchText_->SetColor(2, kRangeText);
    switchUp_ = panel->Add<XButton>(684, kLineTop, 12, kLineHeight, ">");
    for (XButton* button : {switchDown_, switchUp_}) button->AddListener(this);
}

void WStackEdit::BuildMapping(int width, std::unique_ptr<XStack_List> map)
{
    const int rows = map->Height();
    auto* panel = Add<XPanLab>(kPanelMargin, kMappingTop, width, rows + 80, "Mapping");
    for (int octave = 0; octave * XStack_Keyb::kOctaveWidth < XStack_Keyb::kWidth; ++octave) {
        auto* number = panel->Add<XLabel>(kMapLeft + octave * XStack_Keyb::kOctaveWidth - 4,
                                          kMapTop - 15, 30, 14, std::to_string(octave - 2));
        number->SetColor(2, kOctaveText);
        number->SetFont(10, 0);
    }
    map_ = panel->Adopt(std::move(map));
    map_->AddListener(this);
    keyboard_ = panel->Add<XStack_Keyb>(kMapLeft, kMapTop + rows + kKeyboardGap,
                                        XStack_Keyb::kWidth, kKeyboardHeight);
}

void WStackEdit::BuildLayerFacts(int width, int height)
{
    auto* panel =
        Add<XPanLab>(kPanelMargin, height - 101, width, kPropertiesHeight, "Instrument properties");
    program_ = AddLabel(*panel, 5, 260, "", kProgramText);
    transpose_ = AddLabel(*panel, 280, 160, "", kTransposeText);
    range_ = AddLabel(*panel, 450, 160, "", kRangeText);
}

void WStackEdit::ChooseMode(int mode)
{
    tone_.SetSelectMode(mode);
    ShowMode();
    RefreshToneView();
}

void WStackEdit::ShowMode()
{
    const int mode = tone_.SelectMode();
    selectBy_->SetText(viewtext::SelectModeName(mode));
    selectBy_->Invalidate();

    const bool controller = mode >= 1 && mode <= 127;
    for (XControl* control : std::initializer_list<XControl*> {controllerLabel_, controller_})
        controller ? control->Show() : control->Hide();
    controller_->SetText(std::to_string(mode));

    const bool keySwitch = mode == GigaToneEdit::kSelectKeySwitch;
    for (XControl* control :
         std::initializer_list<XControl*> {switchLabel_, switchDown_, switchText_, switchUp_})
        keySwitch ? control->Show() : control->Hide();
    if (!keySwitch) {
        keyboard_->SetSwitchRange(0, 0);
        return;
    }
    map_->Reload();
    StackKeySwitch range {tone_.KeySwitchLow(), tone_.KeySwitchHigh()};
    range.Settle(map_->RowCount(), map_->LowestKey(), map_->HighestKey());
    ShowSwitchRange(range.low, range.high);
}

void WStackEdit::ShowSwitchRange(int low, int high)
{
    if (low != tone_.KeySwitchLow() || high != tone_.KeySwitchHigh())
        tone_.SetKeySwitchRange(low, high);
    switchText_->SetText(SwitchRangeText(low, high));
    keyboard_->SetSwitchRange(low, high);
}

void WStackEdit::MoveSwitch(int step)
{
    if (tone_.SelectMode() != GigaToneEdit::kSelectKeySwitch) return;
    map_->Reload();
    StackKeySwitch range {tone_.KeySwitchLow(), tone_.KeySwitchHigh()};
    const int layers = map_->RowCount();
    if (step < 0)
        range.StepDown(layers, map_->LowestKey(), map_->HighestKey());
    else
        range.StepUp(layers, map_->LowestKey(), map_->HighestKey());
    ShowSwitchRange(range.low, range.high);
}

void WStackEdit::ShowLayer(int row)
{
    if (row < 0 || row >= map_->RowCount()) {
        for (XLabel* label : {program_, transpose_, range_}) label->Hide();
        return;
    }
    const XStack_List::Row& layer = map_->RowAt(row);
    char transpose[32];
    std::snprintf(transpose, sizeof transpose, "Pitch Transpose: %+d", layer.keyOffset);
    program_->SetText(layer.name);
    transpose_->SetText(transpose);
    range_->SetText("Key range: " + XEditBox::NoteName(layer.keyLow + layer.keyOffset) + " - " +
                    XEditBox::NoteName(layer.keyHigh + layer.keyOffset));
    for (XLabel* label : {program_, transpose_, range_}) label->Show();
}

void WStackEdit::RefreshToneView()
{
    if (auto* view = dynamic_cast<GigaView*>(tone_.View())) view->Refresh();
}

void WStackEdit::Tick(std::uint32_t)
{
    XEvent reply;
    while (menus_.Take(reply)) {
        const int index = MenuIndexOf(reply.a);
        if (reply.code != kSelectMenu || index < 0 || index >= static_cast<int>(kChoices.size()))
            continue;
        ChooseMode(kChoices[static_cast<std::size_t>(index)].mode);
    }
}

void WStackEdit::ButtonClicked(XButton* sender, std::int32_t)
{
    if (sender == done_) Close(1);
    if (sender == switchDown_) MoveSwitch(-1);
    if (sender == switchUp_) MoveSwitch(1);
}

void WStackEdit::SelectChanged(XSelect* sender, std::int32_t)
{
    if (sender != selectBy_) return;
    auto menu = std::make_unique<XMenu>();
    const int mode = tone_.SelectMode();
    for (const Choice& choice : kChoices) {
        const std::int32_t command = menu->AddItem(choice.text);
        const bool current = choice.mode == mode || (choice.mode == 1 && mode >= 1 && mode <= 127);
        menu->SetChecked(command, current);
    }
    int x = 0, y = 0;
    selectBy_->OffsetIn(this, x, y);
    menus_.Show(std::move(menu), x, y + selectBy_->Height() + 1, kSelectMenu);
}

void WStackEdit::EditNotify(XControl* sender, std::int32_t code)
{
    if (sender == name_ && code == 1) {
        tone_.SetStackName(std::string(name_->Text()));
        RefreshToneView();
    }
    if (sender == controller_) {
        if (code >= 0 && code < 128) {
            ChooseMode(code);
        } else {
            ShowMode();
        }
    }
}

void WStackEdit::ListNotify(XControl* sender, std::int32_t code)
{
    if (sender == map_) ShowLayer(code);
}
