// Screenshots of the small dialogs and of the download dialog, as a user sees them.
#include <gtest/gtest.h>

#include "application/ui/CAboutDlg.h"
#include "application/ui/CDlgMutePolarity.h"
#include "application/ui/CDlgSelectModel.h"
#include "application/ui/DlgPushPullProgress.h"
#include "application/ui/DlgUploadDownload.h"
#include "platform/ui/core/ManualTimerService.h"
#include "resources/templates/AboutTemplate.h"
#include "resources/templates/MutePolarityTemplate.h"
#include "resources/templates/PushPullProgressTemplate.h"
#include "resources/templates/SelectModelTemplate.h"
#include "resources/templates/UploadDownloadTemplate.h"
#include "tests/app_transfer/TransferFakes.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ScreenShot.h"
#include "tests/support/PumpEvents.h"

namespace {

std::function<void(platform::Dialog&)> ShootAs(const char* name)
{
    return [name](platform::Dialog& dialog) { EXPECT_FALSE(SaveScreenShot(dialog, name).empty()) << name; };
}

TEST(DialogScreens, EveryDialogOfTheDeviceFlowsAndTheFrame)
{
    platform::ManualTimerService timers;
    platform::ScopedTimerService useTimers(timers);
    SessionAmplifier amp;
    AmplifierList list;
    ModalDriver driver;
    driver.ExpectDialog(AboutIds::kTemplate).Do(ShootAs("dialog_100_about")).End(DialogId::kOk);
    driver.ExpectDialog(SelectModelIds::kTemplate).Do(ShootAs("dialog_177_select_model")).End(DialogId::kCancel);
    driver.ExpectDialog(MutePolarityIds::kTemplate).Do(ShootAs("dialog_186_mute_polarity")).End(DialogId::kCancel);
    driver.ExpectDialog(UploadDownloadIds::kTemplate).Do(ShootAs("dialog_197_upload_download")).End(DialogId::kCancel);
    driver.ExpectDialog(PushPullProgressIds::kTemplate)
        .Do([&](platform::Dialog& dialog) {
            amp.session.progress->OnProgress(0, 42);
            test_support::DeliverAllPostedMessages();
            ShootAs("dialog_194_progress")(dialog);
        })
        .Advance(DlgPushPullProgress::kStallMs)
        .Do(ShootAs("dialog_194_progress_stalled"))
        .Do([&](platform::Dialog&) {
            amp.session.progress->OnComplete(0);
            test_support::DeliverAllPostedMessages();
        });

    ShowAboutBox("MV440A", "v5.20");
    AskModelForNewDesign(ModelType::MV440);
    AskMutePolarity(true);
    AskUploadOrDownload(list, &amp);
    EXPECT_EQ(RunDownloadProgress(&amp, std::make_shared<ReadParamStore>()), DownloadEnd::kDone);
}

}  // namespace
