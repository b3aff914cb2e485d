// Whether a key is down now, as the system's key-state query answered it: fed by an
// application-wide event filter that sees every key press and release before the widget
// that gets it. So a handler can ask during a spin notice whether Up or Down is held.
#pragma once

namespace platform {

// `key` is a Qt::Key value. False before the UI layer is up.
bool IsKeyDown(int key);
// Forgets every key (when the application loses the keyboard, and for tests).
void ResetKeyState();

// Used by the UI layer.
void InstallKeyStateFilter();
void RemoveKeyStateFilter();

}  // namespace platform
