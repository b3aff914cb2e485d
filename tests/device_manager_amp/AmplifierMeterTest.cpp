// Meter polling: the 100 ms tick, one hardware check per ten polls, nothing while
// polling is off, the byte order of the record and the take-once hand-over.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

#include "ScriptedAmplifier.h"

namespace CobaltDeviceManager::testing {
namespace {

using namespace std::chrono_literals;

TEST(AmplifierMeters, OneSecondOfPollingGivesAboutTenReadsAndOneHardwareCheck)
{
    ScriptedAmplifier device;
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    const std::size_t hwReadsAtOpen = device.Count(FakeOperationKind::ReadHwInfo);
    amplifier->EnableMeterPolling(true);
    std::this_thread::sleep_for(1000ms);
    const std::size_t reads = device.MeterReads();
    EXPECT_GE(reads, 9u);
    EXPECT_LE(reads, 11u);
    // The check follows the tenth read, which a loaded machine may push just past the second.
    ASSERT_TRUE(WaitUntil([&] { return device.Count(FakeOperationKind::ReadHwInfo) > hwReadsAtOpen; }, 2s));
    amplifier->EnableMeterPolling(false);
    EXPECT_EQ(device.Count(FakeOperationKind::ReadHwInfo) - hwReadsAtOpen, 1u);
    EXPECT_GE(device.MeterReads(), 10u);
    ReleaseAmplifier(amplifier);
}

TEST(AmplifierMeters, NoReadsChecksOrCallbacksWhilePollingIsOff)
{
    ScriptedAmplifier device;
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    const std::size_t hwReadsAtOpen = device.Count(FakeOperationKind::ReadHwInfo);
    std::atomic<int> calls{0};
    amplifier->SetHwStatusCallback([](void* context) { ++*static_cast<std::atomic<int>*>(context); }, &calls);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(device.MeterReads(), 0u);
    EXPECT_EQ(device.Count(FakeOperationKind::ReadHwInfo), hwReadsAtOpen);
    EXPECT_EQ(calls.load(), 0);
    std::uint32_t levels[4];
    EXPECT_EQ(amplifier->GetMeterLevels(false, levels), -1);
    ReleaseAmplifier(amplifier);
}

TEST(AmplifierMeters, PollingOnPollsAtOnce)
{
    ScriptedAmplifier device;
    AmplifierTimings timings = QuickTimings();
    timings.meterPeriod = 10s;
    CobaltAmplifier* amplifier = OpenAmplifier(device, timings);
    ASSERT_NE(amplifier, nullptr);
    amplifier->EnableMeterPolling(true);
    EXPECT_TRUE(WaitUntil([&] { return device.MeterReads() == 1; }, 2s));
    ReleaseAmplifier(amplifier);
}

TEST(AmplifierMeters, OnlyTheLevelWordsAreByteSwapped)
{
    ScriptedAmplifier device;
    std::array<std::uint8_t, 44> raw{};
    for (std::size_t i = 0; i < raw.size(); ++i) {
        raw[i] = static_cast<std::uint8_t>(0x10 + i);
    }
    device.SetMeterBytes(raw);
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    amplifier->EnableMeterPolling(true);
    std::uint32_t inputs[4] = {};
    ASSERT_TRUE(WaitUntil([&] { return amplifier->GetMeterLevels(false, inputs) == 4; }));
    std::uint32_t outputs[4] = {};
    std::uint32_t status[2] = {};
    ASSERT_EQ(amplifier->GetMeterLevels(true, outputs), 4);
    ASSERT_EQ(amplifier->GetProtectionStatus(status), 4);
    amplifier->EnableMeterPolling(false);
    EXPECT_EQ(inputs[0], 0x10111213u);
    EXPECT_EQ(inputs[3], 0x1C1D1E1Fu);
    EXPECT_EQ(outputs[0], 0x20212223u);
    EXPECT_EQ(outputs[3], 0x2C2D2E2Fu);
    EXPECT_EQ(std::memcmp(status, &raw[36], 8), 0);
    ReleaseAmplifier(amplifier);
}

TEST(AmplifierMeters, LevelsAreHandedOverOncePerPoll)
{
    ScriptedAmplifier device;
    AmplifierTimings timings = QuickTimings();
    timings.meterPeriod = 10s;
    CobaltAmplifier* amplifier = OpenAmplifier(device, timings);
    ASSERT_NE(amplifier, nullptr);
    amplifier->EnableMeterPolling(true);
    std::uint32_t levels[4] = {1, 2, 3, 4};
    ASSERT_TRUE(WaitUntil([&] { return amplifier->GetMeterLevels(false, levels) == 4; }));
    std::uint32_t again[4] = {9, 9, 9, 9};
    EXPECT_EQ(amplifier->GetMeterLevels(false, again), -1);
    EXPECT_EQ(again[0], 9u);
    // The other sets keep their own flags.
    EXPECT_EQ(amplifier->GetMeterLevels(true, again), 4);
    std::uint32_t status[2];
    EXPECT_EQ(amplifier->GetProtectionStatus(status), 4);
    EXPECT_EQ(amplifier->GetProtectionStatus(status), -1);
    ReleaseAmplifier(amplifier);
}

TEST(AmplifierMeters, FailedReadKeepsThePreviousLevels)
{
    ScriptedAmplifier device;
    AmplifierTimings timings = QuickTimings();
    timings.meterPeriod = 20ms;
    CobaltAmplifier* amplifier = OpenAmplifier(device, timings);
    ASSERT_NE(amplifier, nullptr);
    device.SetMeterBehaviour(OperationBehaviour{{}, FakeCancelReaction::EndsAtOnce, 1000000});
    amplifier->EnableMeterPolling(true);
    ASSERT_TRUE(WaitUntil([&] { return device.MeterReads() >= 3; }));
    std::uint32_t levels[4];
    EXPECT_EQ(amplifier->GetMeterLevels(false, levels), -1);
    ReleaseAmplifier(amplifier);
}

}  // namespace
}  // namespace CobaltDeviceManager::testing
