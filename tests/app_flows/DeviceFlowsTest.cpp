// The document's device flows over a real document and scripted surroundings: the count
// rules of going online, firmware thresholds, model families, the upload's checks, mute
// polarity, saving the configuration, the hardware-status lock notice, nested go-online
// commands, the wait for parameter writes and the connection bar.
#include <gtest/gtest.h>

#include "application/document/AmplifierRef.h"
#include "application/flows/DocumentDeviceFlows.h"
#include "resources/commands/CommandIds.h"
#include "tests/app_flows/FlowWorld.h"
#include "tests/support/TempFolder.h"

namespace {

using Log = std::vector<std::string>;
constexpr int kUpload = 1118;
constexpr int kDownload = 1119;

ModelType ModelOfCommand(std::uint32_t command)
{
    switch (command) {
    case CommandId::kNewDesignMV440:
        return ModelType::MV440;
    case CommandId::kNewDesignMV440A:
        return ModelType::MV440A;
    case CommandId::kNewDesignMV340A:
        return ModelType::MV340A;
    default:
        return ModelType::MV220;
    }
}

class DeviceFlowsTest : public ::testing::Test {
protected:
    DeviceFlowsTest()
    {
        CurrentAmplifier::Set(nullptr);
        for (const char* name : {"BlockDiagram.txt", "BlockDiagram2.txt"}) {
            std::filesystem::copy_file(std::filesystem::path(QUARRY_SHIPPED_DATA_DIR) / name, data.Path() / name);
        }
        world.onSendCommand = [this](std::uint32_t command) {
            world.pendingModel = ModelOfCommand(command);
            document.OnNewDocument();
        };
        EXPECT_TRUE(document.OnNewDocument());
        world.log.clear();
    }
    ~DeviceFlowsTest() override
    {
        document.Detach();
        CurrentAmplifier::Set(nullptr);
    }

    void NewDesign(ModelType model)
    {
        world.pendingModel = model;
        ASSERT_TRUE(document.OnNewDocument());
        world.log.clear();
    }
    // Goes online with `amplifier` as the only one, answering Upload.
    void Online(RecordingAmplifier& amplifier)
    {
        world.present = {&amplifier};
        world.uploadDownloadAnswers = {kUpload};
        flows.OnGoOnline();
        ASSERT_TRUE(document.IsOnline());
        world.log.clear();
    }
    // The amplifier's worker reports a status change; the idle poll takes it.
    void StatusChanges(RecordingAmplifier& amplifier, std::uint32_t status)
    {
        amplifier.status = status;
        CCorvantEditorDoc::OnAmplifierStatusChanged(&document);
        flows.OnIdlePoll();
    }

    // The amplifiers' firmware is newer than every image: nothing is offered.
    static FlowWorld WorldWithImages(const std::filesystem::path& folder)
    {
        WriteWholeFile(folder / "Cobalt_V5.0.bin", "image");
        FlowWorld world;
        world.firmwareFolder = folder;
        return world;
    }

