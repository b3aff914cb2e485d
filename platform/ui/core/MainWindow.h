// The application's main window, as the accelerators and message boxes need to know it.
#pragma once

class QWidget;

namespace platform {

// Set by the frame when it is made, null when it goes. Not owned.
void SetMainWindow(QWidget* window);
QWidget* MainWindow();

}  // namespace platform
