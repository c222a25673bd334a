#pragma once
// Another X client for tests: its own connection, a focused window of its
// own, grabs and atoms of its own.

#include <cstdint>
#include <cstdlib>
#include <string>
#include <xcb/xcb.h>

class OtherClient {
public:
    OtherClient() : connection_(xcb_connect(nullptr, nullptr)) {
        screen_ = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
    }
    ~OtherClient() { xcb_disconnect(connection_); }
    xcb_connection_t* connection() const { return connection_; }
    xcb_window_t root() const { return screen_->root; }

    xcb_window_t MapFocusedWindow() {
        const xcb_window_t window = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen_->root, 10, 10, 200,
                          100, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen_->root_visual, 0, nullptr);
        xcb_map_window(connection_, window);
        xcb_set_input_focus(connection_, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
        return window;
    }
    xcb_window_t Focus() {
        auto* reply =
            xcb_get_input_focus_reply(connection_, xcb_get_input_focus(connection_), nullptr);
        const xcb_window_t focus = reply ? reply->focus : 0;
        std::free(reply);
        return focus;
    }
    // True when the server granted the grab.
    bool Grab(xcb_keycode_t keycode, std::uint16_t modifiers) {
        auto* error = xcb_request_check(
            connection_, xcb_grab_key_checked(connection_, 1, root(), modifiers, keycode,
                                              XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
        std::free(error);
        return error == nullptr;
    }
    void Ungrab(xcb_keycode_t keycode, std::uint16_t modifiers) {
        xcb_ungrab_key(connection_, keycode, root(), modifiers);
        xcb_flush(connection_);
    }
    xcb_keycode_t KeycodeOf(xcb_keysym_t keysym) {
        const xcb_setup_t* setup = xcb_get_setup(connection_);
        const auto count = static_cast<std::uint8_t>(setup->max_keycode - setup->min_keycode + 1);
        auto* mapping = xcb_get_keyboard_mapping_reply(
            connection_, xcb_get_keyboard_mapping(connection_, setup->min_keycode, count), nullptr);
        xcb_keycode_t found = 0;
        const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(mapping);
        for (int k = 0; k < count && found == 0; ++k)
            if (syms[k * mapping->keysyms_per_keycode] == keysym)
                found = static_cast<xcb_keycode_t>(setup->min_keycode + k);
        std::free(mapping);
        return found;
    }
    xcb_atom_t Atom(const std::string& name) {
        auto* reply = xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<std::uint16_t>(name.size()), name.data()),
            nullptr);
        const xcb_atom_t atom = reply ? reply->atom : 0;
        std::free(reply);
        return atom;
    }

private:
    xcb_connection_t* connection_;
    xcb_screen_t* screen_;
};
