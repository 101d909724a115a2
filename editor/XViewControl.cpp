#include "editor/XViewControl.h"

#include "gui/XCheckBox.h"
#include "prefs/GigaPrefs.h"

namespace {

constexpr std::int32_t kVolumeCc = 7;
constexpr std::int32_t kExpressionCc = 11;
constexpr int kBoxX = 15;
constexpr int kBoxWidth = 400;
constexpr int kBoxHeight = 18;

}  // namespace

XViewControl::XViewControl(int x, int y, int width, int height, GigaPrefs& prefs)
    : XPane(x, y, width, height), prefs_(prefs)
{
    volume_ = Add<XCheckBox>(kBoxX, 15, kBoxWidth, kBoxHeight,
                             "Instrument volume control by CC7 (Volume)");
    expression_ = Add<XCheckBox>(kBoxX, 45, kBoxWidth, kBoxHeight,
                                 "Instrument volume control by CC11 (Expression)");
    const bool volume = prefs_.VolumeController() == kVolumeCc;
    volume_->SetState(volume ? 1 : 0);
    expression_->SetState(volume ? 0 : 1);
    for (XCheckBox* box : {volume_, expression_}) {
        // Opaque, so that a mark taken away is painted over.
        box->SetColor(0, GetColor(0));
        box->AddListener(this);
    }
}

void XViewControl::ToggleChanged(XToggle* sender, std::int32_t)
{
    if (sender != volume_ && sender != expression_) return;
    sender->SetState(1);
    const bool volume = sender == volume_;
    (volume ? expression_ : volume_)->SetState(0);
    const std::int32_t controller = volume ? kVolumeCc : kExpressionCc;
    if (prefs_.VolumeController() == controller) return;
    prefs_.SetVolumeController(controller);
    prefs_.Save();
}
