#include "editor/GigaView.h"

#include "editor/EditorCodes.h"
#include "editor/GigaDropSource.h"
#include "editor/GigaEditorLink.h"
#include "editor/GigaViewLayout.h"
#include "editor/XGigaName.h"
#include "editor/XGigaTop.h"
#include "editor/XHotSpot.h"
#include "editor/XMyLed.h"
#include "editor/XProgramPanel.h"
#include "editor/XSelectLcd.h"
#include "editor/XStackPanel.h"
#include "editor/XValTop.h"
#include "engine/GigaToneEdit.h"
#include "gui/XFader.h"
#include "gui/XGraphic.h"

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
    program_ = Add<XProgramPanel>(0, vl::kTopHeight, tone);
    program_->Hide();
    stack_ = Add<XStackPanel>(0, vl::kTopHeight, tone, this);
    stack_->Hide();
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

void GigaView::Resized()
{
    if (frame_) frame_->SetSize(Width(), Height());
}

int GigaView::PanelHeight() const
{
    return layerCount_ >= 2 ? stack_->Height() : vl::kBottomHeight;
}

void GigaView::ToneNotify(std::int32_t code, std::int32_t value)
{
    // Audio or loading thread: the latest value goes to its mailbox, which Tick empties.
    const std::pair<std::int32_t, XMailbox<std::int32_t>*> boxes[] {
        {KyToneView::kNotesHeld, &notesHeld_},
        {KyToneView::kControllersChanged, &controllers_},
        {KyToneView::kLoadPercent, &percent_},
        {KyToneView::kStatusChanged, &status_}};
    for (const auto& [boxCode, box] : boxes)
        if (boxCode == code) box->Put(value);
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
