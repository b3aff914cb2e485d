// The firmware road against virtual-amp processes, from the go-online flow through the
// firmware dialog, the device manager and the device library to the amplifier's flash; the
// dialogs are answered by the scripted driver.
#include <gtest/gtest.h>

#include <algorithm>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/DlgFirmwareUpdate.h"
#include "application/ui/DlgUploadDownload.h"
#include "platform/ui/core/ControlIds.h"
#include "platform/ui/core/ManualTimerService.h"
#include "resources/strings/StringIds.h"
#include "resources/templates/FirmwareUpdateTemplate.h"
#include "tests/app_flows/OnlineEditor.h"
#include "tests/support/ModalDriver.h"
#include "tools/virtual_amp/lib/TestFirmware.h"

namespace {

using namespace std::chrono_literals;
using platform::MessageAnswer;

constexpr std::uint32_t kQuestion = 197;
constexpr std::uint32_t kTooOld = 349;

std::vector<std::uint8_t> FromHex(const std::string& hex)
{
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// `length` bytes of the amplifier's flash (or MCU memory) from the control channel.
std::vector<std::uint8_t> ReadMemory(e2e_test::VirtualAmpProcess& amp, const std::string& serial, bool mcu,
                                     std::uint32_t address, std::uint32_t length)
{
    std::vector<std::uint8_t> bytes;
    for (std::uint32_t done = 0; done < length;) {
        const std::uint32_t part = std::min<std::uint32_t>(0x8000, length - done);
        const auto answer = amp.Control(std::string(mcu ? "read-mcu " : "read-flash ") + serial + " " +
                                        std::to_string(address + done) + " " + std::to_string(part));
        if (!answer || answer->rfind("OK ", 0) != 0) {
            return {};
        }
        const std::vector<std::uint8_t> chunk = FromHex(answer->substr(3));
        bytes.insert(bytes.end(), chunk.begin(), chunk.end());
        done += part;
    }
    return bytes;
}

// The session's steps in order, each once, without the percentages; those must all come
// while the transfer runs, rising. How many come depends on the machine's pace.
std::vector<int> StepsWithRisingPercentages(const std::vector<std::pair<int, int>>& notices)
{
    std::vector<int> steps;
    int lastPercent = -1;
    for (const auto& [code, value] : notices) {
        if (code != 0) {
            if (steps.empty() || steps.back() != code) {
                steps.push_back(code);
            }
            continue;
        }
        EXPECT_TRUE(!steps.empty() && steps.back() == 2) << "a percentage outside the transfer";
        EXPECT_GE(value, lastPercent);
        lastPercent = value;
    }
    return steps;
}

class FirmwareEndToEnd : public ::testing::Test {
protected:
    std::vector<std::uint8_t> AddImage(const std::string& name, const std::string& version, std::uint32_t seed)
    {
        VirtualAmp::TestFirmwareOptions options;
        options.version = version;
        options.seed = seed;
        EXPECT_TRUE(VirtualAmp::WriteTestFirmware((editor.FirmwareFolder() / name).string(), options));
        return VirtualAmp::BuildTestFirmware(options);
    }
    static DlgFirmwareUpdate& Firmware(platform::Dialog& dialog) { return static_cast<DlgFirmwareUpdate&>(dialog); }
    bool Settled() { return driver.Pending() == 0; }

    // The offered update of amplifier PULL (V5.12, to V6.1), which vanishes in the middle of
    // the transfer until replugged; the script goes on once the dialog shows the failure and
    // the editor has heard of the unplug.
    DialogScript& PullMidTransfer()
    {
        AddImage("Corvantine_V6.1.bin", "V6.1", 3);
        driver.AnswerBox(StringId::kFirmwareOfferUpdate, MessageAnswer::Yes);
        return driver.ExpectDialog(FirmwareUpdateIds::kTemplate)
            .Do([this](platform::Dialog&) {
                EXPECT_EQ(pulled->Control("reset-counters PULL"), std::optional<std::string>("OK"));
                EXPECT_EQ(pulled->Control("fault PULL unplug-at 1500"), std::optional<std::string>("OK"));
            })
            .Click(FirmwareUpdateIds::kUpdate)
            .Do([this](platform::Dialog& dialog) {
                ASSERT_TRUE(editor.PumpUntil([&] { return !Firmware(dialog).IsUpdating(); }, 120s));
                firstNotices = Firmware(dialog).Notices();
                EXPECT_EQ(pulled->Control("present PULL"), std::optional<std::string>("OK 0"));
                ASSERT_TRUE(editor.PumpUntil([&] { return editor.Manager().IsRescanPending(); }));
                EXPECT_EQ(dialog.ItemText(FirmwareUpdateIds::kStatus), "Failed to update firmware. ");
            });
    }
    void PlugInPull() { pulled = editor.Amp({"--device", "a210:PULL", "--version", "V5.12"}); }
    // Up to the pull the session went into the boot loader and transferred; then it failed.
    void ExpectPulledSteps() const
    {
        EXPECT_EQ(StepsWithRisingPercentages(firstNotices), (std::vector<int>{1, 2, 4}));
        ASSERT_FALSE(firstNotices.empty());
        EXPECT_EQ(firstNotices.back(), (std::pair<int, int>{4, 2}));
    }
    // At the question that comes once the updated amplifier is back, it runs V6.1; the user
    // declines the question the only way it allows, by unplugging the amplifier, so that no
    // later notice of the device changes asks again.
    void ExpectUpdatedAndUnplug(const e2e_test::VirtualAmpProcess& amp, const std::string& serial)
    {
        CobaltDeviceManager::ICobaltAmplifier* amplifier = editor.FirstAmplifier();
        ASSERT_NE(amplifier, nullptr);
        EXPECT_EQ(amplifier->GetFirmwareVersion(), u"v6.1");
        amplifier->Release();
        EXPECT_EQ(amp.Control("unplug " + serial), std::optional<std::string>("OK"));
        ASSERT_TRUE(editor.PumpUntil([&] { return editor.PresentCount() == 0; }));
    }
    // Waits, as a user reading the result does, until the success has been reported twice (the
    // session's last step and its completion) and the amplifier has left its boot loader for
    // the new application, so that the rescan after Close finds it gone or back, not leaving.
    void AwaitUpdated(platform::Dialog& dialog, const e2e_test::VirtualAmpProcess& amp, const std::string& serial)
    {
        const std::vector<std::pair<int, int>>& notices = Firmware(dialog).Notices();
        ASSERT_TRUE(editor.PumpUntil(
            [&] {
                return std::count(notices.begin(), notices.end(), std::pair<int, int>{4, 0}) == 2 &&
                       amp.Control("mode " + serial) == std::optional<std::string>("OK app");
            },
            120s));
    }
    static void ExpectFailureShownWithBothButtons(platform::Dialog& dialog)
    {
        EXPECT_FALSE(dialog.IsEnded());
        EXPECT_EQ(Firmware(dialog).StatusHistory().back(), StringId::kFirmwareUpdateFailed);
        EXPECT_TRUE(dialog.Item(FirmwareUpdateIds::kUpdate)->isEnabled());
        EXPECT_TRUE(dialog.Item(FirmwareUpdateIds::kClose)->isEnabled());
    }

    OnlineEditor editor;
    ModalDriver driver;
    std::unique_ptr<e2e_test::VirtualAmpProcess> pulled;
    std::vector<std::pair<int, int>> firstNotices;
};

TEST_F(FirmwareEndToEnd, AnOfferedUpdateFlashesTheNewestImageAndTheAmplifierComesBackWithIt)
{
    AddImage("Cobalt_V5.12.bin", "V5.12", 1);
    const std::vector<std::uint8_t> image = AddImage("Corvantine_V6.1.bin", "V6.1", 7);
    ASSERT_TRUE(editor.Start());
    std::unique_ptr<e2e_test::VirtualAmpProcess> amp;
    std::vector<std::pair<int, int>> notices;
    std::vector<std::uint32_t> statuses;
    driver.AnswerBox(StringId::kFirmwareOfferUpdate, MessageAnswer::Yes);
    driver.ExpectDialog(FirmwareUpdateIds::kTemplate)
        .Do([&](platform::Dialog& dialog) {
            const DlgFirmwareUpdate& firmware = Firmware(dialog);
            EXPECT_TRUE(editor.Manager().IsScanSuspended());
            EXPECT_EQ(dialog.ItemText(FirmwareUpdateIds::kStatus),
                      "Firmware needs to be updated.\n\nCurrent version : v5.12\nLatest version : v6.01");
            ASSERT_NE(firmware.Selected(), nullptr);
            EXPECT_EQ(firmware.Selected()->name, "Corvantine_V6.1.bin");
        })
        .Click(FirmwareUpdateIds::kUpdate)
        .Do([&](platform::Dialog& dialog) {
            EXPECT_TRUE(Firmware(dialog).IsUpdating());
            EXPECT_FALSE(dialog.Item(FirmwareUpdateIds::kClose)->isEnabled());
            dialog.OnCancel();  // refused while the update runs
            EXPECT_FALSE(dialog.IsEnded());
            AwaitUpdated(dialog, *amp, "FW");
            notices = Firmware(dialog).Notices();
            statuses = Firmware(dialog).StatusHistory();
        })
        .Click(FirmwareUpdateIds::kClose);
    driver.ExpectDialog(kQuestion).Do([&](platform::Dialog& dialog) {
        ExpectUpdatedAndUnplug(*amp, "FW");
        ASSERT_TRUE(editor.PumpUntil([&] { return dialog.IsEnded(); }));
    });
    amp = editor.Amp({"--device", "a210:FW", "--version", "V5.12"});
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled(); }, 180s));
    EXPECT_EQ(driver.Boxes().size(), 1u);

    // The dialog saw the session's steps in order.
    EXPECT_EQ(StepsWithRisingPercentages(notices), (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(statuses, (std::vector<std::uint32_t>{StringId::kFirmwareNeedsUpdate, StringId::kFirmwareWriting,
                                                    StringId::kFirmwareSwitchingMode, StringId::kFirmwareWriting,
                                                    StringId::kFirmwareRestarting, StringId::kFirmwareUpdated,
                                                    StringId::kFirmwareUpdated}));

    // The amplifier runs the new application, and its memories hold the image's regions.
    EXPECT_EQ(amp->Control("mode FW"), std::optional<std::string>("OK app"));
    const struct {
        std::uint32_t address;
        std::uint32_t fileOffset;
        std::uint32_t length;
    } regions[] = {{0x00000, 0x00000, 0x20000}, {0x28000, 0x28000, 0x14000}, {0x3E000, 0x3E000, 0x100},
                   {0x3C000, 0x3C000, 0x1000},  {0x3D000, 0x3C000, 0x1000},  {0x61000, 0x20000, 0x8000},
                   {0x52000, 0x52000, 16},      {0x55000, 0x55000, 16}};
    for (const auto& region : regions) {
        const std::vector<std::uint8_t> flash = ReadMemory(*amp, "FW", false, region.address, region.length);
        EXPECT_TRUE(std::equal(flash.begin(), flash.end(), image.begin() + region.fileOffset) &&
                    flash.size() == region.length)
            << std::hex << region.address;
    }
    const std::vector<std::uint8_t> program = ReadMemory(*amp, "FW", true, 0x3000, 0xD000);
    EXPECT_TRUE(program.size() == 0xD000 && std::equal(program.begin(), program.end(), image.begin() + 0x80000));
}

TEST_F(FirmwareEndToEnd, APullMidTransferLeaves180UpUntilClosedAndTheReturnInTheBootLoaderIsRecovered)
{
    platform::ManualTimerService timers;
    platform::ScopedTimerService useTimers(timers);
    ASSERT_TRUE(editor.Start());
    PullMidTransfer()
        .Do([&](platform::Dialog& dialog) {
            // The presence check ticks with no amplifier about; the result stays for the user.
            timers.Advance(8 * DlgFirmwareUpdate::kPresenceMs);
            ExpectFailureShownWithBothButtons(dialog);
        })
        .Click(FirmwareUpdateIds::kUpdate)  // again, with nothing plugged in: 141
        .Do([&](platform::Dialog& dialog) {
            ExpectFailureShownWithBothButtons(dialog);
            EXPECT_EQ(pulled->Control("replug PULL"), std::optional<std::string>("OK"));
            EXPECT_EQ(pulled->Control("mode PULL"), std::optional<std::string>("OK boot"));
        })
        .Click(FirmwareUpdateIds::kClose);
    driver.AnswerBox(StringId::kFirmwareStartFailed, MessageAnswer::Ok);
    // Closed, the flow ends and scanning finds the amplifier again, in its boot loader with no
    // version to show: below the minimum, the road to recovery flashes it and brings it back.
    driver.ExpectDialog(kTooOld).Click(1);
    driver.ExpectDialog(FirmwareUpdateIds::kTemplate)
        .Do([&](platform::Dialog& dialog) {
            ASSERT_TRUE(editor.PumpUntil([&] { return Firmware(dialog).IsExpanded(); }));
        })
        .Choose(FirmwareUpdateIds::kFileList, 0)
        .Click(FirmwareUpdateIds::kUpdate)
        .Do([&](platform::Dialog& dialog) { AwaitUpdated(dialog, *pulled, "PULL"); })
        .Click(FirmwareUpdateIds::kClose);
    driver.AnswerBox(StringId::kFirmwareVersionUnidentified, MessageAnswer::Ok);
    driver.AnswerBox(StringId::kFirmwareFileIncompatible, MessageAnswer::Yes);
    driver.ExpectDialog(kQuestion).Do([&](platform::Dialog& dialog) {
        ExpectUpdatedAndUnplug(*pulled, "PULL");
        timers.Advance(DlgUploadDownload::kPresenceMs);
        EXPECT_TRUE(dialog.IsEnded());
    });
    PlugInPull();
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled(); }, 180s));
    ExpectPulledSteps();
}

