// The seam where tests take over modal interaction: while a hook is installed, message boxes
// are answered by it and modal dialogs are run by it instead of by the user.
#pragma once

#include "platform/ui/core/MessageBox.h"

namespace platform {

class Dialog;

class IModalHook {
public:
    virtual ~IModalHook() = default;
    // Answers the box (its icon already resolved by the default-icon rule).
    virtual MessageAnswer OnMessageBox(const MessageBoxRequest& request) = 0;
    // Runs a modal dialog that is built and initialised but not shown; returns its end code
    // (the hook may click, type, end it or run its modal loop).
    virtual int OnModalDialog(Dialog& dialog) = 0;
};

// Null when none is installed.
IModalHook* CurrentModalHook();

// Installs `hook` for its lifetime (nests; restores the previous one).
class ScopedModalHook {
public:
    explicit ScopedModalHook(IModalHook& hook);
    ~ScopedModalHook();
    ScopedModalHook(const ScopedModalHook&) = delete;
    ScopedModalHook& operator=(const ScopedModalHook&) = delete;

private:
    IModalHook* m_previous;
};

}  // namespace platform
