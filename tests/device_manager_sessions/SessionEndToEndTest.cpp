// The sessions against virtual-amp processes through the real device library.
#include <gtest/gtest.h>

#include <map>

#include "device_manager/sessions/Sessions.h"
#include "tests/device_manager_sessions/ManagerHarness.h"
#include "tests/device_manager_sessions/SessionTestSupport.h"

using namespace e2e_test;
using namespace std::chrono_literals;
using session_test::DeliveredBlock;
using session_test::RecordingBlocks;
using session_test::RecordingProgress;

namespace {

constexpr auto kHangGuard = 60s;

struct BlockShape {
    std::int32_t type;
    std::uint32_t coefficientSize;
    std::uint32_t parameterSize;
};

// The blocks whose parameters a read returns as they were uploaded (the input gains are
// not part of the amplifier's parameter record).
constexpr BlockShape kRoundTripBlocks[] = {{2, 360, 256}, {4, 160, 256}, {5, 360, 256},
                                           {12, 48, 128}, {7, 4, 128},   {8, 1, 128}};

std::vector<std::uint8_t> Pattern(std::int32_t type, std::int32_t channel, std::uint32_t size)
{
    std::vector<std::uint8_t> bytes(size);
    for (std::uint32_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>((type * 31 + channel * 7 + i * 3 + 1) & 0xFF);
    }
    return bytes;
}

class SessionEndToEndTest : public ::testing::Test {
protected:
    // Starts the program and waits for its amplifier object.
    ICobaltAmplifier* Plug(VirtualAmpProcess& amp)
    {
        EXPECT_TRUE(amp.Running());
        EXPECT_TRUE(harness.PumpUntil([&] { return harness.PresentCount() == 1; }, kHangGuard));
        return harness.FirstAmplifier();
    }

    ManagerHarness harness;
};

}  // namespace

TEST_F(SessionEndToEndTest, AnUploadThenAReadReturnsTheSameBlocks)
{
    VirtualAmpProcess amp(harness.Folder(), {"--device", "a210:ROUND"});
    ICobaltAmplifier* amplifier = Plug(amp);
    ASSERT_NE(amplifier, nullptr);

    IWriteParamSession* write = nullptr;
    ASSERT_TRUE(amplifier->OpenWriteParamSession(&write));
    for (const BlockShape& shape : kRoundTripBlocks) {
        for (std::int32_t c = 0; c < 4; ++c) {
            const std::vector<std::uint8_t> coefficients(shape.coefficientSize, 0);
            const auto parameters = Pattern(shape.type, c, shape.parameterSize);
            ASSERT_TRUE(write->SetBlockParam(shape.type, c, coefficients.data(), shape.coefficientSize,
                                             parameters.data(), shape.parameterSize));
        }
    }
    const std::vector<std::uint8_t> mixerCoefficients(128, 0);
    const auto mixer = Pattern(11, 0, 512);
    ASSERT_TRUE(write->SetBlockParam(11, 0, mixerCoefficients.data(), 128, mixer.data(), 512));
    auto* writeProgress = CreateRCObject<RecordingProgress>();
    ASSERT_TRUE(write->Start(writeProgress));
    write->Release();
    ASSERT_TRUE(writeProgress->WaitForCompletion(kHangGuard));
    EXPECT_EQ(writeProgress->Completions(), std::vector<std::string>{"C 0"});
    EXPECT_EQ(writeProgress->Events().front(), "P 0 0");
    writeProgress->Release();

    IReadParamSession* read = nullptr;
    ASSERT_TRUE(amplifier->OpenReadParamSession(&read));
    auto* readProgress = CreateRCObject<RecordingProgress>();
    auto* blocks = CreateRCObject<RecordingBlocks>();
    ASSERT_TRUE(read->Start(readProgress, blocks));
    read->Release();
    ASSERT_TRUE(readProgress->WaitForCompletion(kHangGuard));
    EXPECT_EQ(readProgress->Completions(), std::vector<std::string>{"C 0"});

    std::map<std::pair<std::int32_t, std::int32_t>, std::vector<std::uint8_t>> got;
    for (const DeliveredBlock& block : blocks->Blocks()) {
        got[{block.type, block.channel}] = block.data;
    }
    EXPECT_EQ(got.size(), 32u);
    for (const BlockShape& shape : kRoundTripBlocks) {
        for (std::int32_t c = 0; c < 4; ++c) {
            EXPECT_EQ(got[std::make_pair(shape.type, c)], Pattern(shape.type, c, shape.parameterSize))
                << "type " << shape.type << " channel " << c;
        }
    }
    EXPECT_EQ(got[std::make_pair(11, 0)], mixer);
    readProgress->Release();
    blocks->Release();
    amplifier->Release();
}

