#include "tools/marlet-host/XTestInput.h"

#include <xcb/xtest.h>

#include <algorithm>
#include <iostream>
#include <stdexcept>

#include "tools/marlet-host/EditorWindow.h"

namespace {

constexpr std::uint32_t kShiftL = 0xffe1;

}  // namespace

XTestInput::XTestInput(const XcbConnection& x) : x_(x)
{
    xcb_connection_t* c = x.Get();
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_test_id);
    if (!extension || !extension->present)
        throw std::runtime_error("the X server has no XTest extension to send the actions with");
    const xcb_setup_t* setup = xcb_get_setup(c);
    firstKeyCode_ = setup->min_keycode;
    const int count = setup->max_keycode - setup->min_keycode + 1;
    const XcbConnection::Reply<xcb_get_keyboard_mapping_reply_t> mapping(
        xcb_get_keyboard_mapping_reply(
            c, xcb_get_keyboard_mapping(c, firstKeyCode_, static_cast<std::uint8_t>(count)),
            nullptr));
    if (mapping) {
        keysymsPerCode_ = mapping->keysyms_per_keycode;
        const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(mapping.get());
        keymap_.assign(keysyms, keysyms + xcb_get_keyboard_mapping_keysyms_length(mapping.get()));
    }
}

xcb_keycode_t XTestInput::KeyCode(std::uint32_t keysym, bool& shifted) const
{
    if (keysymsPerCode_ <= 0) return 0;
    const std::size_t codes = keymap_.size() / static_cast<std::size_t>(keysymsPerCode_);
    for (int column = 0; column < std::min(keysymsPerCode_, 2); ++column) {
        for (std::size_t i = 0; i < codes; ++i) {
            if (keymap_[i * keysymsPerCode_ + column] == keysym) {
                shifted = column == 1;
                return static_cast<xcb_keycode_t>(firstKeyCode_ + i);
            }
        }
    }
    return 0;
}

void XTestInput::Key(std::uint32_t keysym, bool press)
{
    bool shifted = false;
    const xcb_keycode_t code = KeyCode(keysym, shifted);
    if (!code) {
        std::cerr << "marlet-host: note: no key gives keysym 0x" << std::hex << keysym << std::dec
                  << "; skipped\n";
        return;
    }
    xcb_connection_t* c = x_.Get();
    const xcb_window_t root = x_.Screen().root;
    bool unused = false;
    const xcb_keycode_t shift = KeyCode(kShiftL, unused);
    if (press && shifted && shift) {
        xcb_test_fake_input(c, XCB_KEY_PRESS, shift, XCB_CURRENT_TIME, root, 0, 0, 0);
        shiftAdded_ = true;
    }
    xcb_test_fake_input(c, press ? XCB_KEY_PRESS : XCB_KEY_RELEASE, code, XCB_CURRENT_TIME, root, 0,
                        0, 0);
    if (!press && shiftAdded_ && shift) {
        xcb_test_fake_input(c, XCB_KEY_RELEASE, shift, XCB_CURRENT_TIME, root, 0, 0, 0);
        shiftAdded_ = false;
    }
}

void XTestInput::Move(const EditorWindow& window, int x, int y)
{
    xcb_connection_t* c = x_.Get();
    const xcb_window_t root = x_.Screen().root;
    const XcbConnection::Reply<xcb_translate_coordinates_reply_t> at(
        xcb_translate_coordinates_reply(
            c,
            xcb_translate_coordinates(c, static_cast<xcb_window_t>(window.Handle()), root,
                                      static_cast<std::int16_t>(x), static_cast<std::int16_t>(y)),
            nullptr));
    if (!at) return;
    xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, root, at->dst_x, at->dst_y, 0);
}

void XTestInput::Button(std::uint32_t button, bool press)
{
    xcb_test_fake_input(x_.Get(), press ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE,
                        static_cast<std::uint8_t>(button), XCB_CURRENT_TIME, x_.Screen().root, 0, 0,
                        0);
}

void XTestInput::Flush()
{
    xcb_flush(x_.Get());
}
