// The document's device flows over a real document and scripted surroundings, for what the
// end-to-end suites cannot reach: several amplifiers, the upload's switch check, the design a
// download makes, mute polarity, nested go-online commands and the wait for writes.
#include <gtest/gtest.h>

#include "application/document/AmplifierRef.h"
#include "application/flows/DocumentDeviceFlows.h"
#include "resources/commands/CommandIds.h"
#include "tests/app_flows/FlowWorld.h"
#include "tests/support/TempFolder.h"

namespace {

using Log = std::vector<std::string>;
constexpr int kUpload = 1118;

class DeviceFlowsTest : public ::testing::Test {
protected:
    DeviceFlowsTest()
    {
        CurrentAmplifier::Set(nullptr);
        for (const char* name : {"BlockDiagram.txt", "BlockDiagram2.txt"}) {
            std::filesystem::copy_file(std::filesystem::path(QUARRY_SHIPPED_DATA_DIR) / name, data.Path() / name);
        }
        world.onSendCommand = [this](std::uint32_t command) {
            world.pendingModel = command == CommandId::kNewDesignMV440A ? ModelType::MV440A : ModelType::MV220;
            document.OnNewDocument();
        };
        EXPECT_TRUE(document.OnNewDocument());  // MV440, as no amplifier is present
        world.log.clear();
    }
    ~DeviceFlowsTest() override
    {
        document.Detach();
        CurrentAmplifier::Set(nullptr);
    }
    // The amplifiers' firmware is newer than every image: nothing is offered.
    static FlowWorld WorldWithImages(const std::filesystem::path& folder)
    {
        WriteWholeFile(folder / "Cobalt_V5.0.bin", "image");
        FlowWorld world;
        world.firmwareFolder = folder;
        return world;
    }
    void Online(RecordingAmplifier& amplifier)
    {
        world.present = {&amplifier};
        world.uploadDownloadAnswers = {kUpload};
        flows.OnGoOnline();
        ASSERT_TRUE(document.IsOnline());
        world.log.clear();
    }

    // The amplifiers outlive the document, whose blocks may still hold them.
    RecordingAmplifier first{2};
    RecordingAmplifier second{2};
    RecordingAmplifier mv440a{3};  // the family of the MV440 design
    TempFolder data{"quarry-flows-data-"};
    TempFolder firmware{"quarry-flows-firmware-"};
    FlowWorld world = WorldWithImages(firmware.Path());
    CCorvantEditorDoc document{DocumentServices{world, world, world}, data.Path()};
    DocumentDeviceFlows flows{document, DocumentServices{world, world, world}, world};
};

TEST_F(DeviceFlowsTest, SeveralAmplifiersShow153OnlyWhenTheirCountGrows)
{
    RecordingAmplifier third{2};
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
    EXPECT_EQ(flows.ConnectionText(), "Multiple devices");
    EXPECT_FALSE(CurrentAmplifier::Get());
    EXPECT_EQ(first.refs, 0u);
    world.present.clear();
    EXPECT_EQ(flows.ConnectionText(), "Disconnected");
}

TEST_F(DeviceFlowsTest, GoingOnlineUploadsWithScanningHeldAndARepeatedNoticeChangesNothing)
{
    RecordingAmplifier& amplifier = mv440a;
    world.present = {&amplifier};
    world.uploadDownloadAnswers = {kUpload};
    flows.OnGoOnline();
    EXPECT_EQ(world.log, (Log{"idle", "scan:1,0", "post:32847", "dialog:197", "scan:0,0", "scan:1,0", "scan:0,0"}));
    EXPECT_TRUE(document.IsOnline());
    EXPECT_EQ(CurrentAmplifier::Get().Get(), &amplifier);
    EXPECT_FALSE(amplifier.queued.empty());
    EXPECT_EQ(amplifier.callback, &CCorvantEditorDoc::OnAmplifierStatusChanged);
    EXPECT_EQ(flows.ConnectionText(), "MV440A  v5.20 - Connected");

    world.log.clear();
    const std::size_t queued = amplifier.queued.size();
    flows.OnGoOnline();
    EXPECT_TRUE(world.log.empty());
    EXPECT_EQ(amplifier.queued.size(), queued);
}

TEST_F(DeviceFlowsTest, ADownloadMakesADesignForTheAmplifierWithItsBlocksAndPolarity)
{
    world.pendingModel = ModelType::MV220;
    ASSERT_TRUE(document.OnNewDocument());
    RecordingAmplifier& amplifier = mv440a;
    world.present = {&amplifier};
    world.uploadDownloadAnswers = {1119};
    world.fillDownload = [](ReadParamStore& store) {
        const std::uint8_t bytes[] = {1, 2, 3};
        store.StoreBlock(4, 1, bytes, 3);
        store.SetNormallyOpen(false);
    };
    flows.OnGoOnline();
    EXPECT_TRUE(document.IsOnline());
    // The design is made once, after the read.
    EXPECT_EQ(world.Logged("send:"), Log{"send:32858"});
    EXPECT_EQ(document.GetModel(), ModelType::MV440A);
    EXPECT_EQ(document.GetMutePolarityNormallyOpen(), 0);
    EXPECT_TRUE(amplifier.queued.empty());
}

TEST_F(DeviceFlowsTest, UploadChecksTheConfigSwitchThenAsksBeforeWriting)
{
    world.present = {&first};
    flows.OnUploadToAmp();  // the status cannot be read
    first.statusValid = true;
    flows.OnUploadToAmp();  // CONFIG is not in SOFTWARE mode
    first.status = kStatusConfigSoftware;
    world.answers = {MessageAnswer::Yes};
    flows.OnUploadToAmp();
    EXPECT_FALSE(first.queued.empty());
    world.present.clear();
    flows.OnUploadToAmp();
    EXPECT_EQ(world.Logged("box:"), (Log{"box:176", "box:173", "box:162", "box:131"}));
}

TEST_F(DeviceFlowsTest, MutePolarityWritesOnlyAChangedChoiceToAPresentAmplifier)
{
    Online(first);
    for (const int answer : {1111, 2, 1112}) {
        world.mutePolarityAnswer = answer;
        flows.OnMutePolarity();
    }
    EXPECT_EQ(first.polaritySets, 1);
    EXPECT_FALSE(first.normallyOpen);
    world.present.clear();
    world.mutePolarityAnswer = 1111;
    flows.OnMutePolarity();
    EXPECT_EQ(first.polaritySets, 1);
    EXPECT_EQ(document.GetMutePolarityNormallyOpen(), 1);
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

}  // namespace
