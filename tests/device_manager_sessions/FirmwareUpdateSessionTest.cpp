// The firmware-update session: the order of its steps and progress codes, and its failures.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>

#include "device_manager/sessions/Sessions.h"
#include "tests/device_manager_sessions/SessionTestSupport.h"

using namespace session_test;

namespace {

std::vector<std::uint8_t> BasicInfoPayload(bool bootLoader)
{
    BasicInfo info{};
    info.modelCode = 3;
    info.runningBootLoader = bootLoader ? 1 : 0;
    std::vector<std::uint8_t> bytes(sizeof info);
    std::memcpy(bytes.data(), &info, sizeof info);
    return bytes;
}

// A scripted amplifier: the first reset takes it into the boot loader.
struct AmplifierScript {
    std::atomic<bool> inBootLoader{false};
    bool resetSucceeds = true;
    bool resetEntersBootLoader = true;
    bool transferSucceeds = true;
    std::optional<std::uint8_t> transferProgress;
    std::chrono::milliseconds transferLatency{80};
};

class FirmwareUpdateSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        controller = CreateRCObject<TestController>(library);
        progress = CreateRCObject<RecordingProgress>();
        library.SetScript([amp = amp](const FakeOperationCall& call) {
            FakeOperationScript script;
            switch (call.kind) {
            case FakeOperationKind::ReadBasicInfo:
                script.payload = BasicInfoPayload(amp->inBootLoader.load());
                break;
            case FakeOperationKind::Reset:
                script.success = amp->resetSucceeds;
                if (amp->resetSucceeds && amp->resetEntersBootLoader) {
                    amp->inBootLoader = !amp->inBootLoader.load();
                }
                break;
            case FakeOperationKind::UpgradeFirmware:
                script.latency = amp->transferLatency;
                script.success = amp->transferSucceeds;
                script.progress = amp->transferProgress;
                break;
            default:
                break;
            }
            return script;
        });
    }
    void TearDown() override
    {
        controller->Drain();
        progress->Release();
        controller->Release();
    }

    std::int32_t RunUpdate()
    {
        IUpdateFirmwareSession* session = nullptr;
        EXPECT_TRUE(NewFirmwareUpdateSession(controller, "/data/Firmware/Cobalt_V5.20.bin", &session));
        EXPECT_TRUE(session->Start(progress));
        session->Release();
        return controller->RunNext(library.DeviceHandle(), &stop);
    }

    // The progress events without the percentages, which depend on timing.
    std::vector<std::string> Codes()
    {
        std::vector<std::string> codes;
        for (const std::string& event : progress->Events()) {
            if (event.rfind("P 0 ", 0) == 0) {
                if (codes.empty() || codes.back() != "P 0 %") {
                    codes.push_back("P 0 %");
                }
            } else {
                codes.push_back(event);
            }
        }
        return codes;
    }

    std::vector<FakeOperationKind> Kinds()
    {
        std::vector<FakeOperationKind> kinds;
        for (const auto& call : library.Calls()) {
            if (call.started && (kinds.empty() || kinds.back() != call.kind ||
                                 call.kind != FakeOperationKind::ReadBasicInfo)) {
                kinds.push_back(call.kind);
            }
        }
        return kinds;
    }

    std::shared_ptr<AmplifierScript> amp = std::make_shared<AmplifierScript>();
    FakeDeviceLibrary library;
    TestController* controller = nullptr;
    RecordingProgress* progress = nullptr;
    platform::Event stop{platform::ResetMode::Manual};
};

using Kind = FakeOperationKind;

}  // namespace

TEST_F(FirmwareUpdateSessionTest, FromTheApplicationItResetsTransfersResetsAndEndsTheWorker)
{
    EXPECT_EQ(RunUpdate(), -1);
    EXPECT_EQ(Codes(), (std::vector<std::string>{"P 1 0", "P 2 0", "P 0 %", "P 3 0", "P 4 0", "C 0"}));
    EXPECT_EQ(Kinds(), (std::vector<Kind>{Kind::ReadBasicInfo, Kind::Reset, Kind::ReadBasicInfo,
                                          Kind::UpgradeFirmware, Kind::Reset}));
    const auto transfers = library.Calls(Kind::UpgradeFirmware);
    ASSERT_EQ(transfers.size(), 1u);
    EXPECT_EQ(transfers[0].text, "/data/Firmware/Cobalt_V5.20.bin");
}

