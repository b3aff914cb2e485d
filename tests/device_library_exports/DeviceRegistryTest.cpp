// The registry's merge and text rules with a scripted enumeration, for the cases the virtual
// devices cannot show: serials longer than a record holds or with a NUL inside, and an
// amplifier that comes back under another path.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>

#include "device_library/include/QuarryDeviceDriver.h"
#include "device_library/src/registry/DeviceRegistry.h"

namespace QuarryDriver {
namespace {

using platform::hid::HidDeviceInfo;

constexpr std::uint16_t kVendor = QUARRY_MAKER_VENDOR_ID;
constexpr std::uint16_t kA210 = QUARRY_PRODUCT_ID_A210;

// The devices "present" for each product id, and the paths that "open".
struct ScriptedHid {
    std::mutex mutex;
    std::map<std::uint16_t, std::vector<HidDeviceInfo>> devices;  // guarded by mutex
    std::vector<std::string> openable;                             // guarded by mutex

    RegistryPlatform Platform()
    {
        RegistryPlatform platform;
        platform.enumerate = [this](std::uint16_t vendor, std::uint16_t product, std::vector<HidDeviceInfo>& out) {
            std::lock_guard<std::mutex> guard(mutex);
            for (const auto& device : devices[product]) {
                if (device.vendorId == vendor) {
                    out.push_back(device);
                }
            }
            return true;
        };
        platform.present = [this](const std::string& path) {
            std::lock_guard<std::mutex> guard(mutex);
            return std::find(openable.begin(), openable.end(), path) != openable.end();
        };
        return platform;
    }
    void Set(std::uint16_t product, std::vector<HidDeviceInfo> list)
    {
        std::lock_guard<std::mutex> guard(mutex);
        devices[product] = std::move(list);
    }
};

HidDeviceInfo Device(const std::string& serial, const std::string& path, std::uint16_t product = kA210)
{
    HidDeviceInfo info;
    info.path = path;
    info.vendorId = kVendor;
    info.productId = product;
    info.serial = serial;
    return info;
}

// The whole scanned list as a caller walks it: first to the end of a walk another caller may
// have left half-way, then once through (the iterator is back at the start afterwards).
std::vector<ScannedEntry> ScannedList(DeviceRegistry& registry)
{
    while (registry.NextScanned(nullptr) == 1) {
    }
    std::vector<ScannedEntry> list;
    ScannedEntry entry;
    while (registry.NextScanned(&entry) == 1) {
        list.push_back(entry);
    }
    return list;
}

bool WaitConnect(DeviceRegistry& registry)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (registry.ConnectCompleted() == 0) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST(ExportsDeviceRegistryTest, LongSerialIsCutSoTheRecordAndTheConnectKeyAgree)
{
    ScriptedHid hid;
    const std::string longSerial(50, 'L');
    hid.Set(kA210, {Device(longSerial, "/nonexistent/long")});
    DeviceRegistry registry(hid.Platform());
    ASSERT_EQ(registry.Register("Cobalt", kVendor, kA210), 1);
    ASSERT_EQ(registry.Scan(), 1);

    ScannedEntry entry;
    ASSERT_EQ(registry.NextScanned(&entry), 1);
    EXPECT_EQ(entry.serial, std::string(39, 'L'));
    QdmScanRecord record;
    std::memset(&record, 0xCC, sizeof record);
    FillScanRecord(entry, record);
    EXPECT_EQ(std::string(record.serial), std::string(39, 'L'));
    EXPECT_EQ(record.serial[39], '\0');

    // The record's text is the key a caller connects with; the full serial is not.
    EXPECT_EQ(registry.Connect(kVendor, kA210, longSerial), 0);
    ASSERT_EQ(registry.Connect(kVendor, kA210, record.serial), 1);
    ASSERT_TRUE(WaitConnect(registry));
    EXPECT_EQ(registry.ConnectedDevice(), nullptr) << "nothing answers at that path";
}

TEST(ExportsDeviceRegistryTest, SerialEndsAtAnEmbeddedNul)
{
    ScriptedHid hid;
    hid.Set(kA210, {Device(std::string("AB\0CD", 5), "/p/1")});
    DeviceRegistry registry(hid.Platform());
    ASSERT_EQ(registry.Register("Cobalt", kVendor, kA210), 1);
    ASSERT_EQ(registry.Scan(), 1);
    const auto list = ScannedList(registry);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].serial, "AB");
}

