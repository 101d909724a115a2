#include "gui/x11/XWindowX11.h"

#include <sys/socket.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <utility>

#include "gui/XView.h"
#include "gui/XWinGui.h"

namespace {

constexpr std::uint32_t kEventMask =
    XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
    XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_ENTER_WINDOW |
    XCB_EVENT_MASK_LEAVE_WINDOW | XCB_EVENT_MASK_FOCUS_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
    XCB_EVENT_MASK_PROPERTY_CHANGE;

// The visual's pixel layout must be the back buffer's: 0x00RRGGBB in 32 bits.
bool TrueColor24(const xcb_screen_t& screen)
{
    for (auto depth = xcb_screen_allowed_depths_iterator(&screen); depth.rem;
         xcb_depth_next(&depth)) {
        if (depth.data->depth != screen.root_depth) continue;
        for (auto visual = xcb_depth_visuals_iterator(depth.data); visual.rem;
             xcb_visualtype_next(&visual)) {
            const xcb_visualtype_t& v = *visual.data;
            if (v.visual_id == screen.root_visual)
                return v._class == XCB_VISUAL_CLASS_TRUE_COLOR && v.red_mask == 0xff0000 &&
                       v.green_mask == 0xff00 && v.blue_mask == 0xff;
        }
    }
    return false;
}

// The server's screen `number`; null when it has none.
const xcb_screen_t* ScreenOf(xcb_connection_t* c, int number)
{
    auto it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < number && it.rem; ++i) xcb_screen_next(&it);
    return it.rem ? it.data : nullptr;
}

int ResourceScale(xcb_connection_t* c, const xcb_screen_t& screen)
{
    const XWindowX11::Reply<xcb_get_property_reply_t> resources(xcb_get_property_reply(
        c,
        xcb_get_property(c, 0, screen.root, XCB_ATOM_RESOURCE_MANAGER, XCB_ATOM_STRING, 0, 1 << 16),
        nullptr));
    if (!resources) return 1;
    const auto* text = static_cast<const char*>(xcb_get_property_value(resources.get()));
    return XWindowX11::ScaleForResources(std::string_view(
        text, static_cast<std::size_t>(xcb_get_property_value_length(resources.get()))));
}

}  // namespace

int XWindowX11::DisplayScale(std::string_view display)
{
    const std::string name(display);
    const char* env = std::getenv("DISPLAY");
    if (name.empty() && (!env || !*env)) return 1;
    int screenNumber = 0;
    xcb_connection_t* c = xcb_connect(name.empty() ? nullptr : name.c_str(), &screenNumber);
    const xcb_screen_t* screen = xcb_connection_has_error(c) ? nullptr : ScreenOf(c, screenNumber);
    const int scale = screen ? ResourceScale(c, *screen) : 1;
    xcb_disconnect(c);
    return scale;
}

std::unique_ptr<XWindowX11> XWindowX11::Open(XWinGui& gui, std::uintptr_t parent,
                                             std::string_view display, int scale)
{
    std::unique_ptr<XWindowX11> window(new XWindowX11(gui));
    if (!gui.RootView()) {
        window->Log("*** XWindowX11::Open() without a root view ***\r\n");
        return nullptr;
    }
    if (!window->Connect(display) || !window->Create(parent, scale)) return nullptr;
    gui.SetPort(window.get());
    gui.SetWindow(window->window_);
    window->attached_ = true;
    return window;
}

bool XWindowX11::Connect(std::string_view display)
{
    const std::string name(display);
    const char* env = std::getenv("DISPLAY");
    if (name.empty() && (!env || !*env)) {
        Log("XWindowX11::Open() no DISPLAY\r\n");
        return false;
    }
    int screenNumber = 0;
    connection_ = xcb_connect(name.empty() ? nullptr : name.c_str(), &screenNumber);
    if (xcb_connection_has_error(connection_)) {
        Log("XWindowX11::Open() cannot connect to %s\r\n", name.empty() ? env : name.c_str());
        return false;
    }
    screen_ = ScreenOf(connection_, screenNumber);
    if (!screen_) {
        Log("XWindowX11::Open() no screen %d\r\n", screenNumber);
        return false;
    }
    if (!TrueColor24(*screen_)) {
        Log("XWindowX11::Open() the screen is not 24-bit TrueColor\r\n");
        return false;
    }
    swapBytes_ = xcb_get_setup(connection_)->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    // In bytes, less the request's header; more than 64 MB a request gains nothing.
    const std::uint64_t units = xcb_get_maximum_request_length(connection_);
    maxPutBytes_ = static_cast<std::uint32_t>(
        std::clamp<std::uint64_t>(units * 4, 4096, std::uint64_t {64} << 20) - 64);
    return true;
}

