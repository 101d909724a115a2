// What a tone tells the view that shows it: a four-character code and a value. Called on the
// audio thread and on the loading thread, so an implementation only records or posts the
// notification; it never blocks.
#pragma once

#include <cstdint>

#include "platform/FourCC.h"

class KyToneView {
public:
    // KyTone: the volume or pan controller moved (the view reads the values on its tick).
    static constexpr std::int32_t kControllersChanged = FourCC("kycc");
    // KyTone: whether notes are held (value 1) or none is (0), for the MIDI led.
    static constexpr std::int32_t kNotesHeld = FourCC("kyma");
    // GigaTone: its status changed (value: the new GigaTone::Status).
    static constexpr std::int32_t kStatusChanged = FourCC("stat");
    // GigaTone: how far its load is (value: percent).
    static constexpr std::int32_t kLoadPercent = FourCC("load");

    virtual ~KyToneView() = default;
    virtual void ToneNotify(std::int32_t code, std::int32_t value) = 0;
};
