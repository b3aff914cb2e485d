// Registered id pairs, HID enumeration, the scan merge and its iterator, device presence.
#include "device_library/src/registry/DeviceRegistry.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "device_library/src/transport/BoundedLock.h"
#include "device_library/src/transport/LibraryWaits.h"
#include "platform/hid/HidDevice.h"

namespace QuarryDriver {

RegistryPlatform RegistryPlatform::Hid()
{
    RegistryPlatform platform;
    platform.enumerate = [](std::uint16_t vendorId, std::uint16_t productId,
                            std::vector<platform::hid::HidDeviceInfo>& out) {
        out = platform::hid::Enumerate(vendorId, productId);
        return true;
    };
    platform.present = [](const std::string& path) { return platform::hid::IsPresent(path); };
    return platform;
}

DeviceRegistry::DeviceRegistry(RegistryPlatform platform) : platform_(std::move(platform)) {}

int DeviceRegistry::Register(const std::string& name, std::uint16_t vendorId, std::uint16_t productId)
{
    BoundedLock guard(registryLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    const bool known = std::any_of(registered_.begin(), registered_.end(), [&](const RegisteredEntry& entry) {
        return entry.vendorId == vendorId && entry.productId == productId;
    });
    if (!known) {
        registered_.push_back(RegisteredEntry{name, vendorId, productId});
    }
    return 1;
}

int DeviceRegistry::Unregister(std::uint16_t vendorId, std::uint16_t productId)
{
    BoundedLock guard(registryLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    const auto it = std::find_if(registered_.begin(), registered_.end(), [&](const RegisteredEntry& entry) {
        return entry.vendorId == vendorId && entry.productId == productId;
    });
    if (it == registered_.end()) {
        return 0;
    }
    registered_.erase(it);
    return 1;
}

int DeviceRegistry::Enumerate(std::uint16_t vendorId, std::uint16_t productId)
{
    BoundedLock guard(enumerationLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    enumerated_.clear();
    nextEnumerated_ = 0;
    std::vector<platform::hid::HidDeviceInfo> found;
    if (!platform_.enumerate || !platform_.enumerate(vendorId, productId, found)) {
        return 0;
    }
    for (const auto& device : found) {
        // The platform filters by ids already; a device reported under other ids is skipped
        // rather than listed under the wrong model.
        if (device.vendorId != vendorId || device.productId != productId) {
            continue;
        }
        // A node this process may not open is no device it can use. Whoever runs the program
        // learns once per node why the amplifier does not show.
        if (device.openError != 0) {
            if (unopenedNodes_.insert(device.path).second) {
                std::fprintf(stderr,
                             "QuarryDeviceDriver: skipping %s, which cannot be opened (%s); the udev rule %s "
                             "grants access to the amplifier\n",
                             device.path.c_str(), std::strerror(device.openError), QUARRY_UDEV_RULE_NAME);
            }
            continue;
        }
        enumerated_.push_back(Enumerated{BoundedSerial(device.serial), device.path});
    }
    return 1;
}

int DeviceRegistry::NextEnumerated(Enumerated& out)
{
    BoundedLock guard(enumerationLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    if (nextEnumerated_ >= enumerated_.size()) {
        nextEnumerated_ = 0;
        return 0;
    }
    out = enumerated_[nextEnumerated_++];
    return 1;
}

int DeviceRegistry::Scan()
{
    BoundedLock registryGuard(registryLock_, kLockWait);
    if (!registryGuard.OwnsLock()) {
        return 0;
    }
    BoundedLock scannedGuard(scannedLock_, kLockWait);
    if (!scannedGuard.OwnsLock()) {
        return 0;
    }
    std::vector<ScannedEntry> found;
    {
        BoundedLock scanGuard(scanLock_, kLockWait);
        if (!scanGuard.OwnsLock()) {
            return 0;
        }
        for (const RegisteredEntry& pair : registered_) {
            if (Enumerate(pair.vendorId, pair.productId) == 0) {
                continue;
            }
            Enumerated device;
            while (NextEnumerated(device) == 1) {
                found.push_back(ScannedEntry{pair.name, pair.vendorId, pair.productId, device.serial, device.path});
            }
        }
    }

    // Entries of devices that stay plugged in keep their place and name, so a caller's view of
    // "the first amplifier" does not jump around between scans.
    std::erase_if(scanned_, [&found](const ScannedEntry& entry) {
        return std::none_of(found.begin(), found.end(),
                            [&entry](const ScannedEntry& now) { return now.SameDevice(entry); });
    });
    for (ScannedEntry& now : found) {
        const auto kept = std::find_if(scanned_.begin(), scanned_.end(),
                                       [&now](const ScannedEntry& entry) { return entry.SameDevice(now); });
        if (kept == scanned_.end()) {
            scanned_.push_back(std::move(now));
        } else {
            // The same amplifier may come back under another path (a reset into the boot loader
            // re-enumerates it); connecting must use where it is now.
            kept->path = now.path;
        }
    }
    nextScanned_ = 0;
    return 1;
}

int DeviceRegistry::NextScanned(ScannedEntry* out)
{
    BoundedLock guard(scannedLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    if (nextScanned_ >= scanned_.size()) {
        nextScanned_ = 0;
        return 0;
    }
    const ScannedEntry& entry = scanned_[nextScanned_++];
    if (out != nullptr) {
        *out = entry;
    }
    return 1;
}

int DeviceRegistry::DevicePresent(std::uint16_t vendorId, std::uint16_t productId, const std::string& serial)
{
    BoundedLock guard(scanLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    if (Enumerate(vendorId, productId) == 0) {
        return 0;
    }
    Enumerated device;
    while (NextEnumerated(device) == 1) {
        if (device.serial == serial) {
            return platform_.present && platform_.present(device.path) ? 1 : 0;
        }
    }
    return 0;
}

}  // namespace QuarryDriver
