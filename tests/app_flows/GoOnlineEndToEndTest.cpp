// The editor's main road against virtual-amp processes, through the real device manager and
// device library: plug in, go online, upload or download, watch the writes, save the
// configuration, and the checks and notices on the way.
#include <gtest/gtest.h>

#include <QCoreApplication>

#include "application/document/CCorvantEditorDoc.h"
#include "application/flows/DocumentDeviceFlows.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/DlgLockApp.h"
#include "application/ui/DlgPushPullProgress.h"
#include "platform/messages/ProgramMessages.h"
#include "platform/ui/core/Commands.h"
#include "platform/ui/core/IdlePass.h"
#include "platform/ui/core/ManualTimerService.h"
#include "resources/commands/CommandIds.h"
#include "resources/templates/LockNoticeTemplate.h"
#include "tests/app_flows/OnlineEditor.h"
#include "tests/app_ui/EditorFixture.h"
#include "tests/support/RecordingAmplifier.h"
#include "tests/support/ModalDriver.h"

namespace {

using namespace std::chrono_literals;
using platform::MessageAnswer;
using Notice = std::pair<std::uint32_t, std::uint32_t>;

constexpr std::uint32_t kQuestion = 197;
constexpr std::uint32_t kDownloadDialog = 194;
constexpr int kUpload = 1118;
constexpr int kDownload = 1119;

class GoOnlineEndToEnd : public ::testing::Test {
protected:
    GoOnlineEndToEnd() { WriteWholeFile(editor.FirmwareFolder() / "Cobalt_V5.11.bin", "older than every amplifier"); }

    bool Settled() { return driver.Pending() == 0; }

    OnlineEditor editor;
    ModalDriver driver;
};

TEST_F(GoOnlineEndToEnd, UploadWritesTheDesignThenAReplugDownloadsItIntoANewOne)
{
    ASSERT_TRUE(editor.Start());
    CCorvantEditorDoc& document = editor.Doc();
    GiveCrossoversDistinctFilters(document, 130.0f, 30.0f, 45.0f);
    const auto known = DesignBlobs(document);
    driver.ExpectDialog(kQuestion).Click(kUpload);
    auto amp = editor.Amp({"--device", "a210:ROAD"});
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled() && document.IsOnline(); }));
    ASSERT_TRUE(editor.PumpUntil(
        [&] { return !editor.writeNotices.empty() && editor.writeNotices.back() == Notice{0, 0}; }));
    // (0, 1), then (k, total) after every block, then (0, 0).
    const std::vector<Notice>& notices = editor.writeNotices;
    ASSERT_GE(notices.size(), 3u);
    EXPECT_EQ(notices.front(), (Notice{0, 1}));
    const std::uint32_t total = notices[1].second;
    EXPECT_GT(total, 8u);
    ASSERT_GE(notices.size(), total + 2);
    for (std::uint32_t k = 1; k <= total; ++k) {
        EXPECT_EQ(notices[k], (Notice{k, total}));
    }
    EXPECT_EQ(notices[total + 1], (Notice{0, 0}));
    EXPECT_FALSE(editor.Frame().IsWritingParameters());
    platform::RunIdlePass();
    EXPECT_EQ(editor.Frame().ConnectionText(), "MV440  v5.20 - Connected");

    // What the amplifier holds now, read back as a download reads it.
    auto store = std::make_shared<ReadParamStore>();
    driver.ExpectDialog(kDownloadDialog).RunUntilEnds(60s);
    CobaltDeviceManager::ICobaltAmplifier* amplifier = editor.FirstAmplifier();
    ASSERT_NE(amplifier, nullptr);
    ASSERT_EQ(RunDownloadProgress(amplifier, store), DownloadEnd::kDone);
    amplifier->Release();
    int compared = 0;
    for (const auto& [key, bytes] : known) {
        const ReadParamEntry* entry = FindReadParamBlock(*store, key.first, key.second);
        if (key.first == 1 || key.first == 11 || entry == nullptr) {
            continue;
        }
        ASSERT_GE(entry->data.size(), bytes.size());
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), entry->data.begin())) << key.first << "/" << key.second;
        ++compared;
    }
    EXPECT_GE(compared, 20);

    // Unplugged, the design goes offline; a new design stays offline.
    ASSERT_EQ(amp->Control("unplug ROAD"), std::optional<std::string>("OK"));
    ASSERT_TRUE(editor.PumpUntil([&] { return !document.IsOnline() && editor.PresentCount() == 0; }));
    editor.App().OnNewDesign(ModelType::MV440);
    int rounds = 0;
    editor.PumpUntil([&] { return ++rounds > 5; });
    EXPECT_FALSE(document.IsOnline());
    ASSERT_NE(DesignBlobs(document), known);

    driver.ExpectDialog(kQuestion).Click(kDownload);
    driver.ExpectDialog(kDownloadDialog)
        .Do([&](platform::Dialog& dialog) {
            // The question resumed scanning only while it was up; the download runs without,
            // also once what was posted meanwhile has been handled.
            auto& download = static_cast<DlgPushPullProgress&>(dialog);
            while (download.LastValue() == DlgPushPullProgress::kNoValue && !dialog.IsEnded()) {
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            }
            EXPECT_TRUE(editor.Manager().IsScanSuspended());
        })
        .RunUntilEnds(60s);
    ASSERT_EQ(amp->Control("replug ROAD"), std::optional<std::string>("OK"));
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled() && document.IsOnline(); }));
    EXPECT_EQ(DesignBlobs(document), known);
}

