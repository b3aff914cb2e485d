// The exact per-pixel-alpha blend on bitmap bytes and DrawBitmapAlpha on canvases.
#include <cstdint>
#include <vector>

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <gtest/gtest.h>

#include "platform/ui/drawing/BitmapAlpha.h"
#include "platform/ui/drawing/BlendBits.h"

using namespace platform;

namespace {

// A bottom-up bitmap filled with one pixel value (bytes blue, green, red[, alpha]).
struct Bitmap {
    DibHeader header;
    std::vector<std::uint8_t> bits;

    Bitmap(int width, int height, int bitsPerPixel, std::vector<std::uint8_t> pixel)
        : header{width, height, static_cast<std::uint16_t>(bitsPerPixel)},
          bits(static_cast<std::size_t>(DibImageSize(header)))
    {
        for (int row = 0; row < height; ++row) {
            for (int x = 0; x < width; ++x) {
                std::copy(pixel.begin(), pixel.end(), Pixel(x, row));
            }
        }
    }
    // Pixel at column x of row `row` counted from the picture's top.
    std::uint8_t* Pixel(int x, int row) { return bits.data() + DibRowOffset(header, row) + x * header.bitsPerPixel / 8; }
};

void Blend(Bitmap& destination, int x, int y, int width, int height, const Bitmap& source, int sourceX, int sourceY)
{
    BlendBits(destination.header, destination.bits.data(), x, y, width, height, source.header, source.bits.data(),
              sourceX, sourceY, true);
}

}  // namespace

TEST(BlendBits, RowsAreBottomUpAndPaddedToFourBytes)
{
    const DibHeader header{3, 2, 24};
    EXPECT_EQ(DibStride(header), 12);
    EXPECT_EQ(DibRowOffset(header, 0), 12);  // the top row is stored last
    EXPECT_EQ(DibRowOffset(DibHeader{3, -2, 24}, 0), 0);
}

TEST(BlendBits, BlendTruncatesTowardZero)
{
    Bitmap destination(1, 1, 32, {200, 10, 0, 255});
    const Bitmap source(1, 1, 32, {0, 255, 0, 128});
    Blend(destination, 0, 0, 1, 1, source, 0, 0);
    EXPECT_EQ(destination.Pixel(0, 0)[0], 100);  // 200 - 25600 / 255 = 200 - 100, not 99
    EXPECT_EQ(destination.Pixel(0, 0)[1], 10 + 245 * 128 / 255);
    EXPECT_EQ(destination.Pixel(0, 0)[3], 255 + (128 - 255) * 128 / 255);
}

TEST(BlendBits, AlphaZeroKeepsAndAlphaFullReplaces)
{
    Bitmap destination(2, 1, 32, {1, 2, 3, 4});
    Bitmap source(2, 1, 32, {9, 9, 9, 0});
    source.Pixel(1, 0)[3] = 255;
    Blend(destination, 0, 0, 2, 1, source, 0, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(destination.Pixel(0, 0), destination.Pixel(0, 0) + 4),
              (std::vector<std::uint8_t>{1, 2, 3, 4}));
    EXPECT_EQ(std::vector<std::uint8_t>(destination.Pixel(1, 0), destination.Pixel(1, 0) + 4),
              (std::vector<std::uint8_t>{9, 9, 9, 255}));
}

TEST(BlendBits, NegativeStartSkipsSourceColumnsAndRows)
{
    Bitmap destination(10, 3, 32, {0, 0, 0, 0});
    Bitmap source(10, 3, 32, {0, 0, 0, 255});
    for (int x = 0; x < 10; ++x) {
        source.Pixel(x, 1)[0] = static_cast<std::uint8_t>(x);
    }
    Blend(destination, -5, -1, 10, 3, source, 0, 0);
    EXPECT_EQ(destination.Pixel(0, 0)[0], 5);
    EXPECT_EQ(destination.Pixel(4, 0)[0], 9);
    EXPECT_EQ(destination.Pixel(5, 0)[3], 0);  // past the source's width: untouched
    EXPECT_EQ(destination.Pixel(0, 2)[3], 0);  // past the source's height
}

TEST(BlendBits, TwentyFourBitSourceIsCopiedWithoutBlending)
{
    Bitmap destination(2, 2, 32, {50, 50, 50, 77});
    const Bitmap source(2, 2, 24, {1, 2, 3});
    Blend(destination, 0, 0, 2, 2, source, 0, 0);
    EXPECT_EQ(std::vector<std::uint8_t>(destination.Pixel(1, 1), destination.Pixel(1, 1) + 4),
              (std::vector<std::uint8_t>{1, 2, 3, 77}));
}

TEST(BlendBits, SourceOffsetClipsToTheSourceAndStartsOutsideDoNothing)
{
    // Exactly sized buffers: a read past the source would show under AddressSanitizer.
    Bitmap destination(8, 8, 32, {0, 0, 0, 0});
    const Bitmap source(4, 4, 32, {7, 7, 7, 255});
    Blend(destination, 0, 0, 8, 8, source, 2, 3);
    int touched = 0;
    for (int row = 0; row < 8; ++row) {
        for (int x = 0; x < 8; ++x) {
            touched += destination.Pixel(x, row)[0] == 7;
        }
    }
    EXPECT_EQ(touched, 2 * 1);
    EXPECT_EQ(destination.Pixel(1, 0)[0], 7);
    Blend(destination, 0, 0, 8, 8, source, 4, 0);
    Blend(destination, 0, 0, 8, 8, source, -1, 0);
    Blend(destination, 8, 0, 8, 8, source, 0, 0);
    BlendRegion region;
    EXPECT_FALSE(ClipBlend(8, 8, INT32_MIN, 0, INT32_MAX, 8, 4, 4, 0, 0, region));
}

TEST(DrawBitmapAlpha, BlendsOntoAnImageCanvasExactly)
{
    QImage target(6, 4, QImage::Format_RGB32);
    target.fill(qRgb(0, 0, 200));
    QImage source(3, 2, QImage::Format_ARGB32);
    source.fill(qRgba(0, 0, 0, 128));
    source.setPixel(2, 1, qRgba(255, 0, 0, 255));
    {
        Canvas canvas(target);
        DrawBitmapAlpha(canvas, -1, 2, 3, 2, source, 0, 0);
    }
    EXPECT_EQ(target.pixel(0, 2), qRgb(0, 0, 100));
    EXPECT_EQ(target.pixel(1, 3), qRgb(255, 0, 0));
    EXPECT_EQ(target.pixel(2, 3), qRgb(0, 0, 200));
    EXPECT_EQ(target.pixel(0, 1), qRgb(0, 0, 200));
}

TEST(DrawBitmapAlpha, WindowWithoutReadablePixelsGetsTheToolkitBlendWithinOne)
{
    QPixmap window(4, 4);
    window.fill(QColor(0, 0, 200));
    QImage source(2, 2, QImage::Format_ARGB32);
    source.fill(qRgba(0, 0, 0, 128));
    {
        QPainter painter(&window);
        Canvas canvas(painter);
        ASSERT_EQ(canvas.TargetImage(), nullptr);
        DrawBitmapAlpha(canvas, 1, 1, 8, 8, source, 0, 0);
    }
    const QImage result = window.toImage();
    EXPECT_NEAR(qBlue(result.pixel(1, 1)), 100, 1);
    EXPECT_EQ(qBlue(result.pixel(3, 3)), 200);
}
