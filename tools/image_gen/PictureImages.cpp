// The About box's picture with the editor's wordmark, the mixer slider's thumb, the legend
// button and the program icon.
#include <algorithm>

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "tools/image_gen/ImageGen.h"

namespace ImageGen {

namespace {

// A frequency-response-like sweep across a box: the motif of the icon and the About picture.
QPainterPath ResponseCurve(const QRectF& box)
{
    QPainterPath curve;
    curve.moveTo(box.left(), box.top() + box.height() * 0.62);
    curve.cubicTo(box.left() + box.width() * 0.22, box.top() + box.height() * 0.62,
                  box.left() + box.width() * 0.26, box.top() + box.height() * 0.05,
                  box.left() + box.width() * 0.45, box.top() + box.height() * 0.12);
    curve.cubicTo(box.left() + box.width() * 0.62, box.top() + box.height() * 0.18,
                  box.left() + box.width() * 0.62, box.top() + box.height() * 0.95,
                  box.left() + box.width() * 0.80, box.top() + box.height() * 0.88);
    curve.cubicTo(box.left() + box.width() * 0.90, box.top() + box.height() * 0.84,
                  box.left() + box.width() * 0.94, box.top() + box.height() * 0.45, box.right(),
                  box.top() + box.height() * 0.40);
    return curve;
}

void DrawCentredText(QPainter& p, const QString& text, const QFont& font, double centreX, double baseline,
                     const QBrush& brush)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF bounds = path.boundingRect();
    p.setPen(Qt::NoPen);
    p.setBrush(brush);
    p.drawPath(path.translated(centreX - bounds.center().x(), baseline));
}

}  // namespace

QImage AboutPicture(const QString& boldFamily, const QString& regularFamily)
{
    constexpr int kWidth = 124;
    constexpr int kHeight = 60;
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, kHeight);
    sky.setColorAt(0.0, QColor(30, 70, 128));
    sky.setColorAt(1.0, QColor(10, 28, 58));
    p.fillRect(image.rect(), sky);
    // A faint plot grid and a response curve behind the name.
    p.setPen(QPen(QColor(255, 255, 255, 22), 1.0));
    for (int x = 16; x < kWidth; x += 18) {
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, kHeight));
    }
    for (int y = 9; y < kHeight; y += 14) {
        p.drawLine(QPointF(0, y + 0.5), QPointF(kWidth, y + 0.5));
    }
    QPen sweep(QColor(96, 196, 255, 110), 1.6);
    sweep.setCapStyle(Qt::RoundCap);
    p.setPen(sweep);
    p.setBrush(Qt::NoBrush);
    p.drawPath(ResponseCurve(QRectF(-4, 6, kWidth + 8, 44)));

    QFont name(boldFamily);
    name.setPixelSize(17);
    name.setBold(true);
    name.setHintingPreference(QFont::PreferNoHinting);
    QFont role(regularFamily);
    role.setPixelSize(13);
    role.setLetterSpacing(QFont::AbsoluteSpacing, 1.0);
    role.setHintingPreference(QFont::PreferNoHinting);
    // A soft shadow keeps the name readable where the curve runs behind it.
    DrawCentredText(p, QStringLiteral("Corvantine"), name, kWidth / 2.0 + 1.0, 31.0, QColor(0, 10, 30, 140));
    DrawCentredText(p, QStringLiteral("Corvantine"), name, kWidth / 2.0, 30.0, QColor(255, 255, 255));
    DrawCentredText(p, QStringLiteral("Editor"), role, kWidth / 2.0 + 1.0, 48.0, QColor(0, 10, 30, 140));
    DrawCentredText(p, QStringLiteral("Editor"), role, kWidth / 2.0, 47.0, QColor(176, 214, 246));
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QImage MixerSliderThumb()
{
    QImage image = TransparentImage(19, 11);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, 11);
    body.setColorAt(0.0, QColor(226, 228, 252));
    body.setColorAt(1.0, QColor(128, 132, 212));
    p.setPen(QPen(QColor(64, 66, 138), 1.0));
    p.setBrush(body);
    p.drawRoundedRect(QRectF(0.5, 0.5, 18.0, 10.0), 3.0, 3.0);
    // The grip line marks the value.
    p.setPen(QPen(QColor(40, 42, 110), 1.0));
    p.drawLine(QPointF(4.0, 5.5), QPointF(15.0, 5.5));
    p.setPen(QPen(QColor(255, 255, 255, 170), 1.0));
    p.drawLine(QPointF(4.0, 6.5), QPointF(15.0, 6.5));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage LegendButton()
{
    QImage image = TransparentImage(80, 25);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient face(0, 0, 0, 25);
    face.setColorAt(0.0, QColor(255, 255, 255));
    face.setColorAt(1.0, QColor(216, 221, 229));
    p.setPen(QPen(QColor(132, 140, 154), 1.0));
    p.setBrush(face);
    p.drawRoundedRect(QRectF(0.5, 0.5, 79.0, 24.0), 6.0, 6.0);
    p.setPen(QPen(QColor(255, 255, 255, 200), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(1.5, 1.5, 77.0, 22.0), 5.0, 5.0);
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage ProgramIcon(int size)
{
    QImage image = TransparentImage(size, size);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size;
    const QRectF tile(0.5, 0.5, s - 1.0, s - 1.0);
    QLinearGradient body(0, 0, 0, s);
    body.setColorAt(0.0, QColor(58, 130, 214));
    body.setColorAt(1.0, QColor(18, 50, 112));
    p.setPen(QPen(QColor(12, 34, 80), 1.0));
    p.setBrush(body);
    p.drawRoundedRect(tile, s * 0.2, s * 0.2);
    // Zero line of the plot.
    p.setPen(QPen(QColor(255, 255, 255, 70), s >= 32 ? 1.0 : 0.8));
    p.drawLine(QPointF(s * 0.14, s * 0.5), QPointF(s * 0.86, s * 0.5));
    QPen sweep(QColor(255, 255, 255), std::max(1.4, s / 11.0));
    sweep.setCapStyle(Qt::RoundCap);
    p.setPen(sweep);
    p.setBrush(Qt::NoBrush);
    p.drawPath(ResponseCurve(QRectF(s * 0.16, s * 0.22, s * 0.68, s * 0.56)));
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace ImageGen
