// What the tone view shows: the full refresh and the status look.
#include <algorithm>

#include "editor/EditorCodes.h"
#include "editor/GigaView.h"
#include "editor/GigaViewLayout.h"
#include "editor/GigaViewText.h"
#include "editor/XDimList.h"
#include "editor/XGigaBot.h"
#include "editor/XGigaName.h"
#include "editor/XGigaPart.h"
#include "editor/XGigaTop.h"
#include "editor/XProgInfo.h"
#include "editor/XSelectLcd.h"
#include "editor/XValBot.h"
#include "engine/GigaToneEdit.h"
#include "gui/XFader.h"
#include "gui/XPotar.h"
#include "gui/XTogLed.h"

namespace vl = viewlayout;

namespace {

const char* BadgeText(int selectMode)
{
    if (selectMode == GigaToneEdit::kSelectNone) return "+";
    if (selectMode >= 1 && selectMode <= 127) return "CC";
    switch (selectMode) {
        case GigaToneEdit::kSelectVelocity:
            return "VL";
        case GigaToneEdit::kSelectKeySwitch:
            return "KS";
        case GigaToneEdit::kSelectRandom:
            return "RD";
        case GigaToneEdit::kSelectProgramChange:
            return "PC";
        default:
            return "";
    }
}

}  // namespace

void GigaView::Refresh()
{
    GigaToneEdit& tone = Tone();
    GigaToneFacts facts = tone.Facts();
    std::vector<const GigaLayerFacts*> layers;
    for (const GigaLayerFacts& layer : facts.layers)
        if (!layer.leaving) layers.push_back(&layer);
    if (facts.status == GigaToneEdit::kLoaded) {
        facts.status = layers.empty() ? GigaToneEdit::kEmpty : GigaToneEdit::kLoadedAndShown;
        tone.SetStatus(facts.status);
        Broadcast(this, editorcode::kSelectView);
    }
    layerCount_ = static_cast<int>(layers.size());
    ShowStatus(facts.status);
    ShowStrip();
    if (layers.size() >= 2) {
        programPanel_->Hide();
        ShowStack(layers, facts.selectMode);
    } else {
        stackPanel_->Hide();
        ShowProgram(facts, layers);
    }
    // The panel's height may have changed with the layers.
    SetExpanded(IsExpanded());
}

void GigaView::ShowStatus(int status)
{
    GigaToneEdit& tone = Tone();
    top_->SetAlternative(status == GigaToneEdit::kEmpty && tone.LayerCount() == 0);
    // The bar belongs to the samples being loaded; any other step starts without it.
    if (status != GigaToneEdit::kLoadingSamples) name_->SetProgress(-1);
    switch (status) {
        case GigaToneEdit::kReadingProgram:
            name_->Show("Loading File...", vl::kReading);
            return;
        case GigaToneEdit::kLoadingSamples:
            name_->Show("Loading Samples", vl::kSampling);
            return;
        case 4:
        case GigaToneEdit::kNotEnoughMemory:
        case GigaToneEdit::kLoadedWithFailure:
            name_->SetProgress(-1);
            name_->Show(tone.DisplayName(), vl::kFailed);
            return;
        case GigaToneEdit::kLoaded:
            name_->SetProgress(-1);
            name_->Show(tone.DisplayName(), vl::kLoaded);
            Refresh();
            return;
        case GigaToneEdit::kLoadedAndShown:
            name_->SetProgress(-1);
            name_->Show(tone.DisplayName(), vl::kLoaded);
            return;
        default:
            name_->Show(tone.DisplayName(), vl::kRequested);
            return;
    }
}

void GigaView::ShowStrip()
{
    GigaToneEdit& tone = Tone();
    bus_->SetText(viewtext::BusText(tone.OutputBus()));
    bus_->Invalidate();
    strip_->ShowMute(tone.Mute(GigaToneEdit::kCurrentMute));
    strip_->Show(tone.EffectiveVolume(), tone.Tune(), tone.Pan());
    // What the controllers say now is shown.
    tone.SetShownValue(GigaToneEdit::kVolumeController,
                       tone.ControllerValue(GigaToneEdit::kVolumeController));
    tone.SetShownValue(GigaToneEdit::kPanController,
                       tone.ControllerValue(GigaToneEdit::kPanController));
}

