#include "editor/XGigaPart.h"

#include <cmath>

#include "editor/GigaViewLayout.h"
#include "editor/GigaViewText.h"
#include "editor/XGigaName.h"
#include "editor/XHotSpot.h"
#include "editor/XValTop.h"
#include "engine/GigaTone.h"
#include "engine/GigaToneFacts.h"
#include "gui/XFader.h"
#include "gui/XGraphic.h"
#include "gui/XTogLed.h"
#include "platform/FourCC.h"

namespace vl = viewlayout;

namespace {

XTogLed* AddLamp(XControl& parent, const XRect& r, const char* text, XColor lamp)
{
    auto* led = parent.Add<XTogLed>(r.left, r.top, r.Width(), r.Height(), text);
    led->SetColor(0, XColor(58, 58, 58));
    led->SetColor(1, lamp);
    led->SetColor(2, XColor(170, 170, 170));
    return led;
}

std::string FileName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

XGigaPart::XGigaPart(GigaTone& tone, int x, int y)
    : XControl(x, y, vl::kPartWidth, vl::kPartHeight), tone_(tone)
{
    number_ = Add<XValTop>(vl::kPartNumber.left, vl::kPartNumber.top, vl::kPartNumber.Width(),
                           vl::kPartNumber.Height());
    name_ = Add<XGigaName>(vl::kPartName.left, vl::kPartName.top, vl::kPartName.Width(),
                           vl::kPartName.Height());
    Add<XHotSpot>(vl::kPartMenu.left, vl::kPartMenu.top, vl::kPartMenu.Width(),
                  vl::kPartMenu.Height(), kMenuCode)
        ->AddListener(this);
    mute_ = AddLamp(*this, vl::kPartMute, "M", vl::kMuteLamp);
    solo_ = AddLamp(*this, vl::kPartSolo, "S", vl::kSoloLamp);
    mute_->AddListener(this);
    solo_->AddListener(this);
    const XColor fills[] {vl::kVolumeFill, vl::kTuneFill, vl::kPanFill};
    const double ranges[][2] {{0, 127}, {-100, 100}, {0, 127}};
    const double references[] {0, 0, 64};
    for (std::size_t i = 0; i < 3; ++i) {
        XFader* fader =
            Add<XFader>(vl::kPartFaderX[i], vl::kPartFaderY, vl::kFaderWidth, vl::kFaderHeight);
        fader->SetThumb("fad_cur.png");
        fader->SetRange(ranges[i][0], ranges[i][1], 1);
        fader->SetFill(fills[i], references[i]);
        fader->AddListener(this);
        faders_[i] = fader;
        values_[i] =
            Add<XValTop>(vl::kPartValueX[i], vl::kPartValueY, vl::kValueWidth, vl::kValueHeight);
    }
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
    showing_ = true;
    mute_->SetState(current == 1);
    solo_->SetState(current == 2);
    ShowValues(layer.volume, layer.tune, layer.pan);
    showing_ = false;
}

void XGigaPart::ShowValues(int volume, int tune, int pan)
{
    faders_[0]->SetValue(volume);
    faders_[1]->SetValue(tune);
    faders_[2]->SetValue(pan);
    values_[0]->Show(std::to_string(volume), vl::kValueText);
    values_[1]->Show(std::to_string(tune), vl::kValueText);
    values_[2]->Show(viewtext::PanText(pan), vl::kValueText);
}

void XGigaPart::Draw(XGraphic* g)
{
    XControl::Draw(g);
    g->DrawPic(picture_, 0, 0);
}

void XGigaPart::SliderChanged(XSlider* sender, std::int32_t)
{
    if (showing_) return;
    int values[3] {};
    for (std::size_t i = 0; i < 3; ++i)
        values[i] = static_cast<int>(std::lround(faders_[i]->GetValue()));
    tone_.EditLayerBySerial(serial_, [&](GigaPart& part) {
        if (sender == faders_[0]) part.volume = values[0];
        if (sender == faders_[1]) part.tune = values[1];
        if (sender == faders_[2]) part.pan = values[2];
    });
    showing_ = true;
    ShowValues(values[0], values[1], values[2]);
    showing_ = false;
}

void XGigaPart::ToggleChanged(XToggle* sender, std::int32_t state)
{
    if (showing_) return;
    int request = 0;
    if (sender == mute_) request = state ? 1 : 3;
    if (sender == solo_) request = state ? 2 : 4;
    if (request == 0) return;
    tone_.EditLayerBySerial(
        serial_, [&](GigaPart& part) { part.mute[2] = static_cast<std::int16_t>(request); });
    Broadcast(this, FourCC("Mute"));
}

void XGigaPart::Notify(XControl* sender, std::int32_t code)
{
    if (code == kMenuCode) Broadcast(this, kMenuCode);
}
