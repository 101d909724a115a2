// The settings window's "Memory" page: the machine's physical memory, the sample memory budget,
// and two faders for how much of each sample is preloaded: the minimum (the head of a long
// sample) and the tolerance (samples up to this long are held whole). The minimum never exceeds
// the tolerance: raising the minimum past it drags the tolerance along, and the tolerance cannot
// go below the minimum. Every change goes into the preferences and their store at once.
#pragma once

#include <cstdint>
#include <string>

#include "gui/XListener.h"
#include "gui/XPane.h"

class GigaPrefs;
class XFader;
class XLabel;

class XViewDisk : public XPane, public XListener {
public:
    XViewDisk(int x, int y, int width, int height, GigaPrefs& prefs);

    // "512 MB" below 1024 MB, "3.00 GB" from there up.
    static std::string MemoryText(std::int64_t mb);
    // "1.00 sec".
    static std::string SecondsText(double seconds);

    XLabel* PhysicalMemoryValue() const { return physical_; }
    XLabel* SampleMemoryValue() const { return budget_; }
    XFader* MinimumFader() const { return minimum_; }
    XFader* ToleranceFader() const { return tolerance_; }
    XLabel* MinimumValue() const { return minimumValue_; }
    XLabel* ToleranceValue() const { return toleranceValue_; }

    void SliderChanged(XSlider* sender, std::int32_t value) override;

private:
    // A row's caption at the left and its value label at the right.
    XLabel* AddRow(int y, const char* caption, int captionWidth, XColor valueColor);
    XFader* AddFader(int y, float seconds);
    void SetMinimum(float seconds);
    void SetTolerance(float seconds);

    GigaPrefs& prefs_;
    XLabel* physical_ = nullptr;
    XLabel* budget_ = nullptr;
    XFader* minimum_ = nullptr;
    XFader* tolerance_ = nullptr;
    XLabel* minimumValue_ = nullptr;
    XLabel* toleranceValue_ = nullptr;
};