bool XWindowX11::Create(std::uintptr_t parent, int scale)
{
    xcb_connection_t* c = connection_;
    const auto parentId = static_cast<xcb_window_t>(parent);
    xcb_generic_error_t* rawError = nullptr;
    const Reply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(c, xcb_get_geometry(c, parentId), &rawError));
    std::free(rawError);
    if (!geometry || parent == 0 || parent > 0xffffffffu) {
        Log("XWindowX11::Open() no parent window 0x%lx\r\n", static_cast<unsigned long>(parent));
        return false;
    }

    scale_ = scale == 1 || scale == 2 ? scale : ResourceScale(c, *screen_);
    const XView* root = gui_.RootView();
    width_ = std::clamp(root->Width() * scale_, 1, XGraphic::kMaxSide);
    height_ = std::clamp(root->Height() * scale_, 1, XGraphic::kMaxSide);

    // The host's window may have another visual (a 32-bit one, say): an own colormap and
    // border pixel make the child valid under any parent.
    colormap_ = xcb_generate_id(c);
    xcb_create_colormap(c, XCB_COLORMAP_ALLOC_NONE, colormap_, screen_->root, screen_->root_visual);
    window_ = xcb_generate_id(c);
    const std::array<std::uint32_t, 4> values {XCB_BACK_PIXMAP_NONE, 0, kEventMask, colormap_};
    const auto cookie = xcb_create_window_checked(
        c, screen_->root_depth, window_, parentId, 0, 0, static_cast<std::uint16_t>(width_),
        static_cast<std::uint16_t>(height_), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual,
        XCB_CW_BACK_PIXMAP | XCB_CW_BORDER_PIXEL | XCB_CW_EVENT_MASK | XCB_CW_COLORMAP,
        values.data());
    if (const Reply<xcb_generic_error_t> error {xcb_request_check(c, cookie)}) {
        Log("XWindowX11::Open() cannot create the window (X error %d)\r\n", error->error_code);
        window_ = 0;
        return false;
    }
    gc_ = xcb_generate_id(c);
    xcb_create_gc(c, gc_, window_, 0, nullptr);
    clipboard_.Attach(c, window_);
    keys_.Load(c);
    xcb_map_window(c, window_);
    xcb_flush(c);
    alive_ = !xcb_connection_has_error(c);
    Log("XWindowX11::Open(0x%x) window 0x%x %dx%d scale %d\r\n", parentId, window_, width_, height_,
        scale_);
    return alive_;
}

XWindowX11::XWindowX11(XWinGui& gui) : gui_(gui) {}

XWindowX11::~XWindowX11()
{
    menus_.CancelMenu();
    if (attached_) {
        gui_.SetPort(nullptr);
        gui_.SetWindow(0);
    }
    if (!connection_) return;
    if (alive_ && !xcb_connection_has_error(connection_)) {
        // The parent may be gone already; the server then answers with an error nobody reads.
        xcb_free_gc(connection_, gc_);
        xcb_destroy_window(connection_, window_);
        xcb_free_colormap(connection_, colormap_);
        xcb_flush(connection_);
    }
    xcb_disconnect(connection_);
}

int XWindowX11::ScaleForResources(std::string_view resources)
{
    constexpr std::string_view kKey = "Xft.dpi:";
    for (std::size_t at = 0; at < resources.size();) {
        const std::size_t end = std::min(resources.find('\n', at), resources.size());
        std::string_view line = resources.substr(at, end - at);
        at = end + 1;
        if (line.substr(0, kKey.size()) != kKey) continue;
        line.remove_prefix(kKey.size());
        while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
            line.remove_prefix(1);
        double dpi = 0;
        const auto [ptr, ec] = std::from_chars(line.data(), line.data() + line.size(), dpi);
        return ec == std::errc() ? ScaleForDpi(dpi) : 1;
    }
    return 1;
}

