// Which thread is the user-interface thread: the one that owns the QApplication.
#pragma once

namespace platform {

// True on the thread of the application object; false before it exists.
bool IsUiThread();

}  // namespace platform
