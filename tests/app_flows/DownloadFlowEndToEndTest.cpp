// Downloads through the whole editor against virtual-amp processes: over edits still on their
// way to the amplifier, with the amplifier pulled out in the middle, Abort on a download that
// crawls or waits behind block writes the amplifier does not take, and the download offered on
// connection, which replaces the user's design only once it has succeeded.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>

#include <QCoreApplication>
#include <QLineEdit>
#include <QtTest/QTest>

#include "application/document/CCorvantEditorDoc.h"
#include "application/ui/CControlView.h"
#include "application/ui/CMainFrame.h"
#include "application/ui/DlgPushPullProgress.h"
#include "dsp_blocks/blocks/CStdMixerController.h"
#include "dsp_blocks/blocks/LSpeakerEQDialogController.h"
#include "dsp_blocks/speaker_eq/SpeakerEqLibrary.h"
#include "dsp_blocks/ui/LDelay.h"
#include "dsp_blocks/ui/LDelayTime.h"
#include "platform/ui/core/Commands.h"
#include "platform/ui/core/IdlePass.h"
#include "platform/ui/core/ManualTimerService.h"
#include "resources/commands/CommandIds.h"
#include "resources/strings/StringIds.h"
#include "resources/templates/DelayRowTemplate.h"
#include "resources/templates/PushPullProgressTemplate.h"
#include "resources/templates/UploadDownloadTemplate.h"
#include "tests/app_flows/OnlineEditor.h"
#include "tests/app_ui/EditorFixture.h"
#include "tests/support/ModalDriver.h"

namespace {

using namespace std::chrono_literals;
using platform::MessageAnswer;
using Clock = std::chrono::steady_clock;

constexpr auto kHangGuard = 60s;
// Abort must end the dialog well within this, however the amplifier behaves.
constexpr auto kAbortBound = 10s;

DlgPushPullProgress& Download(platform::Dialog& dialog)
{
    return static_cast<DlgPushPullProgress&>(dialog);
}

class DownloadFlowEndToEnd : public ::testing::Test {
protected:
    explicit DownloadFlowEndToEnd(const CobaltDeviceManager::AmplifierTimings& timings = OnlineEditor::DefaultTimings())
        : editor(timings)
    {
        WriteWholeFile(editor.FirmwareFolder() / "Cobalt_V5.11.bin", "older than every amplifier");
    }

    bool Settled() { return driver.Pending() == 0; }

    // Plugs an amplifier in and goes online with the design; returns once every block is written.
    std::unique_ptr<e2e_test::VirtualAmpProcess> OnlineWithUpload(const std::string& serial)
    {
        driver.ExpectDialog(UploadDownloadIds::kTemplate).Click(UploadDownloadIds::kUpload);
        auto amp = editor.Amp({"--device", "a210:" + serial});
        EXPECT_TRUE(editor.PumpUntil([&] { return Settled() && editor.Doc().IsOnline(); }));
        EXPECT_TRUE(editor.PumpUntil(
            [&] { return !editor.writeNotices.empty() && !editor.Frame().IsWritingParameters(); }));
        return amp;
    }

    // Runs the idle passes that flush whatever the design still has for the amplifier.
    void FlushEdits()
    {
        const int from = platform::IdlePassCount();
        ASSERT_TRUE(editor.PumpUntil(
            [&] { return platform::IdlePassCount() > from + 2 && !editor.Frame().IsWritingParameters(); }));
    }

