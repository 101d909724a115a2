#include "tools/marlet-gui-gallery/EditorMock.h"

#include <memory>
#include <string>

#include "gui/XGraphic.h"
#include "gui/XPane.h"
#include "gui/XScrollBar.h"
#include "gui/XView.h"
#include "gui/XViewPort.h"
#include "platform/FourCC.h"
#include "tools/marlet-gui-gallery/GalleryCanvas.h"
#include "tools/marlet-gui-gallery/MockWidgets.h"
#include "tools/marlet-skin/SkinLayout.h"

namespace gallery {

namespace {

constexpr XColor kGreen(0, 203, 31);
constexpr XColor kValueText(200, 200, 210);
constexpr XColor kSelected(80, 160, 255);

struct ToneLook {
    std::string name;
    XColor nameColour;
    bool loaded = true;
    bool led = false;
    bool mute = false;
    bool solo = false;
    int bus = 0;
    int volume = 100;
    int tune = 0;
    int pan = 64;
    double progress = 0;
};

std::string PanText(int p)
{
    if (p == 64) return "<C>";
    return p < 64 ? "L" + std::to_string(64 - p) : "R" + std::to_string(p - 64);
}

// The strip's controls at their places on view_top (or on a layer row, shifted by `dx`).
void AddStripControls(XControl& strip, const ToneLook& t, int number, bool part)
{
    const int dx = part ? -layout::kPartX : 0;
    const int dy = part ? -3 : 0;
    const XColor faders[] {XColor(120, 120, 150), XColor(255, 80, 30), XColor(150, 230, 170)};
    const double values[] {t.volume / 127.0, (t.tune + 100) / 200.0, t.pan / 127.0};
    const double refs[] {0.0, 0.5, 64 / 127.0};
    const std::string texts[] {std::to_string(t.volume), std::to_string(t.tune), PanText(t.pan)};
    if (part) {
        strip.Add<MockValue>(layout::kPartNumber.left, layout::kPartNumber.top,
                             layout::kPartNumber.Width(), 16,
                             (number < 10 ? "  " : "") + std::to_string(number), kValueText);
        strip.Add<MockSelect>(layout::kPartName.left, layout::kPartName.top, 146, 16, t.name,
                              t.nameColour);
    } else {
        strip.Add<MockValue>(7, 5, 22, 16, std::to_string(number), kValueText, 12);
        strip.Add<PicControl>(31, 5, t.led ? "led_on.png" : "led_off.png");
        strip.Add<MockSelect>(48, 5, 146, 16, t.name, t.nameColour, t.progress);
        strip.Add<MockSelect>(220, 5, 44, 16,
                              std::to_string(2 * t.bus + 1) + "|" + std::to_string(2 * t.bus + 2),
                              kGreen);
    }
    strip.Add<MockTogLed>(269 + dx, 6 + dy, 14, 14, "M", t.mute, XColor(255, 190, 60));
    strip.Add<MockTogLed>(287 + dx, 6 + dy, 14, 14, "S", t.solo, XColor(120, 220, 120));
    for (int i = 0; i < 3; ++i) {
        strip.Add<MockFader>(layout::kFaderX[i] + dx, layout::kFaderY + dy, layout::kFaderWidth,
                             layout::kFaderHeight, t.loaded ? values[i] : refs[i], refs[i],
                             t.loaded ? faders[i] : XColor(60, 60, 60));
        strip.Add<MockValue>(layout::kValueX[i] + dx, layout::kValueY + dy, layout::kValueWidth,
                             layout::kValueHeight, texts[i],
                             t.loaded ? kValueText : XColor(110, 110, 110));
    }
}

// One tone view: the top strip, and the lower panel when expanded.
class ToneView : public XControl {
public:
    ToneView(int y, int height) : XControl(15, y, 767, height) { SetColor(0, XColor(34, 34, 34)); }
};

// A frame for the selection drawn above the view's children.
class SelectionFrame : public XControl {
public:
    SelectionFrame(int w, int h) : XControl(0, 0, w, h) { SetColor(0, XColor()); }
    void Draw(XGraphic* g) override
    {
        g->Frame(XRect::FromSize(0, 0, Width(), Height()), kSelected);
    }
};

XControl* AddTone(XControl& rack, int& y, int number, const ToneLook& t, int expandedHeight,
                  bool empty)
{
    const int height = 25 + expandedHeight;
    rack.Add<PicControl>(expandedHeight ? 0 : 1, y + (expandedHeight ? 5 : 6),
                         expandedHeight ? "tog_close.png" : "tog_open.png");
    auto* view = rack.Add<ToneView>(y, height);
    view->Add<PicControl>(0, 0, empty ? "view_slot.png" : "view_top.png");
    AddStripControls(*view, t, number, false);
    y += height + 1;
    return view;
}

void AddProgramPanel(XControl& view)
{
    auto* bot = view.Add<PicControl>(0, 25, "view_bot.png");
    bot->Add<MockLines>(layout::kProgramFacts.left, layout::kProgramFacts.top, 64, 46,
                        "A-1 : C7\nSamp: 412\nBits: 24\nDisk: on", kGreen);
    // The dimension list: three rows of five labels, the program's own marked.
    class Dims : public XControl {
    public:
        Dims() : XControl(91, 5, 160, 56) { SetColor(0, XColor()); }
        void Draw(XGraphic* g) override
        {
            const char* const labels[] {"velo", "ksw",  "noff", "mod",  "brth",
                                        "foot", "eff1", "eff2", "gp1",  "gp2",
                                        "gp3",  "gp4",  "sust", "sost", "soft"};
            const bool marked[] {true,  false, true,  true,  false, false, false, false,
                                 false, false, false, false, true,  false, false};
            g->MakeFont(8, 0);
            for (int i = 0; i < 15; ++i) {
                g->SetTextColor(marked[i] ? kGreen : XColor(70, 90, 70));
                g->TextCentered(labels[i], 2 + (i % 5) * 31, 4 + (i / 5) * 17, 31, 14, 0);
            }
        }
    };
    bot->Adopt(std::make_unique<Dims>());
    const double knobs[] {2 / 12.0, 0.8, 0.02, 0.3, 0.85, 0.25, 0.65, 0.4, 0.0, 0.0};
    const char* const values[] {"2",    "0.80", "0.20", "3.00", "0.85",
                                "2.50", "0.65", "0.40", "0.00", "0.00"};
    const XColor colours[] {kValueText, kValueText, XColor(253, 100, 31), kValueText,
                            kGreen,     kValueText, kValueText,           kGreen,
                            kValueText, kValueText};
    for (int i = 0; i < 10; ++i) {
        const int x = layout::kKnobX[i];
        bot->Add<MockKnob>(x, layout::kKnobY, knobs[i]);
        bot->Add<MockValue>(x + 2, layout::kKnobValueY, 29, 11, values[i], colours[i], 10);
    }
    bot->Add<PicControl>(layout::kFilterSwitch.left, layout::kFilterSwitch.top, "vcf_on.png");
}

void AddStackPanel(XControl& view, int layers)
{
    auto* panel = view.Add<XControl>(0, 25, 767, 22 * layers + 5);
    panel->SetColor(0, XColor(32, 32, 32));
    const ToneLook rows[] {
        {"Warm Pad", kGreen, true, false, false, false, 0, 96, 0, 40},
        {"Choir Aahs", kGreen, true, false, true, false, 0, 80, -7, 88},
        {"Sub Bass", kGreen, true, false, false, false, 0, 110, 0, 64},
    };
    for (int i = 0; i < layers; ++i) {
        auto* row = panel->Add<PicControl>(layout::kPartX, 22 * i + 2, "view_part.png");
        AddStripControls(*row, rows[i % 3], i + 1, true);
    }
    // The select-mode badge and the stack button in the left column.
    panel->Add<MockValue>(2, 4, 20, 14, "VL", XColor(246, 166, 50), 11);
    panel->Add<MockTogLed>(4, 24, 16, 16, "...", false, XColor(246, 166, 50));
}

std::unique_ptr<XView> BuildEditor()
{
    auto root = std::make_unique<XView>(0, 0, 800, 560);
    root->SetColor(0, XColor(0, 0, 0));

    auto* toolbar = root->Add<XPane>(0, 0, 800, 48);
    toolbar->SetPicture("tb_back.png");
    toolbar->SetSize(800, 48);
    const char* const buttons[] {"tb_new.png",      "tb_open.png",   "tb_save.png",
                                 "tb_saveas.png",   "tb_browse.png", "tb_stack.png",
                                 "tb_settings.png", "tb_expand.png", "tb_reset.png"};
    for (int i = 0; i < 9; ++i) {
        // Idle, except one under the pointer and the expand toggle switched on.
        const auto state = i == 2   ? MockButton::kHover
                           : i == 7 ? MockButton::kPressed
                                    : MockButton::kIdle;
        toolbar->Add<MockButton>(layout::kButtonX0 + layout::kButtonPitch * i, layout::kButtonY,
                                 layout::kButtonWidth, layout::kButtonHeight, buttons[i], state);
    }
    toolbar->Add<PicControl>(layout::kLogoX, layout::kLogoY, "tb_marlet.png");

    // The memory meter.
    auto* meter = root->Add<XControl>(0, 48, 800, 4);
    meter->SetColor(0, XColor(20, 20, 24));
    meter->Add<XControl>(1, 0, 280, 4)->SetColor(0, XColor(60, 60, 120));

    auto* port = root->Add<XViewPort>(0, 52, 800, 420);
    port->SetColor(0, XColor(0, 0, 0));
    port->SetColor(3, XColor(20, 20, 20));
    auto rack = std::make_unique<XControl>(0, 0, 782, 688);
    rack->SetColor(0, XColor(0, 0, 0));
    int y = 1;
    XControl* first = AddTone(
        *rack, y, 1, {"Concert Grand", kGreen, true, true, false, false, 0, 100, 0, 64}, 70, false);
    AddProgramPanel(*first);
    first->Adopt(std::make_unique<SelectionFrame>(767, first->Height()));
    AddTone(*rack, y, 2, {"Strings Legato", kGreen, true, false, false, true, 1, 88, -12, 40}, 0,
            false);
    XControl* stack =
        AddTone(*rack, y, 3, {"Pad Stack (3)", kGreen, true, true, false, false, 2, 110, 0, 64},
                22 * 3 + 5, false);
    AddStackPanel(*stack, 3);
    AddTone(
        *rack, y, 4,
        {"Loading Samples", XColor(250, 250, 250), true, false, true, false, 3, 127, 25, 100, 0.6},
        0, false);
    AddTone(*rack, y, 5,
            {"Brass Section", XColor(255, 100, 100), true, false, false, false, 4, 90, 0, 64}, 0,
            false);
    for (int i = 6; i <= 16; ++i) {
        AddTone(*rack, y, i, {"", XColor(160, 160, 160), false, false, false, false, i - 1}, 0,
                true);
    }
    rack->SetSize(782, y);
    port->Attach(std::move(rack), false, true);
    if (XScrollBar* bar = port->VerticalBar()) {
        bar->SetColor(0, XColor(26, 26, 26));
        bar->SetColor(1, XColor(70, 70, 70));
        bar->SetColor(3, XColor(12, 12, 12));
    }

    auto* keys = root->Add<XPane>(0, 560 - 88, 800, 88);
    keys->SetPicture("key_pane.png");
    auto* keyboard = keys->Add<MockKeyboard>(layout::kKeyPaneKeyboardX, layout::kKeyPaneKeyboardY,
                                             33, 96, 24, 30);
    for (const int note : {48, 55, 64, 67, 70}) keyboard->Hold(note);
    return root;
}

}  // namespace

bool WriteEditorMock(const std::string& dir)
{
    std::unique_ptr<XView> root = BuildEditor();
    GalleryCanvas mock(800, 560);
    root->DrawTree(&mock.G(), true);
    if (!mock.Save(dir, "editor_mock.png")) return false;

    // The left and the right half of the upper part, and the keyboard's left end, at 2x.
    GalleryCanvas zoom(1612, 772);
    zoom.DrawScaled(mock.Crop(XRect(0, 0, 399, 189)), 0, 0, 2);
    zoom.DrawScaled(mock.Crop(XRect(400, 0, 799, 189)), 812, 0, 2);
    zoom.DrawScaled(mock.Crop(XRect(0, 370, 399, 559)), 0, 392, 2);
    zoom.DrawScaled(mock.Crop(XRect(400, 150, 799, 339)), 812, 392, 2);
    return zoom.Save(dir, "editor_mock_zoom.png");
}

}  // namespace gallery
