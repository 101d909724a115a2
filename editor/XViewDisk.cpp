#include "editor/XViewDisk.h"

#include <algorithm>
#include <cstdio>

#include "gui/XFader.h"
#include "gui/XLabel.h"
#include "prefs/GigaPrefs.h"

namespace {

constexpr int kCaptionX = 10;
constexpr int kRowHeight = 16;
constexpr int kFaderX = 191;
constexpr int kFaderWidth = 170;
constexpr int kValueX = 370;
constexpr int kValueWidth = 60;
constexpr double kStep = 0.02;
constexpr double kFineStep = 0.004;
constexpr XColor kCaptionColor(40, 40, 40);
constexpr XColor kMemoryColor(50, 40, 60);
constexpr XColor kSecondsColor(40, 40, 60);

}  // namespace

XViewDisk::XViewDisk(int x, int y, int width, int height, GigaPrefs& prefs)
    : XPane(x, y, width, height), prefs_(prefs)
{
    physical_ = AddRow(20, "Physical Memory Size:", 300, kMemoryColor);
    physical_->SetText(MemoryText(prefs_.TotalMemoryMb()));
    budget_ = AddRow(55, "Sample Memory Size:", 300, kMemoryColor);
    budget_->SetText(MemoryText(prefs_.AvailableMemoryMb()));

    // Opening the window shows the values; it does not change them (the faders' grid might).
    const float lmin = prefs_.PreloadMinimum();
    const float lmax = prefs_.PreloadTolerance();
    minimumValue_ = AddRow(90, "Sample preload minimum", 180, kSecondsColor);
    minimumValue_->SetText(SecondsText(lmin));
    minimum_ = AddFader(90, lmin);
    toleranceValue_ = AddRow(125, "Sample preload tolerance", 180, kSecondsColor);
    toleranceValue_->SetText(SecondsText(lmax));
    tolerance_ = AddFader(125, lmax);
}

std::string XViewDisk::MemoryText(std::int64_t mb)
{
    char text[32];
    if (mb < 1024) {
        std::snprintf(text, sizeof text, "%lld MB", static_cast<long long>(mb));
    } else {
        std::snprintf(text, sizeof text, "%.2f GB", static_cast<double>(mb) / 1024);
    }
    return text;
}

std::string XViewDisk::SecondsText(double seconds)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f sec", seconds);
    return text;
}

XLabel* XViewDisk::AddRow(int y, const char* caption, int captionWidth, XColor valueColor)
{
    Add<XLabel>(kCaptionX, y, captionWidth, kRowHeight, caption)->SetColor(2, kCaptionColor);
    XLabel* value = Add<XLabel>(kValueX, y, kValueWidth, kRowHeight);
    value->SetColor(2, valueColor);
    return value;
}

XFader* XViewDisk::AddFader(int y, float seconds)
{
    XFader* fader = Add<XFader>(kFaderX, y, kFaderWidth, kRowHeight);
    fader->SetRange(GigaPrefs::kMinPreloadSeconds, GigaPrefs::kMaxPreloadSeconds, kStep, kFineStep);
    fader->SetBackground(GetColor(0));
    fader->SetValue(seconds, true);
    fader->AddListener(this);
    return fader;
}

void XViewDisk::SliderChanged(XSlider* sender, std::int32_t)
{
    if (sender == minimum_) {
        SetMinimum(static_cast<float>(minimum_->GetValue()));
    } else if (sender == tolerance_) {
        SetTolerance(static_cast<float>(tolerance_->GetValue()));
    } else {
        return;
    }
    prefs_.Save();
}

void XViewDisk::SetMinimum(float seconds)
{
    seconds = std::max(seconds, GigaPrefs::kMinPreloadSeconds);
    // The tolerance first: the loading thread never sees a minimum above it.
    if (seconds > prefs_.PreloadTolerance()) SetTolerance(seconds);
    prefs_.SetPreloadMinimum(seconds);
    minimumValue_->SetText(SecondsText(seconds));
}

void XViewDisk::SetTolerance(float seconds)
{
    seconds = std::max(seconds, prefs_.PreloadMinimum());
    // On the fine grid, which holds every value of either fader. Moving it tells us again, with
    // the same value.
    if (static_cast<float>(tolerance_->GetValue()) != seconds) tolerance_->SetValue(seconds, true);
    prefs_.SetPreloadTolerance(seconds);
    toleranceValue_->SetText(SecondsText(seconds));
}
