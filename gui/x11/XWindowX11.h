// The editor's window on X11: a child of the host's window on a connection of its own, which
// turns X events into input records for XWinGui and shows the back buffer with xcb_put_image.
// XCB rather than Xlib, because Xlib's process-wide error handler could end the host's process
// when the host destroys its window before ours.
//
// Everything runs on the thread that calls Open, Idle and the destructor (the host's editor
// thread). When the parent window is destroyed first or the connection dies, the window goes
// inert: Idle answers false and every other call does nothing.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "gui/XGraphic.h"
#include "gui/XMenuWindow.h"
#include "gui/XWindowPort.h"
#include "gui/x11/XClipboardX11.h"
#include "gui/x11/XKeyMapX11.h"
#include "gui/x11/XcbReply.h"
#include "platform/QelLog.h"

class XWinGui;

class XWindowX11 final : public XWindowPort,
                         public XTarget,
                         private XMenuWindow::System,
                         public QelLog {
public:
    template <typename T>
    using Reply = XcbReply<T>;

    // Connects to `display` (empty: $DISPLAY) and creates a child window of `parent` at the size
    // of the gui's root view (times the scale), shown. The gui gets this window as its port and
    // its window handle. Null, with a log line, when there is no display, the parent does not
    // exist, the gui has no root view or the screen is not 24-bit TrueColor.
    // `scale` 1 or 2 fixes the scale; 0 reads it from the X resources.
    static std::unique_ptr<XWindowX11> Open(XWinGui& gui, std::uintptr_t parent,
                                            std::string_view display = {}, int scale = 0);
    // Detaches from the gui, destroys the child window (when it still exists) and disconnects.
    ~XWindowX11() override;
    XWindowX11(const XWindowX11&) = delete;
    XWindowX11& operator=(const XWindowX11&) = delete;

    // The host's idle call: handles what the server sent and ticks the gui (PollTimer). False
    // once the window is inert.
    bool Idle();
    bool Alive() const { return alive_; }
    std::uint32_t WindowId() const { return window_; }
    // The connection's socket, for hosts that wait on it (and for tests that cut it).
    int ConnectionFd() const;
    // Pixels per pixel of the root view: 2 when the X resources say Xft.dpi >= 144, else 1.
    int Scale() const { return scale_; }
    static int ScaleForResources(std::string_view resources);
    // The scale the X resources of `display` ask for (1 without a display). A host's editor
    // reports its size before it opens a window, so it asks this once and passes the answer to
    // every Open: the editor's size then never changes under the host.
    static int DisplayScale(std::string_view display = {});

    // XWindowPort
    void StartTimer(int periodMs) override;
    void StopTimer() override;
    void CaptureMouse() override;
    void ReleaseMouse() override;
    bool HasMouseCapture() const override { return captured_; }
    void TakeKeyboardFocus() override;
    bool ScreenOrigin(int& x, int& y) const override;
    XTarget* Target() override { return alive_ ? this : nullptr; }
    std::string ClipboardText() override;
    void SetClipboardText(std::string_view text) override;

    // A menu is a window of its own over everything (override-redirect), holding the pointer
    // and the keyboard while it is open; presses outside it end it. Its events are handled by
    // Idle like the editor's.
    XMenuHost* MenuHost() override { return alive_ ? &menus_ : nullptr; }

    // XTarget
    void Put(const std::uint32_t* pixels, int width, int height, int x, int y) override;

    // The open menu's window, 0 when none (for tests).
    std::uint32_t MenuWindowId() const { return menuWindow_; }

private:
    using Event = XClipboardX11::Event;

    explicit XWindowX11(XWinGui& gui);
    bool Connect(std::string_view display);
    bool Create(std::uintptr_t parent, int scale);
    void Handle(const xcb_generic_event_t& event);
    // To the open menu when `to` is its window, else to the gui.
    void Send(const XInput& input, xcb_window_t to);
    void GoInert(const char* why);
    bool CheckConnection();
    // Pixels of the gui's size (times the scale on the way) into `window`, sent at once.
    void PutScaled(xcb_window_t window, const std::uint32_t* pixels, int width, int height, int x,
                   int y);
    void PutRows(xcb_window_t window, const std::uint32_t* pixels, int stride, int width,
                 int height, int x, int y);

    // XMenuWindow::System
    bool MenuArea(XRect& area) override;
    bool OpenMenuWindow(int x, int y, int width, int height) override;
    void PutMenuPixels(const std::uint32_t* pixels, int width, int height) override;
    void CloseMenuWindow() override;

    XWinGui& gui_;
    xcb_connection_t* connection_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
    xcb_window_t window_ = 0;
    xcb_gcontext_t gc_ = 0;
    xcb_colormap_t colormap_ = 0;
    bool alive_ = false;
    bool attached_ = false;
    bool timerRunning_ = false;
    bool captured_ = false;
    bool swapBytes_ = false;
    int scale_ = 1;
    int width_ = 0;
    int height_ = 0;
    std::uint32_t maxPutBytes_ = 0;
    std::vector<std::uint32_t> scratch_;  // scaled or byte-swapped rows on their way out

    XKeyMapX11 keys_;
    XClipboardX11 clipboard_;
    // Events that arrived while ClipboardText waited; handled at the next Idle.
    std::deque<Event> deferred_;
    xcb_timestamp_t lastTime_ = XCB_CURRENT_TIME;
    xcb_window_t menuWindow_ = 0;
    XMenuWindow menus_ {*this};
};
