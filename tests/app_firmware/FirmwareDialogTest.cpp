// The firmware dialog and the two waiting dialogs over a scripted amplifier list and images in
// a temporary folder; timers run by hand. The end-to-end suite takes them through real updates.
#include <gtest/gtest.h>

#include <QListWidget>

#include "application/ui/DlgFirmwareUpdate.h"
#include "application/ui/DlgWaitForDisconnect.h"
#include "application/ui/DlgWritingParams.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/ManualTimerService.h"
#include "platform/ui/core/MessageWindow.h"
#include "platform/ui/drawing/CProgressCtrl2.h"
#include "resources/strings/StringIds.h"
#include "resources/templates/FirmwareUpdateTemplate.h"
#include "tests/app_flows/FlowWorld.h"
#include "tests/support/ModalDriver.h"
#include "tests/support/TempFolder.h"

namespace {

using namespace FirmwareUpdateIds;
using platform::MessageAnswer;

class FirmwareDialogTest : public ::testing::Test {
protected:
    FirmwareDialogTest()
    {
        world.present = {&amplifier};
        for (const char* name : {"Cobalt_V5.12.bin", "Corvantine_V6.1.bin"}) {
            WriteWholeFile(folder.Path() / name, "image");
        }
    }

    // Runs the firmware dialog with `steps`; returns its end code.
    int Run(const std::function<void(DlgFirmwareUpdate&)>& steps)
    {
        ModalDriver driver;
        driver.ExpectDialog(kTemplate).Do([&](platform::Dialog& dialog) {
            steps(static_cast<DlgFirmwareUpdate&>(dialog));
            if (!dialog.IsEnded()) {
                dialog.OnCancel();
            }
        });
        for (const std::uint32_t box : boxes) {
            driver.AnswerBox(box, boxAnswer);
        }
        const bool ok = RunFirmwareUpdateDialog(world, amplifier, folder.Path());
        recorded = driver.Boxes();
        return ok ? 1 : 2;
    }

    TempFolder folder{"quarry-firmware-dialog-"};
    FlowWorld world;
    RecordingAmplifier amplifier;
    platform::ManualTimerService timers;
    platform::ScopedTimerService useTimers{timers};
    std::vector<std::uint32_t> boxes;
    MessageAnswer boxAnswer = MessageAnswer::No;
    std::vector<ModalDriver::Box> recorded;
};

TEST_F(FirmwareDialogTest, ItProposesTheNewestImageCollapsedAndExpandsOnceOnAdvanced)
{
    amplifier.version = u"v5.12";
    Run([&](DlgFirmwareUpdate& dialog) {
        EXPECT_EQ(dialog.ItemText(kStatus),
                  "Firmware needs to be updated.\n\nCurrent version : v5.12\nLatest version : v6.01");
        ASSERT_NE(dialog.Selected(), nullptr);
        EXPECT_EQ(dialog.Selected()->name, "Corvantine_V6.1.bin");
        auto* list = dialog.ItemAs<QListWidget>(kFileList);
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(0)->text().toStdString(), "Corvantine_V6.1.bin");
        EXPECT_EQ(list->currentRow(), -1);
        EXPECT_TRUE(dialog.Item(kUpdate)->isEnabled());
        EXPECT_EQ(dialog.ProgressBar()->Text().toStdString(), " ");

        // The list's place is taken by the button row; the advanced button stays.
        EXPECT_TRUE(list->isHidden());
        EXPECT_EQ(dialog.Item(kUpdate)->y(), list->y());
        const int collapsedHeight = dialog.height();
        const int advancedY = dialog.Item(kAdvanced)->y();
        dialog.OnButtonClicked(kAdvanced);
        EXPECT_FALSE(list->isHidden());
        EXPECT_EQ(dialog.height(), collapsedHeight + dialog.CollapseHeight());
        EXPECT_EQ(dialog.Item(kUpdate)->y(), list->y() + dialog.CollapseHeight());
        EXPECT_EQ(dialog.Item(kAdvanced)->y(), advancedY);
        EXPECT_FALSE(dialog.Item(kAdvanced)->isEnabled());
        dialog.OnButtonClicked(kAdvanced);
        EXPECT_EQ(dialog.height(), collapsedHeight + dialog.CollapseHeight());
    });
}

