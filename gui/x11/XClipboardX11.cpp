#include "gui/x11/XClipboardX11.h"

#include <array>
#include <chrono>
#include <thread>

void XClipboardX11::Attach(xcb_connection_t* connection, xcb_window_t window)
{
    connection_ = connection;
    window_ = window;
    clipboard_ = Atom("CLIPBOARD");
    utf8_ = Atom("UTF8_STRING");
    targets_ = Atom("TARGETS");
    text_ = Atom("TEXT");
    incoming_ = Atom("MARLET_CLIPBOARD");
}

xcb_atom_t XClipboardX11::Atom(std::string_view name) const
{
    const XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection_,
        xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data()),
        nullptr));
    return reply ? reply->atom : 0;
}

void XClipboardX11::SetText(std::string_view text, xcb_timestamp_t time)
{
    own_.assign(text.substr(0, kMaxBytes));
    xcb_set_selection_owner(connection_, window_, clipboard_, time);
    xcb_flush(connection_);
    const XcbReply<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection_, xcb_get_selection_owner(connection_, clipboard_), nullptr));
    owns_ = owner && owner->owner == window_;
}

bool XClipboardX11::Handle(const xcb_generic_event_t& event)
{
    switch (event.response_type & 0x7f) {
        case XCB_SELECTION_REQUEST:
            Answer(reinterpret_cast<const xcb_selection_request_event_t&>(event));
            return true;
        case XCB_SELECTION_CLEAR:
            owns_ = false;
            own_.clear();
            return true;
        default:
            return false;
    }
}

void XClipboardX11::Answer(const xcb_selection_request_event_t& request)
{
    xcb_selection_notify_event_t notify {};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    // Old clients name no property: the target serves.
    const xcb_atom_t property = request.property ? request.property : request.target;
    notify.property = XCB_ATOM_NONE;
    if (owns_ && request.selection == clipboard_) {
        if (request.target == targets_) {
            const std::array<xcb_atom_t, 4> offered {targets_, utf8_, XCB_ATOM_STRING, text_};
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, request.requestor, property,
                                XCB_ATOM_ATOM, 32, offered.size(), offered.data());
            notify.property = property;
        } else if (request.target == utf8_ || request.target == XCB_ATOM_STRING ||
                   request.target == text_) {
            const xcb_atom_t type =
                request.target == XCB_ATOM_STRING ? xcb_atom_t {XCB_ATOM_STRING} : utf8_;
            xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, request.requestor, property,
                                type, 8, static_cast<std::uint32_t>(own_.size()), own_.data());
            notify.property = property;
        }
    }
    xcb_send_event(connection_, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&notify));
    xcb_flush(connection_);
}

std::string XClipboardX11::Text(xcb_timestamp_t time, std::deque<Event>& aside)
{
    if (owns_) return own_;
    xcb_delete_property(connection_, window_, incoming_);
    xcb_convert_selection(connection_, window_, clipboard_, utf8_, incoming_, time);
    xcb_flush(connection_);

    // The owner is another program that may be slow or hung: wait a bounded time, and keep
    // what else arrives meanwhile for the window.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
    bool answered = false;
    bool refused = false;
    while (!answered && std::chrono::steady_clock::now() < deadline) {
        Event event(xcb_poll_for_event(connection_));
        if (!event) {
            if (xcb_connection_has_error(connection_)) return {};
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            continue;
        }
        if ((event->response_type & 0x7f) == XCB_SELECTION_NOTIFY) {
            const auto& e = reinterpret_cast<const xcb_selection_notify_event_t&>(*event);
            if (e.requestor == window_ && e.selection == clipboard_) {
                answered = true;
                refused = e.property == XCB_ATOM_NONE;
                continue;
            }
        }
        if ((event->response_type & 0x7f) == XCB_SELECTION_REQUEST)
            Handle(*event);  // never keep another program waiting on us
        else
            aside.push_back(std::move(event));
    }
    if (!answered || refused) return {};
    const XcbReply<xcb_get_property_reply_t> reply(
        xcb_get_property_reply(connection_,
                               xcb_get_property(connection_, 1, window_, incoming_,
                                                XCB_GET_PROPERTY_TYPE_ANY, 0, kMaxBytes / 4),
                               nullptr));
    // Large transfers come in increments (INCR); the GUI's edit boxes take short texts, so
    // anything that is not plain text in one piece is given up.
    if (!reply || reply->format != 8 || (reply->type != utf8_ && reply->type != XCB_ATOM_STRING))
        return {};
    const auto* data = static_cast<const char*>(xcb_get_property_value(reply.get()));
    return std::string(data, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}
