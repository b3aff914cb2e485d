// The virtual backend: each Unix stream socket named VVVV-PPPP-SERIAL.sock in the folder
// named by QUARRY_VIRTUAL_HID_DIR is one device. Connecting opens it; each report is exactly
// 64 bytes in either direction, without a report id; the device is present while its socket
// file exists.
#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "platform/base/VirtualDevices.h"
#include "platform/hid/HidBackend.h"

namespace platform::hid {

namespace {

struct VirtualHandle final : BackendHandle {
    int fd = -1;
    int wakeFd = -1;  // eventfd written by Abort so a poll ends at once
    std::string path;
    std::uint8_t pending[kReportSize] = {0};  // bytes of an input report that arrived in pieces
    std::size_t pendingBytes = 0;
    bool broken = false;  // a write timed out half-way; the stream is out of step
};

using Clock = std::chrono::steady_clock;

constexpr const char* kSocketSuffix = ".sock";
constexpr const char* kLockSuffix = ".lock";

bool IsLowerHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

bool IsSerialChar(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

bool IsSocketFile(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISSOCK(st.st_mode);
}

bool Enumerate(std::uint16_t vendorId, std::uint16_t productId, std::vector<HidDeviceInfo>& out)
{
    const std::optional<std::filesystem::path> folderPath = platform::VirtualHidFolder();
    if (!folderPath) {
        return false;
    }
    const std::string dir = folderPath->string();
    DIR* folder = ::opendir(dir.c_str());
    if (folder == nullptr) {
        return false;
    }
    std::vector<HidDeviceInfo> found;
    while (const dirent* entry = ::readdir(folder)) {
        HidDeviceInfo info;
        if (!ParseVirtualSocketName(entry->d_name, info)) {
            continue;
        }
        if ((vendorId != 0 && info.vendorId != vendorId) || (productId != 0 && info.productId != productId)) {
            continue;
        }
        info.path = dir + "/" + entry->d_name;
        if (IsSocketFile(info.path)) {
            // Connecting needs write permission on the socket file.
            if (::access(info.path.c_str(), W_OK) != 0) {
                info.openError = errno;
            }
            found.push_back(std::move(info));
        }
    }
    ::closedir(folder);
    // Directory order is arbitrary; name order keeps scans stable.
    std::sort(found.begin(), found.end(),
              [](const HidDeviceInfo& a, const HidDeviceInfo& b) { return a.path < b.path; });
    out.insert(out.end(), found.begin(), found.end());
    return true;
}

bool Present(const std::string& path)
{
    return IsSocketFile(path);
}

// A socket file cannot be opened to flock it, so the lock lives in a file beside it, whose
// name does not match the device pattern and so never lists as a device.
std::string LockFile(const std::string& path)
{
    return path + kLockSuffix;
}

BackendHandle* Open(const std::string& path, HidStatus& status)
{
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    if (path.size() >= sizeof address.sun_path) {
        status = HidStatus::Error;
        return nullptr;
    }
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) {
        status = HidStatus::Error;
        return nullptr;
    }
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        status = (errno == ENOENT || errno == ECONNREFUSED) ? HidStatus::Gone : HidStatus::Error;
        ::close(fd);
        return nullptr;
    }
    const int wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd < 0) {
        status = HidStatus::Error;
        ::close(fd);
        return nullptr;
    }
    auto* handle = new VirtualHandle;
    handle->fd = fd;
    handle->wakeFd = wakeFd;
    handle->path = path;
    return handle;
}

void Close(BackendHandle* base)
{
    auto* handle = static_cast<VirtualHandle*>(base);
    ::close(handle->fd);
    ::close(handle->wakeFd);
    delete handle;
}

void Interrupt(BackendHandle* base)
{
    auto* handle = static_cast<VirtualHandle*>(base);
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(handle->wakeFd, &one, sizeof one);
}

// Waits for events on the connection or a wake-up by Abort; returns poll's result.
int WaitFor(VirtualHandle* handle, short events, int timeoutMs)
{
    pollfd waitFor[2] = {{handle->fd, events, 0}, {handle->wakeFd, POLLIN, 0}};
    return ::poll(waitFor, 2, timeoutMs);
}

