// The device manager against virtual-amp processes through the real device library.
#include <gtest/gtest.h>

#include <cstdlib>

#include "device_manager/manager/TheDeviceManager.h"
#include "tests/device_manager_sessions/ManagerHarness.h"

using namespace e2e_test;
using namespace std::chrono_literals;

namespace {

constexpr auto kHangGuard = 30s;

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
