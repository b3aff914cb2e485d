// Mute and mute-input polarity through the global settings: the upload input, the
// 5000 ms bound, the worker's reflection of a late success, and the read on arrival.
#include <gtest/gtest.h>

#include <chrono>

#include "ScriptedAmplifier.h"

namespace CobaltDeviceManager::testing {
namespace {

using namespace std::chrono_literals;

class GlobalSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        timings = QuickTimings();
        timings.globalSettingWait = 300ms;
    }
    void Open()
    {
        amplifier = OpenAmplifier(device, timings);
        ASSERT_NE(amplifier, nullptr);
    }
    void TearDown() override { ReleaseAmplifier(amplifier); }

    std::vector<std::uint8_t> LastUpload() const
    {
        const auto calls = device.library->Calls(FakeOperationKind::UpgradeGlobalSetting);
        return calls.empty() ? std::vector<std::uint8_t>{} : calls.back().input;
    }

    ScriptedAmplifier device;
    AmplifierTimings timings;
    CobaltAmplifier* amplifier = nullptr;
};

TEST_F(GlobalSettings, SetMuteUploadsThePolarityAndTheNewMuteState)
{
    Open();
    ASSERT_TRUE(amplifier->SetMute(true));
    EXPECT_TRUE(amplifier->IsMuted());
    const auto input = LastUpload();
    ASSERT_EQ(input.size(), 2050u);
    EXPECT_EQ(input[0], 0);
    EXPECT_EQ(input[1], 1);
    EXPECT_EQ(input[2], 'O');
    EXPECT_EQ(input[3], 'T');
    for (std::size_t i = 4; i < input.size(); ++i) {
        ASSERT_EQ(input[i], 0) << i;
    }
    ASSERT_TRUE(amplifier->SetMute(false));
    EXPECT_FALSE(amplifier->IsMuted());
    EXPECT_EQ(LastUpload()[3], 'F');
}

TEST_F(GlobalSettings, SetMutePolarityUploadsTheNewPolarityAndTheMuteState)
{
    Open();
    ASSERT_TRUE(amplifier->SetMute(true));
    ASSERT_TRUE(amplifier->SetMutePolarity(false));
    EXPECT_FALSE(amplifier->GetMutePolarity());
    const auto input = LastUpload();
    EXPECT_EQ(input[0], 1);
    EXPECT_EQ(input[1], 1);
    EXPECT_EQ(input[2], 'C');
    EXPECT_EQ(input[3], 'T');
}

TEST_F(GlobalSettings, FailedWriteChangesNothing)
{
    Open();
    device.SetBehaviour(FakeOperationKind::UpgradeGlobalSetting, OperationBehaviour{{}, FakeCancelReaction::EndsAtOnce, 2});
    EXPECT_FALSE(amplifier->SetMute(true));
    EXPECT_FALSE(amplifier->IsMuted());
    EXPECT_FALSE(amplifier->SetMutePolarity(false));
    EXPECT_TRUE(amplifier->GetMutePolarity());
}

TEST_F(GlobalSettings, SlowWriteReturnsFalseAndTheWorkerReflectsItsLateSuccess)
{
    Open();
    // Ten times the caller's wait, so the write is still running when the wait ends even when the
    // caller starts waiting late on a loaded machine.
    device.SetBehaviour(FakeOperationKind::UpgradeGlobalSetting, OperationBehaviour{3000ms});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(amplifier->SetMute(true));
    EXPECT_LT(std::chrono::steady_clock::now() - start, 3000ms);
    EXPECT_TRUE(WaitUntil([&] { return amplifier->IsMuted(); }));
}

TEST_F(GlobalSettings, ArrivalReadsPolarityAndMuteFromTheAmplifier)
{
    device.SetGlobalRecord('C', 'T');
    Open();
    EXPECT_TRUE(amplifier->GetMutePolarity());
    EXPECT_FALSE(amplifier->IsMuted());
    amplifier->SetPresent(true);
    EXPECT_FALSE(amplifier->GetMutePolarity());
    EXPECT_TRUE(amplifier->IsMuted());
}

TEST_F(GlobalSettings, FailedReadOnArrivalKeepsTheMirrors)
{
    device.SetGlobalRecord('C', 'T');
    device.SetBehaviour(FakeOperationKind::ReadGlobalSettingInfoFromMCU,
                        OperationBehaviour{{}, FakeCancelReaction::EndsAtOnce, 1});
    Open();
    amplifier->SetPresent(true);
    EXPECT_TRUE(amplifier->GetMutePolarity());
    EXPECT_FALSE(amplifier->IsMuted());
}

TEST_F(GlobalSettings, UiReadsAndWorkerReadsNeverMeetInTheLibrary)
{
    device.SetMeterBehaviour(OperationBehaviour{3ms});
    device.SetBehaviour(FakeOperationKind::ReadGlobalSettingInfoFromMCU, OperationBehaviour{2ms});
    timings.meterPeriod = 1ms;
    Open();
    amplifier->EnableMeterPolling(true);
    ASSERT_TRUE(WaitUntil([&] { return device.MeterReads() >= 1; }));
    for (int i = 0; i < 30; ++i) {
        amplifier->SetPresent(false);
        amplifier->SetPresent(true);
    }
    // Under load the worker may not get another turn during the loop; give it a bounded one.
    EXPECT_TRUE(WaitUntil([&] { return device.MeterReads() > 1; }));
    amplifier->EnableMeterPolling(false);
    // The fake refuses a start while another operation runs; none was refused.
    for (const FakeOperationCall& call : device.library->Calls()) {
        EXPECT_TRUE(call.started);
    }
    EXPECT_EQ(device.Count(FakeOperationKind::ReadGlobalSettingInfoFromMCU), 30u);
}

}  // namespace
}  // namespace CobaltDeviceManager::testing