// The device library connects one amplifier at a time, so the device manager never lists two;
// the editor's side of several amplifiers runs here over a scripted amplifier list.
TEST(GoOnlineWithSeveralAmplifiers, Message153ComesOnceAndAgainOnlyAfterTheCountFell)
{
    ResetUserState();
    RecordingAmplifier first;
    RecordingAmplifier second;
    EditorFixture editor;
    std::filesystem::create_directory(editor.folder.Path() / "Firmware");
    WriteWholeFile(editor.folder.Path() / "Firmware" / "Cobalt_V5.0.bin", "older");
    editor.amplifiers.present = {&first, &second};
    ASSERT_TRUE(editor.Start());
    ModalDriver driver;
    driver.AnswerBox(153, MessageAnswer::Ok);
    CMainFrame& frame = editor.Frame();
    frame.Messages().Post(platform::MsgDeviceChanged());
    frame.Messages().Post(platform::MsgDeviceChanged());
    PumpEvents();
    EXPECT_EQ(driver.Pending(), 0u);

    // Down to one: the question, which a second amplifier plugged in meanwhile ends.
    platform::ManualTimerService timers;
    platform::ScopedTimerService useTimers(timers);
    driver.ExpectDialog(kQuestion).Do([&](platform::Dialog& dialog) {
        editor.amplifiers.present = {&first, &second};
        frame.Messages().Post(platform::MsgDeviceChanged());
        PumpEvents();
        timers.Advance(200);
        EXPECT_TRUE(dialog.IsEnded());
    });
    driver.AnswerBox(153, MessageAnswer::Ok);
    editor.amplifiers.present = {&first};
    frame.Messages().Post(platform::MsgDeviceChanged());
    PumpEvents();
    PumpEvents();
    EXPECT_EQ(driver.Pending(), 0u);
    EXPECT_EQ(driver.Boxes().size(), 2u);
    EXPECT_FALSE(editor.App().GetDocument()->IsOnline());
}

// The device library connects one amplifier at a time: a second one plugged in waits, with
// no question, until the first one is unplugged, and the editor then goes online with it.
TEST_F(GoOnlineEndToEnd, UnpluggingTheOnlineAmplifierGoesOnlineWithTheOneBesideIt)
{
    ASSERT_TRUE(editor.Start());
    CCorvantEditorDoc& document = editor.Doc();
    driver.ExpectDialog(kQuestion).Click(kUpload);
    auto first = editor.Amp({"--device", "a210:FIRST"});
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled() && document.IsOnline(); }));
    ASSERT_TRUE(editor.PumpUntil(
        [&] { return !editor.writeNotices.empty() && editor.writeNotices.back() == Notice{0, 0}; }));
    auto second = editor.Amp({"--control", editor.DeviceFolder() + "/second.control", "--device", "a210:SECOND",
                              "--version", "V5.21"});
    ASSERT_TRUE(editor.PumpUntil(
        [&] { return editor.Manager().KeysAwaitingOpen() == std::vector<std::u16string>{u"SECOND"}; }));
    EXPECT_TRUE(document.IsOnline());
    platform::RunIdlePass();
    EXPECT_EQ(editor.Frame().ConnectionText(), "MV440  v5.20 - Connected");

    driver.ExpectDialog(kQuestion).Click(kUpload);
    ASSERT_EQ(first->Control("unplug FIRST"), std::optional<std::string>("OK"));
    ASSERT_TRUE(editor.PumpUntil([&] {
        platform::RunIdlePass();
        return Settled() && document.IsOnline() && editor.Frame().ConnectionText() == "MV440  v5.21 - Connected";
    }));
    EXPECT_EQ(editor.PresentCount(), 1u);
    EXPECT_TRUE(editor.Manager().KeysAwaitingOpen().empty());
}

