// The fake behaves like the library where the amplifier depends on it: one operation at a
// time, -1 for null records, results copied only on success, cancels, disconnect rules.
#include "tests/support/FakeDeviceLibrary.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <vector>
#include <thread>

namespace CobaltDeviceManager {
namespace {

using namespace std::chrono_literals;

class FakeLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(library.ConnectDevice(0x2F5A, 0xA210, "S1"), 1);
        ASSERT_EQ(library.IsConnectCompleted(), 1);
        handle = library.GetConnectingDevice();
        ASSERT_NE(handle, nullptr);
    }

    FakeDeviceLibrary library;
    QdoHandle handle = nullptr;
};

TEST_F(FakeLibrary, SecondStartWhileOneRunsIsBusy)
{
    library.SetScript([](const FakeOperationCall&) {
        FakeOperationScript script;
        script.latency = 1h;
        return script;
    });
    EXPECT_EQ(library.Reset(handle), 1);
    EXPECT_EQ(library.Reset(handle), 0);
    EXPECT_EQ(library.IsOperationCompleted(handle), 0);
}

TEST_F(FakeLibrary, NullRecordIsMinusOneAndNullHandleIsZero)
{
    EXPECT_EQ(library.ReadHwInfo(handle, nullptr), -1);
    HwInfoRecord record{};
    EXPECT_EQ(library.ReadHwInfo(nullptr, &record), 0);
    EXPECT_EQ(library.ConnectDevice(1, 2, nullptr), -1);
}

TEST_F(FakeLibrary, PayloadIsCopiedOnlyOnSuccess)
{
    bool succeed = false;
    library.SetScript([&](const FakeOperationCall&) {
        FakeOperationScript script;
        script.success = succeed;
        script.payload = {7, 8, 9};
        return script;
    });
    std::uint8_t buffer[3] = {1, 1, 1};
    ASSERT_EQ(library.ReadMCUbyID(handle, 1, 3, buffer), 1);
    EXPECT_EQ(library.IsOperationCompleted(handle), 1);
    EXPECT_EQ(library.IsOperationSuccessful(handle), 0);
    EXPECT_EQ(buffer[0], 1);
    succeed = true;
    ASSERT_EQ(library.ReadMCUbyID(handle, 1, 3, buffer), 1);
    EXPECT_EQ(library.IsOperationCompleted(handle), 1);
    EXPECT_EQ(library.IsOperationSuccessful(handle), 1);
    EXPECT_EQ(buffer[2], 9);
}

TEST_F(FakeLibrary, CancelReactionsDecideTheEnd)
{
    FakeCancelReaction reaction = FakeCancelReaction::EndsAtOnce;
    library.SetScript([&](const FakeOperationCall&) {
        FakeOperationScript script;
        script.latency = 1h;
        script.cancelReaction = reaction;
        return script;
    });
    ASSERT_EQ(library.Reset(handle), 1);
    library.CancelOperation(handle);
    EXPECT_EQ(library.IsOperationCompleted(handle), 1);
    EXPECT_EQ(library.IsOperationSuccessful(handle), 0);

    reaction = FakeCancelReaction::NeverEnds;
    ASSERT_EQ(library.Reset(handle), 1);
    library.CancelOperation(handle);
    EXPECT_EQ(library.IsOperationCompleted(handle), 0);
    library.FinishStuckOperation(true);
    EXPECT_EQ(library.IsOperationCompleted(handle), 1);
    EXPECT_EQ(library.IsOperationSuccessful(handle), 1);
}

TEST_F(FakeLibrary, DisconnectWhileAnOperationRunsIsRefused)
{
    library.SetScript([](const FakeOperationCall&) {
        FakeOperationScript script;
        script.latency = 1h;
        script.cancelReaction = FakeCancelReaction::EndsAtOnce;
        return script;
    });
    ASSERT_EQ(library.Reset(handle), 1);
    QdoHandle variable = handle;
    EXPECT_EQ(library.DisconnectDevice(&variable), 0);
    EXPECT_EQ(variable, handle);
    library.CancelOperation(handle);
    EXPECT_EQ(library.DisconnectDevice(&variable), 1);
    EXPECT_EQ(variable, nullptr);
    EXPECT_FALSE(library.Connected());
}

TEST_F(FakeLibrary, ScanListsTheScriptedEntriesAndRewindsAtTheEnd)
{
    QdmScanRecord entry{};
    std::strncpy(entry.serial, "AB", sizeof(entry.serial));
    library.SetScanEntries({entry});
    EXPECT_EQ(library.GetScanedDevice(nullptr), 0);
    ASSERT_EQ(library.ScanDevices(), 1);
    QdmScanRecord out{};
    EXPECT_EQ(library.GetScanedDevice(&out), 1);
    EXPECT_STREQ(out.serial, "AB");
    EXPECT_EQ(library.GetScanedDevice(&out), 0);
    EXPECT_EQ(library.GetScanedDevice(nullptr), 1);
    EXPECT_EQ(library.RegisterDevice("Cobalt", 0x2F5A, 0xA210), 1);
    EXPECT_EQ(library.RegisterDevice("Cobalt", 0x12F5A, 0xA210), 1);
    EXPECT_EQ(library.RegisteredIds(), std::vector<std::uint32_t>{0x2F5AA210u});
}

TEST_F(FakeLibrary, ProgressRisesWithTime)
{
    library.SetScript([](const FakeOperationCall&) {
        FakeOperationScript script;
        script.latency = 100ms;
        return script;
    });
    ASSERT_EQ(library.Reset(handle), 1);
    std::this_thread::sleep_for(50ms);
    const std::uint8_t progress = library.GetOperationProgress(handle);
    EXPECT_GE(progress, 40);
    EXPECT_LE(progress, 100);
}

}  // namespace
}  // namespace CobaltDeviceManager
