// One layer row of a stack: number, name, instrument menu key, mute and solo, volume, tune and
// pan. Its controls write the layer (by serial, under the tone's stack lock); it tells its
// owner 'Mute' after a mute or solo request and 'inst' when its menu key is pressed.
#pragma once

#include <array>
#include <cstdint>

#include "editor/XStripControls.h"
#include "gui/XBroadcaster.h"
#include "gui/XControl.h"
#include "gui/XListener.h"
#include "gui/XPic.h"

struct GigaLayerFacts;
class GigaToneEdit;
class XGigaName;
class XTogLed;
class XValTop;

class XGigaPart : public XControl, public XListener, public XBroadcaster {
public:
    XGigaPart(GigaToneEdit& tone, int x, int y);

    // Shows layer `index` (from 0) as the stack holds it now.
    void Show(int index, const GigaLayerFacts& layer);
    std::uint32_t Serial() const { return serial_; }
    const XGigaName& Name() const { return *name_; }
    XTogLed& MuteLed() const { return strip_.Mute(); }
    XTogLed& SoloLed() const { return strip_.Solo(); }

    void Draw(XGraphic* g) override;
    void SliderChanged(XSlider* sender, std::int32_t value) override;
    void ToggleChanged(XToggle* sender, std::int32_t state) override;
    void Notify(XControl* sender, std::int32_t code) override;

private:
    GigaToneEdit& tone_;
    XPic picture_ {"view_part.png"};
    std::uint32_t serial_ = 0;
    XStripControls strip_;
    XValTop* number_;
    XGigaName* name_;
};
