// Connect: the worker that creates the device object of a scanned amplifier's model and runs the
// connection handshake, and the release of the connected device.
#include <algorithm>
#include <chrono>
#include <thread>

#include "device_library/src/models/DeviceModelFactory.h"
#include "device_library/src/registry/DeviceRegistry.h"
#include "device_library/src/transport/BoundedLock.h"
#include "device_library/src/transport/LibraryWaits.h"

namespace QuarryDriver {

DeviceLocator LocateByIdentity(const ScannedEntry& entry, HidEnumerator enumerate)
{
    return DeviceLocator(entry.path,
                         [enumerate = std::move(enumerate), vendorId = entry.vendorId, productId = entry.productId,
                          serial = entry.serial]() -> std::optional<std::string> {
                             std::vector<platform::hid::HidDeviceInfo> found;
                             if (!enumerate || !enumerate(vendorId, productId, found)) {
                                 return std::nullopt;
                             }
                             for (const platform::hid::HidDeviceInfo& device : found) {
                                 if (device.vendorId == vendorId && device.productId == productId &&
                                     device.openError == 0 && BoundedSerial(device.serial) == serial) {
                                     return device.path;
                                 }
                             }
                             return std::nullopt;
                         });
}

DeviceRegistry::~DeviceRegistry()
{
    Shutdown();
}

void DeviceRegistry::Shutdown()
{
    {
        // Under the lock, so no connect that has already checked the flag is still on its way.
        BoundedLock guard(scannedLock_, kLockWait);
        stopping_ = true;
    }
    JoinConnectWorker();
    std::unique_ptr<CDeviceBase> device;
    {
        std::lock_guard<std::mutex> guard(connectedLock_);
        device = std::move(connected_);
    }
    // Deleting the device cancels and joins its job before the transport goes.
    device.reset();
}

int DeviceRegistry::Connect(std::uint16_t vendorId, std::uint16_t productId, const std::string& serial)
{
    {
        BoundedLock guard(scannedLock_, kLockWait);
        if (!guard.OwnsLock()) {
            return 0;
        }
        if (ConnectedDevice() != nullptr || connectIdle_.load() != 1 || stopping_.load()) {
            return 0;
        }
        const auto entry = std::find_if(scanned_.begin(), scanned_.end(), [&](const ScannedEntry& scanned) {
            return scanned.SameDevice(vendorId, productId, serial);
        });
        if (entry == scanned_.end()) {
            return 0;
        }
        workerStarted_ = false;
        connectIdle_ = 0;
        ThreadHandle worker = nullptr;
        try {
            // An earlier worker whose delete was refused is kept for a later retry, not overwritten.
            if (JoinConnectWorker()) {
                worker = StartThread([this, target = *entry]() { RunConnect(target); });
            }
        } catch (...) {
            // Copying the entry failed: connect-idle must not stay 0.
            worker = nullptr;
        }
        if (worker == nullptr) {
            connectIdle_ = 1;
            return 0;
        }
        std::lock_guard<std::mutex> workerGuard(connectWorkerLock_);
        connectWorker_ = worker;
    }
    // The worker copies its arguments before anything else; the caller may free serial after.
    while (!workerStarted_.load()) {
        std::this_thread::sleep_for(kPollInterval);
    }
    return 1;
}

void DeviceRegistry::RunConnect(ScannedEntry entry)
{
    const ScannedEntry target = std::move(entry);
    workerStarted_ = true;
    std::unique_ptr<CDeviceBase> device;
    try {
        device = CreateDeviceModel(target.vendorId, target.productId, LocateByIdentity(target, platform_.enumerate),
                                   platform_.timing);
    } catch (...) {
        device.reset();
    }
    if (device != nullptr) {
        // Written by the handshake job; read only once the job has completed.
        std::uint32_t answered = 0;
        bool connected = false;
        if (device->Connect(&answered) == 1) {
            while (device->IsCompleted() == 0) {
                if (stopping_.load()) {
                    device->Cancel();
                }
                std::this_thread::sleep_for(kPollInterval);
            }
            connected = device->IsSuccessful() == 1 && answered == 1 && !stopping_.load();
        }
        if (connected) {
            std::lock_guard<std::mutex> guard(connectedLock_);
            connected_ = std::move(device);
        }
    }
    device.reset();
    connectIdle_ = 1;
}

bool DeviceRegistry::JoinConnectWorker()
{
    std::lock_guard<std::mutex> guard(connectWorkerLock_);
    if (WaitAndDeleteThread(connectWorker_)) {
        connectWorker_ = nullptr;
    }
    return connectWorker_ == nullptr;
}

int DeviceRegistry::ConnectCompleted()
{
    if (connectIdle_.load() != 1) {
        return 0;
    }
    JoinConnectWorker();
    return 1;
}

CDeviceBase* DeviceRegistry::ConnectedDevice()
{
    std::lock_guard<std::mutex> guard(connectedLock_);
    return connected_.get();
}

CDeviceBase* DeviceRegistry::ConnectedDeviceIf(const void* handle)
{
    if (handle == nullptr) {
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(connectedLock_);
    return handle == static_cast<const void*>(connected_.get()) ? connected_.get() : nullptr;
}

int DeviceRegistry::ReleaseConnectedDevice()
{
    std::unique_ptr<CDeviceBase> released;
    {
        std::lock_guard<std::mutex> guard(connectedLock_);
        if (connected_ == nullptr) {
            return 1;
        }
        if (connected_->IsCompleted() == 0) {
            return 0;
        }
        released = std::move(connected_);
    }
    released.reset();
    return 1;
}

}  // namespace QuarryDriver
