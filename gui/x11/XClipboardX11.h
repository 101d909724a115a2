// The CLIPBOARD selection of an X window: the text we copied, handed to every program that asks
// for it, and the text another program holds, asked for with a bounded wait.
#pragma once

#include <xcb/xcb.h>

#include <cstddef>
#include <deque>
#include <string>
#include <string_view>

#include "gui/x11/XcbReply.h"

class XClipboardX11 {
public:
    using Event = XcbReply<xcb_generic_event_t>;

    // How long Text waits for another program to hand over the clipboard.
    static constexpr int kWaitMs = 100;
    static constexpr std::size_t kMaxBytes = 1 << 20;

    // Interns the atoms it needs; `window` owns our selection and receives the answers.
    void Attach(xcb_connection_t* connection, xcb_window_t window);

    // Takes the clipboard with `text` (cut to kMaxBytes) at the server time `time`.
    void SetText(std::string_view text, xcb_timestamp_t time);
    // The clipboard's text: ours, or the owner's when it answers within kWaitMs with plain text
    // in one piece; empty otherwise. Requests for our selection meanwhile are answered at once;
    // every other event that arrives is appended to `aside` for the window to handle later.
    std::string Text(xcb_timestamp_t time, std::deque<Event>& aside);
    // Another program's request for our selection, or the news that we lost it: true when
    // `event` was one of them.
    bool Handle(const xcb_generic_event_t& event);

private:
    xcb_atom_t Atom(std::string_view name) const;
    void Answer(const xcb_selection_request_event_t& request);

    xcb_connection_t* connection_ = nullptr;
    xcb_window_t window_ = 0;
    xcb_atom_t clipboard_ = 0, utf8_ = 0, targets_ = 0, text_ = 0, incoming_ = 0;
    std::string own_;
    bool owns_ = false;
};
