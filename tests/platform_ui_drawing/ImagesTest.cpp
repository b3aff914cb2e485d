// The embedded images: loading, sizes and formats, strips with their mask, and the generator
// reproducing the committed files byte for byte.
#include <cstdlib>
#include <filesystem>
#include <string>

#include <QProcess>
#include <gtest/gtest.h>

#include "platform/ui/drawing/PngResource.h"
#include "resources/images/ImageIds.h"
#include "tests/support/TempFolder.h"

using namespace platform;

namespace {

const std::filesystem::path kCommitted = QUARRY_IMAGES_DIR;

// Colour type of a PNG file's header: 2 RGB, 6 RGBA; -1 when not an 8-bit PNG.
int PngColourType(const std::filesystem::path& file)
{
    const std::string bytes = ReadWholeFile(file);
    if (bytes.size() < 26 || bytes.compare(1, 3, "PNG") != 0 || bytes[24] != 8) {
        return -1;
    }
    return bytes[25];
}

}  // namespace

TEST(PngResource, ConnectionIconLoadsAsStraightAlpha)
{
    QImage icon;
    ASSERT_TRUE(LoadPngResource(ImageId::kConnectionIcon, icon));
    EXPECT_EQ(icon.size(), QSize(48, 24));
    EXPECT_EQ(icon.format(), QImage::Format_ARGB32);
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    const QRgb red = icon.pixel(12, 12);
    const QRgb green = icon.pixel(36, 12);
    EXPECT_GT(qRed(red), qGreen(red));
    EXPECT_GT(qGreen(green), qRed(green));
}

TEST(PngResource, UnknownIdLeavesTheImageAlone)
{
    QImage image(3, 3, QImage::Format_RGB32);
    image.fill(Qt::red);
    const QImage before = image;
    EXPECT_FALSE(LoadPngResource(4242, image));
    EXPECT_EQ(image, before);
}

TEST(PngResource, EveryImageHasItsSizeAndFormat)
{
    struct Expected {
        int id;
        QSize size;
        int colourType;
    };
    const Expected table[] = {
        {ImageId::kToolbarDisabled, {120, 24}, 2}, {ImageId::kToolbarNormal, {120, 24}, 2},
        {ImageId::kToolbarMuted, {120, 24}, 2},    {ImageId::kConnectionIcon, {48, 24}, 6},
        {ImageId::kAboutPicture, {124, 60}, 2},    {ImageId::kMixerSliderThumb, {19, 11}, 6},
        {ImageId::kOutputIndicator, {112, 28}, 6}, {ImageId::kLegendIcons, {80, 20}, 6},
        {ImageId::kLegendButton, {80, 25}, 6},
    };
    for (const Expected& expected : table) {
        QImage image;
        ASSERT_TRUE(LoadPngResource(expected.id, image)) << expected.id;
        EXPECT_EQ(image.size(), expected.size) << expected.id;
        EXPECT_EQ(image.format(), QImage::Format_ARGB32) << expected.id;
        EXPECT_EQ(PngColourType(kCommitted / (std::to_string(expected.id) + ".png")), expected.colourType)
            << expected.id;
    }
    const QIcon icon = ProgramIcon();
    EXPECT_EQ(icon.availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
}

TEST(PngResource, ToolbarStripsAreMaskedByTheirBottomLeftPixel)
{
    for (int id : {ImageId::kToolbarDisabled, ImageId::kToolbarNormal, ImageId::kToolbarMuted}) {
        QImage strip;
        ASSERT_TRUE(LoadPngResource(id, strip));
        EXPECT_EQ(strip.pixel(0, 23), 0xFFC0C0C0) << id;
        const std::vector<QImage> cells = MaskedImageList(strip, ImageId::kCellSize);
        ASSERT_EQ(cells.size(), 5u) << id;
        EXPECT_EQ(qAlpha(cells[0].pixel(0, 23)), 0);
        EXPECT_EQ(qAlpha(cells[2].pixel(12, 12)), 255);  // the middle of the disk
    }
    QImage normal;
    QImage muted;
    ASSERT_TRUE(LoadPngResource(ImageId::kToolbarNormal, normal));
    ASSERT_TRUE(LoadPngResource(ImageId::kToolbarMuted, muted));
    // Only the Mute Outputs cell differs.
    for (int cell = 0; cell < 5; ++cell) {
        const QRect area(cell * 24, 0, 24, 24);
        EXPECT_EQ(normal.copy(area) == muted.copy(area), cell != 3) << cell;
    }
}

TEST(ImageGenerator, ReproducesTheCommittedFilesByteForByte)
{
    TempFolder out("quarry-image-gen-");
    QProcess generator;
    generator.start(QStringLiteral(QUARRY_IMAGE_GEN), {QString::fromStdString(out.Path().string())});
    ASSERT_TRUE(generator.waitForFinished(120000));
    ASSERT_EQ(generator.exitCode(), 0) << generator.readAllStandardError().toStdString();
    int compared = 0;
    for (const auto& entry : std::filesystem::directory_iterator(kCommitted)) {
        if (entry.path().extension() != ".png") {
            continue;
        }
        const std::filesystem::path made = out.Path() / entry.path().filename();
        EXPECT_TRUE(std::filesystem::exists(made)) << made;
        EXPECT_TRUE(ReadWholeFile(made) == ReadWholeFile(entry.path())) << entry.path().filename();
        ++compared;
    }
    EXPECT_EQ(compared, 12);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.Path()), std::filesystem::directory_iterator()),
              12);
}
