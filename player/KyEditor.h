// What the player knows of its editor view: a queue that other threads post 12-byte events to.
// The editor drains it on its own GUI thread; Post must not block.
#pragma once

#include <cstdint>

#include "platform/FourCC.h"

struct KyEditorEvent {
    // The player's event: a background load finished (value 1 all loaded, 0 with failures).
    // GigaPlayer posts it; the editor answers with the missing-files dialog when files were
    // not found.
    static constexpr std::int32_t kToneLoadDone = FourCC("KyTL");

    std::int32_t code = 0;  // four-character code
    std::int32_t value = 0;
    std::int32_t extra = 0;
};
static_assert(sizeof(KyEditorEvent) == 12);

class KyEditor {
public:
    virtual ~KyEditor() = default;
    virtual bool Post(const KyEditorEvent& event) = 0;
};