    // The blocks of the design that the amplifier holds otherwise, read back by a second
    // download (input gains and mixer slices are left out: the read returns them otherwise).
    std::vector<std::string> DiffersFromAmplifier()
    {
        auto store = std::make_shared<ReadParamStore>();
        driver.ExpectDialog(PushPullProgressIds::kTemplate).RunUntilEnds(kHangGuard);
        CobaltDeviceManager::ICobaltAmplifier* amplifier = editor.FirstAmplifier();
        EXPECT_NE(amplifier, nullptr);
        if (amplifier == nullptr) {
            return {"no amplifier"};
        }
        EXPECT_EQ(RunDownloadProgress(amplifier, store), DownloadEnd::kDone);
        amplifier->Release();
        std::vector<std::string> differing;
        for (const auto& [key, bytes] : DesignBlobs(editor.Doc())) {
            const ReadParamEntry* entry = FindReadParamBlock(*store, key.first, key.second);
            if (key.first == 1 || key.first == 11) {
                continue;
            }
            if (entry == nullptr || entry->data.size() < bytes.size() ||
                !std::equal(bytes.begin(), bytes.end(), entry->data.begin())) {
                differing.push_back(std::to_string(key.first) + "/" + std::to_string(key.second));
            }
        }
        return differing;
    }

    // The download dialog's step that waits, as its modal loop does (no idle pass), for the
    // read to report progress.
    static void AwaitProgress(platform::Dialog& dialog)
    {
        const auto end = Clock::now() + kHangGuard;
        while (Download(dialog).LastValue() == DlgPushPullProgress::kNoValue) {
            ASSERT_LT(Clock::now(), end) << "the read reported no progress";
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            std::this_thread::sleep_for(2ms);
        }
    }

    OnlineEditor editor;
    ModalDriver driver;
};

TEST_F(DownloadFlowEndToEnd, ADownloadOverEditsStillOnTheirWayLeavesDesignAndAmplifierAlike)
{
    ASSERT_TRUE(editor.Start());
    auto amp = OnlineWithUpload("QUEUED");
    CCorvantEditorDoc& document = editor.Doc();
    // Stored for the amplifier; the idle pass that sends them has not come yet.
    GiveCrossoversDistinctFilters(document, 260.0f, 25.0f, 40.0f);
    const auto edited = DesignBlobs(document);

    driver.AnswerBox(StringId::kConfirmDownload, MessageAnswer::Yes);
    driver.ExpectDialog(PushPullProgressIds::kTemplate).RunUntilEnds(kHangGuard);
    platform::SendCommand(CommandId::kDownloadFromAmp);
    ASSERT_TRUE(Settled());
    FlushEdits();

    EXPECT_EQ(DiffersFromAmplifier(), std::vector<std::string>{});
    // The edits reached the amplifier before the read, so the downloaded design holds them.
    EXPECT_TRUE(DesignBlobs(document) == edited);
}

// The worker looks at the library only every 1.5 s here, so that the manager's end of an
// amplifier that vanished reaches the read before the library's own failure does.
class DownloadUnplugEndToEnd : public DownloadFlowEndToEnd {
protected:
    DownloadUnplugEndToEnd() : DownloadFlowEndToEnd(SlowReadPolls()) {}

