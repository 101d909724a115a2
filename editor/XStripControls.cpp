#include "editor/XStripControls.h"

#include <cmath>
#include <string>

#include "editor/GigaViewLayout.h"
#include "editor/GigaViewText.h"
#include "editor/XValTop.h"
#include "gui/XFader.h"
#include "gui/XTogLed.h"

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

}  // namespace

XStripControls::XStripControls(XControl& parent, XListener* listener, const Places& places)
    : mute_(AddLamp(parent, places.mute, "M", vl::kMuteLamp)),
      solo_(AddLamp(parent, places.solo, "S", vl::kSoloLamp))
{
    mute_->AddListener(listener);
    solo_->AddListener(listener);
    const XColor fills[] {vl::kVolumeFill, vl::kTuneFill, vl::kPanFill};
    const double ranges[][2] {{0, 127}, {-100, 100}, {0, 127}};
    const double references[] {0, 0, 64};
    for (std::size_t i = 0; i < faders_.size(); ++i) {
        XFader* fader =
            parent.Add<XFader>(places.faderX[i], places.faderY, vl::kFaderWidth, vl::kFaderHeight);
        fader->SetThumb("fad_cur.png");
        fader->SetRange(ranges[i][0], ranges[i][1], 1);
        fader->SetFill(fills[i], references[i]);
        fader->AddListener(listener);
        faders_[i] = fader;
        values_[i] =
            parent.Add<XValTop>(places.valueX[i], places.valueY, vl::kValueWidth, vl::kValueHeight);
    }
}

void XStripControls::Show(int volume, int tune, int pan)
{
    const int values[] {volume, tune, pan};
    for (std::size_t i = 0; i < faders_.size(); ++i) {
        faders_[i]->SetValueSilently(values[i]);
        ShowValue(static_cast<Value>(i), values[i]);
    }
}

void XStripControls::ShowMute(int word)
{
    mute_->SetState(word == 1);
    solo_->SetState(word == 2);
}

void XStripControls::ShowValue(Value which, int value)
{
    values_[which]->Show(which == kPan ? viewtext::PanText(value) : std::to_string(value),
                         vl::kValueText);
}

int XStripControls::Which(const XSlider* slider) const
{
    for (std::size_t i = 0; i < faders_.size(); ++i)
        if (slider == faders_[i]) return static_cast<int>(i);
    return -1;
}

int XStripControls::ValueOf(Value which) const
{
    return static_cast<int>(std::lround(faders_[which]->GetValue()));
}
