#include "tools/marlet-host/XcbConnection.h"

#include <cstdlib>

std::unique_ptr<XcbConnection> XcbConnection::Open(std::string_view display, std::string& error)
{
    const std::string name(display);
    const char* env = std::getenv("DISPLAY");
    if (name.empty() && (!env || !*env)) {
        error = "no X display: DISPLAY is not set (run under a desktop session or xvfb-run)";
        return nullptr;
    }
    int screenNumber = 0;
    std::unique_ptr<XcbConnection> x(new XcbConnection());
    x->connection_ = xcb_connect(name.empty() ? nullptr : name.c_str(), &screenNumber);
    if (!x->connection_ || xcb_connection_has_error(x->connection_)) {
        error =
            "cannot connect to the X display \"" + (name.empty() ? std::string(env) : name) + "\"";
        return nullptr;
    }
    auto it = xcb_setup_roots_iterator(xcb_get_setup(x->connection_));
    for (int i = 0; i < screenNumber && it.rem; ++i) xcb_screen_next(&it);
    if (!it.rem || !it.data) {
        error = "the X display has no screen " + std::to_string(screenNumber);
        return nullptr;
    }
    x->screen_ = it.data;
    return x;
}

XcbConnection::~XcbConnection()
{
    if (connection_) xcb_disconnect(connection_);
}

xcb_atom_t XcbConnection::Atom(std::string_view name) const
{
    const auto cookie =
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data());
    const Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection_, cookie, nullptr));
    return reply ? reply->atom : xcb_atom_t {XCB_ATOM_NONE};
}

bool XcbConnection::Check(xcb_void_cookie_t cookie, std::string& error) const
{
    const Reply<xcb_generic_error_t> e(xcb_request_check(connection_, cookie));
    if (!e) return true;
    error = "X error " + std::to_string(e->error_code) + " (request " +
            std::to_string(e->major_code) + ")";
    return false;
}
