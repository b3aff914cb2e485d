// The About box, the mute polarity chooser and the upload-or-download question.
#include <gtest/gtest.h>

#include <QTest>

#include "application/ui/CAboutDlg.h"
#include "application/ui/CDlgMutePolarity.h"
#include "application/ui/DlgUploadDownload.h"
#include "platform/ui/core/MessageWindow.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/ManualTimerService.h"
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
};

TEST_F(SmallDialogsTest, AboutDisablesItsEmptyFieldsAndClosesByItselfAfterTenSeconds)
{
    ModalDriver driver;
    driver.ExpectDialog(AboutIds::kTemplate)
        .Do([](platform::Dialog& dialog) {
            EXPECT_EQ(dialog.ItemText(AboutIds::kModelValue), "MV440A");
            EXPECT_TRUE(dialog.Item(AboutIds::kModelCaption)->isEnabled());
            EXPECT_FALSE(dialog.Item(AboutIds::kFirmwareCaption)->isEnabled());
            EXPECT_FALSE(dialog.Item(AboutIds::kFirmwareValue)->isEnabled());
            EXPECT_EQ(dialog.ItemText(AboutIds::kVersion), "Vesk Corvantine Editor Version 2.2");
        })
        .Advance(9999)
        .Do([](platform::Dialog& dialog) { EXPECT_FALSE(dialog.IsEnded()); })
        .Advance(1);
    ShowAboutBox("MV440A", "");
    EXPECT_EQ(driver.Pending(), 0u);
}

TEST_F(SmallDialogsTest, MutePolarityAppliesTheOtherRadioAndCancelGivesTwo)
{
    ModalDriver driver;
    driver.ExpectDialog(MutePolarityIds::kTemplate)
        .Do([](platform::Dialog& dialog) {
            EXPECT_EQ(dialog.ItemCheckState(MutePolarityIds::kNormallyOpen), 1);
            auto& chooser = static_cast<CDlgMutePolarity&>(dialog);
            EXPECT_EQ(chooser.BrushCount(), 2u);
            // The radios show the dialog's gradient behind their text, not a flat face.
            const QImage image = RenderWidget(dialog);
            const QRect radio = dialog.Item(MutePolarityIds::kNormallyClosed)->geometry();
            const int y = radio.top() + 1;
            EXPECT_EQ(platform::FromQColor(image.pixelColor(radio.right() - 1, y)),
                      platform::GradientStep(CDlgMutePolarity::kTopColour, CDlgMutePolarity::kBottomColour, y,
                                             dialog.height()));
        })
        .Click(MutePolarityIds::kNormallyClosed)
        .Do([](platform::Dialog& dialog) {
            EXPECT_FALSE(static_cast<CDlgMutePolarity&>(dialog).NormallyOpen());
            EXPECT_EQ(dialog.ItemCheckState(MutePolarityIds::kNormallyOpen), 0);
        })
        .Click(DialogId::kOk);
    driver.ExpectDialog(MutePolarityIds::kTemplate).Click(MutePolarityIds::kNormallyOpen).Click(DialogId::kCancel);
    EXPECT_EQ(AskMutePolarity(true), MutePolarityIds::kNormallyClosed);
    EXPECT_EQ(AskMutePolarity(false), DialogId::kCancel);
}

class UploadOrDownloadTest : public SmallDialogsTest {
protected:
    SessionAmplifier amp;
    SessionAmplifier other;
    AmplifierList list;
};

TEST_F(UploadOrDownloadTest, EnterAnswersDownloadAndEscapeDoesNothing)
{
    list.present = {&amp};
    ModalDriver driver;
    driver.ExpectDialog(UploadDownloadIds::kTemplate).Do([](platform::Dialog& dialog) {
        dialog.show();
        dialog.activateWindow();
        dialog.Item(UploadDownloadIds::kUpload)->setFocus();  // where a shown dialog's focus starts
        platform::DeliverPostedMessages();  // the posted request moves it to Download
        auto& question = static_cast<DlgUploadDownload&>(dialog);
        ASSERT_NE(question.DefaultButtonWindow(), nullptr);
        EXPECT_EQ(platform::ControlId(question.DefaultButtonWindow()), UploadDownloadIds::kDownload);
        EXPECT_EQ(dialog.focusWidget(), question.DefaultButtonWindow());
        EXPECT_TRUE(dialog.Item(DialogId::kCancel)->isHidden());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        EXPECT_FALSE(dialog.IsEnded());
        QTest::keyClick(&dialog, Qt::Key_Return);
    });
    EXPECT_EQ(AskUploadOrDownload(list, &amp), UploadDownloadIds::kDownload);
    EXPECT_EQ(list.scanModes, (std::vector<std::uint32_t>{0, 10}));
}

TEST_F(UploadOrDownloadTest, EndsWithTwoOneTickAfterTheAmplifierGoesOrASecondComes)
{
    list.present = {&amp};
    ModalDriver driver;
    driver.ExpectDialog(UploadDownloadIds::kTemplate)
        .Advance(400)
        .Do([&](platform::Dialog& dialog) {
            EXPECT_FALSE(dialog.IsEnded());
            list.present.clear();
        })
        .Advance(199)
        .Do([](platform::Dialog& dialog) { EXPECT_FALSE(dialog.IsEnded()); })
        .Advance(1);
    driver.ExpectDialog(UploadDownloadIds::kTemplate)
        .Do([&](platform::Dialog&) { list.present = {&amp, &other}; })
        .Advance(200);
    driver.ExpectDialog(UploadDownloadIds::kTemplate).Click(UploadDownloadIds::kUpload);
    EXPECT_EQ(AskUploadOrDownload(list, &amp), DialogId::kCancel);
    EXPECT_EQ(AskUploadOrDownload(list, &amp), DialogId::kCancel);
    EXPECT_EQ(AskUploadOrDownload(list, &other), UploadDownloadIds::kUpload);
    EXPECT_EQ(amp.refs, 0u);
    EXPECT_EQ(other.refs, 0u);
}

}  // namespace
