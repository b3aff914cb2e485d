// A device found by its identity for every job: after it comes back on another node, jobs
// follow it there, and the node it left is not opened even when another device sits at it.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "device_library/include/QuarryVendorId.h"
#include "device_library/src/models/DeviceModelFactory.h"
#include "device_library/src/registry/DeviceRegistry.h"
#include "tests/device_models/VirtualAmpFixture.h"
#include "tests/support/TempFolder.h"
#include "tools/virtual_amp/lib/AmpFolderHost.h"

namespace QuarryDriver::testing {
namespace {

using platform::hid::HidDeviceInfo;

// An amplifier served in a folder of its own, under the serial its socket name says.
struct HostedAmp {
    HostedAmp(const std::string& folder, const std::string& socketSerial, std::uint8_t modelCode)
    {
        VirtualAmp::AmpConfig config;
        config.serial = socketSerial;
        config.modelCode = modelCode;
        amp = std::make_shared<VirtualAmp::VirtualAmplifier>(config);
        host = std::make_unique<VirtualAmp::AmpFolderHost>(amp, folder);
        started = host->Start();
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (started && !host->IsListening() && std::chrono::steady_clock::now() < until) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    std::shared_ptr<VirtualAmp::VirtualAmplifier> amp;
    std::unique_ptr<VirtualAmp::AmpFolderHost> host;
    bool started = false;
};

// The platform's listing, as the test says it is.
struct ScriptedListing {
    std::mutex mutex;
    std::vector<HidDeviceInfo> devices;  // guarded by mutex

    HidEnumerator Enumerator()
    {
        return [this](std::uint16_t vendor, std::uint16_t product, std::vector<HidDeviceInfo>& out) {
            std::lock_guard<std::mutex> guard(mutex);
            for (const HidDeviceInfo& device : devices) {
                if (device.vendorId == vendor && device.productId == product) {
                    out.push_back(device);
                }
            }
            return true;
        };
    }
    void Set(std::vector<HidDeviceInfo> now)
    {
        std::lock_guard<std::mutex> guard(mutex);
        devices = std::move(now);
    }
};

HidDeviceInfo Listed(const std::string& serial, const std::string& path)
{
    return HidDeviceInfo{path, QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210, serial};
}

TEST(DeviceRelocation, JobsFollowTheSerialToItsNewNodeAndNeverOpenAnotherDeviceAtTheOldOne)
{
    TempFolder root("qdm-move-");
    const std::string first = (root.Path() / "first").string();
    const std::string second = (root.Path() / "second").string();
    std::filesystem::create_directories(first);
    std::filesystem::create_directories(second);
    ::setenv("QUARRY_VIRTUAL_HID_DIR", root.Path().c_str(), 1);

    auto mover = std::make_unique<HostedAmp>(first, "MOVER", 3);
    ASSERT_TRUE(mover->started);
    const std::string oldNode = mover->host->SocketPath();
    ScriptedListing listing;
    listing.Set({Listed("MOVER", oldNode)});
    ScannedEntry entry;
    entry.vendorId = QUARRY_MAKER_VENDOR_ID;
    entry.productId = QUARRY_PRODUCT_ID_A210;
    entry.serial = "MOVER";
    entry.path = oldNode;
    auto device = CreateDeviceModel(entry.vendorId, entry.productId, LocateByIdentity(entry, listing.Enumerator()));
    ASSERT_NE(device, nullptr);
    std::uint32_t answered = 0;
    ASSERT_TRUE(VirtualAmpTest::Finish(*device, device->Connect(&answered)));
    EXPECT_EQ(answered, 1u);

    // The amplifier comes back in the second folder; another one (model 5) now sits at the
    // node it left, under the same socket name.
    std::shared_ptr<VirtualAmp::VirtualAmplifier> moved = mover->amp;
    mover.reset();
    VirtualAmp::AmpFolderHost movedHost(moved, second);
    ASSERT_TRUE(movedHost.Start());
    HostedAmp stranger(first, "MOVER", 5);
    ASSERT_TRUE(stranger.started);
    ASSERT_EQ(stranger.host->SocketPath(), oldNode);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!movedHost.IsListening() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    listing.Set({Listed("OTHER", oldNode), Listed("MOVER", movedHost.SocketPath())});
    moved->ResetCounters();

    ASSERT_TRUE(VirtualAmpTest::Finish(*device, device->ReadBasicInfo()));
    BasicInfo info{};
    device->CopyBasicInfo(&info);
    EXPECT_EQ(info.modelCode, 3);
    EXPECT_GT(moved->Counters().exchanges, 0u);
    EXPECT_EQ(stranger.amp->Counters().exchanges, 0u);
    EXPECT_EQ(device->DevicePath(), movedHost.SocketPath());

    // Gone from the listing: the job fails without opening anything.
    listing.Set({Listed("OTHER", oldNode)});
    EXPECT_FALSE(VirtualAmpTest::Finish(*device, device->ReadBasicInfo()));
    EXPECT_EQ(stranger.amp->Counters().exchanges, 0u);
    EXPECT_EQ(device->IsPresent(), 0);
    device.reset();
    movedHost.Stop();
    ::unsetenv("QUARRY_VIRTUAL_HID_DIR");
}

}  // namespace
}  // namespace QuarryDriver::testing
