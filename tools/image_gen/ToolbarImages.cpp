// The five tool-bar pictures (New, Open, Save, Mute Outputs, Save Configuration to Amp) and
// the strips made of them. Each picture is drawn smoothed with alpha, then laid onto the tool
// bar's face colour, and what stays empty gets the mask colour, so the masked strip looks
// clean on the bar.
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "resources/images/ImageIds.h"
#include "tools/image_gen/ImageGen.h"

namespace ImageGen {

namespace {

constexpr int kCell = ImageId::kCellSize;
constexpr int kCells = 5;
constexpr QRgb kMask = 0xFFC0C0C0;
constexpr QRgb kBarFace = 0xFFF0F0F0;
// Alpha below this stays mask: a faint fringe would show as specks on other backgrounds.
constexpr int kMinimumAlpha = 24;

QImage EmptyCell()
{
    return TransparentImage(kCell, kCell);
}

QPen Outline(QColor colour, double width = 1.0)
{
    QPen pen(colour, width);
    pen.setJoinStyle(Qt::RoundJoin);
    pen.setCapStyle(Qt::RoundCap);
    return pen;
}

QImage NewDocument()
{
    QImage cell = EmptyCell();
    QPainter p(&cell);
    p.setRenderHint(QPainter::Antialiasing);
    const QPolygonF page({{5.5, 2.5}, {14.5, 2.5}, {19.5, 7.5}, {19.5, 21.5}, {5.5, 21.5}});
    QLinearGradient paper(5, 2, 19, 21);
    paper.setColorAt(0.0, QColor(255, 255, 255));
    paper.setColorAt(1.0, QColor(226, 233, 244));
    p.setPen(Outline(QColor(84, 96, 116)));
    p.setBrush(paper);
    p.drawPolygon(page);
    p.setBrush(QColor(196, 210, 232));
    p.drawPolygon(QPolygonF({{14.5, 2.5}, {14.5, 7.5}, {19.5, 7.5}}));
    // A small spark says "new".
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 196, 30));
    QPainterPath spark;
    spark.moveTo(5.0, 0.5);
    spark.quadTo(5.6, 3.4, 8.5, 4.0);
    spark.quadTo(5.6, 4.6, 5.0, 7.5);
    spark.quadTo(4.4, 4.6, 1.5, 4.0);
    spark.quadTo(4.4, 3.4, 5.0, 0.5);
    p.setPen(Outline(QColor(190, 120, 0), 0.7));
    p.drawPath(spark);
    return cell;
}

QImage OpenFolder()
{
    QImage cell = EmptyCell();
    QPainter p(&cell);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Outline(QColor(150, 104, 18)));
    p.setBrush(QColor(226, 172, 58));
    p.drawPolygon(QPolygonF({{1.5, 5.5}, {7.5, 5.5}, {9.5, 7.5}, {18.5, 7.5}, {18.5, 19.5}, {1.5, 19.5}}));
    p.setPen(Outline(QColor(150, 160, 176)));
    p.setBrush(QColor(255, 255, 255));
    p.drawRect(QRectF(4.5, 3.5, 11.0, 9.0));
    QLinearGradient flap(0, 11, 0, 20);
    flap.setColorAt(0.0, QColor(255, 222, 112));
    flap.setColorAt(1.0, QColor(240, 182, 52));
    p.setPen(Outline(QColor(150, 104, 18)));
    p.setBrush(flap);
    p.drawPolygon(QPolygonF({{5.5, 10.5}, {22.5, 10.5}, {18.5, 19.5}, {1.5, 19.5}}));
    return cell;
}

QImage SaveDisk()
{
    QImage cell = EmptyCell();
    QPainter p(&cell);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 3, 0, 21);
    body.setColorAt(0.0, QColor(78, 128, 206));
    body.setColorAt(1.0, QColor(40, 84, 158));
    p.setPen(Outline(QColor(26, 52, 100)));
    p.setBrush(body);
    p.drawPolygon(QPolygonF({{3.5, 3.5}, {18.5, 3.5}, {20.5, 5.5}, {20.5, 20.5}, {3.5, 20.5}}));
    // Metal shutter with its slot.
    p.setPen(Outline(QColor(112, 120, 134)));
    p.setBrush(QColor(210, 215, 224));
    p.drawRect(QRectF(7.5, 3.5, 9.0, 6.0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 66, 78));
    p.drawRect(QRectF(13.0, 4.5, 2.0, 4.0));
    // Label with two ruled lines.
    p.setPen(Outline(QColor(26, 52, 100)));
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(6.5, 12.5, 11.0, 8.0));
    p.setPen(Outline(QColor(170, 178, 192)));
    p.drawLine(QPointF(8.5, 15.5), QPointF(15.5, 15.5));
    p.drawLine(QPointF(8.5, 17.5), QPointF(15.5, 17.5));
    return cell;
}

