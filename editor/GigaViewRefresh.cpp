// What the tone view shows: the full refresh and the status look.
#include <algorithm>

#include "editor/EditorCodes.h"
#include "editor/GigaView.h"
#include "editor/GigaViewLayout.h"
#include "editor/GigaViewText.h"
#include "editor/XGigaName.h"
#include "editor/XGigaTop.h"
#include "editor/XProgramPanel.h"
#include "editor/XSelectLcd.h"
#include "editor/XStackPanel.h"
#include "engine/GigaToneEdit.h"

namespace vl = viewlayout;

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
        program_->Withdraw();
        stack_->ShowLayers(layers, facts.selectMode);
    } else {
        stack_->Hide();
        program_->ShowFacts(facts, layers);
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