int XWindowX11::ConnectionFd() const
{
    return connection_ ? xcb_get_file_descriptor(connection_) : -1;
}

bool XWindowX11::CheckConnection()
{
    if (alive_ && xcb_connection_has_error(connection_)) GoInert("the X connection broke");
    return alive_;
}

void XWindowX11::GoInert(const char* why)
{
    if (!alive_) return;
    alive_ = false;
    menus_.CancelMenu();  // its window went with the connection or goes with it
    captured_ = false;
    deferred_.clear();
    Log("XWindowX11: %s; the window is inert\r\n", why);
}

bool XWindowX11::Idle()
{
    if (!CheckConnection()) return false;
    while (alive_) {
        // What a clipboard wait put aside came first and goes first, also when it was put aside
        // during this very loop.
        Event event;
        if (!deferred_.empty()) {
            event = std::move(deferred_.front());
            deferred_.pop_front();
        } else {
            event.reset(xcb_poll_for_event(connection_));
        }
        if (!event) break;
        Handle(*event);
    }
    if (!CheckConnection()) return false;
    gui_.PollTimer();
    if (alive_) xcb_flush(connection_);
    return CheckConnection();
}

void XWindowX11::Send(const XInput& input, xcb_window_t to)
{
    // The open menu's window holds the pointer and the keyboard: what comes to it is the menu's.
    if (menuWindow_ && to == menuWindow_)
        menus_.Input(input);
    else if (alive_)
        gui_.WindowProc(input);
}

void XWindowX11::Handle(const xcb_generic_event_t& event)
{
    if (clipboard_.Handle(event)) return;
    const int scale = scale_;
    XInput input;
    switch (event.response_type & 0x7f) {
        case 0: {
            // An error of a request that nobody checked. One about our window means it is gone.
            const auto& error = reinterpret_cast<const xcb_generic_error_t&>(event);
            if (error.error_code == XCB_WINDOW && error.resource_id == window_)
                GoInert("the window was destroyed");
            break;
        }
        case XCB_EXPOSE: {
            const auto& e = reinterpret_cast<const xcb_expose_event_t&>(event);
            if ((e.window != window_ && e.window != menuWindow_) || e.count != 0) break;
            input.kind = XInput::kPaint;
            Send(input, e.window);
            break;
        }
        case XCB_BUTTON_PRESS:
        case XCB_BUTTON_RELEASE: {
            const auto& e = reinterpret_cast<const xcb_button_press_event_t&>(event);
            const bool press = (event.response_type & 0x7f) == XCB_BUTTON_PRESS;
            lastTime_ = e.time;
            input.x = e.event_x / scale;
            input.y = e.event_y / scale;
            input.shift = (e.state & XCB_MOD_MASK_SHIFT) != 0;
            input.control = (e.state & XCB_MOD_MASK_CONTROL) != 0;
            switch (e.detail) {
                case 1:
                    input.kind = press ? XInput::kLeftDown : XInput::kLeftUp;
                    break;
                case 3:
                    input.kind = press ? XInput::kRightDown : XInput::kRightUp;
                    break;
                case 4:
                case 5:
                case 6:
                case 7:
                    // The wheel is buttons 4 (away from the user) to 7 (right); one press a
                    // notch, the release means nothing.
                    if (!press) return;
                    input.kind = XInput::kWheel;
                    input.wheelY = e.detail == 4 ? 1 : e.detail == 5 ? -1 : 0;
                    input.wheelX = e.detail == 7 ? 1 : e.detail == 6 ? -1 : 0;
                    break;
                default:
                    return;
            }
            Send(input, e.event);
            break;
        }
        case XCB_MOTION_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
            input.kind = XInput::kMouseMove;
            input.x = e.event_x / scale;
            input.y = e.event_y / scale;
            input.shift = (e.state & XCB_MOD_MASK_SHIFT) != 0;
            input.control = (e.state & XCB_MOD_MASK_CONTROL) != 0;
            Send(input, e.event);
            break;
        }
        case XCB_ENTER_NOTIFY:
        case XCB_LEAVE_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_enter_notify_event_t&>(event);
            // The grab of a pressed button brings its own crossings; they are not the pointer
            // leaving.
            if (e.mode != XCB_NOTIFY_MODE_NORMAL) break;
            input.kind = (event.response_type & 0x7f) == XCB_ENTER_NOTIFY ? XInput::kMouseMove
                                                                          : XInput::kMouseLeave;
            input.x = e.event_x / scale;
            input.y = e.event_y / scale;
            Send(input, window_);
            break;
        }
        case XCB_FOCUS_IN:
        case XCB_FOCUS_OUT: {
            const auto& e = reinterpret_cast<const xcb_focus_in_event_t&>(event);
            if (e.mode == XCB_NOTIFY_MODE_GRAB || e.mode == XCB_NOTIFY_MODE_UNGRAB) break;
            input.kind =
                (event.response_type & 0x7f) == XCB_FOCUS_IN ? XInput::kFocusIn : XInput::kFocusOut;
            Send(input, window_);
            break;
        }
        case XCB_KEY_PRESS: {
            const auto& e = reinterpret_cast<const xcb_key_press_event_t&>(event);
            lastTime_ = e.time;
            if (keys_.Translate(e.detail, e.state, input)) Send(input, e.event);
            break;
        }
        case XCB_CONFIGURE_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
            if (e.window != window_) break;
            input.kind = XInput::kWindowMoved;
            input.x = e.x;
            input.y = e.y;
            Send(input, window_);
            break;
        }
        case XCB_DESTROY_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
            if (e.window == window_) GoInert("the window was destroyed with its parent");
            break;
        }
        case XCB_UNMAP_NOTIFY:
            captured_ = false;
            break;
        case XCB_MAPPING_NOTIFY: {
            const auto& e = reinterpret_cast<const xcb_mapping_notify_event_t&>(event);
            if (e.request == XCB_MAPPING_KEYBOARD) keys_.Load(connection_);
            break;
        }
        default:
            break;
    }
}

