// A two-state switch that flips on every press and tells its listeners the new state. It shows
// the picture of its state, or a glossy face with its text.
#pragma once

#include <cstdint>
#include <string_view>

#include "gui/XBroadcaster.h"
#include "gui/XControl.h"
#include "gui/XPic.h"

class XToggle : public XControl, public XBroadcaster {
public:
    XToggle();
    XToggle(int x, int y, int width, int height, std::string_view text = {});

    // Loads the on picture and takes its size; the off picture comes from its own name, or is a
    // grey copy of the on picture. False when the on picture did not load.
    bool SetPictures(std::string_view onName, std::string_view offName = {});
    // From code: stores and redraws, tells no one. Any non-zero value is on.
    void SetState(std::int32_t state);
    std::int32_t GetState() const { return state_; }
    bool IsOn() const { return state_ != 0; }
    const XPic& OnPicture() const { return on_; }
    const XPic& OffPicture() const { return off_; }

    void Draw(XGraphic* g) override;
    // Flips the state and broadcasts it; the press is not taken.
    bool MouseDown(XMouse* mouse) override;

private:
    std::int32_t state_ = 0;
    XPic off_;
    XPic on_;
};
