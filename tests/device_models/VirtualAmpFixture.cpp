// In-process virtual amplifier for the device-model tests.
#include "tests/device_models/VirtualAmpFixture.h"

#include <charconv>
#include <cstdio>
#include <sstream>

namespace QuarryDriver::testing {

void PacketLog::Add(const std::string& line) {
    // "<n> host> [ascii] hex hex ...": keep the host's packets only.
    const auto at = line.find(" host> [");
    if (at == std::string::npos || line.find("(device absent)") != std::string::npos) {
        return;
    }
    const auto hex = line.find("] ", at);
    std::vector<std::uint8_t> packet(64, 0);
    if (hex != std::string::npos) {
        std::istringstream in(line.substr(hex + 2));
        std::string byte;
        std::size_t i = 0;
        while (in >> byte && i < packet.size()) {
            unsigned value = 0;
            const auto [end, error] = std::from_chars(byte.data(), byte.data() + byte.size(), value, 16);
            if (error != std::errc() || end != byte.data() + byte.size() || value > 0xFF) {
                break;
            }
            packet[i++] = static_cast<std::uint8_t>(value);
        }
    }
    std::lock_guard<std::mutex> lock(mutex_);
    packets_.push_back(std::move(packet));
}

std::vector<std::vector<std::uint8_t>> PacketLog::Packets() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return packets_;
}

void PacketLog::Clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    packets_.clear();
}

std::vector<PacketLog::Command> PacketLog::Commands() const {
    static const char* const kNames[] = {"RD_FLA", "RD_MCU", "WR_FLA", "WR_MCU", "RE_MCU", "RMbyID", "WMbyID", "SE_CMD"};
    const auto be32 = [](const std::vector<std::uint8_t>& p, std::size_t at) {
        return static_cast<std::uint32_t>(p[at]) << 24 | static_cast<std::uint32_t>(p[at + 1]) << 16 |
               static_cast<std::uint32_t>(p[at + 2]) << 8 | p[at + 3];
    };
    const auto onlyTag = [](const std::vector<std::uint8_t>& p, const char* tag) {
        if (std::string(reinterpret_cast<const char*>(p.data()), 3) != tag) {
            return false;
        }
        for (std::size_t i = 3; i < p.size(); ++i) {
            if (p[i] != 0) {
                return false;
            }
        }
        return true;
    };
    std::vector<Command> out;
    for (const auto& p : Packets()) {
        const std::string head(reinterpret_cast<const char*>(p.data()), 6);
        bool named = false;
        for (const char* name : kNames) {
            if (head == name) {
                out.push_back({name, be32(p, 6), be32(p, 10)});
                named = true;
            }
        }
        if (!named && (onlyTag(p, "END") || onlyTag(p, "CON"))) {
            out.push_back({std::string(reinterpret_cast<const char*>(p.data()), 3), 0, 0});
        }
    }
    return out;
}

void VirtualAmpTest::StartAmp(std::uint16_t productId, VirtualAmp::AmpMode mode, const std::string& version) {
    dir_.emplace("qdm-");
    ::setenv("QUARRY_VIRTUAL_HID_DIR", dir_->Path().c_str(), 1);
    VirtualAmp::AmpConfig config;
    config.productId = productId;
    config.serial = "MODELS1";
    config.mode = mode;
    config.version = version;
    config.timing.resetAbsence = VirtualAmp::Millis(100);
    config.timing.storeBusy = VirtualAmp::Millis(20);
    amp_ = std::make_shared<VirtualAmp::VirtualAmplifier>(config);
    const bool echo = std::getenv("QUARRY_TEST_TRACE") != nullptr;  // shows the packet trace when debugging
    amp_->SetTraceSink([this, echo](const std::string& line) {
        if (echo) {
            std::fprintf(stderr, "%s\n", line.c_str());
        }
        log_.Add(line);
    });
    host_ = std::make_unique<VirtualAmp::AmpFolderHost>(amp_, dir_->Path().string());
    ASSERT_TRUE(host_->Start());
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!host_->IsListening() && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_TRUE(host_->IsListening());
}

void VirtualAmpTest::TearDown() {
    if (host_) {
        host_->Stop();
    }
    host_.reset();
    amp_.reset();
    dir_.reset();
    ::unsetenv("QUARRY_VIRTUAL_HID_DIR");
}

bool VirtualAmpTest::Finish(CDeviceBase& device, int started, std::chrono::seconds limit) {
    if (started != 1) {
        ADD_FAILURE() << "the operation was not started";
        return false;
    }
    const auto until = std::chrono::steady_clock::now() + limit;
    while (device.IsCompleted() == 0) {
        if (std::chrono::steady_clock::now() > until) {
            ADD_FAILURE() << "job did not complete in time";
            device.Cancel();
            while (device.IsCompleted() == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
            }
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return device.IsSuccessful() == 1;
}

bool VirtualAmpTest::WaitBack(CDeviceBase& device, std::uint64_t before, std::chrono::seconds limit) {
    const auto until = std::chrono::steady_clock::now() + limit;
    const auto waitFor = [&](auto condition) {
        while (!condition()) {
            if (std::chrono::steady_clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    };
    // Gone (the socket file is removed while the device is away), then back.
    return waitFor([&] { return amp_->Generation() > before; }) && waitFor([&] { return !host_->IsListening(); }) &&
           waitFor([&] { return amp_->IsPresent() && host_->IsListening() && device.IsPresent() == 1; });
}

}  // namespace QuarryDriver::testing