TEST_F(FirmwareUpdateSessionTest, FromTheBootLoaderItSkipsTheFirstResetAndCodeOne)
{
    amp->inBootLoader = true;
    EXPECT_EQ(RunUpdate(), -1);
    EXPECT_EQ(Codes(), (std::vector<std::string>{"P 2 0", "P 0 %", "P 3 0", "P 4 0", "C 0"}));
    EXPECT_EQ(library.CountCalls(Kind::Reset), 1u);
    EXPECT_EQ(Kinds().front(), Kind::ReadBasicInfo);
}

TEST_F(FirmwareUpdateSessionTest, APercentageIsReportedOnlyWhenItChanges)
{
    amp->inBootLoader = true;
    amp->transferProgress = 30;
    EXPECT_EQ(RunUpdate(), -1);
    EXPECT_EQ(progress->Events(),
              (std::vector<std::string>{"P 2 0", "P 0 30", "P 3 0", "P 4 0", "C 0"}));
}

// The first reading goes to the sink as soon as the transfer runs, not a poll later: a
// transfer shorter than one poll still reports its percentage.
TEST_F(FirmwareUpdateSessionTest, TheFirstPercentageIsPassedAtOnceThenPolled)
{
    controller->EditSessionTimings().firmwarePoll = std::chrono::milliseconds(1000);
    amp->inBootLoader = true;
    // The percentage rises with the time the transfer has run.
    amp->transferLatency = std::chrono::milliseconds(400);
    EXPECT_EQ(RunUpdate(), -1);
    const std::vector<std::string> events = progress->Events();
    const auto transfer = std::find(events.begin(), events.end(), "P 2 0");
    ASSERT_NE(transfer, events.end());
    ASSERT_NE(transfer + 1, events.end());
    const std::string& first = *(transfer + 1);
    ASSERT_EQ(first.rfind("P 0 ", 0), 0u) << first;
    EXPECT_LT(std::stoi(first.substr(4)), 50) << first;
}

TEST_F(FirmwareUpdateSessionTest, AFailedResetEndsWithTwoBeforeAnyTransfer)
{
    amp->resetSucceeds = false;
    EXPECT_EQ(RunUpdate(), 0);
    EXPECT_EQ(Codes(), (std::vector<std::string>{"P 1 0", "C 2"}));
    EXPECT_EQ(library.CountCalls(Kind::UpgradeFirmware), 0u);
}

TEST_F(FirmwareUpdateSessionTest, AnAmplifierThatNeverReachesTheBootLoaderEndsWithTwo)
{
    amp->resetEntersBootLoader = false;
    EXPECT_EQ(RunUpdate(), 0);
    EXPECT_EQ(Codes(), (std::vector<std::string>{"P 1 0", "C 2"}));
    EXPECT_EQ(library.CountCalls(Kind::UpgradeFirmware), 0u);
    EXPECT_GE(library.CountCalls(Kind::ReadBasicInfo), 3u);
}

TEST_F(FirmwareUpdateSessionTest, AFailedTransferEndsWithTwoWithoutTheFinalReset)
{
    amp->inBootLoader = true;
    amp->transferSucceeds = false;
    EXPECT_EQ(RunUpdate(), 0);
    EXPECT_EQ(Codes(), (std::vector<std::string>{"P 2 0", "P 0 %", "C 2"}));
    EXPECT_EQ(library.CountCalls(Kind::Reset), 0u);
}

TEST_F(FirmwareUpdateSessionTest, ACancelRequestDoesNotStopTheUpdate)
{
    amp->inBootLoader = true;
    IUpdateFirmwareSession* session = nullptr;
    ASSERT_TRUE(NewFirmwareUpdateSession(controller, "fw.bin", &session));
    ASSERT_TRUE(session->Start(progress));
    session->Cancel();
    session->Release();
    EXPECT_EQ(controller->RunNext(library.DeviceHandle(), &stop), -1);
    EXPECT_FALSE(library.Calls(Kind::UpgradeFirmware)[0].cancelRequested);
    EXPECT_EQ(progress->Completions(), std::vector<std::string>{"C 0"});
}

TEST_F(FirmwareUpdateSessionTest, AStopOfTheWorkerEndsTheUpdateWithTwo)
{
    stop.Set();
    EXPECT_EQ(RunUpdate(), 0);
    EXPECT_EQ(progress->Completions(), std::vector<std::string>{"C 2"});
    EXPECT_EQ(library.CountCalls(Kind::UpgradeFirmware), 0u);
}
