// The virtual amplifier as a child process.
#include "tests/device_manager_sessions/VirtualAmpProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <thread>

#include "tools/virtual_amp/lib/AmpControl.h"

extern char** environ;

namespace e2e_test {
namespace {

pid_t Spawn(const std::vector<std::string>& argv)
{
    std::vector<char*> pointers;
    for (const std::string& arg : argv) {
        pointers.push_back(const_cast<char*>(arg.c_str()));
    }
    pointers.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0].c_str(), nullptr, nullptr, pointers.data(), environ) != 0) {
        return -1;
    }
    return pid;
}

bool WaitExit(pid_t pid, std::chrono::milliseconds timeout, int* status)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const pid_t done = ::waitpid(pid, status, WNOHANG);
        if (done == pid || done < 0) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

TempFolder::TempFolder()
{
    char pattern[] = "/tmp/qde2e-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    m_path = made != nullptr ? made : "";
}

TempFolder::~TempFolder()
{
    if (!m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
}

VirtualAmpProcess::VirtualAmpProcess(const std::string& folder, const std::vector<std::string>& args)
    : m_folder(folder), m_control(folder + "/virtual-amp.control")
{
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--control") {
            m_control = args[i + 1];
        }
    }
    std::vector<std::string> argv{VIRTUAL_AMP_PROGRAM, "--dir", folder};
    argv.insert(argv.end(), args.begin(), args.end());
    m_pid = Spawn(argv);
}

VirtualAmpProcess::~VirtualAmpProcess()
{
    Stop();
}

void VirtualAmpProcess::Stop()
{
    if (m_pid <= 0) {
        return;
    }
    ::kill(m_pid, SIGTERM);
    int status = 0;
    if (!WaitExit(m_pid, std::chrono::seconds(5), &status)) {
        ::kill(m_pid, SIGKILL);
        WaitExit(m_pid, std::chrono::seconds(5), &status);
    }
    m_pid = -1;
}

bool VirtualAmpProcess::WaitPresent(const std::string& serial, bool present, std::chrono::milliseconds timeout) const
{
    const std::string path = DeviceSocketPath(m_folder, serial);
    const auto end = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        struct stat info {};
        if ((::stat(path.c_str(), &info) == 0) == present) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

std::optional<std::string> VirtualAmpProcess::Control(const std::string& line) const
{
    return VirtualAmp::ControlRequest(m_control, line);
}

std::string DeviceSocketPath(const std::string& folder, const std::string& serial)
{
    return folder + "/2f5a-a210-" + serial + ".sock";
}

bool MakeTestFirmware(const std::string& file, const std::string& version)
{
#ifndef MAKE_TEST_FIRMWARE_PROGRAM
    // Suites built without the firmware maker cannot make images.
    (void)file;
    (void)version;
    return false;
#else
    const pid_t pid = Spawn({MAKE_TEST_FIRMWARE_PROGRAM, "--out", file, "--version", version});
    if (pid <= 0) {
        return false;
    }
    int status = 0;
    return WaitExit(pid, std::chrono::seconds(30), &status) && WIFEXITED(status) && WEXITSTATUS(status) == 0;
#endif
}

}  // namespace e2e_test