int MillisecondsLeft(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return static_cast<int>(std::clamp<long long>(left, 0, 1LL << 30));
}

bool ErrnoMeansGone(int error)
{
    return error == EPIPE || error == ECONNRESET || error == ENOTCONN;
}

HidStatus Write(BackendHandle* base, const std::uint8_t* report, int timeoutMs, const std::atomic<bool>& abort)
{
    auto* handle = static_cast<VirtualHandle*>(base);
    if (handle->broken) {
        return HidStatus::Error;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t sent = 0;
    while (sent < kReportSize) {
        if (abort.load()) {
            handle->broken = sent > 0;
            return HidStatus::Aborted;
        }
        const ssize_t n = ::send(handle->fd, report + sent, kReportSize - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0) {
            sent += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return ErrnoMeansGone(errno) ? HidStatus::Gone : HidStatus::Error;
        }
        const int left = MillisecondsLeft(deadline);
        if (left == 0) {
            handle->broken = sent > 0;
            return HidStatus::Timeout;
        }
        WaitFor(handle, POLLOUT, std::min(left, kIoSliceMs));
        if (!IsSocketFile(handle->path)) {
            return HidStatus::Gone;
        }
    }
    return HidStatus::Ok;
}

HidStatus Read(BackendHandle* base, std::uint8_t* report, int timeoutMs, const std::atomic<bool>& abort)
{
    auto* handle = static_cast<VirtualHandle*>(base);
    if (handle->broken) {
        return HidStatus::Error;
    }
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        if (abort.load()) {
            return HidStatus::Aborted;
        }
        const ssize_t n = ::recv(handle->fd, handle->pending + handle->pendingBytes,
                                 kReportSize - handle->pendingBytes, MSG_DONTWAIT);
        if (n > 0) {
            handle->pendingBytes += static_cast<std::size_t>(n);
            if (handle->pendingBytes == kReportSize) {
                std::memcpy(report, handle->pending, kReportSize);
                handle->pendingBytes = 0;
                return HidStatus::Ok;
            }
            continue;
        }
        if (n == 0) {
            return HidStatus::Gone;  // the device closed its end: unplugged
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return ErrnoMeansGone(errno) ? HidStatus::Gone : HidStatus::Error;
        }
        const int left = MillisecondsLeft(deadline);
        if (left == 0) {
            return HidStatus::Timeout;
        }
        const int ready = WaitFor(handle, POLLIN, std::min(left, kIoSliceMs));
        // A device whose socket file went away is unplugged even if its connection lingers.
        if (ready == 0 && !IsSocketFile(handle->path)) {
            return HidStatus::Gone;
        }
    }
}

}  // namespace

bool ParseVirtualSocketName(const std::string& name, HidDeviceInfo& info)
{
    const std::size_t suffixLength = std::strlen(kSocketSuffix);
    if (name.size() < 10 + 1 + suffixLength || name.compare(name.size() - suffixLength, suffixLength, kSocketSuffix) != 0) {
        return false;
    }
    if (name[4] != '-' || name[9] != '-') {
        return false;
    }
    for (int i : {0, 1, 2, 3, 5, 6, 7, 8}) {
        if (!IsLowerHex(name[static_cast<std::size_t>(i)])) {
            return false;
        }
    }
    const std::string serial = name.substr(10, name.size() - 10 - suffixLength);
    if (serial.empty() || serial.size() > kMaxSerialChars || !std::all_of(serial.begin(), serial.end(), IsSerialChar)) {
        return false;
    }
    unsigned vendor = 0;
    unsigned product = 0;
    std::from_chars(name.data(), name.data() + 4, vendor, 16);
    std::from_chars(name.data() + 5, name.data() + 9, product, 16);
    info.vendorId = static_cast<std::uint16_t>(vendor);
    info.productId = static_cast<std::uint16_t>(product);
    info.serial = serial;
    return true;
}

const HidBackendOps& VirtualBackendOps()
{
    static const HidBackendOps ops{"virtual", Enumerate, Present, LockFile, true, Open, Close, Write, Read, Interrupt};
    return ops;
}

}  // namespace platform::hid