TEST_F(FirmwareEndToEnd, APulledAmplifierPluggedBackIsUpdatedAgainFromTheSameDialog)
{
    ASSERT_TRUE(editor.Start());
    PullMidTransfer()
        .Do([&](platform::Dialog& dialog) {
            ExpectFailureShownWithBothButtons(dialog);
            EXPECT_EQ(pulled->Control("replug PULL"), std::optional<std::string>("OK"));
            ASSERT_TRUE(pulled->WaitPresent("PULL", true, 60s));
        })
        .Click(FirmwareUpdateIds::kUpdate)
        .Do([&](platform::Dialog& dialog) {
            AwaitUpdated(dialog, *pulled, "PULL");
            // Already in its boot loader, the amplifier is not reset into it a second time.
            const std::vector<std::pair<int, int>>& notices = Firmware(dialog).Notices();
            EXPECT_EQ(std::count(notices.begin(), notices.end(), std::pair<int, int>{1, 0}), 1);
        })
        .Click(FirmwareUpdateIds::kClose);
    driver.ExpectDialog(kQuestion).Do([&](platform::Dialog& dialog) {
        ExpectUpdatedAndUnplug(*pulled, "PULL");
        ASSERT_TRUE(editor.PumpUntil([&] { return dialog.IsEnded(); }));
    });
    PlugInPull();
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled(); }, 180s));
    ExpectPulledSteps();
    EXPECT_EQ(driver.Dialogs(), (std::vector<std::uint32_t>{FirmwareUpdateIds::kTemplate, kQuestion}));
}

