// Brings the UI layer up for the life of the QApplication, in one call right after it is
// made (the program's main and the Qt test main do it): the locale rule, the registered
// messages, the real timer service, the command window for posted commands, the command
// actions, the idle pass on the event loop, the key-state query and the main window's
// accelerators. Taken down in reverse order before the QApplication goes.
#pragma once

#include <memory>

namespace platform {

class UiLayer {
public:
    UiLayer();
    ~UiLayer();
    UiLayer(const UiLayer&) = delete;
    UiLayer& operator=(const UiLayer&) = delete;

    static bool IsUp();

private:
    struct Parts;
    std::unique_ptr<Parts> m_parts;
};

}  // namespace platform