TEST(ExportsDeviceRegistryTest, EntryFollowsItsDeviceToANewPathAndKeepsItsPlace)
{
    ScriptedHid hid;
    hid.Set(kA210, {Device("ONE", "/dev/hidraw3"), Device("TWO", "/dev/hidraw4")});
    DeviceRegistry registry(hid.Platform());
    ASSERT_EQ(registry.Register("Cobalt", kVendor, kA210), 1);
    ASSERT_EQ(registry.Scan(), 1);

    // After a reset "ONE" enumerates later and under another node.
    hid.Set(kA210, {Device("TWO", "/dev/hidraw4"), Device("ONE", "/dev/hidraw7")});
    ASSERT_EQ(registry.Scan(), 1);
    const auto list = ScannedList(registry);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].serial, "ONE");
    EXPECT_EQ(list[0].path, "/dev/hidraw7");
    EXPECT_EQ(list[0].name, "Cobalt");
    EXPECT_EQ(list[1].serial, "TWO");
}

TEST(ExportsDeviceRegistryTest, PresenceOpensThePathOfTheMatchingSerial)
{
    ScriptedHid hid;
    hid.Set(kA210, {Device("ONE", "/p/one"), Device("TWO", "/p/two")});
    {
        std::lock_guard<std::mutex> guard(hid.mutex);
        hid.openable = {"/p/two"};
    }
    DeviceRegistry registry(hid.Platform());
    EXPECT_EQ(registry.DevicePresent(kVendor, kA210, "TWO"), 1);
    EXPECT_EQ(registry.DevicePresent(kVendor, kA210, "ONE"), 0) << "listed, but its path does not open";
    EXPECT_EQ(registry.DevicePresent(kVendor, kA210, "THREE"), 0);
}

// A node this process may not open is no amplifier it can use: it is neither listed nor
// present, and standard error says once which node it is and which udev rule grants access.
TEST(ExportsDeviceRegistryTest, NodeThatCannotBeOpenedIsSkippedAndNamedOnceWithTheUdevRule)
{
    ScriptedHid hid;
    HidDeviceInfo locked = Device("LOCKED", "/dev/hidraw9");
    locked.openError = EACCES;
    hid.Set(kA210, {locked, Device("FREE", "/dev/hidraw2")});
    {
        std::lock_guard<std::mutex> guard(hid.mutex);
        hid.openable = {"/dev/hidraw9", "/dev/hidraw2"};
    }
    DeviceRegistry registry(hid.Platform());
    ASSERT_EQ(registry.Register("Cobalt", kVendor, kA210), 1);
    ::testing::internal::CaptureStderr();
    ASSERT_EQ(registry.Scan(), 1);
    ASSERT_EQ(registry.Scan(), 1);
    EXPECT_EQ(registry.DevicePresent(kVendor, kA210, "LOCKED"), 0);
    const std::string errors = ::testing::internal::GetCapturedStderr();
    const auto list = ScannedList(registry);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].serial, "FREE");
    EXPECT_EQ(registry.Connect(kVendor, kA210, "LOCKED"), 0);
    std::size_t lines = 0;
    for (std::size_t at = errors.find("/dev/hidraw9"); at != std::string::npos;
         at = errors.find("/dev/hidraw9", at + 1)) {
        ++lines;
    }
    EXPECT_EQ(lines, 1u) << errors;
    EXPECT_NE(errors.find("70-quarry-amplifier.rules"), std::string::npos) << errors;
    EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
}

TEST(ExportsDeviceRegistryTest, DeviceReportedUnderOtherIdsIsNotListed)
{
    ScriptedHid hid;
    hid.Set(kA210, {Device("ONE", "/p/one"), Device("ODD", "/p/odd", 0x1111)});
    DeviceRegistry registry(hid.Platform());
    ASSERT_EQ(registry.Register("Cobalt", kVendor, kA210), 1);
    ASSERT_EQ(registry.Scan(), 1);
    const auto list = ScannedList(registry);
    ASSERT_EQ(list.size(), 1u);
    EXPECT_EQ(list[0].serial, "ONE");
}

TEST(ExportsDeviceRegistryTest, ConcurrentScansAndIterationKeepTheListWhole)
{
    ScriptedHid hid;
    hid.Set(kA210, {Device("ONE", "/p/one"), Device("TWO", "/p/two"), Device("THREE", "/p/three")});
    DeviceRegistry registry(hid.Platform());
    ASSERT_EQ(registry.Register("Cobalt", kVendor, kA210), 1);
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&registry] {
            for (int i = 0; i < 50; ++i) {
                registry.Scan();
                ScannedEntry entry;
                registry.NextScanned(&entry);
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(ScannedList(registry).size(), 3u);
}

}  // namespace
}  // namespace QuarryDriver
