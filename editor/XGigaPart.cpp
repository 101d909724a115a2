#include "editor/XGigaPart.h"

#include "editor/EditorCodes.h"
#include "editor/GigaViewLayout.h"
#include "editor/XGigaName.h"
#include "editor/XHotSpot.h"
#include "editor/XValTop.h"
#include "engine/GigaToneEdit.h"
#include "engine/GigaToneFacts.h"
#include "gui/XGraphic.h"
#include "gui/XTogLed.h"

namespace vl = viewlayout;

namespace {

std::string FileName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

XGigaPart::XGigaPart(GigaToneEdit& tone, int x, int y)
    : XControl(x, y, vl::kPartWidth, vl::kPartHeight),
      tone_(tone),
      strip_(*this, this,
             {vl::kPartMute, vl::kPartSolo, vl::kPartFaderX, vl::kPartFaderY, vl::kPartValueX,
              vl::kPartValueY})
{
    number_ = Add<XValTop>(vl::kPartNumber.left, vl::kPartNumber.top, vl::kPartNumber.Width(),
                           vl::kPartNumber.Height());
    name_ = Add<XGigaName>(vl::kPartName.left, vl::kPartName.top, vl::kPartName.Width(),
                           vl::kPartName.Height());
    Add<XHotSpot>(vl::kPartMenu.left, vl::kPartMenu.top, vl::kPartMenu.Width(),
                  vl::kPartMenu.Height(), editorcode::kPartMenu)
        ->AddListener(this);
}

void XGigaPart::Show(int index, const GigaLayerFacts& layer)
{
    serial_ = layer.serial;
    const int number = index + 1;
    number_->Show((number < 10 ? "  " : "") + std::to_string(number), vl::kValueText);
    if (layer.bankPath.empty() || layer.programIndex < 0)
        name_->Show("No instrument", vl::kRequested);
    else if (layer.state == GigaPart::kFileNotFound)
        name_->Show(FileName(layer.bankPath), vl::kFailed);
    else if (!layer.programName.empty())
        name_->Show(layer.programName, vl::kLoaded);
    else
        name_->Show(FileName(layer.bankPath), vl::kRequested);
    int current = 0;
    tone_.EditLayerBySerial(serial_, [&](GigaPart& part) { current = part.mute[1]; });
    strip_.ShowMute(current);
    strip_.Show(layer.volume, layer.tune, layer.pan);
}

void XGigaPart::Draw(XGraphic* g)
{
    XControl::Draw(g);
    g->DrawPic(picture_, 0, 0);
}

void XGigaPart::SliderChanged(XSlider* sender, std::int32_t)
{
    const int which = strip_.Which(sender);
    if (which < 0) return;
    const auto what = static_cast<XStripControls::Value>(which);
    const int value = strip_.ValueOf(what);
    tone_.EditLayerBySerial(serial_, [&](GigaPart& part) {
        if (what == XStripControls::kVolume) part.volume = value;
        if (what == XStripControls::kTune) part.tune = value;
        if (what == XStripControls::kPan) part.pan = value;
    });
    strip_.ShowValue(what, value);
}

void XGigaPart::ToggleChanged(XToggle* sender, std::int32_t state)
{
    int request = 0;
    if (sender == &strip_.Mute()) request = state ? 1 : 3;
    if (sender == &strip_.Solo()) request = state ? 2 : 4;
    if (request == 0) return;
    tone_.EditLayerBySerial(
        serial_, [&](GigaPart& part) { part.mute[2] = static_cast<std::int16_t>(request); });
    Broadcast(this, editorcode::kMute);
}

void XGigaPart::Notify(XControl* sender, std::int32_t code)
{
    if (code == editorcode::kPartMenu) Broadcast(this, editorcode::kPartMenu);
}
