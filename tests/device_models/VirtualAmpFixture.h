// A virtual amplifier served in-process as a socket in a temporary folder, reached by the
// device models through the virtual HID backend, plus helpers to run a device's jobs to the end.
#ifndef QUARRY_TESTS_DEVICE_MODELS_VIRTUAL_AMP_FIXTURE_H
#define QUARRY_TESTS_DEVICE_MODELS_VIRTUAL_AMP_FIXTURE_H

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "device_library/src/models/CDeviceBase.h"
#include "tests/support/TempFolder.h"
#include "tools/virtual_amp/lib/AmpFolderHost.h"
#include "tools/virtual_amp/lib/VirtualAmplifier.h"

namespace QuarryDriver::testing {

// Host packets seen by the amplifier, as raw bytes, in order.
class PacketLog {
public:
    void Add(const std::string& line);
    std::vector<std::vector<std::uint8_t>> Packets() const;
    void Clear();

    struct Command {
        std::string name;
        std::uint32_t address;
        std::uint32_t length;
    };
    // Every command the host sent, with "END" and "CON" as commands of their own (address 0).
    std::vector<Command> Commands() const;

private:
    mutable std::mutex mutex_;
    std::vector<std::vector<std::uint8_t>> packets_;  // guarded by mutex_
};

class VirtualAmpTest : public ::testing::Test {
protected:
    void TearDown() override;

    // Starts an amplifier of this product id and serves it in a fresh folder.
    void StartAmp(std::uint16_t productId, VirtualAmp::AmpMode mode = VirtualAmp::AmpMode::Application,
                  const std::string& version = "V5.20");
    VirtualAmp::VirtualAmplifier& Amp() { return *amp_; }
    const std::string& SocketPath() const { return host_->SocketPath(); }
    const std::filesystem::path& Folder() const { return dir_->Path(); }

    // Polls the device until its job completes (bounded); true when it succeeded.
public:
    static bool Finish(CDeviceBase& device, int started, std::chrono::seconds limit = std::chrono::seconds(120));
    // Waits until the amplifier has gone away since generation `before` (Amp().Generation()
    // taken before the reset) and is back with its socket.
    bool WaitBack(CDeviceBase& device, std::uint64_t before, std::chrono::seconds limit = std::chrono::seconds(10));

    PacketLog log_;

private:
    std::optional<TempFolder> dir_;
    std::shared_ptr<VirtualAmp::VirtualAmplifier> amp_;
    std::unique_ptr<VirtualAmp::AmpFolderHost> host_;
};

}  // namespace QuarryDriver::testing

#endif