void XWindowX11::StartTimer(int)
{
    // Ticks come from the host's idle calls (PollTimer), which the core paces itself.
    timerRunning_ = true;
}

void XWindowX11::StopTimer()
{
    timerRunning_ = false;
}

void XWindowX11::CaptureMouse()
{
    // X grabs the pointer for the window that got the press until the last button is up, so
    // drags outside the window already come here; an explicit grab could outlive a lost
    // release and lock the host's whole desktop.
    captured_ = alive_;
}

void XWindowX11::ReleaseMouse()
{
    captured_ = false;
}

void XWindowX11::TakeKeyboardFocus()
{
    if (!alive_) return;
    xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_PARENT, window_, lastTime_);
    xcb_flush(connection_);
}

bool XWindowX11::ScreenOrigin(int& x, int& y) const
{
    if (!alive_) return false;
    const Reply<xcb_translate_coordinates_reply_t> reply(xcb_translate_coordinates_reply(
        connection_, xcb_translate_coordinates(connection_, window_, screen_->root, 0, 0),
        nullptr));
    if (!reply) return false;
    x = reply->dst_x / scale_;
    y = reply->dst_y / scale_;
    return true;
}

void XWindowX11::Put(const std::uint32_t* pixels, int width, int height, int x, int y)
{
    PutScaled(window_, pixels, width, height, x, y);
}

void XWindowX11::PutScaled(xcb_window_t window, const std::uint32_t* pixels, int width, int height,
                           int x, int y)
{
    if (!CheckConnection() || !pixels || width <= 0 || height <= 0) return;
    if (scale_ == 1 && !swapBytes_) {
        PutRows(window, pixels, width, width, height, x, y);
        return;
    }
    const int w = width * scale_;
    scratch_.resize(static_cast<std::size_t>(w) * height * scale_);
    for (int row = 0; row < height * scale_; ++row) {
        const std::uint32_t* in = pixels + static_cast<std::size_t>(row / scale_) * width;
        std::uint32_t* out = scratch_.data() + static_cast<std::size_t>(row) * w;
        for (int col = 0; col < w; ++col) {
            const std::uint32_t p = in[col / scale_];
            out[col] = swapBytes_ ? __builtin_bswap32(p) : p;
        }
    }
    PutRows(window, scratch_.data(), w, w, height * scale_, x * scale_, y * scale_);
}

