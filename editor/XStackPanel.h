// The tone view's stack panel: a row per staying layer (its own strip controls and instrument
// menu), the select mode's badge and the button that opens the stack editor. The rows and the
// button tell the listener the view gives.
#pragma once

#include <cstdint>
#include <vector>

#include "editor/XGigaBot.h"

class GigaToneEdit;
struct GigaLayerFacts;
class XButton;
class XGigaPart;
class XListener;
class XValTop;

class XStackPanel : public XGigaBot {
public:
    XStackPanel(int x, int y, GigaToneEdit& tone, XListener* listener);

    // As many rows as layers, each showing its layer, and the badge of the select mode.
    void ShowLayers(const std::vector<const GigaLayerFacts*>& layers, int selectMode);

    const XButton* StackButton() const { return stackButton_; }
    const XValTop& Badge() const { return *badge_; }
    int PartCount() const { return static_cast<int>(parts_.size()); }
    XGigaPart& Part(int index) const { return *parts_[static_cast<std::size_t>(index)]; }
    // The row of this layer; null when it has none.
    XGigaPart* PartOf(std::uint32_t serial) const;

private:
    GigaToneEdit& tone_;
    XListener* listener_;
    XValTop* badge_ = nullptr;
    XButton* stackButton_ = nullptr;
    std::vector<XGigaPart*> parts_;
};
