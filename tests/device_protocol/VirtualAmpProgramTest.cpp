// The `virtual-amp` program, started from the build folder, reached through the virtual HID
// backend exactly as the editor reaches it.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "device_library/include/QuarryVendorId.h"
#include "device_library/src/protocol/CBootProtocol.h"
#include "platform/hid/HidDevice.h"
#include "tests/device_protocol/JobRunner.h"
#include "tests/device_transport/ScriptedDevice.h"

extern char** environ;

namespace {

using namespace QuarryDriver;
using namespace testing_support;
using Clock = std::chrono::steady_clock;

class RunningProgram {
public:
    explicit RunningProgram(std::vector<std::string> args)
    {
        std::vector<char*> argv;
        for (std::string& arg : args) {
            argv.push_back(arg.data());
        }
        argv.push_back(nullptr);
        if (::posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) {
            pid_ = -1;
        }
    }
    ~RunningProgram()
    {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    bool Started() const { return pid_ > 0; }
    // Asks the program to end and waits (bounded) for it; true when it ended.
    bool Stop()
    {
        if (pid_ <= 0 || ::kill(pid_, SIGTERM) != 0) {
            return false;
        }
        const auto giveUp = Clock::now() + std::chrono::seconds(5);
        while (Clock::now() < giveUp) {
            if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
                pid_ = -1;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }

private:
    pid_t pid_ = -1;
};

TEST(VirtualAmpProgram, ServesTheProtocolThroughTheVirtualHidBackend)
{
    VirtualHidFolder folder;
    RunningProgram program({VIRTUAL_AMP_PROGRAM, "--dir", folder.Path(), "--pid", "a210", "--serial", "PROG1",
                            "--mode", "boot", "--pace-ms", "1"});
    ASSERT_TRUE(program.Started());

    std::vector<platform::hid::HidDeviceInfo> found;
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    while (found.empty() && Clock::now() < giveUp) {
        found = platform::hid::Enumerate(QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].serial, "PROG1");
    EXPECT_TRUE(platform::hid::Enumerate(QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A200).empty());

    std::uint32_t handshake = 0;
    std::uint32_t bootLoader = 0;
    std::vector<std::uint8_t> erased(256, 0xFF);
    std::vector<std::uint8_t> written(256, 0x00);
    for (std::size_t i = 0; i < written.size(); ++i) {
        written[i] = static_cast<std::uint8_t>(i);
    }
    std::vector<std::uint8_t> back(256, 0xEE);
    {
        CBootProtocol transport(found[0].path);
        const auto outcome = RunJobOf(transport, {{kStepHandshake, StepArgs::Out(&handshake)},
                                                  {kStepIdentityTest, StepArgs::Out(&bootLoader)},
                                                  {kStepMcuWrite, StepArgs::Write(0x8000, 256, written.data(), 1)},
                                                  {kStepMcuRead, StepArgs::Read(0x8000, 256, back.data())}});
        EXPECT_TRUE(outcome.success);
        EXPECT_EQ(outcome.progress, 100);
    }
    EXPECT_EQ(handshake, 1u);
    EXPECT_EQ(bootLoader, 1u);
    EXPECT_EQ(back, written);

    ASSERT_TRUE(program.Stop());
    EXPECT_FALSE(platform::hid::IsPresent(found[0].path));
    EXPECT_TRUE(platform::hid::Enumerate(QUARRY_MAKER_VENDOR_ID, 0).empty());
}

}  // namespace
