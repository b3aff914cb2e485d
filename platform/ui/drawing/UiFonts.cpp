#include "platform/ui/drawing/UiFonts.h"

#include <cmath>
#include <mutex>

#include <QFontDatabase>

namespace platform {

namespace {

// Registered by file so that fontconfig's choice of "DejaVu Sans" cannot differ between machines.
constexpr const char* kUiFontFiles[] = {
    "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-Oblique.ttf",
    "/usr/share/fonts/truetype/dejavu/DejaVuSans-BoldOblique.ttf",
};

void RegisterUiFontFiles()
{
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char* file : kUiFontFiles) {
            QFontDatabase::addApplicationFont(QString::fromLatin1(file));
        }
    });
}

}  // namespace

QFont UiFont(int pixels, QFont::Weight weight, bool italic)
{
    RegisterUiFontFiles();
    QFont font(QString::fromLatin1(kUiFontFamily));
    font.setPixelSize(pixels);
    font.setWeight(weight);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferFullHinting);
    font.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    font.setKerning(true);
    return font;
}

QFont DefaultGuiFont()
{
    return UiFont(kDefaultGuiFontPixels);
}

QFont MenuFont()
{
    return UiFont(kMenuFontPixels);
}

QFont WithPixelSize(const QFont& font)
{
    if (font.pixelSize() > 0) {
        return font;
    }
    QFont sized = font;
    const int pixels = static_cast<int>(std::lround(font.pointSizeF() * kLogicalDpi / 72.0));
    sized.setPixelSize(pixels > 0 ? pixels : 1);
    return sized;
}

}  // namespace platform
