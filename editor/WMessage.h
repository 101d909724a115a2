// A short message over the editor, one label per line of the text, with one "OK" button, for
// what the user must know at once (a performance that could not be saved, a path too long to
// keep).
#pragma once

#include <string_view>

#include "gui/WPopup.h"
#include "gui/XListener.h"

class XButton;

class WMessage : public WPopup, public XListener {
public:
    static constexpr int kWidth = 440;
    static constexpr int kHeight = 96;

    explicit WMessage(std::string_view text);

    void ButtonClicked(XButton* sender, std::int32_t code) override;
};
