#include "editor/GigaView.h"

#include "editor/EditorCodes.h"
#include "editor/GigaDropSource.h"
#include "editor/GigaEditorLink.h"
#include "editor/GigaViewLayout.h"
#include "editor/GigaViewText.h"
#include "editor/XDimList.h"
#include "editor/XGigaBot.h"
#include "editor/XGigaName.h"
#include "editor/XGigaPart.h"
#include "editor/XGigaTop.h"
#include "editor/XHotSpot.h"
#include "editor/XMyLed.h"
#include "editor/XProgInfo.h"
#include "editor/XSelectLcd.h"
#include "editor/XValBot.h"
#include "engine/GigaToneEdit.h"
#include "gui/XButton.h"
#include "gui/XFader.h"
#include "gui/XGraphic.h"
#include "gui/XPotar.h"
#include "gui/XTogLed.h"

namespace vl = viewlayout;

namespace {

// Drawn last over the view: the selection or drop-target frame.
class HighlightFrame : public XControl {
public:
    explicit HighlightFrame(const GigaView& view) : XControl(0, 0, 1, 1), view_(view)
    {
        SetColor(0, XColor());
        SetEnabled(false);
    }
    void Draw(XGraphic* g) override
    {
        if (view_.Highlight() == 0) return;
        const XColor colour = view_.Highlight() == 1 ? vl::kSelectedFrame : vl::kDropFrame;
        g->Frame(XRect::FromSize(0, 0, Width(), Height()), colour);
    }

private:
    const GigaView& view_;
};

}  // namespace

GigaView::GigaView(GigaEditorLink& editor, GigaToneEdit& tone)
    : XToneView(editor, tone, 0, 0, vl::kViewWidth, kCollapsedHeight)
{
    SetColor(0, XColor(34, 34, 34));
    BuildStrip();
    BuildProgramPanel();
    stackPanel_ = Add<XGigaBot>(0, vl::kTopHeight, vl::kViewWidth, 5, true);
    badge_ = stackPanel_->Add<XValTop>(vl::kBadge.left, vl::kBadge.top, vl::kBadge.Width(),
                                       vl::kBadge.Height(), 10);
    stackButton_ =
        stackPanel_->Add<XButton>(vl::kStackButton.left, vl::kStackButton.top,
                                  vl::kStackButton.Width(), vl::kStackButton.Height(), "...");
    stackButton_->AddListener(this);
    stackPanel_->Hide();
    frame_ = Add<HighlightFrame>(*this);
    Resized();
    fileNav_.AddFilter("Giga File", "gig");
    Refresh();
    Tone().SetView(this);
}

GigaView::~GigaView()
{
    // Returns once no notification is under way: nothing of ours is touched after this. A view
    // that another has replaced already leaves that one in place.
    if (Tone().View() == this) Tone().SetView(nullptr);
}

void GigaView::BuildStrip()
{
    top_ = Add<XGigaTop>(0, 0, vl::kViewWidth, vl::kTopHeight);
    const XRect& n = vl::kToneNumber;
    number_ = top_->Add<XValTop>(n.left, n.top, n.Width(), n.Height(), 10);
    number_->Show(std::to_string(Tone().ToneIndex() + 1), vl::kValueText);
    const XRect& l = vl::kMidiLed;
    led_ = top_->Add<XMyLed>(l.left, l.top, l.Width(), l.Height());
    const XRect& m = vl::kName;
    name_ = top_->Add<XGigaName>(m.left, m.top, m.Width(), m.Height());
    name_->AddListener(this);
    const XRect& i = vl::kInstrumentButton;
    top_->Add<XHotSpot>(i.left, i.top, i.Width(), i.Height(), editorcode::kPartMenu)
        ->AddListener(this);
    const XRect& b = vl::kBus;
    bus_ = top_->Add<XSelectLcd>(b.left, b.top, b.Width(), b.Height());
    bus_->AddListener(this);
    strip_ = std::make_unique<XStripControls>(
        *top_, this,
        XStripControls::Places {vl::kMute, vl::kSolo, vl::kFaderX, vl::kFaderY, vl::kValueX,
                                vl::kValueY});
}