void XWindowX11::PutRows(xcb_window_t window, const std::uint32_t* pixels, int stride, int width,
                         int height, int x, int y)
{
    // One request may carry only so many bytes: large pictures go in bands of rows.
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    const int band = std::max(1, static_cast<int>(maxPutBytes_ / rowBytes));
    for (int top = 0; top < height; top += band) {
        const int rows = std::min(band, height - top);
        xcb_put_image(
            connection_, XCB_IMAGE_FORMAT_Z_PIXMAP, window, gc_, static_cast<std::uint16_t>(width),
            static_cast<std::uint16_t>(rows), static_cast<std::int16_t>(x),
            static_cast<std::int16_t>(y + top), 0, screen_->root_depth,
            static_cast<std::uint32_t>(rowBytes * rows),
            reinterpret_cast<const std::uint8_t*>(pixels + static_cast<std::size_t>(top) * stride));
    }
    xcb_flush(connection_);
}

void XWindowX11::SetClipboardText(std::string_view text)
{
    if (alive_) clipboard_.SetText(text, lastTime_);
}

std::string XWindowX11::ClipboardText()
{
    if (!CheckConnection()) return {};
    std::string text = clipboard_.Text(lastTime_, deferred_);
    CheckConnection();  // a connection that broke while it waited leaves the window inert
    return text;
}

bool XWindowX11::MenuArea(XRect& area)
{
    if (!CheckConnection()) return false;
    area = XRect::FromSize(0, 0, screen_->width_in_pixels / scale_,
                           screen_->height_in_pixels / scale_);
    return true;
}

bool XWindowX11::OpenMenuWindow(int x, int y, int width, int height)
{
    menuWindow_ = xcb_generate_id(connection_);
    const std::uint32_t values[] = {screen_->black_pixel, 1,
                                    XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_BUTTON_PRESS |
                                        XCB_EVENT_MASK_BUTTON_RELEASE |
                                        XCB_EVENT_MASK_POINTER_MOTION | XCB_EVENT_MASK_KEY_PRESS};
    xcb_create_window(connection_, screen_->root_depth, menuWindow_, screen_->root,
                      static_cast<std::int16_t>(x * scale_), static_cast<std::int16_t>(y * scale_),
                      static_cast<std::uint16_t>(width * scale_),
                      static_cast<std::uint16_t>(height * scale_), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen_->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    xcb_map_window(connection_, menuWindow_);
    // Every press, also one outside the menu, comes to the menu; keys too.
    const Reply<xcb_grab_pointer_reply_t> pointer(xcb_grab_pointer_reply(
        connection_,
        xcb_grab_pointer(connection_, 0, menuWindow_,
                         XCB_EVENT_MASK_BUTTON_PRESS | XCB_EVENT_MASK_BUTTON_RELEASE |
                             XCB_EVENT_MASK_POINTER_MOTION,
                         XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC, XCB_NONE, XCB_NONE,
                         XCB_CURRENT_TIME),
        nullptr));
    if (!pointer || pointer->status != XCB_GRAB_STATUS_SUCCESS)
        Log("XWindowX11: the menu could not take the pointer\r\n");
    const Reply<xcb_grab_keyboard_reply_t> keyboard(
        xcb_grab_keyboard_reply(connection_,
                                xcb_grab_keyboard(connection_, 1, menuWindow_, XCB_CURRENT_TIME,
                                                  XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
                                nullptr));
    if (!keyboard || keyboard->status != XCB_GRAB_STATUS_SUCCESS)
        Log("XWindowX11: the menu could not take the keyboard\r\n");
    return CheckConnection();
}

void XWindowX11::PutMenuPixels(const std::uint32_t* pixels, int width, int height)
{
    PutScaled(menuWindow_, pixels, width, height, 0, 0);
}

void XWindowX11::CloseMenuWindow()
{
    const xcb_window_t menu = std::exchange(menuWindow_, 0);
    if (!alive_ || xcb_connection_has_error(connection_)) return;
    xcb_ungrab_pointer(connection_, XCB_CURRENT_TIME);
    xcb_ungrab_keyboard(connection_, XCB_CURRENT_TIME);
    xcb_destroy_window(connection_, menu);
    xcb_flush(connection_);
}
