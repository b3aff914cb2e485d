// Dialog units to pixels. A dialog's layout is given in dialog units: a horizontal unit is a
// quarter of the dialog font's average character width, a vertical unit an eighth of its
// height. The base units are measured once per font size the way the system measured them:
// width = (width of "A".."Z""a".."z" / 26 + 1) / 2, height = the font's height. Every
// template's font becomes DejaVu Sans at the template's point size (96 dots per inch), so
// layouts come out the same on every machine.
#pragma once

#include <QFont>
#include <QRect>

namespace platform {

struct DialogBaseUnits {
    int x = 0;  // pixels per 4 horizontal dialog units
    int y = 0;  // pixels per 8 vertical dialog units
};

// The dialog font for a template font of `pointSize` points.
QFont DialogFont(int pointSize);
// Measures `font` as described above.
DialogBaseUnits MeasureBaseUnits(const QFont& font);
// Measured once per point size and kept.
DialogBaseUnits BaseUnitsForPointSize(int pointSize);

// Rounds like the system's MulDiv: value * numerator / denominator to the nearest integer,
// halves away from zero.
int MulDivRound(int value, int numerator, int denominator);
int DluToPixelsX(int dlu, const DialogBaseUnits& units);
int DluToPixelsY(int dlu, const DialogBaseUnits& units);
// The rectangle (x, y, cx, cy) in dialog units, in pixels: position and size converted each
// on its own, as the system did when it made a template's controls.
QRect DluRectToPixels(int x, int y, int cx, int cy, const DialogBaseUnits& units);

}  // namespace platform
