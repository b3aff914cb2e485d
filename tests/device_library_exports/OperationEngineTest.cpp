// The one-operation-at-a-time engine seen through the exports: busy and null answers, progress
// before and after the device accepts, cancel, disconnect while running, unplug mid-operation.
#include <chrono>
#include <cstring>
#include <thread>

#include "tests/device_library_exports/DriverFixture.h"

namespace exports_test {
namespace {

using Clock = std::chrono::steady_clock;

// The whole flash, read from a paced amplifier: long enough to act on while it runs.
constexpr std::uint32_t kFlashBytes = 0x80000;

#if defined(__SANITIZE_THREAD__) || defined(__SANITIZE_ADDRESS__)
constexpr double kCancelLimitSeconds = 0.5;  // the sanitizers slow every poll down
#else
constexpr double kCancelLimitSeconds = 0.1;
#endif

class ExportsOperationEngineTest : public DriverTest {
protected:
    // A paced amplifier, connected.
    void ConnectPaced(const std::string& serial)
    {
        amp_ = &StartA210(serial, {"--pace-ms", "1"});
        ASSERT_NE(Connect(kA210, serial), nullptr);
    }
    // Starts the long read and waits until the device has moved some data.
    void StartLongRead()
    {
        ASSERT_EQ(QDO_ReadFlash(handle_, 0, kFlashBytes, flash_.data()), 1);
        ASSERT_TRUE(WaitUntil([this] { return QDO_GetOperationProgress(handle_) >= 1; }, std::chrono::seconds(20)));
    }

