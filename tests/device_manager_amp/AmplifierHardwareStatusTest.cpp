// The hardware status: the forced first callback, calls only on change, the model- and
// version-dependent byte 12, the status word, and presence.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ScriptedAmplifier.h"

namespace CobaltDeviceManager::testing {
namespace {

using namespace std::chrono_literals;

constexpr std::array<std::uint8_t, 13> kDefaultHw{0, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1, 0};

void Count(void* context)
{
    ++*static_cast<std::atomic<int>*>(context);
}

class HardwareStatus : public ::testing::Test {
protected:
    void Open(std::uint8_t modelCode, const std::string& version)
    {
        device.SetIdentity(modelCode, version);
        device.SetHwInfo(kDefaultHw);
        AmplifierTimings timings = QuickTimings();
        timings.meterPeriod = 2ms;
        amplifier = OpenAmplifier(device, timings);
        ASSERT_NE(amplifier, nullptr);
    }
    void TearDown() override { ReleaseAmplifier(amplifier); }

    // Opens, installs the counting callback and polls until its first, forced call.
    void OpenAndWatch(std::uint8_t modelCode, const std::string& version)
    {
        Open(modelCode, version);
        ASSERT_NE(amplifier, nullptr);
        amplifier->SetHwStatusCallback(Count, &calls);
        amplifier->EnableMeterPolling(true);
        ASSERT_TRUE(WaitUntil([&] { return calls.load() == 1; }));
    }

    // Waits until `checks` more hardware reads have happened.
    bool WaitForChecks(std::size_t checks)
    {
        const std::size_t start = device.Count(FakeOperationKind::ReadHwInfo);
        return WaitUntil([&] { return device.Count(FakeOperationKind::ReadHwInfo) >= start + checks; });
    }

    ScriptedAmplifier device;
    CobaltAmplifier* amplifier = nullptr;
    std::atomic<int> calls{0};
};

TEST_F(HardwareStatus, SettingACallbackForcesExactlyOneCallAndNoMoreWithoutChange)
{
    ASSERT_NO_FATAL_FAILURE(OpenAndWatch(3, "V5.20"));
    ASSERT_TRUE(WaitForChecks(3));
    EXPECT_EQ(calls.load(), 1);
}

TEST_F(HardwareStatus, AChangeReachesTheCallback)
{
    ASSERT_NO_FATAL_FAILURE(OpenAndWatch(3, "V5.20"));
    auto changed = kDefaultHw;
    changed[6] = 1;
    device.SetHwInfo(changed);
    ASSERT_TRUE(WaitUntil([&] { return calls.load() == 2; }));
    std::uint32_t word = 0;
    EXPECT_TRUE(amplifier->GetHardwareStatus(&word));
    EXPECT_EQ(word, 0u);
}

TEST_F(HardwareStatus, BytesOneToThreeAreNotCompared)
{
    ASSERT_NO_FATAL_FAILURE(OpenAndWatch(3, "V5.20"));
    auto changed = kDefaultHw;
    changed[1] = 7;
    changed[3] = 7;
    device.SetHwInfo(changed);
    ASSERT_TRUE(WaitForChecks(3));
    EXPECT_EQ(calls.load(), 1);
}

TEST_F(HardwareStatus, ByteTwelveIsIgnoredBeforeFirmware521)
{
    ASSERT_NO_FATAL_FAILURE(OpenAndWatch(4, "V5.20"));
    auto changed = kDefaultHw;
    changed[12] = 2;
    device.SetHwInfo(changed);
    ASSERT_TRUE(WaitForChecks(3));
    EXPECT_EQ(calls.load(), 1);
    std::uint32_t word = 0;
    amplifier->GetHardwareStatus(&word);
    EXPECT_EQ(word & (1u << 16), 0u);
}

TEST_F(HardwareStatus, ByteTwelveAloneIsAChangeFromFirmware521OnModelsThreeAndFour)
{
    ASSERT_NO_FATAL_FAILURE(OpenAndWatch(4, "V5.21"));
    auto changed = kDefaultHw;
    changed[12] = 2;
    device.SetHwInfo(changed);
    ASSERT_TRUE(WaitUntil([&] { return calls.load() == 2; }));
    std::uint32_t word = 0;
    amplifier->GetHardwareStatus(&word);
    EXPECT_EQ(word, (1u << 10) | (1u << 16));
}

TEST_F(HardwareStatus, ByteTwelveIsIgnoredOnModelTwoEvenWithNewFirmware)
{
    ASSERT_NO_FATAL_FAILURE(OpenAndWatch(3, "V6.0"));
    auto changed = kDefaultHw;
    changed[12] = 2;
    device.SetHwInfo(changed);
    ASSERT_TRUE(WaitForChecks(3));
    EXPECT_EQ(calls.load(), 1);
}

TEST_F(HardwareStatus, NullCallbackStopsTheCalls)
{
    Open(3, "V5.20");
    amplifier->SetHwStatusCallback(Count, &calls);
    amplifier->SetHwStatusCallback(nullptr, nullptr);
    amplifier->EnableMeterPolling(true);
    auto changed = kDefaultHw;
    changed[0] = 5;
    device.SetHwInfo(changed);
    ASSERT_TRUE(WaitForChecks(3));
    EXPECT_EQ(calls.load(), 0);
}

TEST_F(HardwareStatus, FailedReadMakesTheStatusNotValid)
{
    Open(3, "V5.20");
    device.SetBehaviour(FakeOperationKind::ReadHwInfo, OperationBehaviour{{}, FakeCancelReaction::EndsAtOnce, 1000});
    amplifier->EnableMeterPolling(true);
    ASSERT_TRUE(WaitForChecks(1));
    ASSERT_TRUE(WaitUntil([&] {
        std::uint32_t word = 1;
        return !amplifier->GetHardwareStatus(&word) && word == 0;
    }));
}

TEST_F(HardwareStatus, GoingAbsentMakesTheStatusNotValidAndPresentReadsGlobalSettings)
{
    Open(3, "V5.20");
    std::uint32_t word = 0;
    EXPECT_TRUE(amplifier->GetHardwareStatus(&word));
    EXPECT_FALSE(amplifier->SetPresent(true));
    EXPECT_EQ(device.Count(FakeOperationKind::ReadGlobalSettingInfoFromMCU), 1u);
    EXPECT_TRUE(amplifier->SetPresent(true));
    EXPECT_EQ(device.Count(FakeOperationKind::ReadGlobalSettingInfoFromMCU), 1u);
    EXPECT_TRUE(amplifier->IsPresent());
    EXPECT_TRUE(amplifier->SetPresent(false));
    EXPECT_FALSE(amplifier->IsPresent());
    EXPECT_FALSE(amplifier->GetHardwareStatus(&word));
    EXPECT_EQ(word, 0u);
}

}  // namespace
}  // namespace CobaltDeviceManager::testing
