// The editor target's seeds: real sessions written as scripts (fuzz/EditorScript.h) against
// the editor's layout. Each is a short description of what a user does; marlet-fuzz-seeds
// writes them into the corpus folder "editor".
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "editor/GigaEditor.h"
#include "editor/GigaViewLayout.h"
#include "editor/WConfirm.h"
#include "editor/WMissing.h"
#include "editor/WSettings.h"
#include "editor/WStackEdit.h"
#include "editor/XRackUnit.h"
#include "editor/XToneView.h"
#include "fuzz/EditorScript.h"
#include "gui/WFileDialog.h"
#include "gui/XEvent.h"
#include "gui/XKeyboard.h"
#include "gui/XList.h"

namespace editorseeds {

using editorscript::Point;
using editorscript::ScriptWriter;
namespace vl = viewlayout;
namespace el = editorlayout;

// The starting racks of EditorFuzz.cpp.
enum Rack { kDemoRack = 0, kEmptyRack = 1, kFullRack = 2, kMissingRack = 3 };

inline std::uint8_t Header(Rack rack, bool menuHost = true, bool ownDialogs = false,
                           bool settleEach = true, bool liveAudio = false)
{
    return static_cast<std::uint8_t>(rack << editorscript::kRackShift |
                                     (settleEach ? editorscript::kSettleEach : 0) |
                                     (menuHost ? editorscript::kMenuHost : 0) |
                                     (ownDialogs ? editorscript::kOwnDialogsFirst : 0) |
                                     (liveAudio ? editorscript::kLiveAudio : 0));
}

// --- Where things are while every tone is collapsed (the rack starts 52 pixels down).
inline Point Tool(int tool)
{
    return {el::kButtonX0 + el::kButtonPitch * tool + el::kButtonWidth / 2,
            el::kButtonY + el::kButtonHeight / 2};
}
inline Point Logo()
{
    return {GigaEditor::kWidth - el::kLogoFromRight + 30, el::kLogoY + 12};
}
inline int StripTop(int tone)
{
    return GigaEditor::kToolbarHeight + GigaEditor::kMeterHeight + 1 +
           (XToneView::kCollapsedHeight + 1) * tone;
}
inline Point InStrip(int tone, const XRect& r)
{
    return {XRackUnit::kArrowColumn + (r.left + r.right) / 2,
            StripTop(tone) + (r.top + r.bottom) / 2};
}
inline Point Arrow(int tone)
{
    return {XRackUnit::kArrowColumn / 2, StripTop(tone) + 12};
}
inline Point Fader(int tone, int which, double at)
{
    return {XRackUnit::kArrowColumn + vl::kFaderX[static_cast<std::size_t>(which)] +
                static_cast<int>(at * vl::kFaderWidth),
            StripTop(tone) + vl::kFaderY + vl::kFaderHeight / 2};
}
// A knob of an expanded tone whose strips above are all collapsed.
inline Point Knob(int tone, int knob)
{
    return {
        XRackUnit::kArrowColumn + vl::kKnobX[static_cast<std::size_t>(knob)] + vl::kKnobSize / 2,
        StripTop(tone) + vl::kTopHeight + vl::kKnobY + vl::kKnobSize / 2};
}
inline Point StackButton(int tone)
{
    return {XRackUnit::kArrowColumn + (vl::kStackButton.left + vl::kStackButton.right) / 2,
            StripTop(tone) + vl::kTopHeight + (vl::kStackButton.top + vl::kStackButton.bottom) / 2};
}
inline Point PianoKey(int note)
{
    const int top = GigaEditor::kHeight - el::kKeyPaneHeight + el::kKeyPaneKeyboardY;
    return {el::kKeyPaneKeyboardX + XKeyboard::KeyLeft(note) + 4,
            top + (XKeyboard::IsBlackKey(note) ? 40 : 70)};
}
// Row `row` of the browser's columns: 0 favourites, 1 the tree, 2 the instruments.
inline Point BrowserRow(int column, int row)
{
    static constexpr int kColumnX[] = {6 + 60, 188 + 90, 574 + 80};
    return {kColumnX[column], GigaEditor::kBrowserY + 22 + XList::kTop + XList::kRowHeight * row +
                                  XList::kRowHeight / 2};
}
// A point of a popup of this size centred over the editor, from its own top-left.
inline Point InPopup(int width, int height, int x, int y)
{
    return {(GigaEditor::kWidth - width) / 2 + x, (GigaEditor::kHeight - height) / 2 + y};
}
// A button placed from the right and bottom edges (negative places, as controls take them).
inline Point PopupButton(int width, int height, int right, int bottom, int w, int h)
{
    return InPopup(width, height, width + right + w / 2, height + bottom + h / 2);
}

inline std::vector<std::pair<std::string, std::vector<std::uint8_t>>> Scripts()
{
    using namespace editorscript;
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> out;
    const auto add = [&](std::string name, const ScriptWriter& w) {
        out.emplace_back(std::move(name), w.Bytes());
    };

    // The browser: the favourite folder, the bank in it, an instrument chosen by a double click.
    add("browse_and_choose", ScriptWriter(Header(kEmptyRack))
                                 .Click(Tool(GigaEditor::kBrowse))
                                 .Tick(2)
                                 .Click(BrowserRow(0, 1))
                                 .Tick(2)
                                 .Click(BrowserRow(1, 0))
                                 .Settle()
                                 .DoubleClick(BrowserRow(2, 1))
                                 .Settle()
                                 .Tick(4)
                                 .Paint()
                                 .Click(Tool(GigaEditor::kBrowse))
                                 .Tick(2));

    // A program dragged from the instruments onto a tone, the .gig file dragged onto another.
    add("drag_onto_tones", ScriptWriter(Header(kDemoRack))
                               .Click(Tool(GigaEditor::kBrowse))
                               .Tick()
                               .Click(BrowserRow(0, 1))
                               .Click(BrowserRow(1, 0))
                               .Settle()
                               .Click(BrowserRow(2, 2))
                               .Drag(BrowserRow(2, 2), InStrip(4, vl::kName), 12)
                               .Settle()
                               .Drag(BrowserRow(1, 0), InStrip(5, vl::kName), 12)
                               .Settle()
                               .Tick(3)
                               .Paint());

    // A tone's panel: knobs turned by dragging, one reset by a double click, the filter
    // switched, the rack scrolled by the wheel over the panel.
    {
        ScriptWriter w(Header(kDemoRack));
        w.Click(Arrow(0)).Tick(2);
        for (int k = 0; k < 10; ++k) {
            const Point knob = Knob(0, k);
            w.Drag(knob, {knob.x + 3, knob.y - 25 + 7 * (k % 3)}, 6);
        }
        w.DoubleClick(Knob(0, 2))
            .Click({XRackUnit::kArrowColumn + vl::kFilterSwitch.left + 6,
                    StripTop(0) + vl::kTopHeight + vl::kFilterSwitch.top + 15})
            .Tick(3)
            .LeftDown(PianoKey(60))
            .Render(2)
            .LeftUp(PianoKey(60))
            .Wheel(Knob(0, 4), 0, -2)
            .Paint()
            .Click(Arrow(0))
            .Tick();
        add("tone_panel_knobs", w);
    }

    // The strip: faders, mute and solo across tones, the output bus from its menu.
    add("faders_mute_solo_bus", ScriptWriter(Header(kDemoRack))
                                    .Drag(Fader(0, 0, 0.8), Fader(0, 0, 0.2), 5)
                                    .Drag(Fader(1, 1, 0.5), Fader(1, 1, 0.9), 5)
                                    .Drag(Fader(2, 2, 0.5), Fader(2, 2, 0.1), 5)
                                    .Click(InStrip(1, vl::kMute))
                                    .Click(InStrip(0, vl::kSolo))
                                    .Click(InStrip(2, vl::kSolo))
                                    .Render(1)
                                    .Click(InStrip(0, vl::kSolo))
                                    .Click(InStrip(2, vl::kSolo))
                                    .Click(InStrip(1, vl::kMute))
                                    .Click(InStrip(0, vl::kBus))
                                    .Tick()
                                    .MenuPick({3})
                                    .Tick(2)
                                    .Render(2)
                                    .Paint());

    // The stack editor of the velocity stack: name typed, select-by menu, bars dragged and
    // stretched, a bar reset by a double click, then Done.
    {
        const int height = WStackEdit::HeightFor(2);
        const auto at = [&](int x, int y) { return InPopup(WStackEdit::kWidth, height, x, y); };
        const int mapY = 66 + 36;  // the mapping panel's top and the map's in it
        ScriptWriter w(Header(kDemoRack));
        w.Click(Arrow(2))
            .Tick(2)
            .Click(StackButton(2))
            .Tick(2)
            .Click(at(11 + 55 + 80, 11 + 24 + 9))
            .Key(kKeyBackspace)
            .Type("Piano and Pad")
            .Key(kKeyEnter)
            .Click(at(11 + 310 + 155, 11 + 24 + 9))
            .Tick()
            .MenuPick({3})
            .Tick(2)
            .Drag(at(11 + 5 + 200, mapY + 9), at(11 + 5 + 260, mapY + 9), 8)
            .Drag(at(11 + 5 + 354, mapY + 18 + 9), at(11 + 5 + 300, mapY + 18 + 9), 8)
            .DoubleClick(at(11 + 5 + 420, mapY + 18 + 9))
            .Tick(2)
            .Paint()
            .Click(PopupButton(WStackEdit::kWidth, height, -90, -30, 80, 22))
            .Tick(3);
        add("stack_editor", w);
    }

    // Settings: both pages, the volume controller, the preload faders, Ok.
    {
        const auto at = [](int x, int y) {
            return InPopup(WSettings::kWidth, WSettings::kHeight, x, y);
        };
        add("settings_pages", ScriptWriter(Header(kDemoRack))
                                  .Click(Tool(GigaEditor::kSettings))
                                  .Tick(2)
                                  .Click(at(25, 99))
                                  .Click(at(25, 69))
                                  .Click(at(160, 36))
                                  .Tick()
                                  .Drag(at(250, 143), at(340, 143), 6)
                                  .Drag(at(300, 178), at(210, 178), 6)
                                  .LeftDown(at(280, 178), 1)
                                  .Move(at(200, 178), 1)
                                  .LeftUp(at(200, 178))
                                  .Drag(at(90, 36), at(20, 36), 4)
                                  .Paint()
                                  .Key(kKeyEnter)
                                  .Tick(2)
                                  .Settle());
    }

    // A stack of three layers: the rows' mute, solo, faders and menus, one layer unloaded and
    // one replaced; in the stack editor the key-switch keys moved, a controller typed past its
    // range, the name selected by dragging, copied and pasted; host events that pick layers.
    {
        const auto row = [](int layer, int x) {
            return Point {
                XRackUnit::kArrowColumn + vl::kPartX + x,
                StripTop(0) + vl::kTopHeight + vl::kPartPitch * layer + vl::kPartTop + 10};
        };
        const int height = WStackEdit::HeightFor(2);
        const auto at = [&](int x, int y) { return InPopup(WStackEdit::kWidth, height, x, y); };
        ScriptWriter w(Header(kDemoRack));
        w.Click(Tool(GigaEditor::kStack))
            .Click(InStrip(0, vl::kToneNumber))
            .Click(Tool(GigaEditor::kBrowse))
            .Click(BrowserRow(0, 1))
            .Click(BrowserRow(1, 0))
            .Settle()
            .DoubleClick(BrowserRow(2, 1))
            .Settle()
            .DoubleClick(BrowserRow(2, 2))
            .Settle()
            .Click(Tool(GigaEditor::kBrowse))
            .Click(Arrow(0))
            .Tick(2)
            .Click(row(2, vl::kPartMute.left + 6))
            .Click(row(1, vl::kPartSolo.left + 6))
            .Click(row(2, vl::kPartSolo.left + 6))
            .Click(row(1, vl::kPartSolo.left + 6))
            .Drag(row(0, vl::kPartFaderX[0] + 60), row(0, vl::kPartFaderX[0] + 10), 4)
            .Drag(row(1, vl::kPartFaderX[1] + 40), row(1, vl::kPartFaderX[1] + 80), 4)
            .Click(row(2, vl::kPartMenu.left + 8))
            .MenuPick({1})
            .Tick(2)
            .Settle()
            .Click(row(1, vl::kPartMenu.left + 8))
            .MenuPick({3, 0})
            .Tick(2)
            .Settle()
            .Paint()
            .Click(StackButton(0))
            .Tick(2)
            .Click(at(11 + 310 + 155, 11 + 24 + 9))
            .MenuPick({3})
            .Tick(2);
        for (int i = 0; i < 4; ++i) w.Click(at(11 + 600 + 6, 11 + 24 + 9));
        for (int i = 0; i < 6; ++i) w.Click(at(11 + 684 + 6, 11 + 24 + 9));
        w.HostMidi(0x90, 30, 100)
            .Render(1)
            .HostMidi(0x80, 30, 0)
            .Click(at(11 + 310 + 155, 11 + 24 + 9))
            .MenuPick({2})
            .Tick(2)
            .Click(at(11 + 600 + 25, 11 + 24 + 9))
            .Type("99999999999")
            .Key(kKeyEnter)
            .HostMidi(0xB0, 127, 100)
            .Render(1)
            .Click(at(11 + 310 + 155, 11 + 24 + 9))
            .MenuPick({1})
            .Tick(2)
            .HostMidi(0xC0, 1, 0)
            .Render(1)
            .Drag(at(11 + 55 + 150, 11 + 24 + 9), at(11 + 55 + 5, 11 + 24 + 9), 6)
            .Key(kKeyChar, kModControl, 'c')
            .Key(kKeyRight)
            .Key(kKeyChar, kModControl, 'v')
            .Key(kKeyEnter)
            .Tick(2)
            .Paint()
            .Click(PopupButton(WStackEdit::kWidth, height, -90, -30, 80, 22))
            .Tick(2)
            .Wheel({400, 200}, 3, 0)
            .Paint();
        add("stack_of_three", w);
    }

    // Save as a new name, change something, save again, open the saved one back.
    add("save_and_open", ScriptWriter(Header(kDemoRack))
                             .Click(Tool(GigaEditor::kSaveAs))
                             .Tick()
                             .AnswerDialog(kNameBytes, "live set")
                             .Tick(2)
                             .Drag(Fader(0, 0, 0.5), Fader(0, 0, 0.1), 4)
                             .Click(Tool(GigaEditor::kSave))
                             .Tick(2)
                             .Click(Tool(GigaEditor::kOpen))
                             .Tick()
                             .AnswerDialog(kSavedPerformance)
                             .Tick(2)
                             .Settle()
                             .Paint());

    // A performance with a missing bank: the dialog scans the scratch folder and relinks it.
    {
        const Point scan = PopupButton(WMissing::kWidth, WMissing::kHeight, -140, -30, 130, 22);
        // Open the performance, then press the dialog's scan button.
        const auto scanned = [&](std::uint8_t header) {
            ScriptWriter w(header);
            w.Click(Tool(GigaEditor::kOpen))
                .Tick()
                .AnswerDialog(kMissingPerformance)
                .Tick(2)
                .Settle()
                .Tick(2)
                .Click(scan)
                .Tick();
            return w;
        };
        add("missing_relinked", scanned(Header(kDemoRack))
                                    .AnswerDialog(kFilesFolder)
                                    .Tick(2)
                                    .Settle()
                                    .Tick(3)
                                    .Settle()
                                    .Paint());
        add("missing_ignored",
            scanned(Header(kEmptyRack, false))
                .AnswerDialog(kNothing)
                .Tick(2)
                .Settle()
                .Click(PopupButton(WMissing::kWidth, WMissing::kHeight, -280, -30, 130, 22))
                .Tick(3)
                .Settle());
    }

    // Playing the on-screen keyboard: single notes, a glissando, another tone, host notes.
    {
        ScriptWriter w(Header(kDemoRack));
        w.Click(InStrip(0, vl::kToneNumber)).Tick();
        for (int note : {60, 64, 67, 61, 72}) {
            w.LeftDown(PianoKey(note)).Render(2).LeftUp(PianoKey(note)).Render(1);
        }
        w.Drag(PianoKey(48), PianoKey(84), 24)
            .Render(3)
            .Click(InStrip(1, vl::kToneNumber))
            .LeftDown(PianoKey(55))
            .Render(4)
            .LeftUp(PianoKey(55))
            .HostMidi(0x90, 62, 100)
            .HostMidi(0xB0, 7, 40)
            .HostMidi(0xB0, 10, 100)
            .Render(2)
            .HostMidi(0x80, 62, 0)
            .Tick(2)
            .Render(2)
            .Paint();
        add("keyboard_playing", w);
    }

    // The tone menu: a program of the open bank, unload, and a bank from the file dialog.
    add("tone_menu", ScriptWriter(Header(kDemoRack))
                         .Click(InStrip(4, vl::kInstrumentButton))
                         .Tick()
                         .MenuPick({3, 2})
                         .Tick(2)
                         .Settle()
                         .Click(InStrip(4, vl::kInstrumentButton))
                         .Tick()
                         .MenuPick({1})
                         .Tick(2)
                         .Settle()
                         .Click(InStrip(5, vl::kInstrumentButton))
                         .Tick()
                         .MenuPick({0})
                         .Tick()
                         .AnswerDialog(kBank)
                         .Tick(2)
                         .Settle()
                         .Paint());

    // The same menus shown inside the editor (a window without a menu host), answered by
    // pointer and keys.
    add("menus_in_editor", ScriptWriter(Header(kDemoRack, false))
                               .Click(InStrip(3, vl::kInstrumentButton))
                               .Tick()
                               .Move({230, 150})
                               .Key(kKeyDown)
                               .Key(kKeyDown)
                               .Key(kKeyDown)
                               .Key(kKeyEnter)
                               .Tick()
                               .Key(kKeyEnter)
                               .Tick(2)
                               .Settle()
                               .Click(InStrip(1, vl::kBus))
                               .Tick()
                               .Wheel({260, 200}, 0, -2)
                               .Click({260, 200})
                               .Tick(2)
                               .Paint());

    // New with unsaved changes: Cancel, then No (a new performance); Reset.
    {
        const auto button = [](int right) {
            return PopupButton(WConfirm::kWidth, WConfirm::kHeight, right, -30, 80, 22);
        };
        add("new_and_reset", ScriptWriter(Header(kDemoRack))
                                 .Drag(Fader(1, 0, 0.6), Fader(1, 0, 0.3), 3)
                                 .Click(Tool(GigaEditor::kNew))
                                 .Tick(2)
                                 .Click(button(-270))
                                 .Tick(2)
                                 .Click(Tool(GigaEditor::kNew))
                                 .Tick(2)
                                 .Click(button(-90))
                                 .Tick()
                                 .AnswerDialog(kNameBytes, "before new")
                                 .Tick(3)
                                 .Settle()
                                 .Click(Tool(GigaEditor::kReset))
                                 .Tick(2)
                                 .Settle()
                                 .Paint());
    }

    // The host closes and opens the window with a menu and a dialog open, and the editor is
    // built again while its dialog waits.
    add("window_close_reopen", ScriptWriter(Header(kDemoRack))
                                   .Click(InStrip(0, vl::kInstrumentButton))
                                   .CloseWindow()
                                   .Tick(3)
                                   .Render(2)
                                   .OpenWindow(false)
                                   .Click(InStrip(0, vl::kInstrumentButton))
                                   .Tick()
                                   .CloseWindow()
                                   .OpenWindow(true)
                                   .Tick()
                                   .Click(Tool(GigaEditor::kSaveAs))
                                   .Rebuild()
                                   .AnswerDialog(kSavedPerformance)
                                   .Tick(3)
                                   .Idle(60)
                                   .Idle(60)
                                   .Paint());

    // Answers a user cannot easily type: long, deep, not UTF-8, relative, several files.
    add("odd_dialog_answers", ScriptWriter(Header(kDemoRack))
                                  .Click(Tool(GigaEditor::kSaveAs))
                                  .AnswerDialog(kLongName, {}, 3)
                                  .Tick(2)
                                  .Click(Tool(GigaEditor::kSaveAs))
                                  .AnswerDialog(kDeepPath)
                                  .Tick(2)
                                  .Click(Tool(GigaEditor::kSaveAs))
                                  .AnswerDialog(kNotUtf8)
                                  .Tick(2)
                                  .Key(kKeyEnter)
                                  .Tick(2)
                                  .Click(Tool(GigaEditor::kOpen))
                                  .AnswerDialog(kRelative)
                                  .Tick(2)
                                  .Click(Tool(GigaEditor::kOpen))
                                  .AnswerDialog(kTwoFiles)
                                  .Tick(2)
                                  .Settle()
                                  .Click(InStrip(6, vl::kInstrumentButton))
                                  .MenuPick({0})
                                  .Tick()
                                  .AnswerDialog(kLongName, {}, 1)
                                  .Tick(2)
                                  .Settle()
                                  .Tick(2)
                                  .Paint());

    // Banks at the longest path a performance keeps and one byte past it, an empty and a text
    // file named .gig, a name that is not UTF-8; the rack saved and opened again.
    {
        // A file that does not open as a bank counts as missing: its dialog is ignored.
        const Point ignore = PopupButton(WMissing::kWidth, WMissing::kHeight, -280, -30, 130, 22);
        ScriptWriter w(Header(kEmptyRack));
        const Answer banks[] = {kBankAtLimit, kBankPastLimit, kEmptyBank, kTextBank, kOddNameBank};
        for (int i = 0; i < 5; ++i) {
            w.Click(InStrip(3 + i, vl::kInstrumentButton))
                .Tick()
                .MenuPick({0})
                .Tick()
                .AnswerDialog(banks[i])
                .Tick(2)
                .Settle()
                .Key(kKeyEnter)
                .Tick(2)
                .Click(ignore)
                .Tick(2);
        }
        w.Click(Tool(GigaEditor::kSaveAs))
            .AnswerDialog(kNameBytes, "limit")
            .Tick(2)
            .Click(Tool(GigaEditor::kReset))
            .Settle()
            .Click(Tool(GigaEditor::kOpen))
            .Tick(2)
            .Click(PopupButton(WConfirm::kWidth, WConfirm::kHeight, -180, -30, 80, 22))
            .Tick()
            .AnswerDialog(kNameBytes, "limit.mrp")
            .Tick(2)
            .Settle()
            .Tick(2)
            .Paint();
        add("bank_paths", w);
    }

    // A live host: its audio thread renders all along while the keyboard plays, a tone loads
    // and the host gives its state back.
    add("live_host", ScriptWriter(Header(kDemoRack, true, false, false, true))
                         .Click(InStrip(1, vl::kToneNumber))
                         .LeftDown(PianoKey(60))
                         .Tick(3)
                         .Drag(PianoKey(60), PianoKey(72), 10)
                         .Tick(2)
                         .HostSave()
                         .Click(InStrip(5, vl::kInstrumentButton))
                         .MenuPick({3, 1})
                         .Tick(4)
                         .HostRestore()
                         .Tick(6)
                         .Settle()
                         .Paint());

    // Controls pressed by their place in the tree: the settings' controls, the stack editor's,
    // the confirmation's buttons, the rack's.
    {
        ScriptWriter w(Header(kDemoRack));
        w.Click(Tool(GigaEditor::kSettings)).Tick(2);
        for (int i = 0; i < 8; ++i) w.Press(i, i % 6);
        w.Key(kKeyEnter).Tick(2).Click(Arrow(2)).Click(StackButton(2)).Tick(2);
        for (int i = 0; i < 24; i += 2) w.Press(i * 3, i % 5).Tick();
        w.Key(kKeyEscape).Tick(2).Click(Tool(GigaEditor::kNew)).Tick(2).Press(1).Tick(2);
        for (int i = 0; i < 40; ++i) w.Press(i * 7 + 3, i % 6).Tick();
        w.Settle().Paint();
        add("presses", w);
    }

    // While a live host plays: the stack editor open when the host gives its state back (the
    // layers it edits are replaced), programs changed and unloaded while they load, the
    // editor rebuilt in the middle.
    {
        const int height = WStackEdit::HeightFor(2);
        const auto at = [&](int x, int y) { return InPopup(WStackEdit::kWidth, height, x, y); };
        const int mapY = 66 + 36;
        ScriptWriter w(Header(kDemoRack, true, false, false, true));
        w.HostSave()
            .Click(Arrow(2))
            .Click(StackButton(2))
            .Tick(2)
            .Drag(at(11 + 5 + 200, mapY + 9), at(11 + 5 + 300, mapY + 9), 6)
            .HostRestore()
            .Tick()
            .Drag(at(11 + 5 + 300, mapY + 9), at(11 + 5 + 100, mapY + 9), 6)
            .Tick(3)
            .Drag(at(11 + 5 + 354, mapY + 18 + 9), at(11 + 5 + 250, mapY + 18 + 9), 6)
            .Click(PopupButton(WStackEdit::kWidth, height, -90, -30, 80, 22))
            .Tick();
        for (int i = 0; i < 3; ++i) {
            w.Click(InStrip(6, vl::kInstrumentButton))
                .MenuPick({3, i})
                .Tick()
                .Click(InStrip(6, vl::kInstrumentButton))
                .MenuPick({1});
        }
        w.Click(InStrip(7, vl::kInstrumentButton))
            .MenuPick({3, 2})
            .Rebuild()
            .Tick(4)
            .Settle()
            .Paint();
        add("live_changes_under_way", w);
    }

    // Our own file dialog (no dialog program): a path typed, the tree walked, OK.
    {
        const auto at = [](int x, int y) {
            return InPopup(WFileDialog::kWidth, WFileDialog::kHeight, x, y);
        };
        add("own_file_dialog", ScriptWriter(Header(kDemoRack, true, true))
                                   .Click(Tool(GigaEditor::kSaveAs))
                                   .Tick(2)
                                   .Click(at(200, 43))
                                   .Type("/tmp/elsewhere.mrp")
                                   .Key(kKeyEnter)
                                   .Click(at(WFileDialog::kWidth - 57, WFileDialog::kHeight - 25))
                                   .Tick(2)
                                   .Click(Tool(GigaEditor::kOpen))
                                   .Tick(2)
                                   .DoubleClick(at(60, 100))
                                   .Tick()
                                   .Click(at(60, 118))
                                   .Wheel(at(200, 200), 0, -3)
                                   .Paint()
                                   .AnswerDialog(kSavedPerformance)
                                   .Tick(2)
                                   .Settle()
                                   .OwnDialogs(false)
                                   .Click(Tool(GigaEditor::kSaveAs))
                                   .CancelDialog()
                                   .Tick(2));
    }

    // Expand every tone, scroll the rack with the wheel and its bar, collapse again.
    add("expand_and_scroll", ScriptWriter(Header(kFullRack))
                                 .Click(Tool(GigaEditor::kExpand))
                                 .Tick(2)
                                 .Wheel({400, 300}, 0, -5)
                                 .Tick()
                                 .Drag({792, 80}, {792, 400}, 10)
                                 .Wheel({400, 300}, 0, 12)
                                 .Paint()
                                 .Click(Tool(GigaEditor::kExpand))
                                 .Tick(2)
                                 .Paint());

    // Favourites: a folder of the tree added by dragging it on the column, then dragged out.
    add("favorites_add_remove", ScriptWriter(Header(kEmptyRack))
                                    .Click(Tool(GigaEditor::kBrowse))
                                    .Tick()
                                    .Click(BrowserRow(0, 1))
                                    .Click(BrowserRow(1, 2))
                                    .Drag(BrowserRow(1, 2), BrowserRow(0, 3), 10)
                                    .Tick()
                                    .Drag(BrowserRow(0, 2), {400, 150}, 10)
                                    .Tick()
                                    .DoubleClick(BrowserRow(1, 2))
                                    .Click(BrowserRow(1, 3))
                                    .Click(BrowserRow(0, 0))
                                    .Tick()
                                    .Click(Tool(GigaEditor::kBrowse))
                                    .Tick());

    // Stack mode: two programs chosen in the browser join the selected tone's stack.
    add("stack_mode_browse", ScriptWriter(Header(kEmptyRack))
                                 .Click(Tool(GigaEditor::kStack))
                                 .Click(InStrip(3, vl::kToneNumber))
                                 .Click(Tool(GigaEditor::kBrowse))
                                 .Tick()
                                 .Click(BrowserRow(0, 1))
                                 .Click(BrowserRow(1, 0))
                                 .Settle()
                                 .DoubleClick(BrowserRow(2, 0))
                                 .Settle()
                                 .DoubleClick(BrowserRow(2, 1))
                                 .Settle()
                                 .Tick(2)
                                 .Click(Tool(GigaEditor::kBrowse))
                                 .Click(Arrow(3))
                                 .Tick(2)
                                 .Paint());

    // The host takes its state, the user changes the rack, the host gives the state back
    // while the editor shows it.
    add("host_state_roundtrip", ScriptWriter(Header(kDemoRack, true, false, false))
                                    .HostSave()
                                    .Click(InStrip(1, vl::kInstrumentButton))
                                    .MenuPick({1})
                                    .Tick(2)
                                    .HostRestore()
                                    .Tick(2)
                                    .Render(4)
                                    .Tick(4)
                                    .Settle()
                                    .Paint());

    // Shift-click on the logo switches the debug log; the message goes with enter; the
    // clipboard pasted into the stack name.
    add("logo_and_clipboard",
        ScriptWriter(Header(kDemoRack))
            .Click(Logo(), 1)
            .Tick(2)
            .Key(kKeyEnter)
            .Tick(2)
            .Click(Logo(), 1)
            .Tick(2)
            .Key(kKeyEscape)
            .Tick(2)
            .Clipboard(std::string(250, 'x') + "\xff\xfe")
            .Click(Arrow(2))
            .Click(StackButton(2))
            .Tick(2)
            .Click(InPopup(WStackEdit::kWidth, WStackEdit::HeightFor(2), 11 + 55 + 80, 11 + 24 + 9))
            .Key(kKeyPaste, kModControl)
            .Key(kKeyChar, kModControl, 'v')
            .Key(kKeyEnter)
            .Tick(2));

    // A rack with missing files from the start, our own dialogs.
    add("missing_rack_start", ScriptWriter(Header(kMissingRack, false, true))
                                  .Tick(2)
                                  .Click(Arrow(2))
                                  .Tick()
                                  .Click(InStrip(0, vl::kName))
                                  .Tick()
                                  .Click(Tool(GigaEditor::kOpen))
                                  .Tick(2)
                                  .Key(kKeyEscape)
                                  .Tick(2)
                                  .Paint());
    return out;
}

}  // namespace editorseeds