void DrawSpeakerBody(QPainter& p)
{
    QLinearGradient cone(0, 5, 0, 19);
    cone.setColorAt(0.0, QColor(118, 124, 136));
    cone.setColorAt(1.0, QColor(62, 66, 76));
    p.setPen(Outline(QColor(34, 36, 42)));
    p.setBrush(cone);
    p.drawPolygon(QPolygonF({{2.5, 9.5}, {6.5, 9.5}, {11.5, 4.5}, {11.5, 19.5}, {6.5, 14.5}, {2.5, 14.5}}));
}

QImage Speaker()
{
    QImage cell = EmptyCell();
    QPainter p(&cell);
    p.setRenderHint(QPainter::Antialiasing);
    DrawSpeakerBody(p);
    QPen wave(QColor(36, 108, 204), 1.6);
    wave.setCapStyle(Qt::RoundCap);
    p.setPen(wave);
    p.setBrush(Qt::NoBrush);
    for (double radius : {3.5, 6.5, 9.5}) {
        p.drawArc(QRectF(12.0 - radius, 12.0 - radius, 2 * radius, 2 * radius), -45 * 16, 90 * 16);
    }
    return cell;
}

QImage MutedSpeaker()
{
    QImage cell = EmptyCell();
    QPainter p(&cell);
    p.setRenderHint(QPainter::Antialiasing);
    DrawSpeakerBody(p);
    const QPointF centre(17.0, 12.0);
    const double radius = 5.5;
    QPen mark(QColor(214, 28, 28), 2.0);
    mark.setCapStyle(Qt::FlatCap);
    p.setPen(mark);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(centre, radius, radius);
    const double d = radius * 0.7071;
    p.drawLine(centre + QPointF(-d, -d), centre + QPointF(d, d));
    return cell;
}

QImage StoreToAmplifier()
{
    QImage cell = EmptyCell();
    QPainter p(&cell);
    p.setRenderHint(QPainter::Antialiasing);
    // The amplifier: a rack unit with two knobs and a lit lamp.
    QLinearGradient front(0, 13, 0, 22);
    front.setColorAt(0.0, QColor(96, 102, 114));
    front.setColorAt(1.0, QColor(52, 56, 64));
    p.setPen(Outline(QColor(28, 30, 36)));
    p.setBrush(front);
    p.drawRoundedRect(QRectF(1.5, 13.5, 21.0, 8.0), 1.5, 1.5);
    p.setPen(Outline(QColor(40, 42, 48), 0.8));
    p.setBrush(QColor(206, 210, 218));
    p.drawEllipse(QPointF(6.0, 17.5), 2.0, 2.0);
    p.drawEllipse(QPointF(11.0, 17.5), 2.0, 2.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(90, 230, 90));
    p.drawEllipse(QPointF(18.5, 17.5), 1.3, 1.3);
    // The arrow into it.
    QLinearGradient arrow(7, 0, 17, 0);
    arrow.setColorAt(0.0, QColor(70, 190, 80));
    arrow.setColorAt(1.0, QColor(30, 140, 48));
    p.setPen(Outline(QColor(20, 96, 32)));
    p.setBrush(arrow);
    p.drawPolygon(QPolygonF({{9.5, 1.5}, {14.5, 1.5}, {14.5, 6.5}, {18.5, 6.5}, {12.0, 12.5}, {5.5, 6.5}, {9.5, 6.5}}));
    return cell;
}

// Greyed picture for disabled buttons: lightness kept as a pale grey, a little see-through.
QImage Greyed(const QImage& picture)
{
    QImage grey = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const QRgb c = line[x];
            const int luma = (qRed(c) * 299 + qGreen(c) * 587 + qBlue(c) * 114) / 1000;
            const int level = 120 + luma * 110 / 255;
            line[x] = qRgba(level, level, level, qAlpha(c) * 7 / 8);
        }
    }
    return grey;
}

// Lays the picture onto the bar's face colour; pixels left empty take the mask colour.
void PutCell(QImage& strip, int index, const QImage& picture)
{
    const QImage straight = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < kCell; ++y) {
        for (int x = 0; x < kCell; ++x) {
            const QRgb c = straight.pixel(x, y);
            const int a = qAlpha(c);
            QRgb out = kMask;
            if (a >= kMinimumAlpha) {
                auto mix = [a](int s, int d) { return (s * a + d * (255 - a) + 127) / 255; };
                out = qRgb(mix(qRed(c), qRed(kBarFace)), mix(qGreen(c), qGreen(kBarFace)),
                           mix(qBlue(c), qBlue(kBarFace)));
                if (out == kMask) {
                    out = 0xFFC1C1C1;  // a drawn pixel must never read as transparent
                }
            }
            strip.setPixel(index * kCell + x, y, out);
        }
    }
}

}  // namespace

QImage ToolbarStrip(StripLook look)
{
    QImage cells[kCells] = {NewDocument(), OpenFolder(), SaveDisk(),
                            look == StripLook::Muted ? MutedSpeaker() : Speaker(), StoreToAmplifier()};
    QImage strip(kCell * kCells, kCell, QImage::Format_RGB32);
    strip.fill(kMask);
    for (int i = 0; i < kCells; ++i) {
        PutCell(strip, i, look == StripLook::Disabled ? Greyed(cells[i]) : cells[i]);
    }
    return strip;
}

}  // namespace ImageGen
