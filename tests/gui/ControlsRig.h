// Shared pieces of the control tests: a control that records what happens to it, and a window
// port and target that record what the core asks of the window.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gui/XControl.h"
#include "gui/XGraphic.h"
#include "gui/XWindowPort.h"
#include "tests/gui/support/ReferenceImage.h"

namespace controlsrig {

// One log shared by several probes, so tests can check the order of calls across controls.
using Log = std::vector<std::string>;

inline std::string Pt(int x, int y)
{
    return std::to_string(x) + "," + std::to_string(y);
}

class Probe : public XControl {
public:
    Probe(Log* log, std::string name, int x, int y, int w, int h)
        : XControl(x, y, w, h), log_(log), name_(std::move(name))
    {
    }
    ~Probe() override
    {
        if (destroyed) *destroyed = true;
    }

    bool takesPress = false, takesDouble = false, takesWheel = false, takesKeys = false;
    bool acceptsDrop = false;
    bool* destroyed = nullptr;
    XMouse lastMouse;

    void Draw(XGraphic* g) override
    {
        Note("Draw");
        XControl::Draw(g);
    }
    bool MouseDown(XMouse* m) override
    {
        lastMouse = *m;
        return Note("MouseDown " + Pt(m->LocalPressX(), m->LocalPressY()), takesPress);
    }
    void MouseDrag(XMouse* m) override { Note("MouseDrag " + Pt(m->LocalX(), m->LocalY())); }
    void MouseUp(XMouse* m) override { Note("MouseUp"); }
    bool DoubleClick(int x, int y) override { return Note("DoubleClick " + Pt(x, y), takesDouble); }
    bool Wheel(int, int, int dx, int dy) override
    {
        return Note("Wheel " + Pt(dx, dy), takesWheel);
    }
    void MouseEnter() override { Note("Enter"); }
    void MouseLeave() override { Note("Leave"); }
    bool KeyDown(XKey* k) override { return Note("Key " + Pt(k->character, k->code), takesKeys); }
    bool AcceptDrop(XControl*, std::int32_t) override { return acceptsDrop; }
    void DragEnter(XControl*, std::int32_t) override { Note("DragEnter"); }
    void DragLeave(XControl*, std::int32_t) override { Note("DragLeave"); }
    void Drop(XControl*, std::int32_t p) override { Note("Drop " + std::to_string(p)); }
    void Blink(int phase) override { Note("Blink " + std::to_string(phase)); }
    void Hover(int, int) override { Note("Hover"); }

    bool Note(const std::string& what, bool answer = false)
    {
        if (log_) log_->push_back(name_ + " " + what);
        return answer;
    }

private:
    Log* log_;
    std::string name_;
};

// Keeps what a surface presents.
struct RecordingTarget : XTarget {
    void Put(const std::uint32_t* p, int w, int h, int, int) override
    {
        ++puts;
        width = w;
        height = h;
        pixels.assign(p, p + static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
    }
    int puts = 0, width = 0, height = 0;
    std::vector<std::uint32_t> pixels;
};

struct FakePort : XWindowPort {
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
    std::string ClipboardText() override { return {}; }
    void SetClipboardText(std::string_view) override {}

    int timerPeriod = 0, focusRequests = 0;
    bool captured = false;
    RecordingTarget target;
};

// Draws a whole tree into a surface of the root's size (kept when the size is the same), ready
// to be compared with a reference.
inline void DrawAll(XControl& root, XGraphic& g, bool force = true)
{
    testsupport::RecordTextForReference(g);
    g.Begin(nullptr, root.Width(), root.Height());
    root.DrawTree(&g, force);
}

}  // namespace controlsrig
