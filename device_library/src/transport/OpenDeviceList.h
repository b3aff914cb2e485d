// Library-wide list of open HID devices, keyed by path: who opened each one and the locks
// that keep one write and one read in flight per device.
//
// All report I/O on a device happens on the thread that opened it (a job's worker opens the
// device for the job, runs every exchange itself and closes it). Another thread may only
// abort the I/O in flight. Writes and reads that find their lock taken fail at once.
#ifndef QUARRY_DRIVER_OPEN_DEVICE_LIST_H
#define QUARRY_DRIVER_OPEN_DEVICE_LIST_H

#include <cstdint>
#include <string>

namespace QuarryDriver {

inline constexpr std::size_t kReportBytes = 64;

enum class IoResult {
    Ok,
    Timeout,   // nothing moved within the time-out; the device is still there
    Aborted,   // AbortDevice was called for this open
    Gone,      // the device has been unplugged
    Refused,   // not open, not the opening thread, I/O lock busy, list lock time-out, short transfer
};

// Opens path for report I/O on the calling thread and takes the device's exclusive lock.
// 1 on success (also when the calling thread already holds it open); 0 when the device is
// held by another thread or process, cannot be opened, or the list lock times out.
int OpenDevice(const std::string& path);

// Closes path; only the opening thread may, and only while no write or read runs. 1 / 0.
int CloseDevice(const std::string& path);

// Writes one 64-byte output report, waiting at most timeoutMs.
IoResult WriteReport(const std::string& path, const std::uint8_t* report, int timeoutMs);

// Reads one 64-byte input report into out, waiting at most timeoutMs.
IoResult ReadReport(const std::string& path, std::uint8_t* out, int timeoutMs);

// Ends the write or read in flight on path at once; later I/O of this open fails too.
// Any thread may call it; an unknown path does nothing.
void AbortDevice(const std::string& path);

// 1 while a device exists at path, else 0. Never opens it for I/O.
int DevicePresent(const std::string& path);

}  // namespace QuarryDriver

#endif
