// One operation through the gate: outcomes, the single cancel, abandonment with parked
// buffers, the gate's stop-aware wait, and the disconnect retries.
#include "device_manager/library/seam/DeviceOperation.h"
#include "tests/support/FakeDeviceLibrary.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace CobaltDeviceManager {
namespace {

using namespace std::chrono_literals;

class Operation : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(library.ConnectDevice(0x2F5A, 0xA210, "S1"), 1);
        ASSERT_EQ(library.IsConnectCompleted(), 1);
        handle = library.GetConnectingDevice();
    }

    void Script(std::chrono::milliseconds latency, bool success, FakeCancelReaction reaction)
    {
        library.SetScript([=](const FakeOperationCall&) {
            FakeOperationScript script;
            script.latency = latency;
            script.success = success;
            script.cancelReaction = reaction;
            script.payload = {0x42};
            return script;
        });
    }

    FakeDeviceLibrary library;
    QdoHandle handle = nullptr;
    const OperationWait quick{1ms, 5s, 200ms};
};

TEST_F(Operation, SucceededAndFailedOutcomes)
{
    Script(5ms, true, FakeCancelReaction::EndsAtOnce);
    {
        DeviceOperation operation(library, 1s, nullptr);
        EXPECT_EQ(operation.Run([&] { return library.Reset(handle); }, nullptr, quick),
                  DeviceOperation::Outcome::Succeeded);
    }
    Script(5ms, false, FakeCancelReaction::EndsAtOnce);
    DeviceOperation operation(library, 1s, nullptr);
    EXPECT_EQ(operation.Run([&] { return library.Reset(handle); }, nullptr, quick), DeviceOperation::Outcome::Failed);
    EXPECT_FALSE(operation.CancelSent());
}

TEST_F(Operation, StartThatIsRefusedIsNotStarted)
{
    DeviceOperation operation(library, 1s, nullptr);
    EXPECT_EQ(operation.Run([&] { return library.Reset(nullptr); }, nullptr, quick),
              DeviceOperation::Outcome::NotStarted);
}

TEST_F(Operation, StopSendsExactlyOneCancel)
{
    Script(1h, false, FakeCancelReaction::NeverEnds);
    platform::Event stop(platform::ResetMode::Manual, true);
    DeviceOperation operation(library, 1s, nullptr);
    ASSERT_TRUE(operation.Start([&] { return library.Reset(handle); }));
    // A cancel the library does not act on keeps the operation running past the grace period.
    const auto outcome = operation.Wait(OperationWait{1ms, 5s, 10ms}, &stop);
    EXPECT_EQ(outcome, DeviceOperation::Outcome::Abandoned);
    EXPECT_TRUE(operation.CancelSent());
    EXPECT_EQ(library.Calls()[0].cancelCalls, 1);
}

TEST_F(Operation, CancelledOperationThatEndsReportsCancelled)
{
    Script(1h, true, FakeCancelReaction::EndsAtOnce);
    platform::Event cancel(platform::ResetMode::Manual, false);
    DeviceOperation operation(library, 1s, nullptr);
    ASSERT_TRUE(operation.Start([&] { return library.Reset(handle); }));
    cancel.Set();
    EXPECT_EQ(operation.Wait(quick, nullptr, &cancel), DeviceOperation::Outcome::Cancelled);
    const auto calls = library.Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_TRUE(calls[0].cancelRequested);
}

TEST_F(Operation, OnlyTheCancelEventMakesACancelledOperationCancelled)
{
    // Out of time: cancelled by this side, but a failure.
    Script(1h, true, FakeCancelReaction::EndsAtOnce);
    {
        DeviceOperation operation(library, 1s, nullptr);
        ASSERT_TRUE(operation.Start([&] { return library.Reset(handle); }));
        EXPECT_EQ(operation.Wait(OperationWait{1ms, 20ms, 1s}), DeviceOperation::Outcome::Failed);
        EXPECT_TRUE(operation.CancelSent());
    }
    // A stop, even with the cancel event signalled too: a failure.
    platform::Event stop(platform::ResetMode::Manual, true);
    platform::Event cancel(platform::ResetMode::Manual, true);
    {
        DeviceOperation operation(library, 1s, nullptr);
        ASSERT_TRUE(operation.Start([&] { return library.Reset(handle); }));
        EXPECT_EQ(operation.Wait(quick, &stop, &cancel), DeviceOperation::Outcome::Failed);
    }
    // The cancel event alone: cancelled, also when the library never lets the operation end.
    stop.Reset();
    Script(1h, false, FakeCancelReaction::NeverEnds);
    DeviceOperation operation(library, 1s, nullptr);
    ASSERT_TRUE(operation.Start([&] { return library.Reset(handle); }));
    EXPECT_EQ(operation.Wait(OperationWait{1ms, 5s, 10ms}, &stop, &cancel), DeviceOperation::Outcome::Cancelled);
}

