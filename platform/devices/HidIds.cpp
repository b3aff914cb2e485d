// Reading the USB ids of a HID interface from its path without opening it.
#include <libudev.h>
#include <sys/stat.h>

#include <charconv>
#include <cstring>
#include <memory>

#include "platform/devices/DeviceEvents.h"
#include "platform/hid/HidTypes.h"

namespace platform::devices {
namespace {

// A hexadecimal field of [first, last) that must be whole and fit 32 bits.
std::optional<std::uint32_t> ParseHexField(const char* first, const char* last)
{
    if (first == last) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(first, last, value, 16);
    if (error != std::errc() || end != last) {
        return std::nullopt;
    }
    return value;
}

struct UdevDeleter {
    void operator()(udev* context) const { udev_unref(context); }
};
struct UdevDeviceDeleter {
    void operator()(udev_device* device) const { udev_device_unref(device); }
};

std::optional<HidIds> ReadHidrawIds(dev_t deviceNumber)
{
    std::unique_ptr<udev, UdevDeleter> context(udev_new());
    if (!context) {
        return std::nullopt;
    }
    std::unique_ptr<udev_device, UdevDeviceDeleter> device(
        udev_device_new_from_devnum(context.get(), 'c', deviceNumber));
    if (!device) {
        return std::nullopt;
    }
    const char* subsystem = udev_device_get_subsystem(device.get());
    if (subsystem == nullptr || std::strcmp(subsystem, "hidraw") != 0) {
        return std::nullopt;
    }
    // The parent is owned by the child and must not be unreferenced.
    udev_device* parent = udev_device_get_parent_with_subsystem_devtype(device.get(), "hid", nullptr);
    if (parent == nullptr) {
        return std::nullopt;
    }
    const char* hidId = udev_device_get_property_value(parent, "HID_ID");
    if (hidId == nullptr) {
        return std::nullopt;
    }
    return ParseHidId(hidId);
}

}  // namespace

std::optional<HidIds> ParseHidId(const std::string& value)
{
    const std::size_t firstColon = value.find(':');
    if (firstColon == std::string::npos) {
        return std::nullopt;
    }
    const std::size_t secondColon = value.find(':', firstColon + 1);
    if (secondColon == std::string::npos) {
        return std::nullopt;
    }
    const char* text = value.data();
    const auto bus = ParseHexField(text, text + firstColon);
    const auto vendor = ParseHexField(text + firstColon + 1, text + secondColon);
    const auto product = ParseHexField(text + secondColon + 1, text + value.size());
    if (!bus || !vendor || !product || *vendor > 0xFFFF || *product > 0xFFFF) {
        return std::nullopt;
    }
    return HidIds{static_cast<std::uint16_t>(*vendor), static_cast<std::uint16_t>(*product)};
}

std::optional<HidIds> ParseVirtualDeviceName(const std::string& fileName)
{
    hid::HidDeviceInfo info;
    if (!hid::ParseVirtualSocketName(fileName, info)) {
        return std::nullopt;
    }
    return HidIds{info.vendorId, info.productId};
}

std::optional<HidIds> ReadHidIds(const std::string& path)
{
    struct stat info {};
    if (path.empty() || ::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    if (S_ISSOCK(info.st_mode)) {
        const std::size_t slash = path.rfind('/');
        return ParseVirtualDeviceName(slash == std::string::npos ? path : path.substr(slash + 1));
    }
    if (S_ISCHR(info.st_mode)) {
        return ReadHidrawIds(info.st_rdev);
    }
    return std::nullopt;
}

}  // namespace platform::devices
