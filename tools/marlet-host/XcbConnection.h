// One connection to the X server through XCB, owned, plus the small helpers the editor command
// needs around it: replies held in unique_ptrs, atoms by name, the root window and its depth.
#pragma once

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <string_view>

class XcbConnection {
public:
    struct FreeDeleter {
        void operator()(void* p) const { std::free(p); }
    };
    // XCB replies and errors are malloc'ed; the caller frees them.
    template <typename T>
    using Reply = std::unique_ptr<T, FreeDeleter>;

    // Connects to `display` (empty: $DISPLAY). Returns null and sets `error` when no display is
    // given or the server cannot be reached.
    static std::unique_ptr<XcbConnection> Open(std::string_view display, std::string& error);

    ~XcbConnection();
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;

    xcb_connection_t* Get() const { return connection_; }
    const xcb_screen_t& Screen() const { return *screen_; }
    // The connection broke (server gone, protocol error on the wire): nothing more will work.
    bool Broken() const { return xcb_connection_has_error(connection_) != 0; }

    xcb_atom_t Atom(std::string_view name) const;
    // Sends a checked request's cookie round and tells whether the server refused it.
    bool Check(xcb_void_cookie_t cookie, std::string& error) const;

private:
    XcbConnection() = default;
    xcb_connection_t* connection_ = nullptr;
    const xcb_screen_t* screen_ = nullptr;
};
