// Round lamps with alpha: the connection icon's red and green balls, the output indicator's
// four states and the legend's matching small icons.
#include <QPainter>
#include <QRadialGradient>

#include "resources/images/ImageIds.h"
#include "tools/image_gen/ImageGen.h"

namespace ImageGen {

namespace {

struct LampColour {
    QColor light;  // the lit glass near its highlight
    QColor base;   // the body colour
    QColor dark;   // the rim of the glass
};

// Frame order of the output indicator and the legend icons.
const LampColour kOff{QColor(214, 216, 220), QColor(158, 162, 168), QColor(104, 108, 116)};
const LampColour kOn{QColor(168, 246, 160), QColor(46, 186, 62), QColor(16, 104, 30)};
const LampColour kLimiting{QColor(255, 236, 150), QColor(246, 170, 24), QColor(170, 96, 0)};
const LampColour kFault{QColor(255, 170, 160), QColor(222, 38, 30), QColor(128, 10, 8)};

// A glass ball of the given radius centred in the square cell at (left, 0).
void DrawBall(QPainter& p, double left, double cellSize, double radius, const LampColour& colour)
{
    const QPointF centre(left + cellSize / 2.0, cellSize / 2.0);
    QRadialGradient glass(centre, radius, centre + QPointF(-radius * 0.35, -radius * 0.4));
    glass.setColorAt(0.0, colour.light);
    glass.setColorAt(0.55, colour.base);
    glass.setColorAt(1.0, colour.dark);
    p.setPen(QPen(colour.dark.darker(130), 1.0));
    p.setBrush(glass);
    p.drawEllipse(centre, radius, radius);
    // Reflection of the window on the glass.
    QRadialGradient shine(centre + QPointF(0, -radius * 0.45), radius * 0.6);
    shine.setColorAt(0.0, QColor(255, 255, 255, 200));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(shine);
    p.drawEllipse(centre + QPointF(0, -radius * 0.42), radius * 0.62, radius * 0.42);
}

// A ball in a metal bezel, as the indicators sit in the meter panel.
void DrawBezelLamp(QPainter& p, double left, double cellSize, double outer, double ball, const LampColour& colour)
{
    const QPointF centre(left + cellSize / 2.0, cellSize / 2.0);
    QRadialGradient ring(centre, outer, centre + QPointF(0, -outer));
    ring.setColorAt(0.0, QColor(250, 250, 252));
    ring.setColorAt(0.7, QColor(196, 200, 206));
    ring.setColorAt(1.0, QColor(140, 144, 152));
    p.setPen(QPen(QColor(112, 116, 124), 1.0));
    p.setBrush(ring);
    p.drawEllipse(centre, outer, outer);
    DrawBall(p, left, cellSize, ball, colour);
}

QImage Straight(const QImage& image)
{
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The indicator's frames in a row of square cells: off, on, limiting, fault.
QImage IndicatorStrip(int cellSize, double outer, double ball)
{
    const LampColour* frames[ImageId::kIndicatorFrames] = {&kOff, &kOn, &kLimiting, &kFault};
    QImage strip = TransparentImage(ImageId::kIndicatorFrames * cellSize, cellSize);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    for (int i = 0; i < ImageId::kIndicatorFrames; ++i) {
        DrawBezelLamp(p, i * cellSize, cellSize, outer, ball, *frames[i]);
    }
    p.end();
    return Straight(strip);
}

}  // namespace

QImage ConnectionIcon()
{
    constexpr int kCell = ImageId::kCellSize;
    QImage strip = TransparentImage(2 * kCell, kCell);
    QPainter p(&strip);
    p.setRenderHint(QPainter::Antialiasing);
    DrawBall(p, 0, kCell, 8.5, kFault);
    DrawBall(p, kCell, kCell, 8.5, kOn);
    p.end();
    return Straight(strip);
}

QImage OutputIndicator()
{
    return IndicatorStrip(28, 12.5, 9.0);
}

QImage LegendIcons()
{
    return IndicatorStrip(20, 9.0, 6.5);
}

}  // namespace ImageGen
