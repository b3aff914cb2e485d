// A stand-in HID device for tests: a Unix socket in a virtual-device folder, served by a
// thread that answers each 64-byte report the host sends with what a script returns.
// It accepts any number of connections at once so tests can see whether opens overlapped.
#ifndef TESTS_DEVICE_TRANSPORT_SCRIPTED_DEVICE_H
#define TESTS_DEVICE_TRANSPORT_SCRIPTED_DEVICE_H

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/TempFolder.h"

namespace testing_support {

using Report = std::array<std::uint8_t, 64>;

// A folder for virtual devices that QUARRY_VIRTUAL_HID_DIR points at while it lives.
class VirtualHidFolder {
public:
    VirtualHidFolder();
    ~VirtualHidFolder();
    const std::string& Path() const { return path_; }
    std::string SocketPath(std::uint16_t vendorId, std::uint16_t productId, const std::string& serial) const;

private:
    // Directly under /tmp so that socket paths stay well inside a socket address's length.
    TempFolder folder_{"quarry-hid-", "/tmp"};
    std::string path_ = folder_.Path().string();
};

// The file the virtual backend locks (flock) while a device is open: beside its socket.
std::string VirtualLockFile(const std::string& socketPath);

// A lock file held by another process, as another program holding the device would: a child
// process takes it on construction and keeps it until Release (or destruction).
class LockHeldElsewhere {
public:
    explicit LockHeldElsewhere(const std::string& lockFile);
    ~LockHeldElsewhere();
    LockHeldElsewhere(const LockHeldElsewhere&) = delete;
    LockHeldElsewhere& operator=(const LockHeldElsewhere&) = delete;

    // Whether the child process took the lock.
    bool Held() const { return held_; }
    // Lets the child go and waits until it has ended, so the lock is free on return.
    void Release();

private:
    int child_ = -1;
    int releaseFd_ = -1;
    bool held_ = false;
};

struct ReceivedReport {
    int connection = 0;  // 1 for the first connection accepted, and so on
    Report report{};
};

class ScriptedDevice {
public:
    // Returns the replies to one received report (none: stay silent).
    using Script = std::function<std::vector<Report>(const Report& received)>;

    ScriptedDevice(const std::string& socketPath, Script script);
    ~ScriptedDevice();
    ScriptedDevice(const ScriptedDevice&) = delete;
    ScriptedDevice& operator=(const ScriptedDevice&) = delete;

    const std::string& Path() const { return path_; }
    std::vector<ReceivedReport> Received() const;
    std::size_t ReceivedCount() const;
    int Connections() const { return connections_; }
    int MostConnectionsAtOnce() const { return mostAtOnce_; }

    // Unplugs when report number n (counting from 1) arrives, instead of answering it.
    void UnplugAtReport(std::size_t n) { unplugAt_ = n; }
    // Closes every connection and removes the socket file now.
    void Unplug();

private:
    void Serve();

    const std::string path_;
    const Script script_;
    int listenFd_ = -1;
    int wakeFd_ = -1;
    std::atomic<bool> stop_{false};
    std::atomic<bool> unplugRequested_{false};
    std::atomic<std::size_t> unplugAt_{0};
    std::atomic<int> connections_{0};
    std::atomic<int> mostAtOnce_{0};
    mutable std::mutex receivedMutex_;
    std::vector<ReceivedReport> received_;  // guarded by receivedMutex_
    std::thread server_;
};

// Reply helpers: code byte, tag, optional 32-bit big-endian value at 4.
Report Reply(std::uint8_t code, const char* tag);
Report ReplyWithValue(std::uint8_t code, const char* tag, std::uint32_t value);
// True when the report starts with text.
bool StartsWith(const Report& report, const char* text);
// A script that answers like a device that accepts everything: "REA" to "READY", its own
// checksum back to "CHE", "ACK" to anything else.
std::vector<Report> AcceptEverything(const Report& in);

}  // namespace testing_support

#endif
