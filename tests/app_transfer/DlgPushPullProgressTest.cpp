// The download dialog: its end codes and messages, the bar held at 99, Abort after five
// seconds without progress, a worker that goes on after the dialog ended, and the main
// window's shortcuts while it runs.
#include <gtest/gtest.h>

#include <thread>

#include <QTest>

#include "application/ui/DlgPushPullProgress.h"
#include "platform/commands/CommandMap.h"
#include "platform/ui/core/Commands.h"
#include "platform/ui/core/MainWindow.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/drawing/CProgressCtrl2.h"
#include "resources/commands/CommandIds.h"
#include "resources/strings/StringIds.h"
#include "resources/templates/PushPullProgressTemplate.h"
#include "tests/app_transfer/TransferFakes.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/PumpEvents.h"

namespace {

DlgPushPullProgress& Progress(platform::Dialog& dialog)
{
    return static_cast<DlgPushPullProgress&>(dialog);
}

class DownloadDialogTest : public ::testing::Test {
protected:
    // The session reports on the worker; the dialog hears it once the UI thread delivers.
    void Report(std::int32_t value)
    {
        amp.session.progress->OnProgress(0, value);
        test_support::DeliverAllPostedMessages();
    }
    void Finish(std::int32_t result)
    {
        amp.session.progress->OnComplete(result);
        test_support::DeliverAllPostedMessages();
    }

    platform::ManualTimerService timers;
    platform::ScopedTimerService useTimers{timers};
    SessionAmplifier amp;
    std::shared_ptr<ReadParamStore> store = std::make_shared<ReadParamStore>();
};

TEST_F(DownloadDialogTest, EndCodesFollowTheSessionResultWithTheirMessages)
{
    for (std::int32_t result : {0, 1, 2}) {
        ModalDriver driver;
        driver.ExpectDialog(PushPullProgressIds::kTemplate).Do([&](platform::Dialog& dialog) {
            Report(100);
            EXPECT_EQ(Progress(dialog).ProgressBar()->Text().toStdString(), "Downloading parameters... (99%)");
            EXPECT_FALSE(dialog.IsEnded());
            Finish(result);
        });
        if (result == 2) {
            driver.AnswerBox(StringId::kDownloadFailed, platform::MessageAnswer::Ok);
        }
        amp.normallyOpen = result != 1;
        store = std::make_shared<ReadParamStore>();
        EXPECT_EQ(RunDownloadProgress(&amp, store), result == 0 ? DownloadEnd::kDone : DownloadEnd::kFailed);
        EXPECT_EQ(store->NormallyOpen(), result != 1 ? 1 : 0);
        EXPECT_TRUE(result != 2 || driver.Boxes().front().icon == platform::MessageIcon::Warning);
        amp.session.DropSinks();
        EXPECT_EQ(amp.session.refs + amp.refs, 0u);
    }
    ModalDriver driver;
    driver.AnswerBox(StringId::kDownloadStartFailed, platform::MessageAnswer::Ok);
    amp.session.startSucceeds = false;
    EXPECT_EQ(RunDownloadProgress(&amp, store), DownloadEnd::kStartFailed);
    EXPECT_EQ(driver.Boxes().front().icon, platform::MessageIcon::Error);
    EXPECT_EQ(amp.session.refs, 0u);
}

TEST_F(DownloadDialogTest, AbortShowsAfterFiveSecondsWithoutANewValue)
{
    ModalDriver driver;
    driver.ExpectDialog(PushPullProgressIds::kTemplate)
        .Advance(4999)
        .Do([&](platform::Dialog& dialog) {
            EXPECT_FALSE(Progress(dialog).IsAbortShown());
            Report(10);  // a new value starts the five seconds again
        })
        .Advance(3000)
        .Do([&](platform::Dialog&) { Report(10); })  // the same value does not
        .Advance(1999)
        .Do([](platform::Dialog& dialog) { EXPECT_FALSE(Progress(dialog).IsAbortShown()); })
        .Advance(1)
        .Do([&](platform::Dialog& dialog) {
            EXPECT_TRUE(Progress(dialog).IsAbortShown());
            Finish(0);
        });
    EXPECT_EQ(RunDownloadProgress(&amp, store), DownloadEnd::kDone);
}

TEST_F(DownloadDialogTest, AbortCancelsAndWaitsEscapeEndsAtOnceAndALateBlockIsDropped)
{
    ModalDriver driver;
    driver.ExpectDialog(PushPullProgressIds::kTemplate).Do([&](platform::Dialog& dialog) {
        std::thread([&] {
            const std::uint8_t early[] = {1, 2};
            amp.session.blocks->OnBlock(2, 0, early, 2);
        }).join();
        QTest::keyClick(&dialog, Qt::Key_Return);  // Enter does nothing
        dialog.OnCommand(PushPullProgressIds::kAbort);
        EXPECT_EQ(amp.session.cancels, 1);
        EXPECT_FALSE(dialog.Item(PushPullProgressIds::kAbort)->isEnabled());
        EXPECT_FALSE(dialog.IsEnded());  // waits for the session's end
        QTest::keyClick(&dialog, Qt::Key_Escape);
    });
    EXPECT_EQ(RunDownloadProgress(&amp, store), DownloadEnd::kAborted);
    EXPECT_EQ(amp.refs, 0u);

    // The worker finishes after the dialog has gone: its block and its posts are dropped.
    std::thread([&] {
        const std::uint8_t late[] = {9, 9, 9};
        amp.session.blocks->OnBlock(2, 0, late, 3);
        amp.session.blocks->OnBlock(4, 1, late, 3);
        amp.session.progress->OnComplete(1);
        amp.session.DropSinks();
    }).join();
    test_support::DeliverAllPostedMessages();
    EXPECT_EQ(store->BlockCount(), 1u);
    EXPECT_EQ(FindReadParamBlock(*store, 2, 0)->data, (std::vector<std::uint8_t>{1, 2}));
}

TEST_F(DownloadDialogTest, TheMainWindowsShortcutsDoNotRunWhileTheDialogIsUp)
{
    QWidget mainWindow;
    platform::SetMainWindow(&mainWindow);
    int newFiles = 0;
    platform::CommandMap commands;
    commands.On(CommandId::kFileNew, [&] { ++newFiles; });
    platform::ScopedCommandTarget target(platform::CommandLevel::Application, &commands);
    QTest::keyClick(&mainWindow, Qt::Key_N, Qt::ControlModifier);
    ModalDriver driver;
    driver.ExpectDialog(PushPullProgressIds::kTemplate).Do([&](platform::Dialog& dialog) {
        QTest::keyClick(&dialog, Qt::Key_N, Qt::ControlModifier);
        QTest::keyClick(&mainWindow, Qt::Key_N, Qt::ControlModifier);
        Finish(0);
    });
    EXPECT_EQ(RunDownloadProgress(&amp, store), DownloadEnd::kDone);
    EXPECT_EQ(newFiles, 1);  // only the key pressed before the dialog
    platform::SetMainWindow(nullptr);
}

}  // namespace
