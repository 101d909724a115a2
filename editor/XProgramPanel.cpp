#include "editor/XProgramPanel.h"

#include <cmath>

#include "editor/GigaViewLayout.h"
#include "editor/XDimList.h"
#include "editor/XProgInfo.h"
#include "editor/XValBot.h"
#include "engine/GigaToneEdit.h"
#include "gui/XPotar.h"
#include "gui/XToggle.h"

namespace vl = viewlayout;

namespace {

// What a knob edits: the layer's bend range, or an amplifier or filter offset that the knob
// shows added to the program's own value (the marker); the two spare filter values have no
// program value and show the offset alone.
enum class Field { kBendRange, kAmplifier, kFilter, kFilterOffset };

struct KnobRow {
    double low, high, step, fine;
    int decimals;
    Field field;
    int index;  // into the layer's amplifier or filter values
};

constexpr std::array<KnobRow, XProgramPanel::kKnobs> kKnobRows {{
    {0, 12, 1, 1, 0, Field::kBendRange, 0},
    {0, 1, 0.01, 0, 2, Field::kAmplifier, GigaPart::kAmpVelocityDepth},
    {0, 10, 0.1, 0, 2, Field::kAmplifier, GigaPart::kAmpAttack},
    {0, 10, 0.1, 0, 2, Field::kAmplifier, GigaPart::kAmpDecay},
    {0, 1, 0.01, 0, 2, Field::kAmplifier, GigaPart::kAmpSustain},
    {0, 10, 0.1, 0.02, 2, Field::kAmplifier, GigaPart::kAmpRelease},
    {0, 1, 0.01, 0, 2, Field::kFilter, GigaPart::kCutoff},
    {0, 1, 0.01, 0, 2, Field::kFilter, GigaPart::kCutoffVelocityDepth},
    {0, 10, 0.1, 0, 2, Field::kFilterOffset, 2},
    {0, 10, 0.1, 0, 2, Field::kFilterOffset, 5},
}};

}  // namespace

XProgramPanel::XProgramPanel(int x, int y, GigaToneEdit& tone)
    : XGigaBot(x, y, vl::kViewWidth, vl::kBottomHeight, false), tone_(tone)
{
    const XRect& p = vl::kProgramFacts;
    info_ = Add<XProgInfo>(p.left, p.top, p.Width(), p.Height());
    const XRect& d = vl::kDimensionList;
    dimensions_ = Add<XDimList>(d.left, d.top, d.Width(), d.Height());
    for (std::size_t k = 0; k < kKnobs; ++k) {
        const KnobRow& row = kKnobRows[k];
        XPotar* knob = Add<XPotar>(vl::kKnobX[k], vl::kKnobY, vl::kKnobSize, vl::kKnobSize);
        knob->SetPicture("pot_grey.png");
        knob->SetIndicator(vl::kKnobCentre, vl::kKnobCentre, vl::kIndicatorRadius);
        knob->SetRange(row.low, row.high, row.step, row.fine);
        knob->SetValue(row.low);
        knob->AddListener(this);
        knobs_[k] = knob;
        values_[k] = Add<XValBot>(vl::kKnobX[k] + 2, vl::kKnobValueY, vl::kKnobValueWidth,
                                  vl::kKnobValueHeight);
    }
    const XRect& f = vl::kFilterSwitch;
    filterSwitch_ = Add<XToggle>(f.left, f.top, f.Width(), f.Height());
    filterSwitch_->SetPictures("vcf_on.png", "vcf_off.png");
    filterSwitch_->AddListener(this);
}

void XProgramPanel::ShowFacts(const GigaToneFacts& facts,
                              const std::vector<const GigaLayerFacts*>& layers)
{
    const GigaLayerFacts* layer = layers.size() == 1 ? layers[0] : nullptr;
    const bool loaded =
        facts.status == GigaToneEdit::kLoadedAndShown && layer && layer->state == GigaPart::kLoaded;
    SetGreyed(facts.status == GigaToneEdit::kEmpty);
    SetEnabled(loaded);
    Show();
    if (loaded)
        ShowLayer(*layer);
    else
        Clear();
}

void XProgramPanel::Withdraw()
{
    layer_ = 0;
    Hide();
}

void XProgramPanel::ShowLayer(const GigaLayerFacts& layer)
{
    layer_ = layer.serial;
    info_->SetFacts(layer.programKeyLow, layer.programKeyHigh, layer.sampleCount, layer.bitDepth,
                    layer.streams);
    dimensions_->SetUsed(layer.dimensions);
    for (std::size_t k = 0; k < kKnobs; ++k) {
        const auto i = static_cast<std::size_t>(kKnobRows[k].index);
        switch (kKnobRows[k].field) {
            case Field::kBendRange:
                SetKnob(k, layer.bendRange, layer.programBendRange);
                break;
            case Field::kAmplifier:
                SetKnob(k, layer.amplifierAverages[i] + layer.amplifierOffsets[i],
                        layer.amplifierAverages[i]);
                break;
            case Field::kFilter:
                SetKnob(k, layer.filterAverages[i] + layer.filterOffsets[i],
                        layer.filterAverages[i]);
                break;
            case Field::kFilterOffset:
                SetKnob(k, layer.filterOffsets[i], 0);
                break;
        }
    }
    filterSwitch_->SetState(layer.hasFilter || layer.filterSwitch > 0);
    filterSwitch_->SetEnabled(!layer.hasFilter);
}

void XProgramPanel::Clear()
{
    layer_ = 0;
    info_->Clear();
    dimensions_->Clear();
    for (std::size_t k = 0; k < kKnobs; ++k) {
        knobs_[k]->SetValueSilently(knobs_[k]->Minimum());
        values_[k]->Clear();
    }
    filterSwitch_->SetState(0);
}

void XProgramPanel::SetKnob(int knob, double value, double marker)
{
    const auto k = static_cast<std::size_t>(knob);
    markers_[k] = marker;
    knobs_[k]->SetValueSilently(value);
    values_[k]->SetValue(value, marker, kKnobRows[k].decimals);
}

void XProgramPanel::SliderChanged(XSlider* sender, std::int32_t)
{
    for (std::size_t k = 0; k < kKnobs; ++k)
        if (sender == knobs_[k]) KnobMoved(static_cast<int>(k));
}

void XProgramPanel::KnobMoved(int knob)
{
    const auto k = static_cast<std::size_t>(knob);
    const double value = knobs_[k]->GetValue();
    const double marker = markers_[k];
    values_[k]->SetValue(value, marker, kKnobRows[k].decimals);
    if (layer_ == 0) return;
    // The offset makes the program's value the knob's: the knob shows what plays.
    const auto offset = static_cast<float>(value - marker);
    const auto i = static_cast<std::size_t>(kKnobRows[k].index);
    tone_.EditLayerBySerial(layer_, [&](GigaPart& layer) {
        switch (kKnobRows[k].field) {
            case Field::kBendRange:
                layer.bendRange = static_cast<std::int32_t>(std::lround(value));
                break;
            case Field::kAmplifier:
                layer.amplifierOffsets[i] = offset;
                break;
            case Field::kFilter:
            case Field::kFilterOffset:
                layer.filterOffsets[i] = offset;
                break;
        }
    });
}

void XProgramPanel::ToggleChanged(XToggle* sender, std::int32_t state)
{
    if (sender != filterSwitch_ || layer_ == 0) return;
    tone_.EditLayerBySerial(layer_, [&](GigaPart& layer) { layer.filterSwitch = state ? 1 : 0; });
}
