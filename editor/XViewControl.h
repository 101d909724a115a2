// The settings window's "Controls" page: which MIDI controller the instrument volume control
// follows, CC7 (Volume) or CC11 (Expression). Two check boxes of which exactly one is checked;
// a choice goes into the preferences and their store at once.
#pragma once

#include <cstdint>

#include "gui/XListener.h"
#include "gui/XPane.h"

class GigaPrefs;
class XCheckBox;

class XViewControl : public XPane, public XListener {
public:
    XViewControl(int x, int y, int width, int height, GigaPrefs& prefs);

    XCheckBox* VolumeBox() const { return volume_; }
    XCheckBox* ExpressionBox() const { return expression_; }

    // Clicking the checked box keeps it checked; clicking the other one moves the choice.
    void ToggleChanged(XToggle* sender, std::int32_t state) override;

private:
    GigaPrefs& prefs_;
    XCheckBox* volume_ = nullptr;
    XCheckBox* expression_ = nullptr;
};