TEST_F(GoOnlineEndToEnd, FirmwareAndModelChecksRefuseWhatDoesNotFit)
{
    ASSERT_TRUE(editor.Start());
    // 5.11: the upload is refused with 134 and the question comes back.
    driver.ExpectDialog(kQuestion).Click(kUpload);
    driver.AnswerBox(134, MessageAnswer::Ok);
    driver.ExpectDialog(kQuestion).End(2);
    {
        auto amp = editor.Amp({"--device", "a210:OLD", "--version", "V5.11"});
        ASSERT_TRUE(editor.PumpUntil([&] { return Settled(); }));
        EXPECT_FALSE(editor.Doc().IsOnline());
    }
    ASSERT_TRUE(editor.PumpUntil([&] { return editor.PresentCount() == 0; }));

    // An MV440 design on an MV340A asks 181 first; No leaves it as it is.
    driver.ExpectDialog(kQuestion).Click(kUpload);
    driver.AnswerBox(181, MessageAnswer::No);
    driver.ExpectDialog(kQuestion).End(2);
    {
        auto amp = editor.Amp({"--device", "a210:THREE", "--model-code", "5"});
        ASSERT_TRUE(editor.PumpUntil([&] { return Settled(); }));
        EXPECT_EQ(editor.Doc().GetModel(), ModelType::MV440);
    }
    ASSERT_TRUE(editor.PumpUntil([&] { return editor.PresentCount() == 0; }));

    // A version that cannot be read must be updated first; an upload asked for anyway asks 177.
    driver.ExpectDialog(349).End(2);
    auto amp = editor.Amp({"--device", "a210:ODD", "--version", "Vx5"});
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled(); }));
    driver.AnswerBox(177, MessageAnswer::No);
    editor.Flows().OnUploadToAmp();
    EXPECT_EQ(driver.Pending(), 0u);
}

TEST_F(GoOnlineEndToEnd, SaveConfigurationNeedsFiveTwentyLocksOnlyASlowStoreAndTheConfigSwitchLocksToo)
{
    ASSERT_TRUE(editor.Start());
    CMainFrame& frame = editor.Frame();
    driver.ExpectDialog(kQuestion).Click(kUpload);
    {
        auto amp = editor.Amp({"--device", "a210:FIVE12", "--version", "V5.12"});
        ASSERT_TRUE(editor.PumpUntil([&] { return Settled() && editor.Doc().IsOnline(); }));
        EXPECT_FALSE(platform::Router().MenuState(CommandId::kSaveConfigurationToAmp).enabled);
    }
    ASSERT_TRUE(editor.PumpUntil([&] { return editor.PresentCount() == 0; }));

    driver.ExpectDialog(kQuestion).Click(kUpload);
    auto amp = editor.Amp({"--store-ms", "1500", "--device", "a210:STORE"});
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled() && editor.Doc().IsOnline(); }));
    EXPECT_TRUE(platform::Router().MenuState(CommandId::kSaveConfigurationToAmp).enabled);
    ASSERT_TRUE(editor.PumpUntil([&] { return !frame.IsWritingParameters() && !editor.writeNotices.empty(); }));

    int locks = 0;
    int unlocks = 0;
    DocumentDeviceFlows& flows = editor.Flows();
    editor.App().DocumentCommands().On(CommandId::kLockApp, [&] { ++locks, flows.OnLockApp(); });
    editor.App().DocumentCommands().On(CommandId::kUnlockApp, [&] { ++unlocks, flows.OnUnlockApp(); });
    platform::ManualTimerService timers;
    platform::ScopedTimerService useTimers(timers);
    const auto noticeShown = [&] { return frame.LockNotice() != nullptr && frame.LockNotice()->isVisible(); };
    const auto noticeArmed = [&] {
        return frame.LockNotice() != nullptr && frame.LockNotice()->IsTimerSet(DlgLockApp::kDelayTimer);
    };
    platform::SendCommand(CommandId::kSaveConfigurationToAmp);
    ASSERT_TRUE(editor.PumpUntil([&] { return locks == 1; }));
    EXPECT_TRUE(noticeArmed());
    timers.Advance(499);
    EXPECT_FALSE(noticeShown());
    timers.Advance(2);
    EXPECT_TRUE(noticeShown());
    ASSERT_TRUE(editor.PumpUntil([&] { return unlocks == 1; }));
    EXPECT_FALSE(noticeShown());

    ASSERT_EQ(amp->Control("timing STORE store 0"), std::optional<std::string>("OK"));
    platform::SendCommand(CommandId::kSaveConfigurationToAmp);
    ASSERT_TRUE(editor.PumpUntil([&] { return unlocks == 2; }));
    EXPECT_EQ(locks, 2);
    timers.Advance(1000);
    EXPECT_FALSE(noticeShown());
    EXPECT_FALSE(noticeArmed());

    // The CONFIG switch bit of the hardware status shows and hides notice 185.
    CobaltDeviceManager::ICobaltAmplifier* amplifier = editor.FirstAmplifier();
    ASSERT_NE(amplifier, nullptr);
    amplifier->EnableMeterPolling(true);
    amplifier->Release();
    const auto notice185 = [&] {
        return noticeShown() &&
               frame.LockNotice()->ItemText(LockNoticeIds::kMessage).rfind("CONFIG DIP switch", 0) == 0;
    };
    ASSERT_EQ(amp->Control("hwinfo STORE 000000000101010101010101000000"), std::optional<std::string>("OK"));
    ASSERT_TRUE(editor.PumpUntil(notice185));
    ASSERT_EQ(amp->Control("hwinfo STORE 000000000101000101010101000000"), std::optional<std::string>("OK"));
    ASSERT_TRUE(editor.PumpUntil([&] { return !notice185(); }));
}

}  // namespace