TEST_F(SessionEndToEndTest, AFirmwareUpdateTakesTheAmplifierThroughTheBootLoaderToTheNewVersion)
{
    const std::string image = harness.Folder() + "/Cobalt_V5.21.bin";
    ASSERT_TRUE(MakeTestFirmware(image, "V5.21"));
    VirtualAmpProcess amp(harness.Folder(), {"--reset-ms", "200", "--device", "a210:FIRM"});
    ICobaltAmplifier* amplifier = Plug(amp);
    ASSERT_NE(amplifier, nullptr);
    EXPECT_EQ(amplifier->GetFirmwareVersion(), u"v5.20");

    // The document suspends scanning around the update and resumes with a cleared list.
    harness.Manager().SetScanMode(true, false);
    IUpdateFirmwareSession* update = nullptr;
    ASSERT_TRUE(amplifier->OpenFirmwareUpdateSession(image, &update));
    auto* progress = CreateRCObject<RecordingProgress>();
    ASSERT_TRUE(update->Start(progress));
    update->Release();
    ASSERT_TRUE(progress->WaitForCompletion(kHangGuard));
    std::vector<std::string> codes;
    for (const std::string& event : progress->Events()) {
        const std::string code = event.substr(0, 3);
        if (codes.empty() || codes.back() != code) {
            codes.push_back(code);
        }
    }
    EXPECT_EQ(codes, (std::vector<std::string>{"P 1", "P 2", "P 0", "P 3", "P 4", "C 0"}));
    progress->Release();
    amplifier->Release();

    // After the update the worker has ended: the amplifier takes no more sessions. The final
    // reset is sent without an answer, so the amplifier may still be there, about to leave:
    // it has restarted once it runs its application, and it is back once it is present.
    ASSERT_TRUE(harness.PumpUntil([&] { return amp.Control("mode FIRM") == std::optional<std::string>("OK app"); },
                                  kHangGuard));
    ASSERT_TRUE(amp.WaitPresent("FIRM", true, 10s));
    harness.Manager().SetScanMode(false, true);
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.PresentCount() == 1; }, kHangGuard));
    ICobaltAmplifier* updated = harness.FirstAmplifier();
    ASSERT_NE(updated, nullptr);
    EXPECT_EQ(updated->GetFirmwareVersion(), u"v5.21");
    EXPECT_EQ(amp.Control("mode FIRM"), std::optional<std::string>("OK app"));
    updated->Release();
}

TEST_F(SessionEndToEndTest, UnpluggingDuringAWriteEndsItWithTwoAndRepluggingMakesANewObject)
{
    VirtualAmpProcess amp(harness.Folder(), {"--pace-ms", "10", "--device", "a210:PULLW"});
    ICobaltAmplifier* amplifier = Plug(amp);
    ASSERT_NE(amplifier, nullptr);
    IWriteParamSession* write = nullptr;
    ASSERT_TRUE(amplifier->OpenWriteParamSession(&write));
    auto* progress = CreateRCObject<RecordingProgress>();
    ASSERT_TRUE(write->Start(progress));
    write->Release();
    amplifier->Release();
    // Let the transfer get going, then pull the plug.
    ASSERT_TRUE(harness.PumpUntil([&] { return progress->Events().size() >= 2; }, kHangGuard));
    ASSERT_EQ(amp.Control("unplug PULLW"), std::optional<std::string>("OK"));
    ASSERT_TRUE(progress->WaitForCompletion(kHangGuard));
    EXPECT_EQ(progress->Completions(), std::vector<std::string>{"C 2"});
    progress->Release();
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.Manager().Keys().empty(); }, kHangGuard));
    ASSERT_EQ(amp.Control("replug PULLW"), std::optional<std::string>("OK"));
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.PresentCount() == 1; }, kHangGuard));
    EXPECT_EQ(harness.Made(), 2);
}

