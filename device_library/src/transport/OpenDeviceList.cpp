// The library-wide list of open devices and the report I/O on them.
#include "device_library/src/transport/OpenDeviceList.h"

#include <chrono>
#include <map>
#include <memory>
#include <mutex>
#include <span>
#include <thread>

#include "device_library/src/transport/BoundedLock.h"
#include "device_library/src/transport/LibraryWaits.h"
#include "platform/hid/HidDevice.h"

namespace QuarryDriver {

namespace {

struct OpenRecord {
    std::unique_ptr<platform::hid::HidDevice> device;
    std::thread::id owner;  // the opening thread: the only one allowed report I/O
    std::mutex writeLock;   // tried, never waited for
    std::mutex readLock;    // tried, never waited for
};

struct DeviceList {
    std::mutex lock;
    std::map<std::string, std::shared_ptr<OpenRecord>> records;  // guarded by lock
};

DeviceList& TheList()
{
    static DeviceList list;
    return list;
}


IoResult FromStatus(platform::hid::HidStatus status)
{
    using platform::hid::HidStatus;
    switch (status) {
    case HidStatus::Ok: return IoResult::Ok;
    case HidStatus::Timeout: return IoResult::Timeout;
    case HidStatus::Aborted: return IoResult::Aborted;
    case HidStatus::Gone: return IoResult::Gone;
    case HidStatus::Busy:
    case HidStatus::Error: return IoResult::Refused;
    }
    return IoResult::Refused;
}

// Finds path's record for I/O by the calling thread and takes the chosen I/O lock without
// waiting. Null when any of that fails.
std::shared_ptr<OpenRecord> TakeForIo(const std::string& path, std::mutex OpenRecord::*ioLock)
{
    DeviceList& list = TheList();
    BoundedLock guard(list.lock, kLockWait);
    if (!guard.OwnsLock()) {
        return nullptr;
    }
    auto it = list.records.find(path);
    if (it == list.records.end() || it->second->owner != std::this_thread::get_id()) {
        return nullptr;
    }
    std::shared_ptr<OpenRecord> record = it->second;
    if (!((*record).*ioLock).try_lock()) {
        return nullptr;
    }
    return record;
}

}  // namespace

int OpenDevice(const std::string& path)
{
    DeviceList& list = TheList();
    BoundedLock guard(list.lock, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    auto it = list.records.find(path);
    if (it != list.records.end()) {
        // Opening again on the owning thread keeps the one open: a second open would drop
        // input reports queued on the first.
        return it->second->owner == std::this_thread::get_id() ? 1 : 0;
    }
    // Nothing may leave here: the job worker that opens would end without completing its job.
    try {
        auto device = platform::hid::HidDevice::Open(path);
        if (device == nullptr) {
            return 0;
        }
        auto record = std::make_shared<OpenRecord>();
        record->device = std::move(device);
        record->owner = std::this_thread::get_id();
        list.records.emplace(path, std::move(record));
    } catch (...) {
        return 0;
    }
    return 1;
}

int CloseDevice(const std::string& path)
{
    DeviceList& list = TheList();
    std::shared_ptr<OpenRecord> record;
    {
        BoundedLock guard(list.lock, kLockWait);
        if (!guard.OwnsLock()) {
            return 0;
        }
        auto it = list.records.find(path);
        if (it == list.records.end() || it->second->owner != std::this_thread::get_id()) {
            return 0;
        }
        if (!it->second->writeLock.try_lock()) {
            return 0;
        }
        if (!it->second->readLock.try_lock()) {
            it->second->writeLock.unlock();
            return 0;
        }
        it->second->readLock.unlock();
        it->second->writeLock.unlock();
        record = std::move(it->second);
        list.records.erase(it);
    }
    // Closing (and so releasing the device's lock) happens here, outside the list lock.
    record.reset();
    return 1;
}

IoResult WriteReport(const std::string& path, const std::uint8_t* report, int timeoutMs)
{
    if (report == nullptr) {
        return IoResult::Refused;
    }
    std::shared_ptr<OpenRecord> record = TakeForIo(path, &OpenRecord::writeLock);
    if (record == nullptr) {
        return IoResult::Refused;
    }
    const auto status = record->device->Write(std::span<const std::uint8_t, kReportBytes>(report, kReportBytes), timeoutMs);
    record->writeLock.unlock();
    return FromStatus(status);
}

IoResult ReadReport(const std::string& path, std::uint8_t* out, int timeoutMs)
{
    if (out == nullptr) {
        return IoResult::Refused;
    }
    std::shared_ptr<OpenRecord> record = TakeForIo(path, &OpenRecord::readLock);
    if (record == nullptr) {
        return IoResult::Refused;
    }
    const auto status = record->device->Read(std::span<std::uint8_t, kReportBytes>(out, kReportBytes), timeoutMs);
    record->readLock.unlock();
    return FromStatus(status);
}

void AbortDevice(const std::string& path)
{
    DeviceList& list = TheList();
    BoundedLock guard(list.lock, kLockWait);
    if (!guard.OwnsLock()) {
        return;
    }
    auto it = list.records.find(path);
    if (it != list.records.end()) {
        it->second->device->Abort();
    }
}

int DevicePresent(const std::string& path)
{
    return platform::hid::IsPresent(path) ? 1 : 0;
}

}  // namespace QuarryDriver
