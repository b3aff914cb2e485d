#include "platform/ui/core/DialogUnits.h"

#include <cmath>
#include <cstdlib>
#include <map>

#include <QFontMetrics>

#include "platform/ui/drawing/UiFonts.h"

namespace platform {

QFont DialogFont(int pointSize)
{
    const int pixels = static_cast<int>(std::lround(pointSize * static_cast<double>(kLogicalDpi) / 72.0));
    return UiFont(pixels > 0 ? pixels : 1);
}

DialogBaseUnits MeasureBaseUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int alphabetWidth = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return DialogBaseUnits{(alphabetWidth / 26 + 1) / 2, metrics.height()};
}

DialogBaseUnits BaseUnitsForPointSize(int pointSize)
{
    // UI thread only, like the fonts it measures.
    static std::map<int, DialogBaseUnits> measured;
    auto found = measured.find(pointSize);
    if (found == measured.end()) {
        found = measured.emplace(pointSize, MeasureBaseUnits(DialogFont(pointSize))).first;
    }
    return found->second;
}

int MulDivRound(int value, int numerator, int denominator)
{
    if (denominator == 0) {
        return -1;
    }
    const long long product = static_cast<long long>(value) * numerator;
    const long long magnitude = (std::llabs(product) + std::llabs(static_cast<long long>(denominator)) / 2) /
                                std::llabs(static_cast<long long>(denominator));
    const bool negative = (product < 0) != (denominator < 0);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

int DluToPixelsX(int dlu, const DialogBaseUnits& units)
{
    return MulDivRound(dlu, units.x, 4);
}

int DluToPixelsY(int dlu, const DialogBaseUnits& units)
{
    return MulDivRound(dlu, units.y, 8);
}

QRect DluRectToPixels(int x, int y, int cx, int cy, const DialogBaseUnits& units)
{
    return QRect(DluToPixelsX(x, units), DluToPixelsY(y, units), DluToPixelsX(cx, units), DluToPixelsY(cy, units));
}

}  // namespace platform