TEST_F(SessionEndToEndTest, UnpluggingDuringAReadEndsItWithTwoWithoutHanging)
{
    VirtualAmpProcess amp(harness.Folder(), {"--pace-ms", "10", "--device", "a210:PULLR"});
    ICobaltAmplifier* amplifier = Plug(amp);
    ASSERT_NE(amplifier, nullptr);
    IReadParamSession* read = nullptr;
    ASSERT_TRUE(amplifier->OpenReadParamSession(&read));
    auto* progress = CreateRCObject<RecordingProgress>();
    auto* blocks = CreateRCObject<RecordingBlocks>();
    ASSERT_TRUE(read->Start(progress, blocks));
    read->Release();
    amplifier->Release();
    ASSERT_TRUE(harness.PumpUntil([&] { return !progress->Events().empty(); }, kHangGuard));
    ASSERT_EQ(amp.Control("unplug PULLR"), std::optional<std::string>("OK"));
    ASSERT_TRUE(progress->WaitForCompletion(kHangGuard));
    EXPECT_EQ(progress->Completions(), std::vector<std::string>{"C 2"});
    EXPECT_TRUE(blocks->Blocks().empty());
    progress->Release();
    blocks->Release();
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.Manager().Keys().empty(); }, kHangGuard));
}

// The manager ends an amplifier that vanished while its worker runs one session and holds
// another queued: neither reports a cancel, and the queued one ends now, while its starter
// still holds it (as the download dialog holds its read until the end comes).
TEST_F(SessionEndToEndTest, AnAmplifierThatGoesAwayEndsItsRunningAndQueuedSessionsAsFailures)
{
    VirtualAmpProcess amp(harness.Folder(), {"--pace-ms", "10", "--device", "a210:GONE"});
    ICobaltAmplifier* amplifier = Plug(amp);
    ASSERT_NE(amplifier, nullptr);
    IWriteParamSession* write = nullptr;
    ASSERT_TRUE(amplifier->OpenWriteParamSession(&write));
    auto* writeProgress = CreateRCObject<RecordingProgress>();
    ASSERT_TRUE(write->Start(writeProgress));
    write->Release();
    IReadParamSession* read = nullptr;
    ASSERT_TRUE(amplifier->OpenReadParamSession(&read));
    auto* readProgress = CreateRCObject<RecordingProgress>();
    auto* blocks = CreateRCObject<RecordingBlocks>();
    ASSERT_TRUE(read->Start(readProgress, blocks));
    amplifier->Release();

    ASSERT_TRUE(harness.PumpUntil([&] { return writeProgress->Events().size() >= 2; }, kHangGuard));
    ASSERT_EQ(amp.Control("unplug GONE"), std::optional<std::string>("OK"));
    // Scanning runs: the manager sees the amplifier go and ends its object.
    ASSERT_TRUE(harness.PumpUntil(
        [&] { return !writeProgress->Completions().empty() && !readProgress->Completions().empty(); }, kHangGuard));
    EXPECT_TRUE(harness.Manager().Keys().empty());
    EXPECT_EQ(writeProgress->Completions(), std::vector<std::string>{"C 2"});
    EXPECT_EQ(readProgress->Completions(), std::vector<std::string>{"C 2"});
    EXPECT_TRUE(blocks->Blocks().empty());
    read->Release();
    writeProgress->Release();
    readProgress->Release();
    blocks->Release();
}