    TempFolder data{"quarry-flows-data-"};
    TempFolder firmware{"quarry-flows-firmware-"};
    FlowWorld world = WorldWithImages(firmware.Path());
    CCorvantEditorDoc document{DocumentServices{world, world, world}, data.Path()};
    DocumentDeviceFlows flows{document, DocumentServices{world, world, world}, world};
    RecordingAmplifier first{2};
    RecordingAmplifier second{2};
    RecordingAmplifier third{2};
};

TEST_F(DeviceFlowsTest, SeveralAmplifiersShow153OnlyWhenTheirCountGrows)
{
    const std::vector<std::vector<CobaltDeviceManager::ICobaltAmplifier*>> steps = {
        {&first, &second}, {&first, &second}, {&first, &second, &third}, {&first, &second}, {&first},
        {&first, &second}};
    std::vector<std::size_t> shown;
    for (const auto& present : steps) {
        world.present = present;
        world.log.clear();
        flows.OnGoOnline();
        shown.push_back(world.Logged("box:153").size());
        EXPECT_FALSE(document.IsOnline());
    }
    EXPECT_EQ(shown, (std::vector<std::size_t>{1, 0, 1, 0, 0, 1}));
    EXPECT_FALSE(CurrentAmplifier::Get());
    EXPECT_EQ(first.refs, 0u);
}

TEST_F(DeviceFlowsTest, FirmwareThresholdsGateOnlineTransfersAndSaveConfiguration)
{
    world.present = {&first};
    first.version = u"v5.1";
    EXPECT_FALSE(flows.IsFirmwareUsable(first));
    first.version = u"v5.2";
    EXPECT_TRUE(flows.IsFirmwareUsable(first));
    first.version = u"v5.11";
    EXPECT_FALSE(flows.CheckFirmwareVersion(first));
    first.version = u"v5.12";
    EXPECT_TRUE(flows.CheckFirmwareVersion(first));
    first.version = u"v5.x";
    world.answers = {MessageAnswer::Yes, MessageAnswer::No};
    EXPECT_TRUE(flows.CheckFirmwareVersion(first));
    EXPECT_FALSE(flows.CheckFirmwareVersion(first));
    EXPECT_EQ(world.Logged("box:"), (Log{"box:134", "box:177", "box:177"}));

    EXPECT_FALSE(flows.CanSaveConfiguration());
    first.version = u"v5.19";
    Online(first);
    EXPECT_FALSE(flows.CanSaveConfiguration());
    first.version = u"v5.20";
    EXPECT_TRUE(flows.CanSaveConfiguration());
}

TEST_F(DeviceFlowsTest, GoingOnlineAsksThenUploadsWithScanningSuspendedAroundTheQuestion)
{
    RecordingAmplifier amplifier{3};  // MV440A: the same family as the MV440 design
    Online(amplifier);
    EXPECT_EQ(document.GetModel(), ModelType::MV440);
    EXPECT_EQ(CurrentAmplifier::Get().Get(), &amplifier);
    EXPECT_FALSE(amplifier.queued.empty());
    EXPECT_EQ(amplifier.callback, &CCorvantEditorDoc::OnAmplifierStatusChanged);

    // A repeated notice for the amplifier the design is online with changes nothing.
    const std::size_t queued = amplifier.queued.size();
    flows.OnGoOnline();
    EXPECT_TRUE(world.log.empty());
    EXPECT_EQ(amplifier.queued.size(), queued);
}

TEST_F(DeviceFlowsTest, AnMV440DesignAsks181ForAnMV340AAndCancellingLeavesItOffline)
{
    RecordingAmplifier amplifier{4};
    world.present = {&amplifier};
    world.uploadDownloadAnswers = {kUpload};
    flows.OnGoOnline();
    // No leaves the design as it is and asks again; the unanswered question leaves it offline.
    EXPECT_EQ(world.log, (Log{"idle", "scan:1,0", "post:32847", "dialog:197", "box:181", "lock:0,0", "scan:0,0",
                              "scan:1,0", "dialog:197", "lock:0,0", "scan:0,0"}));
    EXPECT_FALSE(document.IsOnline());
    EXPECT_TRUE(amplifier.queued.empty());

    world.log.clear();
    world.uploadDownloadAnswers = {kUpload};
    world.answers = {MessageAnswer::Yes};
    flows.OnGoOnline();
    EXPECT_TRUE(document.IsOnline());
    EXPECT_EQ(document.GetModel(), ModelType::MV340A);
    EXPECT_EQ(document.GetTitle(), "Corvantine MV340A");
}

TEST_F(DeviceFlowsTest, DownloadMakesADesignForTheAmplifierAndTakesItsBlocksAndPolarity)
{
    NewDesign(ModelType::MV220);
    RecordingAmplifier amplifier{3};
    world.present = {&amplifier};
    world.uploadDownloadAnswers = {kDownload};
    world.fillDownload = [](ReadParamStore& store) {
        const std::uint8_t bytes[] = {1, 2, 3};
        store.StoreBlock(4, 1, bytes, 3);
        store.SetNormallyOpen(false);
    };
    flows.OnGoOnline();
    EXPECT_TRUE(document.IsOnline());
    EXPECT_EQ(world.Logged("send:"), (Log{"send:32858", "send:32858"}));
    EXPECT_EQ(document.GetModel(), ModelType::MV440A);
    EXPECT_EQ(document.GetMutePolarityNormallyOpen(), 0);
    EXPECT_TRUE(amplifier.queued.empty());
    EXPECT_EQ(CurrentAmplifier::Get().Get(), &amplifier);
}

TEST_F(DeviceFlowsTest, UploadChecksTheConfigSwitchThenAsksBeforeWriting)
{
    world.present = {&first};
    world.answers = {MessageAnswer::No};
    flows.OnUploadToAmp();
    EXPECT_EQ(world.Logged("box:"), Log{"box:176"});

    first.statusValid = true;
    world.log.clear();
    flows.OnUploadToAmp();
    EXPECT_EQ(world.Logged("box:"), Log{"box:173"});

    first.status = kStatusConfigSoftware;
    world.log.clear();
    world.answers = {MessageAnswer::Yes};
    flows.OnUploadToAmp();
    EXPECT_EQ(world.Logged("box:"), Log{"box:162"});
    EXPECT_FALSE(first.queued.empty());

    world.present = {};
    world.log.clear();
    flows.OnUploadToAmp();
    EXPECT_EQ(world.Logged("box:"), Log{"box:131"});
}

TEST_F(DeviceFlowsTest, MutePolarityWritesOnlyAChangedChoice)
{
    Online(first);
    world.mutePolarityAnswer = 1111;
    flows.OnMutePolarity();
    world.mutePolarityAnswer = 2;
    flows.OnMutePolarity();
    EXPECT_EQ(first.polaritySets, 0);
    world.mutePolarityAnswer = 1112;
    flows.OnMutePolarity();
    EXPECT_EQ(first.polaritySets, 1);
    EXPECT_FALSE(first.normallyOpen);
    EXPECT_EQ(document.GetMutePolarityNormallyOpen(), 0);
    // Unplugged while the chooser was open: the design keeps the choice, nothing is written.
    world.present.clear();
    world.mutePolarityAnswer = 1111;
    flows.OnMutePolarity();
    EXPECT_EQ(first.polaritySets, 1);
    EXPECT_EQ(document.GetMutePolarityNormallyOpen(), 1);
}

TEST_F(DeviceFlowsTest, SaveConfigurationLocksLateAndTellsAStoreThatCouldNotBeQueued)
{
    Online(first);
    flows.OnSaveConfiguration();
    EXPECT_EQ(first.saveConfigs, 1);
    EXPECT_EQ(world.log, Log{"box:186"});
    world.log.clear();
    first.saveConfigQueued = true;
    flows.OnSaveConfiguration();
    flows.OnLockApp();
    flows.OnUnlockApp();
    EXPECT_EQ(world.log, (Log{"lock:184,500", "lock:0,0"}));
}

TEST_F(DeviceFlowsTest, TheConfigSwitchBitShowsAndHidesNotice185)
{
    first.statusValid = true;
    Online(first);
    StatusChanges(first, 0x00);
    EXPECT_EQ(world.Logged("lock:"), Log{"lock:185,0"});
    StatusChanges(first, kStatusConfigSoftware);
    StatusChanges(first, kStatusConfigSoftware | 0x200);
    StatusChanges(first, 0x200);
    EXPECT_EQ(world.Logged("lock:"), (Log{"lock:185,0", "lock:0,0", "lock:185,0"}));
    EXPECT_EQ(document.GetLastHardwareStatus(), 0x200u);
    // No event, no poll.
    first.status = 0;
    flows.OnIdlePoll();
    EXPECT_EQ(document.GetLastHardwareStatus(), 0x200u);
}

TEST_F(DeviceFlowsTest, AGoOnlineDuringAFlowOrAModalDialogRunsOnceAfterIt)
{
    world.present = {&first};
    world.duringUploadDownload = [this] {
        flows.OnGoOnline();
        flows.OnGoOnline();
        flows.OnDelayedGoOnline();
    };
    flows.OnGoOnline();
    EXPECT_EQ(world.Logged("dialog:"), Log{"dialog:197"});
    EXPECT_EQ(world.Logged("post:"), (Log{"post:32847", "post:32831", "post:32853"}));

    world.duringUploadDownload = nullptr;
    world.log.clear();
    world.modalRunning = true;
    flows.OnGoOnline();
    flows.OnIdlePoll();
    EXPECT_TRUE(world.Logged("post:").empty());
    world.modalRunning = false;
    flows.OnIdlePoll();
    EXPECT_EQ(world.Logged("post:"), Log{"post:32831"});
}

TEST_F(DeviceFlowsTest, WritesAreAwaitedHalfASecondBeforeTheWritingNoticeShows)
{
    world.writingPolls = 3;
    flows.WaitForParameterWrites();
    EXPECT_EQ(world.log, (Log{"pause:20", "pause:20", "pause:20"}));
    world.log.clear();
    world.writingPolls = 1000;
    flows.WaitForParameterWrites();
    EXPECT_EQ(world.Logged("pause:").size(), 25u);
    EXPECT_EQ(world.log.back(), "dialog:202");
}

TEST_F(DeviceFlowsTest, TheConnectionBarNamesTheAmplifierItsFirmwareAndTheState)
{
    EXPECT_EQ(flows.ConnectionText(), "Disconnected");
    world.present = {&first, &second};
    EXPECT_EQ(flows.ConnectionText(), "Multiple devices");
    RecordingAmplifier amplifier{3};
    Online(amplifier);
    EXPECT_EQ(flows.ConnectionText(), "MV440A  v5.20 - Connected");
    EXPECT_TRUE(flows.ConnectionIconState());
    EXPECT_TRUE(flows.HasCurrentAmplifier());
    EXPECT_TRUE(flows.CanUpdateFirmware());
}

}  // namespace
