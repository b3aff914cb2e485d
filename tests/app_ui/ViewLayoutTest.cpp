// The view-layout file's fields and the main view's two-pass row layout.
#include <gtest/gtest.h>

#include "application/ui/RowLayout.h"
#include "application/ui/ViewEnvironment.h"
#include "tests/support/TempFolder.h"

namespace {

TEST(ViewEnvironmentFile, LineFieldsParseInOrder)
{
    ViewEnvironment record;
    ParseViewEnvironmentLine("Meters\t5\t1\t7\tX\t1f\txyz\t1\t0x21000\t180,145,160\t10,20,30\t300,120", record);
    EXPECT_EQ(record.name, "Meters");
    EXPECT_EQ(record.kind, 5);
    EXPECT_EQ(record.row, 1);
    EXPECT_EQ(record.reservedInt, 7);
    EXPECT_TRUE(record.stretch);
    EXPECT_EQ(record.reservedWord1, 0x1Fu);
    EXPECT_EQ(record.reservedWord2, 0u);  // invalid hexadecimal text gives 0
    EXPECT_EQ(record.gradientDirection, ViewGradient::kVertical);
    EXPECT_EQ(record.meterOptions, 0x21000u);
    EXPECT_EQ(record.colourA, 0xA091B4u);  // red in the low byte
    EXPECT_EQ(record.colourB, 0x1E140Au);
    EXPECT_EQ(record.width, 300);
    EXPECT_EQ(record.height, 120);
    EXPECT_EQ(record.rectRight, 300);
    EXPECT_EQ(record.rectBottom, 120);
}

TEST(ViewEnvironmentFile, ColourEndsAtTabAndStretchNeedsAnX)
{
    ViewEnvironment record;
    ParseViewEnvironmentLine("Blocks\t1\t0\t0\ty\t0\t0\t0\t0\t180,145,160\t1,2,3\t50,60", record);
    EXPECT_FALSE(record.stretch);
    EXPECT_EQ(record.colourA, 0xA091B4u);  // its last component ended at the tab
    EXPECT_EQ(record.colourB, 0x030201u);
    EXPECT_EQ(record.width, 50);
    EXPECT_EQ(record.height, 60);

    ViewEnvironment cut;
    ParseViewEnvironmentLine("Short\t2\t1\t0\tx\t0\t0\t0\t0\t180,145,160\t", cut);
    EXPECT_TRUE(cut.stretch);
    EXPECT_EQ(cut.colourA, 0xA091B4u);
    EXPECT_EQ(cut.colourB, 0u);  // missing fields read as empty text
    EXPECT_EQ(cut.width, 0);
}

TEST(ViewEnvironmentFile, HeaderAndEmptyLinesAreSkippedAndMissingFileFails)
{
    TempFolder folder;
    const auto path = folder.Path() / "ViewEnvironment.txt";
    WriteWholeFile(path, "Controls\t2\t0\t0\tx\n\nA\t1\t0\t0\t\r\nB\t2\t1\t0\tx\n");
    const auto records = ReadViewEnvironmentFile(path);
    ASSERT_TRUE(records.has_value());
    ASSERT_EQ(records->size(), 2u);
    EXPECT_EQ((*records)[0].name, "A");
    EXPECT_EQ((*records)[1].kind, 2);
    EXPECT_FALSE(ReadViewEnvironmentFile(folder.Path() / "missing.txt").has_value());
}

TEST(ViewEnvironmentFile, SizesBeyondTheBoundOrNegativeBreakTheFile)
{
    TempFolder folder;
    const auto path = folder.Path() / "ViewEnvironment.txt";
    const std::string header = "Name\tKind\tRow\tReserved\tStretch\tW1\tW2\tGradient\tMeter\tA\tB\tSize\n";
    const auto read = [&](const std::string& size) {
        WriteWholeFile(path, header + "Blocks\t1\t0\t0\tx\t0\t0\t1\t0\t1,2,3\t4,5,6\t" + size + "\n");
        return ReadViewEnvironmentFile(path);
    };
    ASSERT_TRUE(read("16384,16384").has_value());
    EXPECT_EQ(read("16384,16384")->front().width, 16384);
    for (const char* size : {"2000000000,300", "300,2000000000", "16385,10", "-5,10", "10,-1"}) {
        EXPECT_FALSE(read(size).has_value()) << size;
    }
}

TEST(RowLayout, SumsOfHugeRowsDoNotOverflow)
{
    const RowLayoutItem items[] = {{0, 2000000000, 10, false}, {0, 2000000000, 10, true}, {1, 5, 2000000000, false},
                                   {2, 5, 2000000000, false}};
    const RowLayoutResult layout = LayOutRows(items, 0, 0);
    EXPECT_EQ(layout.width, 4000000000);
    EXPECT_EQ(layout.height, 4000000010);
    EXPECT_EQ(layout.places[1].x, 2000000000);
    EXPECT_EQ(layout.places[3].y, 2000000010);
}

TEST(RowLayout, NaturalSizeFirstThenSpareWidthToStretchingViews)
{
    const RowLayoutItem items[] = {{0, 100, 50, true}, {0, 80, 40, false}, {0, 20, 30, true}};
    const RowLayoutResult natural = LayOutRows(items, 0, 0);
    EXPECT_EQ(natural.width, 200);
    EXPECT_EQ(natural.height, 50);
    EXPECT_EQ(natural.places[1].x, 100);
    EXPECT_EQ(natural.places[1].height, 50);

    // 7 spare pixels: the first stretching view gets 3, the last one 4.
    const RowLayoutResult wide = LayOutRows(items, 207, 0);
    EXPECT_EQ(wide.places[0].width, 103);
    EXPECT_EQ(wide.places[1].x, 103);
    EXPECT_EQ(wide.places[1].width, 80);
    EXPECT_EQ(wide.places[2].x, 183);
    EXPECT_EQ(wide.places[2].width, 24);
}

TEST(RowLayout, LastRowFillsTheHeightAndFixedRowsStayNarrow)
{
    const RowLayoutItem items[] = {{0, 100, 50, false}, {1, 60, 30, false}, {1, 40, 20, false}};
    const RowLayoutResult layout = LayOutRows(items, 300, 200);
    EXPECT_EQ(layout.width, 300);
    EXPECT_EQ(layout.height, 200);
    EXPECT_EQ(layout.places[0].width, 100);
    EXPECT_EQ(layout.places[0].height, 50);
    EXPECT_EQ(layout.places[1].y, 50);
    EXPECT_EQ(layout.places[1].height, 150);
    EXPECT_EQ(layout.places[2].x, 60);
    EXPECT_EQ(layout.places[2].width, 40);
}

TEST(RowLayout, RowsAfterAGapAreNeverPlaced)
{
    const RowLayoutItem items[] = {{2, 500, 500, true}, {0, 100, 50, false}};
    const RowLayoutResult layout = LayOutRows(items, 0, 0);
    EXPECT_FALSE(layout.places[0].placed);
    EXPECT_TRUE(layout.places[1].placed);
    EXPECT_EQ(layout.width, 100);
    EXPECT_EQ(layout.height, 50);
}

}  // namespace
