// What a tone tells the view that shows it: a four-character code and a value ("kycc",
// "kyma", "stat", "load"). Called on the audio thread and on the loading thread, so an
// implementation only records or posts the notification; it never blocks.
#pragma once

#include <cstdint>

class KyToneView {
public:
    virtual ~KyToneView() = default;
    virtual void ToneNotify(std::int32_t code, std::int32_t value) = 0;
};
