// The owner-drawn progress bar: percentage arithmetic, repaint rule, split colours, placeholder.
#include <algorithm>

#include <QImage>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include "platform/ui/drawing/CProgressCtrl2.h"
#include "platform/ui/drawing/SystemColors.h"

using namespace platform;

TEST(ProgressPercentage, UsesUnsignedDifferencesAnd64BitProducts)
{
    EXPECT_EQ(ProgressPercentage(0, 100, 37), 37);
    EXPECT_EQ(ProgressPercentage(7, 7, 5), 0);                    // empty range: no division
    EXPECT_EQ(ProgressPercentage(0, 3, 2), 66);                   // narrower than 100
    EXPECT_EQ(ProgressPercentage(0, 1, 50000000), 5000000000LL);  // beyond 32 bits
    EXPECT_EQ(ProgressPercentage(0, 0xFFFFFFFF, 0xFFFFFFFF), 100);
}

TEST(ProgressCtrl, RepaintsOnlyWhenThePercentageChangesAndOnceAtFirst)
{
    CProgressCtrl2 bar;
    bar.resize(200, 20);
    bar.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&bar));  // a repaint reaches only a window that is shown
    const int paintsBefore = bar.PaintCount();
    for (std::uint32_t position : {0u, 1u, 1u, 2u}) {
        bar.SetPos(position);
    }
    EXPECT_EQ(bar.RedrawCount(), 3);
    EXPECT_EQ(bar.PaintCount() - paintsBefore, 3);
    EXPECT_EQ(bar.forceRedraw, 0u);
}

TEST(ProgressCtrl, EmptyRangeShowsZeroAndFarPositionsFillTheWholeBar)
{
    CProgressCtrl2 bar;
    bar.resize(120, 16);
    bar.rangeMin = 5;
    bar.rangeMax = 5;
    bar.SetPos(9);
    EXPECT_EQ(bar.Text(), QStringLiteral("0%"));
    EXPECT_EQ(bar.FillPosition(), 0);
    bar.rangeMin = 0;
    bar.rangeMax = 1;
    bar.SetPos(50000000);
    EXPECT_EQ(bar.FillPosition(), 120);
    EXPECT_EQ(bar.Text(), QStringLiteral("5000000000%"));
    bar.rangeMin = 10;
    bar.rangeMax = 20;
    bar.SetPos(3);  // before the start: the difference wraps, the bar is full, never past it
    EXPECT_EQ(bar.FillPosition(), 120);
}

TEST(ProgressCtrl, FormatIsFilledByOurFormatterOnly)
{
    CProgressCtrl2 bar;
    bar.SetPos(42);
    bar.textFormat = "%u%% %s %n %p";
    EXPECT_EQ(bar.Text().left(4), QStringLiteral("42% "));
    bar.textFormat = " ";
    EXPECT_EQ(bar.Text(), QStringLiteral(" "));
}

TEST(ProgressCtrl, PaintsHighlightBeforeTheSplitAndButtonFaceFromIt)
{
    CProgressCtrl2 bar;
    bar.resize(200, 24);
    bar.textFormat = " ";
    bar.SetPos(25);
    EXPECT_EQ(bar.FillPosition(), 50);
    const QImage pixels = bar.grab().toImage();
    EXPECT_EQ(FromArgb32(pixels.pixel(0, 0)), SysColor::kHighlight);
    EXPECT_EQ(FromArgb32(pixels.pixel(49, 12)), SysColor::kHighlight);
    EXPECT_EQ(FromArgb32(pixels.pixel(50, 12)), SysColor::kButtonFace);
    EXPECT_EQ(FromArgb32(pixels.pixel(199, 23)), SysColor::kButtonFace);
}

TEST(ProgressCtrl, TextTakesTheColourOfThePartItCrosses)
{
    CProgressCtrl2 bar;
    bar.resize(60, 24);
    bar.textFormat = "%ld%%";
    bar.rangeMax = 1000;
    bar.SetPos(500);  // the split runs through the middle of "50%"
    const QImage pixels = bar.grab().toImage();
    // Smoothed glyphs: look for their cores, white on the left and near-black on the right.
    bool whiteLeft = false;
    bool darkRight = false;
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 60; ++x) {
            const ColorRef c = FromArgb32(pixels.pixel(x, y));
            const int darkest = std::min({RedOf(c), GreenOf(c), BlueOf(c)});
            const int lightest = std::max({RedOf(c), GreenOf(c), BlueOf(c)});
            whiteLeft = whiteLeft || (x < 30 && c == SysColor::kHighlightText);
            darkRight = darkRight || (x >= 30 && lightest < 0x50);
            EXPECT_FALSE(x < 30 && lightest < 0x50) << x << "," << y;
            EXPECT_FALSE(x >= 30 && darkest > 0xF0 && c != SysColor::kButtonFace) << x << "," << y;
        }
    }
    EXPECT_TRUE(whiteLeft);
    EXPECT_TRUE(darkRight);
}

TEST(ProgressCtrl, TakesOverAPlaceholdersPlace)
{
    QWidget dialog;
    auto* placeholder = new QLabel(&dialog);
    placeholder->setGeometry(10, 20, 150, 14);
    placeholder->setObjectName(QStringLiteral("item1126"));
    placeholder->setProperty("controlId", 1126);
    auto* bar = new CProgressCtrl2();
    bar->TakeOverFrom(placeholder);
    EXPECT_EQ(bar->parentWidget(), &dialog);
    EXPECT_EQ(bar->geometry(), QRect(10, 20, 150, 14));
    EXPECT_EQ(bar->objectName(), QStringLiteral("item1126"));
    EXPECT_EQ(bar->property("controlId").toInt(), 1126);
}
