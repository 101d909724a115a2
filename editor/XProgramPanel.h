// The tone view's program panel: the facts and dimensions of the one program the tone plays,
// and the knobs and filter switch that edit that layer (bend range, amplifier and filter
// offsets, shown as the values that play). Greyed while the tone is empty; inert and cleared
// unless exactly one layer has loaded and is shown.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "editor/XGigaBot.h"
#include "gui/XListener.h"

class GigaToneEdit;
struct GigaLayerFacts;
struct GigaToneFacts;
class XDimList;
class XPotar;
class XProgInfo;
class XToggle;
class XValBot;

class XProgramPanel : public XGigaBot, public XListener {
public:
    enum Knob {
        kBend,
        kVelocity,
        kAttack,
        kDecay,
        kSustain,
        kRelease,
        kCutoff,
        kFilterVelocity,
        kAux1,
        kAux2,
        kKnobs
    };

    XProgramPanel(int x, int y, GigaToneEdit& tone);

    // Shows the stack's one staying layer, or clears the panel when the tone has none, several
    // or one that has not loaded.
    void ShowFacts(const GigaToneFacts& facts, const std::vector<const GigaLayerFacts*>& layers);
    // Hidden while the tone shows a stack; the knobs edit nothing meanwhile.
    void Withdraw();

    // XListener: the knobs and the filter switch edit the shown layer.
    void SliderChanged(XSlider* sender, std::int32_t value) override;
    void ToggleChanged(XToggle* sender, std::int32_t state) override;

    XPotar& KnobControl(Knob knob) const { return *knobs_[knob]; }
    const XValBot& KnobValue(Knob knob) const { return *values_[knob]; }
    XToggle& FilterSwitch() const { return *filterSwitch_; }
    const XProgInfo& ProgramFacts() const { return *info_; }
    const XDimList& Dimensions() const { return *dimensions_; }

private:
    void ShowLayer(const GigaLayerFacts& layer);
    void Clear();
    void SetKnob(int knob, double value, double marker);
    void KnobMoved(int knob);

    GigaToneEdit& tone_;
    std::uint32_t layer_ = 0;  // serial of the layer the knobs edit, 0: none
    XProgInfo* info_ = nullptr;
    XDimList* dimensions_ = nullptr;
    std::array<XPotar*, kKnobs> knobs_ {};
    std::array<XValBot*, kKnobs> values_ {};
    std::array<double, kKnobs> markers_ {};  // the program's own values
    XToggle* filterSwitch_ = nullptr;
};