void GigaView::ShowStack(const std::vector<const GigaLayerFacts*>& layers, int selectMode)
{
    singleLayer_ = 0;
    const int count = static_cast<int>(layers.size());
    stackPanel_->SetSize(vl::kViewWidth, vl::kPartPitch * count + 5);
    while (static_cast<int>(parts_.size()) < count) {
        const int row = static_cast<int>(parts_.size());
        XGigaPart* part =
            stackPanel_->Add<XGigaPart>(Tone(), vl::kPartX, vl::kPartPitch * row + vl::kPartTop);
        part->AddListener(this);
        parts_.push_back(part);
    }
    while (static_cast<int>(parts_.size()) > count) {
        parts_.back()->Remove();
        parts_.pop_back();
    }
    for (int i = 0; i < count; ++i) parts_[static_cast<std::size_t>(i)]->Show(i, *layers[i]);
    badge_->Show(BadgeText(selectMode), vl::kBadgeText);
    stackPanel_->Invalidate();
    stackPanel_->Show();
}

void GigaView::ShowProgram(const GigaToneFacts& facts,
                           const std::vector<const GigaLayerFacts*>& layers)
{
    const GigaLayerFacts* layer = layers.size() == 1 ? layers[0] : nullptr;
    const bool loaded =
        facts.status == GigaToneEdit::kLoadedAndShown && layer && layer->state == GigaPart::kLoaded;
    programPanel_->SetGreyed(facts.status == GigaToneEdit::kEmpty);
    programPanel_->SetEnabled(loaded);
    programPanel_->Show();
    if (!loaded) {
        ClearProgram();
        return;
    }
    singleLayer_ = layer->serial;
    info_->SetFacts(layer->programKeyLow, layer->programKeyHigh, layer->sampleCount,
                    layer->bitDepth, layer->streams);
    dimensions_->SetUsed(layer->dimensions);
    const auto& amp = layer->amplifierAverages;
    const auto& ampOffset = layer->amplifierOffsets;
    const auto& filter = layer->filterAverages;
    const auto& filterOffset = layer->filterOffsets;
    SetKnob(kBend, layer->bendRange, layer->programBendRange);
    const std::pair<Knob, int> amplifier[] {{kVelocity, GigaPart::kAmpVelocityDepth},
                                            {kAttack, GigaPart::kAmpAttack},
                                            {kDecay, GigaPart::kAmpDecay},
                                            {kSustain, GigaPart::kAmpSustain},
                                            {kRelease, GigaPart::kAmpRelease}};
    for (const auto& [knob, index] : amplifier) {
        const auto i = static_cast<std::size_t>(index);
        SetKnob(knob, amp[i] + ampOffset[i], amp[i]);
    }
    SetKnob(kCutoff, filter[GigaPart::kCutoff] + filterOffset[GigaPart::kCutoff],
            filter[GigaPart::kCutoff]);
    SetKnob(kFilterVelocity,
            filter[GigaPart::kCutoffVelocityDepth] + filterOffset[GigaPart::kCutoffVelocityDepth],
            filter[GigaPart::kCutoffVelocityDepth]);
    SetKnob(kAux1, filterOffset[2], 0);
    SetKnob(kAux2, filterOffset[5], 0);
    filterSwitch_->SetState(layer->hasFilter || layer->filterSwitch > 0);
    filterSwitch_->SetEnabled(!layer->hasFilter);
}

void GigaView::ClearProgram()
{
    singleLayer_ = 0;
    info_->Clear();
    dimensions_->Clear();
    for (std::size_t k = 0; k < kKnobs; ++k) {
        knobs_[k]->SetValueSilently(knobs_[k]->Minimum());
        knobValues_[k]->Clear();
    }
    filterSwitch_->SetState(0);
}

void GigaView::SetKnob(Knob knob, double value, double marker)
{
    knobMarkers_[knob] = marker;
    knobs_[knob]->SetValueSilently(value);
    knobValues_[knob]->SetValue(value, marker, knobDecimals_[knob]);
}
