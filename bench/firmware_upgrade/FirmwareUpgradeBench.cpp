// Runs a whole model 0xA210 firmware upgrade against an in-process virtual amplifier that paces
// its reports like a full-speed USB device (one report per 1 ms in each direction), and prints
// the exchanges it took, the protocol's minimum for the same data, the wall time and the ratio
// of wall time to the wire minimum (1 ms per exchange); then runs the same upgrade through the
// editor's flow (EditorFlowRun) and prints its ratio beside this one.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include <QApplication>

#include "bench/firmware_upgrade/EditorFlowRun.h"
#include "device_library/src/models/CDeviceA210.h"
#include "device_library/src/models/FirmwareImage.h"
#include "device_library/src/models/FirmwarePlans.h"
#include "platform/ui/core/UiLayer.h"
#include "tools/virtual_amp/lib/AmpFolderHost.h"
#include "tools/virtual_amp/lib/TestFirmware.h"
#include "tools/virtual_amp/lib/VirtualAmplifier.h"

namespace {

namespace fs = std::filesystem;
using QuarryDriver::CDeviceA210;
using Clock = std::chrono::steady_clock;

constexpr auto kJobLimit = std::chrono::minutes(5);

// The fewest exchanges a write of these bytes can take: "READY" plus the command, "READY" plus
// "STA", then per data block the skip count, four data packets and the checksum, each after its
// "READY", a trailing skip count when the write ends in erased blocks, and "READY" plus the
// closing "END" or "CON". A "READY"/"REA" pair counts as one exchange.
std::uint64_t WriteMinimum(const std::vector<std::uint8_t>& data) {
    std::uint64_t blocks = 0;
    bool endsErased = false;
    for (std::size_t at = 0; at + 256 <= data.size(); at += 256) {
        const bool erased =
            std::all_of(data.begin() + at, data.begin() + at + 256, [](std::uint8_t b) { return b == 0xFF; });
        blocks += erased ? 0 : 1;
        endsErased = erased;
    }
    return 4 + 2 * (blocks * 6) + (endsErased ? 2 : 0) + 2;
}

bool Finish(CDeviceA210& device, int started) {
    if (started != 1) {
        return false;
    }
    const auto until = Clock::now() + kJobLimit;
    while (device.IsCompleted() == 0) {
        if (Clock::now() > until) {
            device.Cancel();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return device.IsSuccessful() == 1;
}

bool WaitBack(VirtualAmp::VirtualAmplifier& amp, VirtualAmp::AmpFolderHost& host, CDeviceA210& device,
              std::uint64_t before) {
    const auto until = Clock::now() + std::chrono::seconds(10);
    const auto waitFor = [&](auto condition) {
        while (!condition()) {
            if (Clock::now() > until) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    };
    return waitFor([&] { return amp.Generation() > before; }) && waitFor([&] { return !host.IsListening(); }) &&
           waitFor([&] { return amp.IsPresent() && host.IsListening() && device.IsPresent() == 1; });
}

int Run(const fs::path& dir, double& ratio) {
    ::setenv("QUARRY_VIRTUAL_HID_DIR", dir.c_str(), 1);
    VirtualAmp::AmpConfig config;
    config.serial = "BENCH1";
    config.timing.resetAbsence = VirtualAmp::Millis(100);
    config.timing.pace = VirtualAmp::Millis(1);
    auto amp = std::make_shared<VirtualAmp::VirtualAmplifier>(config);
    VirtualAmp::AmpFolderHost host(amp, dir.string());
    if (!host.Start()) {
        std::fprintf(stderr, "bench_firmware_upgrade: cannot serve the virtual amplifier in %s\n", dir.c_str());
        return 1;
    }
    const auto listenUntil = Clock::now() + std::chrono::seconds(5);
    while (!host.IsListening() && Clock::now() < listenUntil) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }

    VirtualAmp::TestFirmwareOptions options;
    options.version = "V6.1";
    const std::string path = (dir / VirtualAmp::TestFirmwareFileName(options.version)).string();
    QuarryDriver::FirmwareImage image;
    if (!VirtualAmp::WriteTestFirmware(path, options) ||
        image.Load(path) != QuarryDriver::FirmwareImage::LoadResult::Loaded) {
        std::fprintf(stderr, "bench_firmware_upgrade: cannot write the test firmware file\n");
        return 1;
    }
    const QuarryDriver::WritePlan plan = QuarryDriver::PlanFirmwareA210(image);
    std::uint64_t minimum = 0;
    for (const auto& step : plan.steps) {
        minimum += WriteMinimum(plan.buffers[step.buffer]);
    }

    CDeviceA210 device(host.SocketPath());
    const std::uint64_t generation = amp->Generation();
    if (!Finish(device, device.Reset()) || !WaitBack(*amp, host, device, generation)) {
        std::fprintf(stderr, "bench_firmware_upgrade: the amplifier did not come back in its boot loader\n");
        return 1;
    }

    amp->ResetCounters();
    const auto start = Clock::now();
    const bool ok = Finish(device, device.UpgradeFirmware(path.c_str()));
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const VirtualAmp::AmpCounters counters = amp->Counters();
    host.Stop();

    const double wireSeconds = static_cast<double>(counters.exchanges) * 0.001;
    std::printf("firmware upgrade (A210, paced 1 ms per report and direction): %s\n", ok ? "succeeded" : "FAILED");
    std::printf("  steps               %zu\n", plan.steps.size());
    std::printf("  exchanges           %llu (protocol minimum %llu)\n",
                static_cast<unsigned long long>(counters.exchanges), static_cast<unsigned long long>(minimum));
    std::printf("  blocks written      %llu, skipped %llu\n", static_cast<unsigned long long>(counters.blocksWritten),
                static_cast<unsigned long long>(counters.blocksSkipped));
    std::printf("  wall time           %.3f s\n", seconds);
    std::printf("  wire minimum        %.3f s (1 ms per exchange)\n", wireSeconds);
    ratio = wireSeconds > 0 ? seconds / wireSeconds : 0.0;
    std::printf("  ratio               %.3f\n", ratio);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QApplication application(argc, argv);
    platform::UiLayer uiLayer;
    const fs::path dir = fs::temp_directory_path() / ("quarry-bench-fw-" + std::to_string(::getpid()));
    std::error_code error;
    fs::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "bench_firmware_upgrade: cannot create %s\n", dir.c_str());
        return 1;
    }
    fs::create_directories(dir / "library", error);
    fs::create_directories(dir / "editor", error);
    double libraryRatio = 0.0;
    int result = Run(dir / "library", libraryRatio);
    if (result == 0) {
        result = RunThroughEditorFlow(dir / "editor", libraryRatio);
    }
    fs::remove_all(dir, error);
    return result;
}
