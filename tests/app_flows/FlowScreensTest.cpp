// Screenshots of the device flows' windows into <build>/screens/: the firmware dialog
// collapsed, expanded and updating, the minimum-version notice, the two waiting dialogs, and
// the main window online with a virtual amplifier.
#include <gtest/gtest.h>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CConnectionStatusBar.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/DlgFirmwareUpdate.h"
#include "application/ui/DlgUpdateEx.h"
#include "application/ui/DlgWaitForDisconnect.h"
#include "application/ui/DlgWritingParams.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/IdlePass.h"
#include "platform/ui/drawing/CProgressCtrl2.h"
#include "resources/templates/FirmwareUpdateTemplate.h"
#include "tests/app_flows/FlowWorld.h"
#include "tests/app_flows/OnlineEditor.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/ScreenShot.h"

namespace {

void Shoot(platform::Dialog& dialog, const char* name)
{
    EXPECT_FALSE(SaveScreenShot(dialog, name).empty()) << name;
}

TEST(FlowScreens, FirmwareDialogNoticeAndWaitingDialogs)
{
    TempFolder folder("quarry-flow-screens-");
    for (const char* name : {"Cobalt_V5.12.bin", "Corvantine_V6.1.bin"}) {
        WriteWholeFile(folder.Path() / name, "image");
    }
    FlowWorld world;
    RecordingAmplifier amplifier;
    amplifier.version = u"v5.12";
    world.present = {&amplifier};
    ModalDriver driver;
    driver.ExpectDialog(FirmwareUpdateIds::kTemplate).Do([](platform::Dialog& dialog) {
        auto& firmware = static_cast<DlgFirmwareUpdate&>(dialog);
        Shoot(dialog, "firmware_update_collapsed");
        firmware.OnButtonClicked(FirmwareUpdateIds::kAdvanced);
        Shoot(dialog, "firmware_update_expanded");
        // As a started update leaves them: the update runs with both buttons disabled.
        firmware.ProgressBar()->textFormat = "%u%%";
        dialog.EnableItem(FirmwareUpdateIds::kUpdate, false);
        dialog.EnableItem(FirmwareUpdateIds::kClose, false);
        firmware.OnMessage(platform::MsgProgress(), 2, 0);
        firmware.OnMessage(platform::MsgProgress(), 0, 42);
        Shoot(dialog, "firmware_update_writing");
        firmware.OnMessage(platform::MsgProgress(), 4, 0);
        dialog.OnCancel();
    });
    driver.ExpectDialog(349).Do([](platform::Dialog& dialog) { Shoot(dialog, "firmware_minimum_notice"); }).End(2);
    driver.ExpectDialog(202).Do([](platform::Dialog& dialog) { Shoot(dialog, "writing_parameters"); }).End(1);
    driver.ExpectDialog(350).Do([](platform::Dialog& dialog) { Shoot(dialog, "wait_for_disconnect"); }).End(2);
    RunFirmwareUpdateDialog(world, amplifier, folder.Path());
    DlgUpdateEx(world).DoModal();
    DlgWritingParams([] { return true; }, world).DoModal();
    DlgWaitForDisconnect(world).DoModal();
}

TEST(FlowScreens, MainWindowOnlineWithAVirtualAmplifier)
{
    OnlineEditor editor;
    WriteWholeFile(editor.FirmwareFolder() / "Cobalt_V5.0.bin", "image");
    ASSERT_TRUE(editor.Start());
    ModalDriver driver;
    driver.ExpectDialog(197).Click(1118);
    auto amp = editor.Amp({"--device", "a210:SCREEN"});
    ASSERT_TRUE(editor.PumpUntil([&] { return driver.Pending() == 0 && editor.Doc().IsOnline(); }));
    ASSERT_TRUE(editor.PumpUntil(
        [&] { return !editor.writeNotices.empty() && !editor.Frame().IsWritingParameters(); }));
    platform::RunIdlePass();
    EXPECT_EQ(editor.Frame().ConnectionText(), "MV440  v5.20 - Connected");
    EXPECT_EQ(editor.Frame().ConnectionBar()->IconCell(), 1);
    EXPECT_FALSE(SaveScreenShot(editor.Frame(), "main_window_online").empty());
}

}  // namespace
