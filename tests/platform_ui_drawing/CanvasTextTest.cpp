// Canvas text: placement by flags, measuring, clipping, background mode, prefixes, ellipsis.
#include <QFontMetrics>
#include <QImage>
#include <gtest/gtest.h>

#include "platform/ui/drawing/Canvas.h"
#include "platform/ui/drawing/UiFonts.h"

using namespace platform;

namespace {

constexpr ColorRef kPaper = 0xFFFFFF;

// The smallest rectangle holding every pixel that is not paper; empty when there is none.
Rect Ink(const QImage& image)
{
    Rect ink{image.width(), image.height(), 0, 0};
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (FromArgb32(image.pixel(x, y)) != kPaper) {
                ink = Rect{std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                           std::max(ink.bottom, y + 1)};
            }
        }
    }
    return ink;
}

struct Drawn {
    QImage image;
    Rect rect;
    QSize extent;
};

Drawn Draw(const QString& text, Rect rect, unsigned flags, BackgroundMode mode = BackgroundMode::Transparent)
{
    Drawn drawn{QImage(120, 40, QImage::Format_RGB32), rect, {}};
    drawn.image.fill(ToArgb32(kPaper));
    Canvas canvas(drawn.image);
    canvas.SetBkMode(mode);
    canvas.SetBkColor(0x00FF00);
    canvas.DrawText(text, drawn.rect, flags);
    drawn.extent = canvas.TextExtent(text);
    return drawn;
}

}  // namespace

TEST(CanvasText, CentredTextIsLeftTextMovedByHalfTheSpareRoom)
{
    const unsigned line = TextFlag::kSingleLine | TextFlag::kVCenter;
    const Drawn left = Draw(QStringLiteral("Out 4"), Rect{0, 0, 120, 40}, line);
    const Drawn centred = Draw(QStringLiteral("Out 4"), Rect{0, 0, 120, 40}, line | TextFlag::kCenter);
    const Drawn right = Draw(QStringLiteral("Out 4"), Rect{0, 0, 120, 40}, line | TextFlag::kRight);
    const Drawn top = Draw(QStringLiteral("Out 4"), Rect{0, 0, 120, 40}, TextFlag::kSingleLine);
    const int spareX = 120 - left.extent.width();
    EXPECT_EQ(Ink(centred.image), Ink(left.image).Offset(spareX / 2, 0));
    EXPECT_EQ(Ink(right.image), Ink(left.image).Offset(spareX, 0));
    EXPECT_EQ(Ink(left.image), Ink(top.image).Offset(0, (40 - left.extent.height()) / 2));
    EXPECT_EQ(DefaultGuiFont().pixelSize(), kDefaultGuiFontPixels);
    EXPECT_EQ(left.extent.height(), QFontMetrics(DefaultGuiFont()).height());
}

TEST(CanvasText, CalcRectMeasuresWithoutDrawing)
{
    const Drawn measured = Draw(QStringLiteral("one\ntwo lines"), Rect{5, 6, 7, 8}, TextFlag::kCalcRect);
    EXPECT_TRUE(Ink(measured.image).IsEmpty());
    const QFontMetrics metrics(DefaultGuiFont());
    EXPECT_EQ(measured.rect, (Rect{5, 6, 5 + metrics.horizontalAdvance(QStringLiteral("two lines")),
                                   6 + 2 * metrics.height()}));
}

TEST(CanvasText, TextIsClippedToItsRectangleUnlessNoClip)
{
    const Rect small{10, 10, 14, 30};
    const Drawn clipped = Draw(QStringLiteral("Wide text"), small, TextFlag::kSingleLine);
    const Drawn free = Draw(QStringLiteral("Wide text"), small, TextFlag::kSingleLine | TextFlag::kNoClip);
    EXPECT_LE(Ink(clipped.image).right, small.right);
    EXPECT_GT(Ink(free.image).right, small.right);
}

TEST(CanvasText, OpaqueModeFillsTheTextCellWithTheBackgroundColour)
{
    const Drawn opaque = Draw(QStringLiteral("ab"), Rect{2, 3, 100, 30}, TextFlag::kSingleLine, BackgroundMode::Opaque);
    EXPECT_EQ(Ink(opaque.image), RectFromSize(2, 3, opaque.extent.width(), opaque.extent.height()));
    EXPECT_EQ(FromArgb32(opaque.image.pixel(2, 3)), 0x00FF00u);
}

TEST(CanvasText, PrefixesAreDroppedUnlessNoPrefixAndEllipsisKeepsTheLineInside)
{
    const Drawn prefixed = Draw(QStringLiteral("A&&B &Up"), Rect{0, 0, 120, 40}, TextFlag::kSingleLine);
    const Drawn plain =
        Draw(QStringLiteral("A&B Up"), Rect{0, 0, 120, 40}, TextFlag::kSingleLine | TextFlag::kNoPrefix);
    EXPECT_EQ(prefixed.image, plain.image);

    const Rect narrow{0, 0, 40, 20};
    const Drawn cut = Draw(QStringLiteral("Amplifier fault"), narrow,
                           TextFlag::kSingleLine | TextFlag::kEndEllipsis | TextFlag::kNoClip);
    EXPECT_LE(Ink(cut.image).right, narrow.right);
    EXPECT_FALSE(Ink(cut.image).IsEmpty());
}
