#include "editor/XStackPanel.h"

#include "editor/GigaViewLayout.h"
#include "editor/GigaViewText.h"
#include "editor/XGigaPart.h"
#include "editor/XValTop.h"
#include "engine/GigaToneEdit.h"
#include "gui/XButton.h"

namespace vl = viewlayout;

XStackPanel::XStackPanel(int x, int y, GigaToneEdit& tone, XListener* listener)
    : XGigaBot(x, y, vl::kViewWidth, 5, true), tone_(tone), listener_(listener)
{
    badge_ =
        Add<XValTop>(vl::kBadge.left, vl::kBadge.top, vl::kBadge.Width(), vl::kBadge.Height(), 10);
    stackButton_ = Add<XButton>(vl::kStackButton.left, vl::kStackButton.top,
                                vl::kStackButton.Width(), vl::kStackButton.Height(), "...");
    stackButton_->AddListener(listener_);
}

void XStackPanel::ShowLayers(const std::vector<const GigaLayerFacts*>& layers, int selectMode)
{
    const int count = static_cast<int>(layers.size());
    SetSize(vl::kViewWidth, vl::kPartPitch * count + 5);
    while (PartCount() < count) {
        XGigaPart* part =
            Add<XGigaPart>(tone_, vl::kPartX, vl::kPartPitch * PartCount() + vl::kPartTop);
        part->AddListener(listener_);
        parts_.push_back(part);
    }
    while (PartCount() > count) {
        parts_.back()->Remove();
        parts_.pop_back();
    }
    for (int i = 0; i < count; ++i) parts_[static_cast<std::size_t>(i)]->Show(i, *layers[i]);
    badge_->Show(viewtext::SelectModeBadge(selectMode), vl::kBadgeText);
    Invalidate();
    Show();
}

XGigaPart* XStackPanel::PartOf(std::uint32_t serial) const
{
    for (XGigaPart* part : parts_)
        if (part->Serial() == serial) return part;
    return nullptr;
}
