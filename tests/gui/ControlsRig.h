// Shared pieces of the control tests: a control that records what happens to it, and a window
// port and target that record what the core asks of the window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/XControl.h"
#include "gui/XGraphic.h"
#include "gui/XView.h"
#include "gui/XWindowPort.h"

namespace controlsrig {

// One log shared by several probes, so tests can check the order of calls across controls.
using Log = std::vector<std::string>;

class Probe : public XControl {
public:
    Probe(Log* log, std::string name, int x, int y, int w, int h)
        : XControl(x, y, w, h), log_(log), name_(std::move(name))
    {
    }
    ~Probe() override
    {
        if (destroyed_) *destroyed_ = true;
    }

    bool takesPress = false;
    bool takesDouble = false;
    bool takesWheel = false;
    bool takesKeys = false;
    bool acceptsDrop = false;
    bool* destroyed_ = nullptr;
    XMouse lastMouse;
    int draws = 0;

    void Draw(XGraphic* g) override
    {
        ++draws;
        Note("Draw");
        XControl::Draw(g);
    }
    bool MouseDown(XMouse* m) override
    {
        lastMouse = *m;
        Note("MouseDown " + std::to_string(m->LocalPressX()) + "," +
             std::to_string(m->LocalPressY()));
        return takesPress;
    }
    void MouseDrag(XMouse* m) override
    {
        lastMouse = *m;
        Note("MouseDrag " + std::to_string(m->LocalX()) + "," + std::to_string(m->LocalY()));
    }
    void MouseUp(XMouse* m) override
    {
        lastMouse = *m;
        Note("MouseUp");
    }
    bool DoubleClick(int x, int y) override
    {
        Note("DoubleClick " + std::to_string(x) + "," + std::to_string(y));
        return takesDouble;
    }
    bool Wheel(int, int, int dx, int dy) override
    {
        Note("Wheel " + std::to_string(dx) + "," + std::to_string(dy));
        return takesWheel;
    }
    void MouseEnter() override { Note("Enter"); }
    void MouseLeave() override { Note("Leave"); }
    bool KeyDown(XKey* key) override
    {
        Note("Key " + std::to_string(key->character) + "/" + std::to_string(key->code));
        return takesKeys;
    }
    bool AcceptDrop(XControl*, std::int32_t) override { return acceptsDrop; }
    void DragEnter(XControl*, std::int32_t p) override { Note("DragEnter " + std::to_string(p)); }
    void DragLeave(XControl*, std::int32_t p) override { Note("DragLeave " + std::to_string(p)); }
    void Drop(XControl*, std::int32_t p) override { Note("Drop " + std::to_string(p)); }
    void Blink(int phase) override { Note("Blink " + std::to_string(phase)); }
    void Hover(int, int) override { Note("Hover"); }

    void Note(const std::string& what)
    {
        if (log_) log_->push_back(name_ + " " + what);
    }

private:
    Log* log_;
    std::string name_;
};

// Collects what a surface presents.
class RecordingTarget : public XTarget {
public:
    void Put(const std::uint32_t* pixels, int width, int height, int x, int y) override
    {
        ++puts;
        this->width = width;
        this->height = height;
        this->pixels.assign(pixels, pixels + static_cast<std::size_t>(width) * height);
    }
    int puts = 0;
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

class FakePort : public XWindowPort {
public:
    void StartTimer(int periodMs) override { timerPeriod = periodMs; }
    void StopTimer() override { timerPeriod = 0; }
    void CaptureMouse() override { captured = true; }
    void ReleaseMouse() override { captured = false; }
    bool HasMouseCapture() const override { return captured; }
    void TakeKeyboardFocus() override { ++focusRequests; }
    bool ScreenOrigin(int& x, int& y) const override
    {
        x = 300;
        y = 200;
        return true;
    }
    XTarget* Target() override { return &target; }
    std::string ClipboardText() override { return clipboard; }
    void SetClipboardText(std::string_view text) override { clipboard = text; }

    int timerPeriod = 0;
    bool captured = false;
    int focusRequests = 0;
    std::string clipboard;
    RecordingTarget target;
};

// Draws a whole tree once into a fresh surface of the root's size.
inline void DrawAll(XControl& root, XGraphic& g, bool force = true)
{
    g.Begin(nullptr, root.Width(), root.Height());
    root.DrawTree(&g, force);
}

}  // namespace controlsrig
