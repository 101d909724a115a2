#include "tools/marlet-host/EditorWindow.h"

#include <array>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace {

// WM_NORMAL_HINTS with equal minimum and maximum: VST 2 editors have a fixed size.
void SetFixedSize(const XcbConnection& x, xcb_window_t window, int width, int height)
{
    constexpr std::uint32_t kMinSize = 1u << 4, kMaxSize = 1u << 5;
    std::array<std::uint32_t, 18> hints {};
    hints[0] = kMinSize | kMaxSize;
    hints[5] = hints[7] = static_cast<std::uint32_t>(width);
    hints[6] = hints[8] = static_cast<std::uint32_t>(height);
    xcb_change_property(x.Get(), XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NORMAL_HINTS,
                        XCB_ATOM_WM_SIZE_HINTS, 32, hints.size(), hints.data());
}

}  // namespace

EditorWindow::EditorWindow(const XcbConnection& x, int width, int height, std::string_view title)
    : x_(x), width_(width), height_(height)
{
    xcb_connection_t* c = x.Get();
    const xcb_screen_t& screen = x.Screen();
    window_ = xcb_generate_id(c);
    const std::uint32_t mask = XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK;
    const std::array<std::uint32_t, 2> values {
        screen.black_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_EXPOSURE};
    const auto cookie = xcb_create_window_checked(
        c, XCB_COPY_FROM_PARENT, window_, screen.root, 0, 0, static_cast<std::uint16_t>(width),
        static_cast<std::uint16_t>(height), 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen.root_visual,
        mask, values.data());
    std::string error;
    if (!x.Check(cookie, error)) {
        window_ = 0;
        throw std::runtime_error("cannot create the editor window: " + error);
    }
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(title.size()), title.data());
    const xcb_atom_t protocols = x.Atom("WM_PROTOCOLS");
    deleteWindow_ = x.Atom("WM_DELETE_WINDOW");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window_, protocols, XCB_ATOM_ATOM, 32, 1,
                        &deleteWindow_);
    SetFixedSize(x, window_, width, height);
    xcb_flush(c);
}

EditorWindow::~EditorWindow()
{
    if (!window_ || x_.Broken()) return;
    xcb_destroy_window(x_.Get(), window_);
    xcb_flush(x_.Get());
}

void EditorWindow::Resize(int width, int height)
{
    width_ = width;
    height_ = height;
    const std::array<std::uint32_t, 2> size {static_cast<std::uint32_t>(width),
                                             static_cast<std::uint32_t>(height)};
    xcb_configure_window(x_.Get(), window_, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         size.data());
    SetFixedSize(x_, window_, width, height);
    xcb_flush(x_.Get());
}

void EditorWindow::Show()
{
    xcb_map_window(x_.Get(), window_);
    xcb_flush(x_.Get());
    // Polled rather than waited for, so a server that never answers cannot hang the host.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(1);
    while (std::chrono::steady_clock::now() < deadline && !x_.Broken()) {
        const XcbConnection::Reply<xcb_get_window_attributes_reply_t> attributes(
            xcb_get_window_attributes_reply(x_.Get(), xcb_get_window_attributes(x_.Get(), window_),
                                            nullptr));
        if (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

bool EditorWindow::Pump()
{
    while (const XcbConnection::Reply<xcb_generic_event_t> event {xcb_poll_for_event(x_.Get())}) {
        if ((event->response_type & 0x7f) != XCB_CLIENT_MESSAGE) continue;
        const auto* message = reinterpret_cast<const xcb_client_message_event_t*>(event.get());
        if (message->window == window_ && message->format == 32 &&
            message->data.data32[0] == deleteWindow_)
            closeAsked_ = true;
    }
    return !closeAsked_ && !x_.Broken();
}

bool EditorWindow::RootOrigin(int& x, int& y) const
{
    const XcbConnection::Reply<xcb_translate_coordinates_reply_t> reply(
        xcb_translate_coordinates_reply(
            x_.Get(), xcb_translate_coordinates(x_.Get(), window_, x_.Screen().root, 0, 0),
            nullptr));
    if (!reply) return false;
    x = reply->dst_x;
    y = reply->dst_y;
    return true;
}