    static CobaltDeviceManager::AmplifierTimings SlowReadPolls()
    {
        CobaltDeviceManager::AmplifierTimings timings = OnlineEditor::DefaultTimings();
        timings.sessions.readPoll = 1500ms;
        return timings;
    }
};

TEST_F(DownloadUnplugEndToEnd, AnAmplifierPulledOutWhileScanningRunsFailsTheDownloadWith166)
{
    ASSERT_TRUE(editor.Start());
    auto amp = OnlineWithUpload("PULLCMD");
    ASSERT_EQ(amp->Control("timing PULLCMD pace 10"), std::optional<std::string>("OK"));
    driver.AnswerBox(StringId::kConfirmDownload, MessageAnswer::Yes);
    driver.ExpectDialog(PushPullProgressIds::kTemplate)
        .Do([&](platform::Dialog& dialog) {
            AwaitProgress(dialog);
            EXPECT_FALSE(editor.Manager().IsScanSuspended());
            ASSERT_EQ(amp->Control("unplug PULLCMD"), std::optional<std::string>("OK"));
        })
        .RunUntilEnds(kHangGuard);
    driver.AnswerBox(StringId::kDownloadFailed, MessageAnswer::Ok);
    platform::SendCommand(CommandId::kDownloadFromAmp);
    EXPECT_TRUE(Settled());
    ASSERT_TRUE(editor.PumpUntil([&] { return !editor.Doc().IsOnline() && editor.PresentCount() == 0; }));
}

TEST_F(DownloadFlowEndToEnd, AbortEndsAStalledDownloadAtOnceAsACancelAndTheAmplifierServesTheNext)
{
    ASSERT_TRUE(editor.Start());
    platform::ManualTimerService timers;
    platform::ScopedTimerService useTimers(timers);
    Clock::time_point aborted;
    const auto abortAfterTheStall = [&](platform::Dialog& dialog) {
        // Five seconds without a new value bring Abort up.
        timers.Advance(DlgPushPullProgress::kStallMs);
        ASSERT_TRUE(Download(dialog).IsAbortShown());
        aborted = Clock::now();
    };
    const auto endedPromptly = [&] { EXPECT_LT(Clock::now() - aborted, kAbortBound); };

    // The read crawls: every reply comes just before the library would give up on it.
    std::unique_ptr<e2e_test::VirtualAmpProcess> amp;
    driver.ExpectDialog(UploadDownloadIds::kTemplate)
        .Do([&](platform::Dialog&) {
            ASSERT_EQ(amp->Control("timing STALL latency 900"), std::optional<std::string>("OK"));
        })
        .Click(UploadDownloadIds::kDownload);
    driver.ExpectDialog(PushPullProgressIds::kTemplate)
        .Do(AwaitProgress)
        .Do(abortAfterTheStall)
        .Click(PushPullProgressIds::kAbort)
        .RunUntilEnds(kAbortBound);
    // A cancel shows no message; the question comes again for the amplifier still there.
    driver.ExpectDialog(UploadDownloadIds::kTemplate)
        .Do([&](platform::Dialog&) {
            endedPromptly();
            ASSERT_EQ(amp->Control("timing STALL latency 0"), std::optional<std::string>("OK"));
        })
        .Click(UploadDownloadIds::kDownload);
    driver.ExpectDialog(PushPullProgressIds::kTemplate).RunUntilEnds(kHangGuard);
    amp = editor.Amp({"--device", "a210:STALL"});
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled() && editor.Doc().IsOnline(); }));
    EXPECT_TRUE(driver.Boxes().empty());

    // The read waits behind edits that the idle pass began to write, as it does after any
    // edit, to an amplifier that is never ready for them (each block waits 5 s).
    ASSERT_EQ(amp->Control("fault STALL stay-busy 1"), std::optional<std::string>("OK"));
    GiveCrossoversDistinctFilters(editor.Doc(), 300.0f, 25.0f, 40.0f);
    const std::size_t noticesBefore = editor.writeNotices.size();
    ASSERT_TRUE(editor.PumpUntil([&] { return editor.writeNotices.size() > noticesBefore; }));
    EXPECT_EQ(editor.writeNotices[noticesBefore], (std::pair<std::uint32_t, std::uint32_t>{0, 1}));
    driver.AnswerBox(StringId::kConfirmDownload, MessageAnswer::Yes);
    driver.ExpectDialog(PushPullProgressIds::kTemplate)
        .Do(abortAfterTheStall)
        .Click(PushPullProgressIds::kAbort)
        .RunUntilEnds(kAbortBound);
    platform::SendCommand(CommandId::kDownloadFromAmp);
    endedPromptly();
    EXPECT_TRUE(Settled());
    EXPECT_EQ(driver.Boxes().size(), 1u);  // only the question before the download
    // The writes go on once the amplifier is ready, and the next download reads them back.
    ASSERT_EQ(amp->Control("fault STALL stay-busy 0"), std::optional<std::string>("OK"));
    ASSERT_TRUE(editor.PumpUntil([&] {
        return editor.writeNotices.back() == std::pair<std::uint32_t, std::uint32_t>{0, 0} &&
               !editor.Frame().IsWritingParameters();
    }));
    EXPECT_EQ(DiffersFromAmplifier(), std::vector<std::string>{});
}

