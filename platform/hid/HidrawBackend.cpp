// The hidraw backend: real USB HID devices through hidapi.
#include <hidapi.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>

#include "platform/hid/HidBackend.h"

namespace platform::hid {

namespace {

struct HidrawHandle final : BackendHandle {
    hid_device* device = nullptr;
    std::string path;
};

// hidapi keeps its last global error in a static string, so the calls that may set it
// (init, enumerate, open) run one at a time.
std::mutex g_hidapiMutex;

void InitOnce()
{
    static std::once_flag once;
    std::call_once(once, [] { hid_init(); });
}

std::string NarrowSerial(const wchar_t* serial)
{
    std::string text;
    if (serial == nullptr) {
        return text;
    }
    // The low byte of each UTF-16 code unit, as the amplifier's serials are plain ASCII.
    for (std::size_t i = 0; serial[i] != L'\0' && text.size() < kMaxSerialChars; ++i) {
        text.push_back(static_cast<char>(static_cast<std::uint32_t>(serial[i]) & 0xFFu));
    }
    return text;
}

bool Enumerate(std::uint16_t vendorId, std::uint16_t productId, std::vector<HidDeviceInfo>& out)
{
    std::lock_guard<std::mutex> guard(g_hidapiMutex);
    InitOnce();
    hid_device_info* list = hid_enumerate(vendorId, productId);
    for (hid_device_info* it = list; it != nullptr; it = it->next) {
        if (it->path == nullptr) {
            continue;
        }
        HidDeviceInfo info;
        info.path = it->path;
        info.vendorId = it->vendor_id;
        info.productId = it->product_id;
        info.serial = NarrowSerial(it->serial_number);
        // Opening is refused to a user the udev rule has not given the node.
        if (::access(it->path, R_OK | W_OK) != 0) {
            info.openError = errno;
        }
        out.push_back(std::move(info));
    }
    hid_free_enumeration(list);
    return true;
}

bool Present(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISCHR(st.st_mode);
}

std::string LockFile(const std::string& path)
{
    return path;
}

BackendHandle* Open(const std::string& path, HidStatus& status)
{
    hid_device* device = nullptr;
    {
        std::lock_guard<std::mutex> guard(g_hidapiMutex);
        InitOnce();
        device = hid_open_path(path.c_str());
    }
    if (device == nullptr) {
        status = Present(path) ? HidStatus::Error : HidStatus::Gone;
        return nullptr;
    }
    auto* handle = new HidrawHandle;
    handle->device = device;
    handle->path = path;
    return handle;
}

void Close(BackendHandle* base)
{
    auto* handle = static_cast<HidrawHandle*>(base);
    hid_close(handle->device);
    delete handle;
}

bool ErrnoMeansGone(int error)
{
    return error == ENODEV || error == ESHUTDOWN || error == ENXIO || error == EPIPE;
}

// hidraw writes block in the kernel until the interrupt transfer ends; the USB core bounds
// that wait itself (a few seconds), so the time-out here cannot shorten it. An abort is seen
// before the write starts.
HidStatus Write(BackendHandle* base, const std::uint8_t* report, int /*timeoutMs*/,
                const std::atomic<bool>& abort)
{
    auto* handle = static_cast<HidrawHandle*>(base);
    if (abort.load()) {
        return HidStatus::Aborted;
    }
    // Report id 0 first: the amplifier's reports are unnumbered.
    std::uint8_t buffer[kReportSize + 1] = {0};
    std::memcpy(buffer + 1, report, kReportSize);
    errno = 0;
    const int written = hid_write(handle->device, buffer, sizeof buffer);
    if (written == static_cast<int>(sizeof buffer)) {
        return HidStatus::Ok;
    }
    const int error = errno;
    if (written < 0 && (ErrnoMeansGone(error) || !Present(handle->path))) {
        return HidStatus::Gone;
    }
    return HidStatus::Error;
}

HidStatus Read(BackendHandle* base, std::uint8_t* report, int timeoutMs, const std::atomic<bool>& abort)
{
    auto* handle = static_cast<HidrawHandle*>(base);
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    // Unnumbered reports arrive without a report id; one spare byte shows an oversized report.
    std::uint8_t buffer[kReportSize + 1];
    for (;;) {
        if (abort.load()) {
            return HidStatus::Aborted;
        }
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        const int slice = static_cast<int>(std::clamp<long long>(left, 0, kIoSliceMs));
        const int got = hid_read_timeout(handle->device, buffer, sizeof buffer, slice);
        if (got < 0) {
            // hidapi reports an unplugged device as a poll error on its node.
            return HidStatus::Gone;
        }
        if (got > 0) {
            if (got != static_cast<int>(kReportSize)) {
                return HidStatus::Error;
            }
            std::memcpy(report, buffer, kReportSize);
            return HidStatus::Ok;
        }
        if (left <= 0) {
            return HidStatus::Timeout;
        }
    }
}

}  // namespace

const HidBackendOps& HidrawBackendOps()
{
    static const HidBackendOps ops{"hidraw", Enumerate, Present, LockFile, false, Open, Close, Write, Read, nullptr};
    return ops;
}

}  // namespace platform::hid
