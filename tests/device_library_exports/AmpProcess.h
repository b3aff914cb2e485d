// A `virtual-amp` program run as a child process in a virtual-device folder, with its control
// channel. The end-to-end tests talk to it only through the device library's exports; the
// control channel sets meters, faults and plugs, and reads memory to check what arrived.
#ifndef TESTS_DEVICE_LIBRARY_EXPORTS_AMP_PROCESS_H
#define TESTS_DEVICE_LIBRARY_EXPORTS_AMP_PROCESS_H

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace exports_test {

// "2f5a-a210-SERIAL.sock": the socket name of a virtual device.
std::string SocketName(std::uint16_t productId, const std::string& serial);

// Polls every 2 ms until done() or the limit has passed; true when done() became true.
bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit);

class AmpProcess {
public:
    // args: the program's options after --dir and --control, e.g. {"--device", "a210:S1"}.
    AmpProcess(std::string folder, std::string controlName, std::vector<std::string> args);
    ~AmpProcess();  // Stop()
    AmpProcess(const AmpProcess&) = delete;
    AmpProcess& operator=(const AmpProcess&) = delete;

    // Starts the program and waits until each named socket is up; false on any failure.
    bool Start(const std::vector<std::string>& socketNames);
    // Ends the program ("quit", then SIGKILL when it does not go).
    void Stop();

    // One control line; the answer without its newline, or "" when none came.
    std::string Control(const std::string& line) const;
    // True when the control answer is exactly "OK" or begins with "OK ".
    bool ControlOk(const std::string& line) const;
    // "unplug SERIAL" and waits until the device's socket file is gone; false when it stays.
    bool Unplug(std::uint16_t productId, const std::string& serial) const;
    // "replug SERIAL" and waits until the socket file is back.
    bool Replug(std::uint16_t productId, const std::string& serial) const;
    // read-flash as bytes; empty on failure.
    std::vector<std::uint8_t> ReadFlash(const std::string& serial, std::uint32_t address, std::uint32_t length) const;

private:
    const std::string folder_;
    const std::string controlPath_;
    const std::vector<std::string> args_;
    pid_t pid_ = -1;
};

}  // namespace exports_test

#endif