void GigaView::BuildProgramPanel()
{
    programPanel_ = Add<XGigaBot>(0, vl::kTopHeight, vl::kViewWidth, vl::kBottomHeight, false);
    const XRect& p = vl::kProgramFacts;
    info_ = programPanel_->Add<XProgInfo>(p.left, p.top, p.Width(), p.Height());
    const XRect& d = vl::kDimensionList;
    dimensions_ = programPanel_->Add<XDimList>(d.left, d.top, d.Width(), d.Height());
    struct Range {
        double low, high, step, fine;
        int decimals;
    };
    static constexpr std::array<Range, kKnobs> kRanges {{{0, 12, 1, 1, 0},
                                                         {0, 1, 0.01, 0, 2},
                                                         {0, 10, 0.1, 0, 2},
                                                         {0, 10, 0.1, 0, 2},
                                                         {0, 1, 0.01, 0, 2},
                                                         {0, 10, 0.1, 0.02, 2},
                                                         {0, 1, 0.01, 0, 2},
                                                         {0, 1, 0.01, 0, 2},
                                                         {0, 10, 0.1, 0, 2},
                                                         {0, 10, 0.1, 0, 2}}};
    for (std::size_t k = 0; k < kKnobs; ++k) {
        XPotar* knob =
            programPanel_->Add<XPotar>(vl::kKnobX[k], vl::kKnobY, vl::kKnobSize, vl::kKnobSize);
        knob->SetPicture("pot_grey.png");
        knob->SetIndicator(vl::kKnobCentre, vl::kKnobCentre, vl::kIndicatorRadius);
        knob->SetRange(kRanges[k].low, kRanges[k].high, kRanges[k].step, kRanges[k].fine);
        knob->SetValue(kRanges[k].low);
        knob->AddListener(this);
        knobs_[k] = knob;
        knobDecimals_[k] = kRanges[k].decimals;
        knobValues_[k] = programPanel_->Add<XValBot>(vl::kKnobX[k] + 2, vl::kKnobValueY,
                                                     vl::kKnobValueWidth, vl::kKnobValueHeight);
    }
    const XRect& f = vl::kFilterSwitch;
    filterSwitch_ = programPanel_->Add<XToggle>(f.left, f.top, f.Width(), f.Height());
    filterSwitch_->SetPictures("vcf_on.png", "vcf_off.png");
    filterSwitch_->AddListener(this);
    programPanel_->Hide();
}

void GigaView::Resized()
{
    if (frame_) frame_->SetSize(Width(), Height());
}

int GigaView::PanelHeight() const
{
    return layerCount_ >= 2 ? stackPanel_->Height() : vl::kBottomHeight;
}

void GigaView::ToneNotify(std::int32_t code, std::int32_t value)
{
    // Audio or loading thread: the latest value goes to its mailbox, which Tick empties.
    switch (code) {
        case KyToneView::kNotesHeld:
            notesHeld_.Put(value);
            break;
        case KyToneView::kControllersChanged:
            controllers_.Put(value);
            break;
        case KyToneView::kLoadPercent:
            percent_.Put(value);
            break;
        case KyToneView::kStatusChanged:
            status_.Put(value);
            break;
        default:
            break;
    }
}

void GigaView::Tick()
{
    if (const auto held = notesHeld_.Take()) led_->SetOn(*held != 0);
    if (const auto percent = percent_.Take()) name_->SetProgress(*percent);
    if (controllers_.Take()) ApplyControllers();
    if (const auto status = status_.Take()) ShowStatus(*status);
    XEvent reply;
    while (menus_.Take(reply)) MenuChosen(reply);
    if (fileDialogOpen_) PollFileDialog();
}

void GigaView::ApplyControllers()
{
    GigaToneEdit& tone = Tone();
    for (const int slot : {GigaToneEdit::kVolumeController, GigaToneEdit::kPanController}) {
        const int value = tone.ControllerValue(slot);
        if (value == tone.ShownValue(slot)) continue;
        tone.SetShownValue(slot, value);
        const bool volume = slot == GigaToneEdit::kVolumeController;
        const int shown = volume ? tone.Volume() : tone.Pan();
        strip_->Fader(volume ? XStripControls::kVolume : XStripControls::kPan)
            .SetValueSilently(shown);
        strip_->ShowValue(volume ? XStripControls::kVolume : XStripControls::kPan, shown);
    }
}

void GigaView::SetHighlight(int highlight)
{
    if (highlight == highlight_) return;
    highlight_ = highlight;
    // The whole view redraws, so a frame that goes leaves nothing behind.
    Invalidate();
}

bool GigaView::MouseDown(XMouse* mouse)
{
    if (highlight_ != 1) Broadcast(this, editorcode::kSelectView);
    return false;  // the press goes on to the control under it
}

bool GigaView::DroppedInstrument(XControl* source, std::int32_t payload, std::string& path,
                                 int& program) const
{
    if (payload != editorcode::kInstrumentPayload && payload != editorcode::kTreePayload)
        return false;
    for (XControl* c = source; c; c = c->Parent()) {
        if (auto* giver = dynamic_cast<GigaDropSource*>(c))
            return giver->DraggedInstrument(payload, path, program);
    }
    return false;
}

bool GigaView::AcceptDrop(XControl* source, std::int32_t payload)
{
    std::string path;
    int program = 0;
    return DroppedInstrument(source, payload, path, program);
}

void GigaView::DragEnter(XControl*, std::int32_t)
{
    highlightBeforeDrag_ = highlight_;
    SetHighlight(2);
}

void GigaView::DragLeave(XControl*, std::int32_t)
{
    SetHighlight(highlightBeforeDrag_);
}

void GigaView::Drop(XControl* source, std::int32_t payload)
{
    std::string path;
    int program = 0;
    if (DroppedInstrument(source, payload, path, program)) LoadIntoView(path, program);
}
