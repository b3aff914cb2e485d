// Backend choice, the exclusive device lock and the checks every report I/O shares.
#include "platform/hid/HidDevice.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <mutex>
#include <set>

#include "platform/base/VirtualDevices.h"
#include "platform/hid/HidBackend.h"

namespace platform::hid {

namespace {

const HidBackendOps& ActiveBackend()
{
    if (platform::VirtualHidFolder()) {
        return VirtualBackendOps();
    }
    return HidrawBackendOps();
}

// Lock files held open by this process. flock alone would also refuse a second open inside
// the process, but the table answers without touching the file system and keeps the rule
// independent of how the platform treats a second descriptor.
// The table is never destroyed: a device may still be closed by a worker that ends during
// static destruction, after a namespace-scope set would already be gone.
std::mutex g_ownerMutex;
std::set<std::string>& OwnedLockFiles()  // guarded by g_ownerMutex
{
    static auto* files = new std::set<std::string>;
    return *files;
}

std::mutex g_enumerateMutex;  // hidapi's enumeration is not safe to run twice at once

int TakeFileLock(const std::string& lockFile, bool create, HidStatus& status)
{
    int flags = O_RDONLY | O_CLOEXEC;
    if (create) {
        flags = O_RDWR | O_CREAT | O_CLOEXEC;
    }
    const int fd = ::open(lockFile.c_str(), flags, 0666);
    if (fd < 0) {
        status = (errno == ENOENT) ? HidStatus::Gone : HidStatus::Error;
        return -1;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        status = (errno == EWOULDBLOCK) ? HidStatus::Busy : HidStatus::Error;
        ::close(fd);
        return -1;
    }
    return fd;
}

void ReleaseFileLock(const std::string& lockFile, int fd)
{
    if (fd >= 0) {
        ::flock(fd, LOCK_UN);
        ::close(fd);
    }
    std::lock_guard<std::mutex> guard(g_ownerMutex);
    OwnedLockFiles().erase(lockFile);
}

}  // namespace

const char* HidStatusName(HidStatus status)
{
    switch (status) {
    case HidStatus::Ok: return "Ok";
    case HidStatus::Timeout: return "Timeout";
    case HidStatus::Aborted: return "Aborted";
    case HidStatus::Gone: return "Gone";
    case HidStatus::Busy: return "Busy";
    case HidStatus::Error: return "Error";
    }
    return "?";
}

std::vector<HidDeviceInfo> Enumerate(std::uint16_t vendorId, std::uint16_t productId)
{
    std::vector<HidDeviceInfo> found;
    std::lock_guard<std::mutex> guard(g_enumerateMutex);
    if (!ActiveBackend().enumerate(vendorId, productId, found)) {
        found.clear();
    }
    return found;
}

bool IsPresent(const std::string& path)
{
    return !path.empty() && ActiveBackend().present(path);
}

std::unique_ptr<HidDevice> HidDevice::Open(const std::string& path, HidStatus* status)
{
    HidStatus localStatus = HidStatus::Error;
    HidStatus& result = status != nullptr ? *status : localStatus;
    const HidBackendOps& ops = ActiveBackend();
    if (path.empty() || !ops.present(path)) {
        result = HidStatus::Gone;
        return nullptr;
    }
    const std::string lockFile = ops.lockFile(path);
    {
        std::lock_guard<std::mutex> guard(g_ownerMutex);
        if (!OwnedLockFiles().insert(lockFile).second) {
            result = HidStatus::Busy;
            return nullptr;
        }
    }
    const int lockFd = TakeFileLock(lockFile, ops.createLockFile, result);
    if (lockFd < 0) {
        ReleaseFileLock(lockFile, -1);
        return nullptr;
    }
    BackendHandle* handle = ops.open(path, result);
    if (handle == nullptr) {
        ReleaseFileLock(lockFile, lockFd);
        return nullptr;
    }
    result = HidStatus::Ok;
    return std::unique_ptr<HidDevice>(new HidDevice(path, ops, handle, lockFd));
}

HidDevice::HidDevice(std::string path, const HidBackendOps& ops, BackendHandle* handle, int lockFd)
    : path_(std::move(path)), ops_(ops), handle_(handle), lockFd_(lockFd)
{
}

HidDevice::~HidDevice()
{
    ops_.close(handle_);
    ReleaseFileLock(ops_.lockFile(path_), lockFd_);
}

HidStatus HidDevice::Write(std::span<const std::uint8_t, kReportSize> report, int timeoutMs)
{
    if (abort_.load()) {
        return HidStatus::Aborted;
    }
    if (gone_.load()) {
        return HidStatus::Gone;
    }
    const HidStatus status = ops_.write(handle_, report.data(), timeoutMs < 0 ? 0 : timeoutMs, abort_);
    if (status == HidStatus::Gone) {
        gone_.store(true);
    }
    return status;
}

HidStatus HidDevice::Read(std::span<std::uint8_t, kReportSize> report, int timeoutMs)
{
    if (abort_.load()) {
        return HidStatus::Aborted;
    }
    if (gone_.load()) {
        return HidStatus::Gone;
    }
    const HidStatus status = ops_.read(handle_, report.data(), timeoutMs < 0 ? 0 : timeoutMs, abort_);
    if (status == HidStatus::Gone) {
        gone_.store(true);
    }
    return status;
}

void HidDevice::Abort()
{
    abort_.store(true);
    if (ops_.interrupt != nullptr) {
        ops_.interrupt(handle_);
    }
}

}  // namespace platform::hid