TEST_F(FirmwareDialogTest, AnUpToDateAmplifierGetsTheUpdateButtonOnlyForAChosenImage)
{
    amplifier.version = u"v6.1";
    Run([&](DlgFirmwareUpdate& dialog) {
        EXPECT_EQ(dialog.StatusHistory(), std::vector<std::uint32_t>{StringId::kFirmwareUpToDate});
        EXPECT_FALSE(dialog.Item(kUpdate)->isEnabled());
        dialog.OnButtonClicked(kAdvanced);
        dialog.ItemAs<QListWidget>(kFileList)->setCurrentRow(1);
        dialog.OnListSelChange(kFileList);
        EXPECT_EQ(dialog.Selected()->name, "Cobalt_V5.12.bin");
        EXPECT_TRUE(dialog.Item(kUpdate)->isEnabled());
    });
}

TEST_F(FirmwareDialogTest, AnUnreadableVersionShows148ExpandedAndAsksForAFile)
{
    amplifier.version = u"firmware?";
    boxes = {StringId::kFirmwareVersionUnidentified};
    Run([&](DlgFirmwareUpdate& dialog) {
        // By the time the user looks, the posted error has shown 148 and expanded the dialog.
        EXPECT_TRUE(dialog.IsExpanded());
        EXPECT_EQ(dialog.StatusHistory(), std::vector<std::uint32_t>{StringId::kFirmwareSelectFile});
    });
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_EQ(recorded[0].icon, platform::MessageIcon::Error);
}

TEST_F(FirmwareDialogTest, AnImageOfTheOtherClassAsks174WithNoAsTheDefault)
{
    amplifier.version = u"v3.19";
    WriteWholeFile(folder.Path() / "Cobalt_V3.20.bin", "image");
    boxes = {StringId::kFirmwareFileIncompatible};
    Run([&](DlgFirmwareUpdate& dialog) {
        dialog.OnButtonClicked(kAdvanced);
        dialog.ItemAs<QListWidget>(kFileList)->setCurrentRow(2);
        dialog.OnListSelChange(kFileList);
        dialog.OnOK();
        EXPECT_FALSE(dialog.IsUpdating());
        EXPECT_TRUE(dialog.Item(kClose)->isEnabled());
    });
    ASSERT_EQ(recorded.size(), 1u);
    EXPECT_TRUE(recorded[0].secondButtonDefault);
    EXPECT_EQ(recorded[0].icon, platform::MessageIcon::Warning);
}

TEST_F(FirmwareDialogTest, TheWaitingDialogsCloseWhenWritingEndsOrTheAmplifierGoes)
{
    bool writing = true;
    ModalDriver driver;
    driver.ExpectDialog(202).Do([&](platform::Dialog& dialog) {
        auto& waiting = static_cast<DlgWritingParams&>(dialog);
        EXPECT_EQ(waiting.KeptText(), "Please wait.  ");
        std::vector<std::string> texts;
        for (int tick = 0; tick < 5; ++tick) {
            timers.Advance(500);
            texts.push_back(platform::WindowText(dialog.Items().back()));
        }
        // The counter starts at 0 and the first tick makes it 1: two dots, then three, four, one.
        EXPECT_EQ(texts, (std::vector<std::string>{"Please wait.  ..", "Please wait.  ...", "Please wait.  ....",
                                                   "Please wait.  .", "Please wait.  .."}));
        EXPECT_FALSE(dialog.IsEnded());
        writing = false;
        timers.Advance(100);
    });
    DlgWritingParams waiting([&] { return writing; }, world);
    EXPECT_EQ(waiting.DoModal(), 1);

    driver.ExpectDialog(350).Do([&](platform::Dialog& dialog) {
        timers.Advance(200);
        EXPECT_FALSE(dialog.IsEnded());
        world.present.clear();
        timers.Advance(200);
    });
    DlgWaitForDisconnect disconnect(world);
    EXPECT_EQ(disconnect.DoModal(), 1);
}

}  // namespace
