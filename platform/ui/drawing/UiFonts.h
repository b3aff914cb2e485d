// The fonts the windows draw text with: DejaVu Sans (shipped by fonts-dejavu-core) at fixed
// pixel sizes, so that text measures and renders the same on every machine.
#pragma once

#include <QFont>

namespace platform {

inline constexpr char kUiFontFamily[] = "DejaVu Sans";
// The default GUI font: 8 points at 96 dots per inch.
inline constexpr int kDefaultGuiFontPixels = 11;
// The menu font of the window metrics: 9 points at 96 dots per inch.
inline constexpr int kMenuFontPixels = 12;
// Points are turned into pixels at this resolution everywhere (widgets and back buffers).
inline constexpr int kLogicalDpi = 96;

// DejaVu Sans at `pixels` pixels high (the em size), weight and slant as given; grey-scale
// smoothing with full hinting, whatever the desktop's font settings say. Needs a
// QGuiApplication; the first call registers the shipped font files with Qt.
QFont UiFont(int pixels, QFont::Weight weight = QFont::Normal, bool italic = false);
QFont DefaultGuiFont();
QFont MenuFont();
// The same font with a size in pixels: a size given in points is converted at kLogicalDpi.
QFont WithPixelSize(const QFont& font);

}  // namespace platform
