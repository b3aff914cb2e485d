// Screenshots for the `screens` tests: a widget and its children rendered into an image and
// saved as <build>/screens/<name>.png, so that anyone can look at what a user would see.
#pragma once

#include <filesystem>
#include <string_view>

#include <QImage>

class QWidget;

// The folder the screenshots go to (made when missing).
std::filesystem::path ScreensFolder();

// The widget as it draws itself with its children, in a 32-bit image of its size. A widget
// that is not shown is shown off screen for the rendering and hidden again.
QImage RenderWidget(QWidget& widget);

// Renders the widget and writes <ScreensFolder>/<name>.png; the path written, or an empty
// path when it could not be written.
std::filesystem::path SaveScreenShot(QWidget& widget, std::string_view name);