TEST_F(Operation, AbandonedBuffersStayAliveUntilTheLibraryIsDone)
{
    library.SetScript([](const FakeOperationCall&) {
        FakeOperationScript script;
        script.cancelReaction = FakeCancelReaction::NeverEnds;
        script.payload = {1, 2, 3, 4};
        return script;
    });
    std::weak_ptr<void> watch;
    {
        auto buffer = std::make_shared<std::array<std::uint8_t, 4>>();
        watch = buffer;
        std::uint8_t* raw = buffer->data();
        DeviceOperation operation(library, 1s, nullptr);
        EXPECT_EQ(operation.Run([&] { return library.ReadMCUbyID(handle, 1, 4, raw); }, buffer,
                                OperationWait{1ms, 5ms, 5ms}),
                  DeviceOperation::Outcome::Abandoned);
    }
    EXPECT_FALSE(watch.expired());
    // The library writes into the parked buffer when it finally ends.
    library.FinishStuckOperation(true);
    {
        DeviceOperation next(library, 1s, nullptr);
        ASSERT_TRUE(next.HasGate());
    }
    EXPECT_TRUE(watch.expired());
}

TEST_F(Operation, GateIsHeldForTheWholeOperation)
{
    Script(100ms, true, FakeCancelReaction::EndsAtOnce);
    std::atomic<bool> started{false};
    std::thread other([&] {
        DeviceOperation operation(library, 5s, nullptr);
        ASSERT_TRUE(operation.Start([&] { return library.Reset(handle); }));
        started = true;
        operation.Wait(quick);
    });
    while (!started) {
        std::this_thread::sleep_for(1ms);
    }
    DeviceOperation mine(library, 5s, nullptr);
    ASSERT_TRUE(mine.HasGate());
    // The other operation has completed, so this start is not refused as busy.
    EXPECT_EQ(mine.Run([&] { return library.Reset(handle); }, nullptr, quick), DeviceOperation::Outcome::Succeeded);
    other.join();
}

TEST_F(Operation, GateWaitEndsOnStopAndOnItsLimit)
{
    auto held = library.Gate().Acquire(1s, nullptr);
    ASSERT_TRUE(held.Owns());
    std::thread waiter([&] {
        platform::Event stop(platform::ResetMode::Manual, false);
        std::thread stopper([&] {
            std::this_thread::sleep_for(20ms);
            stop.Set();
        });
        DeviceOperation stopped(library, 10s, &stop);
        EXPECT_FALSE(stopped.HasGate());
        stopper.join();
        DeviceOperation timedOut(library, 20ms, nullptr);
        EXPECT_FALSE(timedOut.HasGate());
    });
    waiter.join();
}

TEST_F(Operation, DisconnectRetriesWhileBusy)
{
    library.SetDisconnectBusyAnswers(3);
    QdoHandle variable = handle;
    EXPECT_TRUE(DisconnectDevice(library, variable, 1s, 1ms));
    EXPECT_EQ(variable, nullptr);
    EXPECT_EQ(library.DisconnectCalls(), 4);
    EXPECT_FALSE(library.Connected());
}

TEST_F(Operation, DisconnectGivesUpAfterItsLimit)
{
    library.SetDisconnectBusyAnswers(1000000);
    QdoHandle variable = handle;
    EXPECT_FALSE(DisconnectDevice(library, variable, 30ms, 1ms));
    EXPECT_EQ(variable, handle);
}

}  // namespace
}  // namespace CobaltDeviceManager