TEST_F(FirmwareEndToEnd, ARefusedBootLoaderGives180AndTheAmplifierStaysInItsApplication)
{
    AddImage("Corvantine_V6.1.bin", "V6.1", 4);
    ASSERT_TRUE(editor.Start());
    std::unique_ptr<e2e_test::VirtualAmpProcess> amp;
    driver.AnswerBox(StringId::kFirmwareOfferUpdate, MessageAnswer::Yes);
    driver.ExpectDialog(FirmwareUpdateIds::kTemplate)
        .Do([&](platform::Dialog&) {
            EXPECT_EQ(amp->Control("fault REFUSE refuse-boot 1"), std::optional<std::string>("OK"));
        })
        .Click(FirmwareUpdateIds::kUpdate)
        .Do([&](platform::Dialog& dialog) {
            ASSERT_TRUE(editor.PumpUntil([&] { return !Firmware(dialog).IsUpdating(); }, 120s));
            EXPECT_EQ(Firmware(dialog).StatusHistory().back(), StringId::kFirmwareUpdateFailed);
            EXPECT_EQ(Firmware(dialog).Notices().front(), (std::pair<int, int>{1, 0}));
        })
        .Click(FirmwareUpdateIds::kClose);
    // Online with the old firmware; the notices of the resets on the way find it online.
    driver.ExpectDialog(kQuestion).Click(1118);
    amp = editor.Amp({"--device", "a210:REFUSE", "--version", "V5.12"});
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled() && editor.Doc().IsOnline(); }, 180s));
    ASSERT_TRUE(
        editor.PumpUntil([&] { return !editor.Frame().IsWritingParameters() && !editor.writeNotices.empty(); }));
    EXPECT_EQ(amp->Control("mode REFUSE"), std::optional<std::string>("OK app"));
}

