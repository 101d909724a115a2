// The pointer as a control sees it during a press: points in root coordinates plus the offset of
// the control that received it, so local = root point - offset.
#pragma once

#include <cstdint>

struct XMouse {
    int offsetX = 0;
    int offsetY = 0;
    int pressX = 0;
    int pressY = 0;
    int currentX = 0;
    int currentY = 0;
    int button = 0;  // 0 left, 1 right
    bool shift = false;
    bool control = false;

    void Reset() { *this = XMouse {}; }
    int LocalPressX() const { return pressX - offsetX; }
    int LocalPressY() const { return pressY - offsetY; }
    int LocalX() const { return currentX - offsetX; }
    int LocalY() const { return currentY - offsetY; }
};
