// Posting messages to windows from any thread, in place of PostMessage. A window enters
// the registry with a target that hands each message over to the window's own thread;
// once the window has left, messages to it are dropped.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/messages/Messages.h"

namespace platform {

// The receiving side of one window.
class IMessageTarget {
public:
    virtual ~IMessageTarget() = default;
    // Called on the posting thread, with the registry's read lock held: it must only hand
    // the message over (queue it for the window's thread) and must not call back into the
    // registry or wait for the window's thread.
    virtual void Deliver(const PostedMessage& message) = 0;
};

// Gives the window a fresh id (never reused while the process runs) under which messages
// reach `target`. kNoWindow for a null target.
WindowId AddMessageWindow(std::shared_ptr<IMessageTarget> target);

// The window is gone: once this returns, its target is never called again. Unknown ids
// are ignored. Must not be called from inside a Deliver.
void RemoveMessageWindow(WindowId window);

// Hands (message, wParam, lParam) to the window's target. False, and nothing done, for
// kNoWindow, kNoMessage, or a window that has been removed.
bool PostWindowMessage(WindowId window, MessageId message, std::uintptr_t wParam, std::intptr_t lParam);

}  // namespace platform