TEST_F(FirmwareEndToEnd, AnUnreadableImageGives141AndTheAmplifierIsNeverReset)
{
    WriteWholeFile(editor.FirmwareFolder() / "Corvantine_V6.1.bin", "");
    ASSERT_TRUE(editor.Start());
    driver.AnswerBox(StringId::kFirmwareOfferUpdate, MessageAnswer::Yes);
    driver.ExpectDialog(FirmwareUpdateIds::kTemplate).Click(FirmwareUpdateIds::kUpdate).Click(FirmwareUpdateIds::kClose);
    driver.AnswerBox(StringId::kFirmwareStartFailed, MessageAnswer::Ok);
    driver.ExpectDialog(kQuestion).End(2);
    auto amp = editor.Amp({"--device", "a210:EMPTY", "--version", "V5.12"});
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled(); }));
    const auto counters = amp->Control("counters EMPTY");
    ASSERT_TRUE(counters.has_value());
    EXPECT_NE(counters->find(" resets=0 "), std::string::npos) << *counters;
    EXPECT_EQ(amp->Control("mode EMPTY"), std::optional<std::string>("OK app"));
}

TEST_F(FirmwareEndToEnd, BelowTheMinimumTheNoticeEndsWithinOneTickOfTheAmplifierGoing)
{
    AddImage("Corvantine_V6.1.bin", "V6.1", 5);
    platform::ManualTimerService timers;
    platform::ScopedTimerService useTimers(timers);
    ASSERT_TRUE(editor.Start());
    std::unique_ptr<e2e_test::VirtualAmpProcess> amp;
    driver.ExpectDialog(kTooOld).Do([&](platform::Dialog& dialog) {
        EXPECT_NE(platform::WindowText(dialog.Items().front()).find("v5.12 or higher"), std::string::npos);
        timers.Advance(250);
        EXPECT_FALSE(dialog.IsEnded());
        EXPECT_EQ(amp->Control("unplug OLD"), std::optional<std::string>("OK"));
        ASSERT_TRUE(editor.PumpUntil([&] { return editor.PresentCount() == 0; }));
        timers.Advance(249);
        EXPECT_FALSE(dialog.IsEnded());
        timers.Advance(1);
        EXPECT_TRUE(dialog.IsEnded());
        EXPECT_EQ(dialog.EndCode(), 2);
    });
    amp = editor.Amp({"--device", "a210:OLD", "--version", "V5.11"});
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled(); }));
    EXPECT_TRUE(editor.PumpUntil([&] { return editor.PresentCount() == 0; }));
    EXPECT_EQ(driver.Dialogs(), std::vector<std::uint32_t>{kTooOld});
}

}  // namespace
