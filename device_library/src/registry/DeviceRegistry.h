// The id pairs the library looks for, the result of the last HID enumeration, the scanned list
// callers iterate, and the connect that makes one scanned amplifier the library's one connected
// device. Behind the QDM_ exports.
//
// Locks, each a mutex waited for at most 5000 ms (a time-out fails the call and changes nothing):
//   registryLock_     registered_
//   scannedLock_      scanned_, nextScanned_ and the start of a connect
//   scanLock_         serialises scans and DevicePresent
//   enumerationLock_  enumerated_, nextEnumerated_
// Order: registryLock_, scannedLock_, scanLock_, enumerationLock_. connectedLock_ (plain, held
// only briefly) guards connected_ and is taken inside scannedLock_ or alone; connectWorkerLock_
// guards connectWorker_ and is never held while another lock is taken.
#ifndef QUARRY_REGISTRY_DEVICE_REGISTRY_H
#define QUARRY_REGISTRY_DEVICE_REGISTRY_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "device_library/src/models/CDeviceBase.h"
#include "device_library/src/protocol/ProtocolTiming.h"
#include "device_library/src/registry/ScannedEntry.h"
#include "device_library/src/transport/DeviceLocator.h"
#include "device_library/src/transport/ThreadRegistry.h"
#include "platform/hid/HidTypes.h"

namespace QuarryDriver {

struct RegisteredEntry {
    std::string name;
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
};

// Lists the present HID devices of one id pair into out; false when the listing itself failed.
using HidEnumerator = std::function<bool(std::uint16_t vendorId, std::uint16_t productId,
                                         std::vector<platform::hid::HidDeviceInfo>& out)>;
// True while a device exists at path (it opens for a capability read).
using PresenceCheck = std::function<bool(const std::string& path)>;

// How the registry reaches devices; the defaults are the platform's HID layer.
struct RegistryPlatform {
    HidEnumerator enumerate;
    PresenceCheck present;
    ProtocolTiming timing;

    static RegistryPlatform Hid();
};

// The locator of a scanned device: before each job, the node that `enumerate` lists for its ids
// and serial (as the registry keeps serials); no node when it lists none.
DeviceLocator LocateByIdentity(const ScannedEntry& entry, HidEnumerator enumerate);

class DeviceRegistry {
public:
    explicit DeviceRegistry(RegistryPlatform platform = RegistryPlatform::Hid());
    ~DeviceRegistry();  // Shutdown()
    DeviceRegistry(const DeviceRegistry&) = delete;
    DeviceRegistry& operator=(const DeviceRegistry&) = delete;

    // 1 registered or already registered (the first name stays); 0 on a lock time-out.
    int Register(const std::string& name, std::uint16_t vendorId, std::uint16_t productId);
    // 1 removed; 0 not registered or lock time-out.
    int Unregister(std::uint16_t vendorId, std::uint16_t productId);

    // Enumerates every registered pair and merges the result into the scanned list. 1 / 0.
    int Scan();
    // Copies the iterator's entry and advances: 1; at the end rewinds and returns 0 (also 0 on a
    // lock time-out). out may be null: the entry is consumed.
    int NextScanned(ScannedEntry* out);

    // Starts the connect worker for the scanned entry with this identity: 1 started; 0 when a
    // device is connected, a connect runs, the entry is unknown, a lock times out or no thread.
    int Connect(std::uint16_t vendorId, std::uint16_t productId, const std::string& serial);
    // 1 when no connect runs (joins a finished worker); 0 while one runs.
    int ConnectCompleted();
    // The connected device, or null.
    CDeviceBase* ConnectedDevice();
    // The connected device when handle is it, else null: a stale or foreign handle is no device.
    CDeviceBase* ConnectedDeviceIf(const void* handle);
    // 1 when no device is connected or it was deleted; 0 while its last job runs. The caller
    // makes sure no operation uses the device (the operation engine holds its lock).
    int ReleaseConnectedDevice();

    // 1 when a present device with these ids and serial exists and its path opens; 0 otherwise.
    int DevicePresent(std::uint16_t vendorId, std::uint16_t productId, const std::string& serial);

    // Stops a connect still running, releases the connected device and refuses later connects.
    // The caller has stopped every operation on the device first.
    void Shutdown();

private:
    struct Enumerated {
        std::string serial;
        std::string path;
    };

    // Both take enumerationLock_; callers hold scanLock_ so the list stays theirs in between.
    // Replaces the enumeration list with the present devices of one pair. 1 / 0.
    int Enumerate(std::uint16_t vendorId, std::uint16_t productId);
    // Hands out the iterator's entry and advances; at the end rewinds and returns 0.
    int NextEnumerated(Enumerated& out);

    void RunConnect(ScannedEntry entry);
    // Joins and deletes a finished connect worker; false when one is left whose delete was refused.
    bool JoinConnectWorker();

    const RegistryPlatform platform_;

    std::mutex registryLock_;
    std::vector<RegisteredEntry> registered_;  // guarded by registryLock_, registration order

    std::mutex scannedLock_;
    std::vector<ScannedEntry> scanned_;  // guarded by scannedLock_
    std::size_t nextScanned_ = 0;        // guarded by scannedLock_

    std::mutex scanLock_;

    std::mutex enumerationLock_;
    std::vector<Enumerated> enumerated_;  // guarded by enumerationLock_
    std::size_t nextEnumerated_ = 0;      // guarded by enumerationLock_
    std::set<std::string> unopenedNodes_;  // guarded by enumerationLock_; told on standard error once each

    std::atomic<int> connectIdle_{1};        // 0 while a connect runs
    std::atomic<bool> workerStarted_{false};  // the connect worker has taken its arguments
    std::atomic<bool> stopping_{false};       // set by Shutdown: a running connect gives up
    std::mutex connectWorkerLock_;
    ThreadHandle connectWorker_ = nullptr;  // guarded by connectWorkerLock_

    std::mutex connectedLock_;
    std::unique_ptr<CDeviceBase> connected_;  // guarded by connectedLock_
};

}  // namespace QuarryDriver

#endif
