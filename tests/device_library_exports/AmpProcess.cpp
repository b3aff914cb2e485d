// Runs and stops the virtual-amp program; speaks its control channel.
#include "tests/device_library_exports/AmpProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <thread>

#include "device_library/include/QuarryVendorId.h"
#include "tools/virtual_amp/lib/AmpControl.h"

extern char** environ;

namespace exports_test {

std::string SocketName(std::uint16_t productId, const std::string& serial)
{
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x-%04x-", static_cast<unsigned>(QUARRY_MAKER_VENDOR_ID),
                  static_cast<unsigned>(productId));
    return ids + serial + ".sock";
}

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto until = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > until) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}

AmpProcess::AmpProcess(std::string folder, std::string controlName, std::vector<std::string> args)
    : folder_(std::move(folder)), controlPath_(folder_ + "/" + controlName), args_(std::move(args))
{
}

AmpProcess::~AmpProcess()
{
    Stop();
}

bool AmpProcess::Start(const std::vector<std::string>& socketNames)
{
    std::vector<std::string> argv = {VIRTUAL_AMP_PROGRAM, "--dir", folder_, "--control", controlPath_};
    argv.insert(argv.end(), args_.begin(), args_.end());
    std::vector<char*> pointers;
    for (auto& arg : argv) {
        pointers.push_back(arg.data());
    }
    pointers.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The program's start-up line is noise in the test log.
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const int spawned = ::posix_spawn(&pid_, argv[0].c_str(), &actions, nullptr, pointers.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        return false;
    }
    namespace fs = std::filesystem;
    return WaitUntil(
        [&] {
            std::error_code error;
            for (const auto& name : socketNames) {
                if (!fs::exists(fs::path(folder_) / name, error)) {
                    return false;
                }
            }
            return fs::exists(controlPath_, error);
        },
        std::chrono::seconds(10));
}

void AmpProcess::Stop()
{
    if (pid_ <= 0) {
        return;
    }
    VirtualAmp::ControlRequest(controlPath_, "quit", VirtualAmp::Millis(500));
    int status = 0;
    const bool ended = WaitUntil([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, std::chrono::seconds(5));
    if (!ended) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, &status, 0);
    }
    pid_ = -1;
}

std::string AmpProcess::Control(const std::string& line) const
{
    return VirtualAmp::ControlRequest(controlPath_, line).value_or("");
}

bool AmpProcess::ControlOk(const std::string& line) const
{
    const std::string answer = Control(line);
    return answer == "OK" || answer.rfind("OK ", 0) == 0;
}

bool AmpProcess::Unplug(std::uint16_t productId, const std::string& serial) const
{
    const std::filesystem::path socket = std::filesystem::path(folder_) / SocketName(productId, serial);
    std::error_code error;
    return ControlOk("unplug " + serial) &&
           WaitUntil([&] { return !std::filesystem::exists(socket, error); }, std::chrono::seconds(5));
}

bool AmpProcess::Replug(std::uint16_t productId, const std::string& serial) const
{
    const std::filesystem::path socket = std::filesystem::path(folder_) / SocketName(productId, serial);
    std::error_code error;
    return ControlOk("replug " + serial) &&
           WaitUntil([&] { return std::filesystem::exists(socket, error); }, std::chrono::seconds(5));
}

std::vector<std::uint8_t> AmpProcess::ReadFlash(const std::string& serial, std::uint32_t address,
                                                std::uint32_t length) const
{
    const std::string answer =
        Control("read-flash " + serial + " " + std::to_string(address) + " " + std::to_string(length));
    if (answer.rfind("OK ", 0) != 0) {
        return {};
    }
    const std::string hex = answer.substr(3);
    std::vector<std::uint8_t> bytes;
    for (std::size_t at = 0; at + 1 < hex.size(); at += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(hex.substr(at, 2), nullptr, 16)));
    }
    return bytes;
}

}  // namespace exports_test