// The download offered on connection, after the user made a design of their own: a speaker
// preset and a mixer gain, saved, then a delay typed into the panel that stays open.
class DownloadOnConnection : public DownloadFlowEndToEnd {
protected:
    using Blobs = decltype(DesignBlobs(std::declval<const CCorvantEditorDoc&>()));

    // Everything a failed download must leave as it was.
    struct Design {
        Blobs blobs;
        ModelType model = ModelType::Unknown;
        std::string title;
        std::filesystem::path path;
        bool modified = false;
        IBlockPanel* panel = nullptr;
        std::string delayShown;
    };

    template <typename Controller>
    Controller* Find()
    {
        for (const auto& controller : editor.Doc().Controllers()) {
            if (auto* found = dynamic_cast<Controller*>(controller.get())) {
                return found;
            }
        }
        return nullptr;
    }

    static QLineEdit* DelayEdit(LDelay& panel) { return panel.Row(1)->ItemAs<QLineEdit>(DelayRowIds::kDelay); }

    static void TypeDelay(LDelay& panel, const QString& text)
    {
        DelayEdit(panel)->setText(text);
        panel.Row(1)->OnEditKillFocus(DelayRowIds::kDelay);
        PumpEvents();
    }

    Design Now()
    {
        const CCorvantEditorDoc& document = editor.Doc();
        Design design{DesignBlobs(document), document.GetModel(), document.GetTitle(), document.GetPathName(),
                      document.IsModified(), editor.Frame().GetControlView()->OpenPanel(), {}};
        if (auto* delay = dynamic_cast<LDelay*>(design.panel)) {
            design.delayShown = DelayEdit(*delay)->text().toStdString();
        }
        return design;
    }

    void ExpectKept(const Design& before)
    {
        const Design now = Now();
        EXPECT_TRUE(now.blobs == before.blobs);
        EXPECT_EQ(now.model, before.model);
        EXPECT_EQ(now.title, before.title);
        EXPECT_EQ(now.path, before.path);
        EXPECT_EQ(now.modified, before.modified);
        EXPECT_EQ(now.panel, before.panel);
        EXPECT_EQ(now.delayShown, before.delayShown);
    }

    static Blobs OfType(const Blobs& blobs, std::uint32_t type)
    {
        Blobs found;
        std::copy_if(blobs.begin(), blobs.end(), std::back_inserter(found),
                     [type](const auto& entry) { return entry.first.first == type; });
        return found;
    }

    TempFolder projects{"quarry-download-keeps-"};
};

