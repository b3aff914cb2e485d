// The end of an amplifier: releasing the last reference stops the worker in bounded time,
// cancels what runs, writes nothing more, and disconnects even when the library answers
// busy a few times.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "ScriptedAmplifier.h"
#include "platform/messages/RecordingWindow.h"

namespace CobaltDeviceManager::testing {
namespace {

using namespace std::chrono_literals;

// Far beyond what a release takes, far below what it would take if it waited the operation out
// (an hour) or ran every ready round: room for a loaded machine.
constexpr std::chrono::milliseconds kReleaseBound = 10s;

std::chrono::milliseconds TimeToRelease(CobaltAmplifier*& amplifier)
{
    const auto start = std::chrono::steady_clock::now();
    ReleaseAmplifier(amplifier);
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
}

TEST(AmplifierLifetime, ReleaseDuringAMeterReadCancelsItAndDisconnects)
{
    ScriptedAmplifier device;
    device.SetMeterBehaviour(OperationBehaviour{1h, FakeCancelReaction::EndsAtOnce});
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    amplifier->EnableMeterPolling(true);
    ASSERT_TRUE(WaitUntil([&] { return device.MeterReads() == 1; }));
    EXPECT_LT(TimeToRelease(amplifier), kReleaseBound);
    const auto reads = device.library->Calls(FakeOperationKind::ReadMCUbyID);
    ASSERT_EQ(reads.size(), 1u);
    EXPECT_TRUE(reads[0].cancelRequested);
    EXPECT_EQ(reads[0].cancelCalls, 1);
    EXPECT_FALSE(device.library->Connected());
}

TEST(AmplifierLifetime, ReleaseDuringAReadThatIgnoresTheCancelStillEndsAndDisconnects)
{
    ScriptedAmplifier device;
    device.SetMeterBehaviour(OperationBehaviour{1500ms, FakeCancelReaction::Ignored});
    AmplifierTimings timings = QuickTimings();
    timings.cancelGrace = 100ms;
    CobaltAmplifier* amplifier = OpenAmplifier(device, timings);
    ASSERT_NE(amplifier, nullptr);
    amplifier->EnableMeterPolling(true);
    ASSERT_TRUE(WaitUntil([&] { return device.MeterReads() == 1; }));
    EXPECT_LT(TimeToRelease(amplifier), 10s);
    // The disconnect waited for the abandoned read to complete before it was accepted.
    EXPECT_FALSE(device.library->Connected());
    EXPECT_FALSE(device.library->OperationRunning());
}

TEST(AmplifierLifetime, StopDuringWritesStartsNoFurtherBlockAndStillPostsTheEnd)
{
    ScriptedAmplifier device;
    device.SetBehaviour(FakeOperationKind::WriteMCUbyID, OperationBehaviour{1h, FakeCancelReaction::EndsAtOnce});
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    platform::RecordingWindow window;
    const platform::MessageId message = platform::RegisterMessage("VeskQuarry_NotifyWritingParam");
    amplifier->SetNotifyWindow(window.Id(), message);
    std::vector<std::uint8_t> data(360, 1);
    ASSERT_TRUE(amplifier->SetBlockParam(2, 0, data.data(), 360, data.data(), 256));
    ASSERT_TRUE(amplifier->SetBlockParam(2, 1, data.data(), 360, data.data(), 256));
    ASSERT_TRUE(amplifier->SetBlockParam(2, 2, data.data(), 360, data.data(), 256));
    amplifier->FlushBlockParams();
    ASSERT_TRUE(device.library->WaitForCalls(FakeOperationKind::WriteMCUbyID, 1, 5s));
    EXPECT_LT(TimeToRelease(amplifier), kReleaseBound);
    const auto writes = device.library->Calls(FakeOperationKind::WriteMCUbyID);
    ASSERT_EQ(writes.size(), 1u);
    EXPECT_EQ(writes[0].cancelCalls, 1);
    const auto messages = window.Messages(message);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().wParam, 0u);
    EXPECT_EQ(messages.back().lParam, 0);
    EXPECT_FALSE(device.library->Connected());
}

TEST(AmplifierLifetime, ReadyWaitEndsOnStop)
{
    ScriptedAmplifier device;
    device.SetReady(0);
    AmplifierTimings timings = QuickTimings();
    timings.readyPause = 1000ms;  // 50 rounds take far longer than the bound
    CobaltAmplifier* amplifier = OpenAmplifier(device, timings);
    ASSERT_NE(amplifier, nullptr);
    std::vector<std::uint8_t> data(360, 1);
    ASSERT_TRUE(amplifier->SetBlockParam(2, 0, data.data(), 360, data.data(), 256));
    amplifier->FlushBlockParams();
    ASSERT_TRUE(WaitUntil([&] { return device.ReadyReads() >= 1; }));
    EXPECT_LT(TimeToRelease(amplifier), kReleaseBound);
    EXPECT_LT(device.ReadyReads(), 50u);
    EXPECT_EQ(device.library->CountCalls(FakeOperationKind::WriteMCUbyID), 0u);
}

TEST(AmplifierLifetime, DisconnectAnsweredBusyIsRetried)
{
    ScriptedAmplifier device;
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    device.library->SetDisconnectBusyAnswers(3);
    ReleaseAmplifier(amplifier);
    EXPECT_FALSE(device.library->Connected());
    EXPECT_EQ(device.library->DisconnectCalls(), 4);
}

TEST(AmplifierLifetime, WorkerKeepsTheObjectAliveUntilItHasEnded)
{
    ScriptedAmplifier device;
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    ICobaltAmplifier* face = nullptr;
    ASSERT_TRUE(AsHandle(amplifier)->GetAmplifier(&face));
    // Two external references: the first release ends nothing.
    ReleaseAmplifier(amplifier);
    EXPECT_TRUE(device.library->Connected());
    EXPECT_EQ(face->GetModel(), 2);
    face->Release();
    EXPECT_FALSE(device.library->Connected());
}

TEST(AmplifierLifetime, QueryInterfaceAlwaysRefuses)
{
    ScriptedAmplifier device;
    CobaltAmplifier* amplifier = OpenAmplifier(device, QuickTimings());
    ASSERT_NE(amplifier, nullptr);
    void* out = &device;
    EXPECT_EQ(AsHandle(amplifier)->QueryInterface(InterfaceId{}, &out), kResultNoInterface);
    EXPECT_EQ(out, &device);
    ReleaseAmplifier(amplifier);
}

}  // namespace
}  // namespace CobaltDeviceManager::testing
