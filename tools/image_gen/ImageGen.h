// The image generator: draws every image the editor shows with QPainter, so that the PNGs
// under resources/images can be made again from source. Each function returns a finished
// picture; main writes them as PNG files.
#pragma once

#include <QImage>
#include <QString>

namespace ImageGen {

// Tool-bar strips (120 x 24, opaque, mask colour 0xC0C0C0 where nothing is drawn).
enum class StripLook { Normal, Disabled, Muted };
QImage ToolbarStrip(StripLook look);

// Lamps: the connection icon (48 x 24), the output indicator (112 x 28) and the legend icons
// (80 x 20), with alpha.
QImage ConnectionIcon();
QImage OutputIndicator();
QImage LegendIcons();

// About-box picture (124 x 60, opaque), mixer slider thumb (19 x 11), legend button
// (80 x 25) and the program icon (size x size), with alpha.
QImage AboutPicture(const QString& boldFamily, const QString& regularFamily);
QImage MixerSliderThumb();
QImage LegendButton();
QImage ProgramIcon(int size);

// A fully transparent canvas to draw a picture on, smoothed, with alpha.
inline QImage TransparentImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

}  // namespace ImageGen
