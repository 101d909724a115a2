// What the player knows of its editor view: a queue that other threads post 12-byte events to.
// The editor drains it on its own GUI thread; Post must not block.
#pragma once

#include <cstdint>

struct KyEditorEvent {
    std::int32_t code = 0;  // four-character code, such as 'KyTL'
    std::int32_t value = 0;
    std::int32_t extra = 0;
};
static_assert(sizeof(KyEditorEvent) == 12);

class KyEditor {
public:
    virtual ~KyEditor() = default;
    virtual bool Post(const KyEditorEvent& event) = 0;
};