    AmpProcess* amp_ = nullptr;
    std::vector<std::uint8_t> flash_ = std::vector<std::uint8_t>(kFlashBytes);
};

TEST_F(ExportsOperationEngineTest, SuccessFlagIsOneBeforeAnyOperation)
{
    EXPECT_EQ(QDO_IsOperationSuccessful(nullptr), 1);
    EXPECT_EQ(QDO_IsOperationCompleted(nullptr), 1);
    EXPECT_EQ(QDO_GetOperationProgress(nullptr), 0);
}

TEST_F(ExportsOperationEngineTest, NullRequiredPointersAnswerMinusOne)
{
    StartA210("NULLS");
    ASSERT_NE(Connect(kA210, "NULLS"), nullptr);
    EXPECT_EQ(QDO_UpgradeFirmware(handle_, nullptr), -1);
    EXPECT_EQ(QDO_UpgradeGlobalSetting(handle_, nullptr), -1);
    EXPECT_EQ(QDO_UpgradeDSPParam(handle_, nullptr), -1);
    EXPECT_EQ(QDO_WriteMCUbyID(handle_, nullptr), -1);
    EXPECT_EQ(QDO_ReadBasicInfo(handle_, nullptr), -1);
    EXPECT_EQ(QDO_ReadGlobalSettingInfo(handle_, nullptr), -1);
    EXPECT_EQ(QDO_ReadGlobalSettingInfoFromMCU(handle_, nullptr), -1);
    EXPECT_EQ(QDO_ReadDspParamInfo(handle_, nullptr), -1);
    EXPECT_EQ(QDO_ReadDspParamInfoFromMCU(handle_, nullptr), -1);
    EXPECT_EQ(QDO_ReadHwInfo(handle_, nullptr), -1);
    // Nothing was started: the engine is idle with its initial success.
    EXPECT_EQ(QDO_IsOperationCompleted(handle_), 1);
    EXPECT_EQ(QDO_IsOperationSuccessful(handle_), 1);
}

TEST_F(ExportsOperationEngineTest, NullOrForeignHandleStartsNothing)
{
    StartA210("HANDLE");
    ASSERT_NE(Connect(kA210, "HANDLE"), nullptr);
    BasicInfo info{};
    EXPECT_EQ(QDO_ReadBasicInfo(nullptr, &info), 0);
    int notADevice = 0;
    EXPECT_EQ(QDO_ReadBasicInfo(reinterpret_cast<QdmDevice*>(&notADevice), &info), 0);
    EXPECT_EQ(QDO_Reset(reinterpret_cast<QdmDevice*>(&notADevice)), 0);
    EXPECT_EQ(QDO_IsOperationCompleted(handle_), 1);
    EXPECT_EQ(QDO_IsOperationSuccessful(handle_), 1);
    EXPECT_TRUE(Finish(QDO_ReadBasicInfo(handle_, &info)));
}

TEST_F(ExportsOperationEngineTest, SecondStartWhileRunningAnswersBusy)
{
    ConnectPaced("BUSY");
    StartLongRead();
    BasicInfo info{};
    EXPECT_EQ(QDO_ReadBasicInfo(handle_, &info), 0);
    EXPECT_EQ(QDO_Reset(handle_), 0);
    EXPECT_EQ(QDO_IsOperationCompleted(handle_), 0);
    QDO_CancelOperation(handle_);
    EXPECT_FALSE(Finish(1));
    // Once idle, the next start is taken.
    EXPECT_TRUE(Finish(QDO_ReadBasicInfo(handle_, &info)));
}

TEST_F(ExportsOperationEngineTest, ProgressStaysZeroUntilTheDeviceAcceptsTheOperation)
{
    StartA210("PROGRESS");
    ASSERT_NE(Connect(kA210, "PROGRESS"), nullptr);
    BasicInfo info{};
    ASSERT_TRUE(Finish(QDO_ReadBasicInfo(handle_, &info)));
    EXPECT_EQ(QDO_GetOperationProgress(handle_), 100);
    EXPECT_EQ(QDO_GetOperationProgress(handle_), 100) << "kept after success";

    // Past the end of flash: the device refuses the read, so it is never accepted and the
    // last operation's percentage is not handed out again.
    std::vector<std::uint8_t> buffer(0x200);
    ASSERT_EQ(QDO_ReadFlash(handle_, 0x7FF00, 0x200, buffer.data()), 1);
    EXPECT_EQ(QDO_GetOperationProgress(handle_), 0);
    EXPECT_FALSE(Finish(1));
    EXPECT_EQ(QDO_GetOperationProgress(handle_), 0);
}

TEST_F(ExportsOperationEngineTest, ProgressRisesWhileALongReadRuns)
{
    ConnectPaced("RISE");
    StartLongRead();
    const std::uint8_t early = QDO_GetOperationProgress(handle_);
    EXPECT_GE(early, 1);
    EXPECT_LT(early, 100);
    QDO_CancelOperation(handle_);
    EXPECT_FALSE(Finish(1));
}

TEST_F(ExportsOperationEngineTest, CancelEndsTheOperationWithFailureAtOnce)
{
    ConnectPaced("CANCEL");
    StartLongRead();
    const auto start = Clock::now();
    QDO_CancelOperation(handle_);
    ASSERT_TRUE(WaitUntil([this] { return QDO_IsOperationCompleted(handle_) == 1; }, std::chrono::seconds(5)));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    EXPECT_EQ(QDO_IsOperationSuccessful(handle_), 0);
    EXPECT_LT(seconds, kCancelLimitSeconds);

    // A cancel is cleared by the next start.
    BasicInfo info{};
    EXPECT_TRUE(Finish(QDO_ReadBasicInfo(handle_, &info)));
}

TEST_F(ExportsOperationEngineTest, DisconnectWhileRunningKeepsTheHandle)
{
    ConnectPaced("DISC");
    StartLongRead();
    QdmDevice* variable = handle_;
    EXPECT_EQ(QDM_DisconnectDevice(&variable), 0);
    EXPECT_EQ(variable, handle_);
    EXPECT_EQ(QDM_GetConnectingDevice(), handle_);
    QDO_CancelOperation(handle_);
    EXPECT_FALSE(Finish(1));
    EXPECT_EQ(QDM_DisconnectDevice(&variable), 1);
    EXPECT_EQ(variable, nullptr);
    handle_ = nullptr;
}

TEST_F(ExportsOperationEngineTest, UnplugMidOperationFailsItAndTheScanDropsTheDevice)
{
    ConnectPaced("UNPLUG");
    StartLongRead();
    ASSERT_TRUE(amp_->Unplug(kA210, "UNPLUG"));
    ASSERT_TRUE(WaitUntil([this] { return QDO_IsOperationCompleted(handle_) == 1; }, std::chrono::seconds(10)));
    EXPECT_EQ(QDO_IsOperationSuccessful(handle_), 0);
    EXPECT_TRUE(ScanAll().empty());
    EXPECT_EQ(QDM_IsDeviceExisting(kVendor, kA210, "UNPLUG"), 0);
    EXPECT_EQ(QDM_DisconnectDevice(&handle_), 1);
}

TEST_F(ExportsOperationEngineTest, ResultRecordIsUntouchedWhenTheOperationFails)
{
    AmpProcess& amp = StartA210("NOCOPY");
    ASSERT_NE(Connect(kA210, "NOCOPY"), nullptr);
    ASSERT_TRUE(amp.ControlOk("fault NOCOPY wrong-checksum always"));
    GlobalSettingRecord record;
    std::memset(&record, 0xCC, sizeof record);
    EXPECT_FALSE(Finish(QDO_ReadGlobalSettingInfoFromMCU(handle_, &record)));
    for (std::size_t i = 0; i < sizeof record.bytes; ++i) {
        ASSERT_EQ(record.bytes[i], 0xCC) << "byte " << i;
    }
}

TEST_F(ExportsOperationEngineTest, PollsFromAnotherThreadSeeTheSameOperation)
{
    StartA210("THREADS");
    ASSERT_NE(Connect(kA210, "THREADS"), nullptr);
    BasicInfo info{};
    ASSERT_EQ(QDO_ReadBasicInfo(handle_, &info), 1);
    int success = -1;
    std::thread poller([&] {
        WaitUntil([this] { return QDO_IsOperationCompleted(handle_) == 1; }, std::chrono::seconds(20));
        success = QDO_IsOperationSuccessful(handle_);
    });
    poller.join();
    EXPECT_EQ(success, 1);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.text52000), 5), "V5.20");
}

}  // namespace
}  // namespace exports_test
