// The editor's command chain on the UI thread: one router (active view, document, frame,
// application), sending a command at once and posting one to run after the current handler
// has returned.
#pragma once

#include <cstdint>

#include "platform/commands/CommandRouter.h"
#include "platform/messages/Messages.h"

namespace platform {

// The process-wide router (UI thread).
CommandRouter& Router();

// Runs a command now, as a menu pick would (a command its update handler disables is not
// run). UI thread only.
CommandOutcome SendCommand(std::uint32_t id);

// Queues a command; it runs from the event loop (a nested one included) after the current
// handler returns. Any thread. False when the UI layer is not up.
bool PostCommand(std::uint32_t id);

// Puts a target into the chain for its lifetime and restores the previous one after.
class ScopedCommandTarget {
public:
    ScopedCommandTarget(CommandLevel level, ICommandTarget* target);
    ~ScopedCommandTarget();
    ScopedCommandTarget(const ScopedCommandTarget&) = delete;
    ScopedCommandTarget& operator=(const ScopedCommandTarget&) = delete;

private:
    CommandLevel m_level;
    ICommandTarget* m_previous;
};

// Used by the UI layer: the window posted commands go to.
void SetCommandWindow(WindowId window);

}  // namespace platform
