// What a view that lets instruments be dragged from it (the browser's lists and tree) tells a
// tone view they are dropped on. The tone view asks the drag's source and its parents in turn.
#pragma once

#include <cstdint>
#include <string>

class GigaDropSource {
public:
    virtual ~GigaDropSource() = default;
    // The .gig file and program index that a drag of this payload carries; false when it
    // carries none (a folder, nothing selected).
    virtual bool DraggedInstrument(std::int32_t payload, std::string& path, int& program) = 0;
};
