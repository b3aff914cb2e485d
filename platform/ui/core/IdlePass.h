// The idle pass: run when the event loop has nothing left to do and is about to wait, as
// the system's idle processing was. It runs the idle hooks in the order added (the
// application's hook sends the idle-poll command) and then updates every command action
// and bound control. It does not run inside itself, and the automatic one does not run
// while a modal dialog or message box runs.
#pragma once

#include <functional>

namespace platform {

int AddIdleHook(std::function<void()> hook);
void RemoveIdleHook(int handle);

// One pass now (the document asks for one during some flows; tests call it). False when a
// pass is running already, which is then left alone.
bool RunIdlePass();
// Passes run so far.
int IdlePassCount();

// Used by the UI layer: ties the automatic pass to the event loop, and unties it.
void StartIdleOnEventLoop();
void StopIdleOnEventLoop();

}  // namespace platform
