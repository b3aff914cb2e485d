// What an update handler says about one command: enabled, checked and the text a menu item
// shows. The *Set flags tell the menu or tool bar which parts a handler decided.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace platform {

struct CommandUi {
    std::uint32_t id = 0;
    bool enabled = true;
    bool checked = false;
    std::string text;
    bool enabledSet = false;
    bool checkedSet = false;
    bool textSet = false;

    void Enable(bool on = true)
    {
        enabled = on;
        enabledSet = true;
    }
    void SetCheck(bool on = true)
    {
        checked = on;
        checkedSet = true;
    }
    void SetText(std::string value)
    {
        text = std::move(value);
        textSet = true;
    }
};

}  // namespace platform
