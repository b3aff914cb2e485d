// A `virtual-amp` program run as a child process in a temporary device folder, for the
// end-to-end tests of the device manager and its sessions against the real library.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace e2e_test {

// A temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

class VirtualAmpProcess {
public:
    // Runs `virtual-amp --dir folder args...`; Running() tells whether it started. Control
    // goes to the channel named by a `--control` argument, else to the folder's default one.
    VirtualAmpProcess(const std::string& folder, const std::vector<std::string>& args);
    // Stops the program (SIGTERM, then SIGKILL if it does not end within 5 s).
    ~VirtualAmpProcess();
    VirtualAmpProcess(const VirtualAmpProcess&) = delete;
    VirtualAmpProcess& operator=(const VirtualAmpProcess&) = delete;

    bool Running() const { return m_pid > 0; }
    // Waits until the device socket of `serial` (product a210) exists or not.
    bool WaitPresent(const std::string& serial, bool present, std::chrono::milliseconds timeout) const;
    // One control-channel command; the answer line, or nothing.
    std::optional<std::string> Control(const std::string& line) const;
    void Stop();

private:
    std::string m_folder;
    std::string m_control;
    pid_t m_pid = -1;
};

// The socket path of an amplifier device in `folder`.
std::string DeviceSocketPath(const std::string& folder, const std::string& serial);

// Writes a synthetic firmware image with the given version text; false on failure, and
// always false in a suite built without MAKE_TEST_FIRMWARE_PROGRAM.
bool MakeTestFirmware(const std::string& file, const std::string& version);

}  // namespace e2e_test
