// Whether a modal dialog or message box runs. While one runs the main window counts as
// disabled: its accelerators do nothing and the application's idle pass does not run, as
// under the system's modal loops.
#pragma once

namespace platform {

// True while a ModalScope exists or Qt shows an application-modal window.
bool IsModalRunning();
int ModalDepth();

// Marks a modal dialog or box for its lifetime.
class ModalScope {
public:
    ModalScope();
    ~ModalScope();
    ModalScope(const ModalScope&) = delete;
    ModalScope& operator=(const ModalScope&) = delete;
};

}  // namespace platform
