// The device manager against virtual-amp processes through the real device library.
#include <gtest/gtest.h>

#include <cstdlib>

#include "device_manager/manager/TheDeviceManager.h"
#include "tests/device_manager_sessions/ManagerHarness.h"

using namespace e2e_test;
using namespace std::chrono_literals;

namespace {

constexpr auto kHangGuard = 30s;

AmplifierTimings RetryPauses(std::chrono::milliseconds first, std::chrono::milliseconds longest)
{
    AmplifierTimings timings;
    timings.openRetryFirstPause = first;
    timings.openRetryLongestPause = longest;
    return timings;
}

// The second amplifier of a test: its own virtual-amp with its own control channel.
std::unique_ptr<VirtualAmpProcess> SecondAmp(const ManagerHarness& harness, const std::string& serial)
{
    return std::make_unique<VirtualAmpProcess>(
        harness.Folder(), std::vector<std::string>{"--control", harness.Folder() + "/second.control", "--device",
                                                   "a210:" + serial, "--version", "V5.21"});
}

}  // namespace

TEST(ManagerEndToEnd, StartingAndStoppingAVirtualAmplifierMakesAndReleasesItsObjectAndPostsTheChange)
{
    ManagerHarness harness;
    EXPECT_EQ(harness.PresentCount(), 0);
    {
        VirtualAmpProcess amp(harness.Folder(), {"--device", "a210:WATCH1"});
        ASSERT_TRUE(amp.Running());
        ASSERT_TRUE(harness.PumpUntil([&] { return harness.PresentCount() == 1; }, kHangGuard));
        EXPECT_GE(harness.Notices(), 1u);
        EXPECT_EQ(harness.Opened(), 1);
        ICobaltAmplifier* amplifier = harness.FirstAmplifier();
        ASSERT_NE(amplifier, nullptr);
        EXPECT_EQ(amplifier->GetModel(), 2);
        EXPECT_EQ(amplifier->GetFirmwareVersion(), u"v5.20");
        amplifier->Release();
        const std::size_t before = harness.Notices();
        amp.Stop();
        ASSERT_TRUE(harness.PumpUntil([&] { return harness.Manager().Keys().empty(); }, kHangGuard));
        EXPECT_GT(harness.Notices(), before);
    }
    EXPECT_EQ(harness.PresentCount(), 0);
}

TEST(ManagerEndToEnd, UnpluggingAndRepluggingMakesANewObjectThatConnectsAgain)
{
    ManagerHarness harness;
    VirtualAmpProcess amp(harness.Folder(), {"--device", "a210:WATCH2"});
    ASSERT_TRUE(amp.Running());
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.PresentCount() == 1; }, kHangGuard));
    ASSERT_EQ(amp.Control("unplug WATCH2"), std::optional<std::string>("OK"));
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.Manager().Keys().empty(); }, kHangGuard));
    ASSERT_EQ(amp.Control("replug WATCH2"), std::optional<std::string>("OK"));
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.PresentCount() == 1; }, kHangGuard));
    EXPECT_EQ(harness.Made(), 2);
    EXPECT_EQ(harness.Opened(), 2);
    ICobaltAmplifier* amplifier = harness.FirstAmplifier();
    ASSERT_NE(amplifier, nullptr);
    EXPECT_EQ(amplifier->GetModel(), 2);
    amplifier->Release();
}

TEST(ManagerEndToEnd, TheProcessManagerIsOneInstance)
{
    TempFolder folder;
    ::setenv("QUARRY_VIRTUAL_HID_DIR", folder.Path().c_str(), 1);
    CDeviceManager& manager = TheDeviceManager();
    EXPECT_EQ(&manager, &TheDeviceManager());
    ICobaltAmplifier* amplifier = nullptr;
    EXPECT_EQ(ForFirstActiveAmplifier(&amplifier), 0);
    EXPECT_EQ(amplifier, nullptr);
}

// The library connects one amplifier at a time. The retries wait a minute here, so only the
// rescan that sees the first one go can bring the second one in time (within two seconds on a
// quiet machine; the bound leaves room for a loaded one).
TEST(ManagerEndToEndTwoAmplifiers, TheOneBesideAnUnpluggedOneIsConnectedByTheRescanNotByARetry)
{
    ManagerHarness harness(RetryPauses(60s, 60s));
    VirtualAmpProcess first(harness.Folder(), {"--device", "a210:FIRST"});
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.PresentCount() == 1; }, kHangGuard));
    auto second = SecondAmp(harness, "SECOND");
    ASSERT_TRUE(harness.PumpUntil(
        [&] { return harness.Manager().KeysAwaitingOpen() == std::vector<std::u16string>{u"SECOND"}; }, kHangGuard));
    EXPECT_EQ(harness.PresentCount(), 1);
    const std::size_t notices = harness.Notices();

    const auto unplugged = std::chrono::steady_clock::now();
    ASSERT_EQ(first.Control("unplug FIRST"), std::optional<std::string>("OK"));
    ASSERT_TRUE(harness.PumpUntil(
        [&] { return harness.Manager().Keys() == std::vector<std::u16string>{u"SECOND"}; }, kHangGuard));
    EXPECT_LT(std::chrono::steady_clock::now() - unplugged, 20s);
    EXPECT_EQ(harness.PresentCount(), 1);
    EXPECT_TRUE(harness.Manager().KeysAwaitingOpen().empty());
    EXPECT_GT(harness.Notices(), notices);
    ICobaltAmplifier* amplifier = harness.FirstAmplifier();
    ASSERT_NE(amplifier, nullptr);
    EXPECT_EQ(amplifier->GetFirmwareVersion(), u"v5.21");
    amplifier->Release();
}

TEST(ManagerEndToEndTwoAmplifiers, TheOneBesideAConnectedOneIsRetriedAfterGrowingPausesUntilItIsUnplugged)
{
    ManagerHarness harness(RetryPauses(100ms, 400ms));
    VirtualAmpProcess first(harness.Folder(), {"--device", "a210:FIRST"});
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.PresentCount() == 1; }, kHangGuard));
    const auto plugged = std::chrono::steady_clock::now();
    auto second = SecondAmp(harness, "SECOND");
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.Made() >= 2; }, kHangGuard));
    const std::size_t notices = harness.Notices();
    // One attempt when it arrives, then after 100, 200 and 400 ms at the least; the retries
    // that change nothing post nothing.
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.Made() >= 5; }, kHangGuard));
    EXPECT_GE(std::chrono::steady_clock::now() - plugged, 700ms);
    EXPECT_EQ(harness.Opened(), 1);
    EXPECT_EQ(harness.PresentCount(), 1);
    EXPECT_EQ(harness.Notices(), notices);
    ASSERT_EQ(second->Control("unplug SECOND"), std::optional<std::string>("OK"));
    ASSERT_TRUE(harness.PumpUntil([&] { return harness.Manager().KeysAwaitingOpen().empty(); }, kHangGuard));
    EXPECT_EQ(harness.Manager().Keys(), std::vector<std::u16string>{u"FIRST"});
    EXPECT_EQ(harness.Notices(), notices + 1);
}
