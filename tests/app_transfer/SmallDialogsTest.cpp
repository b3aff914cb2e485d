// The About box, the mute polarity chooser and the upload-or-download question.
#include <gtest/gtest.h>

#include <QTest>

#include "application/ui/CAboutDlg.h"
#include "application/ui/CDlgMutePolarity.h"
#include "application/ui/DlgUploadDownload.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/core/MessageWindow.h"
#include "platform/ui/drawing/Canvas.h"
#include "resources/templates/AboutTemplate.h"
#include "resources/templates/MutePolarityTemplate.h"
#include "resources/templates/UploadDownloadTemplate.h"
#include "tests/app_transfer/TransferFakes.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ScreenShot.h"

namespace {

class SmallDialogsTest : public ::testing::Test {
protected:
    platform::ManualTimerService timers;
    platform::ScopedTimerService useTimers{timers};
    SessionAmplifier amp;
    SessionAmplifier other;
    AmplifierList list;
    ModalDriver driver;
};

TEST_F(SmallDialogsTest, AboutDisablesItsEmptyFieldsAndClosesByItselfAfterTenSeconds)
{
    driver.ExpectDialog(AboutIds::kTemplate)
        .Do([](platform::Dialog& dialog) {
            EXPECT_TRUE(dialog.Item(AboutIds::kModelValue)->isEnabled());
            EXPECT_FALSE(dialog.Item(AboutIds::kFirmwareCaption)->isEnabled());
            EXPECT_FALSE(dialog.Item(AboutIds::kFirmwareValue)->isEnabled());
        })
        .Advance(9999)
        .Do([](platform::Dialog& dialog) { EXPECT_FALSE(dialog.IsEnded()); })
        .Advance(1);
    ShowAboutBox("MV440A", "");
}

TEST_F(SmallDialogsTest, MutePolarityAppliesTheOtherRadioOnItsGradientAndCancelGivesTwo)
{
    driver.ExpectDialog(MutePolarityIds::kTemplate)
        .Do([](platform::Dialog& dialog) {
            EXPECT_EQ(dialog.ItemCheckState(MutePolarityIds::kNormallyOpen), 1);
            // The radios show the dialog's gradient behind them, not a flat face.
            const QRect radio = dialog.Item(MutePolarityIds::kNormallyClosed)->geometry();
            const int y = radio.top() + 2;
            EXPECT_EQ(platform::FromQColor(RenderWidget(dialog).pixelColor(radio.right() - 1, y)),
                      platform::GradientStep(CDlgMutePolarity::kTopColour, CDlgMutePolarity::kBottomColour, y,
                                             dialog.height()));
        })
        .Click(MutePolarityIds::kNormallyClosed)
        .Do([](platform::Dialog& dialog) { EXPECT_EQ(dialog.ItemCheckState(MutePolarityIds::kNormallyOpen), 0); })
        .Click(DialogId::kOk);
    driver.ExpectDialog(MutePolarityIds::kTemplate).Click(MutePolarityIds::kNormallyOpen).Click(DialogId::kCancel);
    EXPECT_EQ(AskMutePolarity(true), MutePolarityIds::kNormallyClosed);
    EXPECT_EQ(AskMutePolarity(false), DialogId::kCancel);
}

TEST_F(SmallDialogsTest, UploadOrDownloadAnswersDownloadToEnterAndIgnoresEscape)
{
    list.present = {&amp};
    driver.ExpectDialog(UploadDownloadIds::kTemplate).Do([](platform::Dialog& dialog) {
        // Shown, the focus starts on the first button; the posted request has moved it by
        // the time the user looks.
        ASSERT_TRUE(dialog.isVisible());
        EXPECT_EQ(platform::ControlId(dialog.focusWidget()), UploadDownloadIds::kDownload);
        EXPECT_TRUE(dialog.Item(DialogId::kCancel)->isHidden());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.IsEnded());
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    EXPECT_EQ(AskUploadOrDownload(list, &amp), UploadDownloadIds::kDownload);
    EXPECT_EQ(list.scanModes, (std::vector<std::uint32_t>{0, 10}));  // resumed while asking
}

TEST_F(SmallDialogsTest, UploadOrDownloadEndsWithTwoOneTickAfterTheAmplifierGoesOrASecondComes)
{
    list.present = {&amp};
    driver.ExpectDialog(UploadDownloadIds::kTemplate)
        .Advance(400)
        .Do([&](platform::Dialog& dialog) {
            EXPECT_FALSE(dialog.IsEnded());
            list.present.clear();
        })
        .Advance(199)
        .Do([](platform::Dialog& dialog) { EXPECT_FALSE(dialog.IsEnded()); })
        .Advance(1);
    driver.ExpectDialog(UploadDownloadIds::kTemplate).Do([&](platform::Dialog&) { list.present = {&amp, &other}; }).Advance(200);
    driver.ExpectDialog(UploadDownloadIds::kTemplate).Click(UploadDownloadIds::kUpload);
    EXPECT_EQ(AskUploadOrDownload(list, &amp), DialogId::kCancel);
    EXPECT_EQ(AskUploadOrDownload(list, &amp), DialogId::kCancel);
    EXPECT_EQ(AskUploadOrDownload(list, &other), UploadDownloadIds::kUpload);
    EXPECT_EQ(amp.refs + other.refs, 0u);
}

}  // namespace