TEST_F(DownloadOnConnection, AnAbortOrUnplugKeepsTheUsersDesignAndOnlyACompleteReadReplacesIt)
{
    ASSERT_TRUE(editor.Start());
    platform::ManualTimerService timers;
    platform::ScopedTimerService useTimers(timers);
    CCorvantEditorDoc& document = editor.Doc();
    auto* speaker = Find<LSpeakerEQDialogController>();
    auto* mixer = Find<CStdMixerController>();
    ASSERT_TRUE(speaker != nullptr && mixer != nullptr);
    ASSERT_GE(SpeakerEqPresets().size(), 2u);
    ASSERT_TRUE(speaker->SetPreset(0, SpeakerEqPresets().back().name.c_str()));
    ASSERT_TRUE(mixer->SetCrossPoint(0, 1, CrossPoint{1, -3.5f}));
    ASSERT_TRUE(document.OnSaveDocument(projects.Path() / "mine.cvp"));
    LDelay* panel = OpenDelayPanel(document, *editor.Frame().GetControlView());
    ASSERT_NE(panel, nullptr);
    TypeDelay(*panel, "7.5");
    const Design mine = Now();
    ASSERT_TRUE(mine.modified);
    ASSERT_EQ(mine.delayShown, "7.5");

    // (a) Escape while the read crawls; the question comes back, and Upload sends the design.
    std::unique_ptr<e2e_test::VirtualAmpProcess> amp;
    driver.ExpectDialog(UploadDownloadIds::kTemplate)
        .Do([&](platform::Dialog&) {
            ASSERT_EQ(amp->Control("timing KEEP latency 900"), std::optional<std::string>("OK"));
        })
        .Click(UploadDownloadIds::kDownload);
    driver.AnswerBox(StringId::kConfirmDownload, MessageAnswer::Yes);
    driver.ExpectDialog(PushPullProgressIds::kTemplate)
        .Do(AwaitProgress)
        .Do([](platform::Dialog& dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); })
        .RunUntilEnds(kAbortBound);
    driver.ExpectDialog(UploadDownloadIds::kTemplate)
        .Do([&](platform::Dialog&) {
            ExpectKept(mine);
            ASSERT_EQ(amp->Control("timing KEEP latency 0"), std::optional<std::string>("OK"));
        })
        .Click(UploadDownloadIds::kUpload);
    amp = editor.Amp({"--device", "a210:KEEP"});
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled() && document.IsOnline(); }));
    ASSERT_TRUE(editor.PumpUntil(
        [&] { return !editor.writeNotices.empty() && !editor.Frame().IsWritingParameters(); }));
    EXPECT_EQ(DiffersFromAmplifier(), std::vector<std::string>{});
    ExpectKept(mine);

    // (b) The amplifier is pulled out while the read runs: 166, and the design stays.
    ASSERT_EQ(amp->Control("unplug KEEP"), std::optional<std::string>("OK"));
    ASSERT_TRUE(editor.PumpUntil([&] { return !document.IsOnline() && editor.PresentCount() == 0; }));
    ASSERT_EQ(amp->Control("timing KEEP pace 10"), std::optional<std::string>("OK"));
    driver.ExpectDialog(UploadDownloadIds::kTemplate).Click(UploadDownloadIds::kDownload);
    driver.AnswerBox(StringId::kConfirmDownload, MessageAnswer::Yes);
    driver.ExpectDialog(PushPullProgressIds::kTemplate)
        .Do(AwaitProgress)
        .Do([&](platform::Dialog&) { ASSERT_EQ(amp->Control("unplug KEEP"), std::optional<std::string>("OK")); })
        .RunUntilEnds(kHangGuard);
    driver.AnswerBox(StringId::kDownloadFailed, MessageAnswer::Ok);
    ASSERT_EQ(amp->Control("replug KEEP"), std::optional<std::string>("OK"));
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled() && !document.IsOnline() && editor.PresentCount() == 0; }));
    ExpectKept(mine);

    // (c) A read that completes replaces the design, an offline edit included, with the
    // amplifier's: what (a) uploaded.
    TypeDelay(*panel, "12.25");
    const Blobs edited = DesignBlobs(document);
    ASSERT_EQ(amp->Control("timing KEEP pace 0"), std::optional<std::string>("OK"));
    driver.ExpectDialog(UploadDownloadIds::kTemplate).Click(UploadDownloadIds::kDownload);
    driver.AnswerBox(StringId::kConfirmDownload, MessageAnswer::Yes);
    driver.ExpectDialog(PushPullProgressIds::kTemplate).RunUntilEnds(kHangGuard);
    ASSERT_EQ(amp->Control("replug KEEP"), std::optional<std::string>("OK"));
    ASSERT_TRUE(editor.PumpUntil([&] { return Settled() && document.IsOnline(); }));
    const Blobs downloaded = DesignBlobs(document);
    EXPECT_TRUE(OfType(downloaded, 7) == OfType(mine.blobs, 7));
    EXPECT_FALSE(OfType(downloaded, 7) == OfType(edited, 7));
    EXPECT_TRUE(OfType(downloaded, 5) == OfType(mine.blobs, 5));
    EXPECT_TRUE(document.GetPathName().empty());
    EXPECT_FALSE(document.IsModified());
    EXPECT_EQ(DiffersFromAmplifier(), std::vector<std::string>{});
}

}  // namespace
