// Runs the operations the editor makes all the time through the library's exported functions
// against an in-process virtual amplifier that paces its reports like a full-speed USB device
// (one report per 1 ms in each direction), and prints for each: the exchanges it took, the wire
// minimum (1 ms per exchange), the mean wall time from start call to completion, and the ratio.
// Then the time from a cancel to the operation's end while the library waits for a reply that
// does not come (the designed goal is within 50 ms), and from an unplug in the middle of a read to
// the operation's end, with the amplifier's own time-outs (goal: within 250 ms).
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "QuarryDeviceDriver.h"
#include "tools/virtual_amp/lib/AmpFolderHost.h"
#include "tools/virtual_amp/lib/VirtualAmplifier.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr auto kOperationLimit = std::chrono::minutes(2);

bool WaitFor(const std::function<bool()>& done, std::chrono::milliseconds limit)
{
    const auto until = Clock::now() + limit;
    while (!done()) {
        if (Clock::now() > until) {
            return false;
        }
        // The editor's amplifier worker polls as finely; a coarser poll would measure itself.
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

// Polls the started operation to its end; true when it succeeded.
bool Finish(QdmDevice* device, std::int32_t started)
{
    if (started != 1) {
        return false;
    }
    if (!WaitFor([device] { return QDO_IsOperationCompleted(device) == 1; }, kOperationLimit)) {
        QDO_CancelOperation(device);
        WaitFor([device] { return QDO_IsOperationCompleted(device) == 1; }, std::chrono::seconds(30));
        return false;
    }
    return QDO_IsOperationSuccessful(device) == 1;
}

struct Measured {
    bool ok = true;
    double meanSeconds = 0;
    double exchangesPerRun = 0;
};

Measured Measure(VirtualAmp::VirtualAmplifier& amp, QdmDevice* device, int runs,
                 const std::function<std::int32_t()>& start)
{
    Measured result;
    double total = 0;
    std::uint64_t exchanges = 0;
    for (int run = 0; run < runs; ++run) {
        amp.ResetCounters();
        const auto begin = Clock::now();
        const bool ok = Finish(device, start());
        total += std::chrono::duration<double>(Clock::now() - begin).count();
        exchanges += amp.Counters().exchanges;
        result.ok = result.ok && ok;
    }
    result.meanSeconds = total / runs;
    result.exchangesPerRun = static_cast<double>(exchanges) / runs;
    return result;
}

void Print(const char* what, int runs, const Measured& m)
{
    const double wire = m.exchangesPerRun * 0.001;
    std::printf("  %-30s %4d runs  %8.0f exchanges  wire %8.3f s  wall %8.3f s  ratio %6.2f%s\n", what, runs,
                m.exchangesPerRun, wire, m.meanSeconds, wire > 0 ? m.meanSeconds / wire : 0.0,
                m.ok ? "" : "  FAILED");
}

// Times from a moment to the end of the running operation, over several runs.
struct EndTimes {
    int runs = 0;
    double total = 0;
    double longest = 0;

    // Waits for the operation to end and takes the time; false when it did not end or succeeded.
    bool Take(QdmDevice* device, Clock::time_point from)
    {
        const bool ended = WaitFor([device] { return QDO_IsOperationCompleted(device) == 1; }, std::chrono::seconds(30));
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - from).count();
        ++runs;
        total += ms;
        longest = std::max(longest, ms);
        return ended && QDO_IsOperationSuccessful(device) == 0;
    }

    void Print(const char* what, const char* from, int goalMs, bool ok) const
    {
        std::printf("  %-30s %4d runs  %s to end: mean %6.2f ms  longest %6.2f ms  (goal %d ms)%s\n", what, runs, from,
                    runs > 0 ? total / runs : 0.0, longest, goalMs, ok ? "" : "  FAILED");
    }
};

// The amplifier withholds its "REA"; once the library waits for it, the operation is cancelled.
bool MeasureCancel(VirtualAmp::VirtualAmplifier& amp, QdmDevice* device, int runs,
                   const std::function<std::int32_t()>& start)
{
    VirtualAmp::AmpFaults faults = amp.Faults();
    faults.dropReady = VirtualAmp::kAlways;
    amp.SetFaults(faults);
    bool ok = true;
    EndTimes times;
    for (int run = 0; run < runs && ok; ++run) {
        amp.ResetCounters();
        ok = start() == 1 && WaitFor([&amp] { return amp.Counters().droppedReplies > 0; }, std::chrono::seconds(20));
        // Well inside the library's reply wait, which lasts seconds.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const auto cancelled = Clock::now();
        QDO_CancelOperation(device);
        ok = times.Take(device, cancelled) && ok;
    }
    faults.dropReady = 0;
    amp.SetFaults(faults);
    times.Print("cancel during a reply wait", "cancel", 50, ok);
    return ok;
}

// Connects the amplifier's device through the exports; null on failure.
QdmDevice* Connect(const std::string& serial)
{
    QDM_ScanDevices();
    if (QDM_ConnectDevice(QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210, serial.c_str()) != 1 ||
        !WaitFor([] { return QDM_IsConnectCompleted() == 1; }, std::chrono::seconds(20))) {
        return nullptr;
    }
    return QDM_GetConnectingDevice();
}

// The amplifier vanishes in the middle of a DSP parameter read-back, with the amplifier's own
// time-outs. Each run connects the device anew.
bool MeasureUnplug(VirtualAmp::VirtualAmplifier& amp, VirtualAmp::AmpFolderHost& host, const std::string& serial,
                   QdmDevice*& device, int runs)
{
    DspParamInfo info{};
    bool ok = true;
    EndTimes times;
    for (int run = 0; run < runs && ok; ++run) {
        amp.ResetCounters();
        VirtualAmp::AmpFaults faults = amp.Faults();
        faults.unplugAtExchange = 100;
        amp.SetFaults(faults);
        ok = QDO_ReadDspParamInfoFromMCU(device, &info) == 1 &&
             WaitFor([&amp] { return !amp.IsPresent(); }, std::chrono::seconds(20));
        ok = times.Take(device, Clock::now()) && ok;
        faults.unplugAtExchange = 0;
        amp.SetFaults(faults);
        QDM_DisconnectDevice(&device);
        amp.Replug();
        ok = ok && WaitFor([&] { return amp.IsPresent() && host.IsListening(); }, std::chrono::seconds(20));
        device = ok ? Connect(serial) : nullptr;
        ok = ok && device != nullptr;
    }
    times.Print("unplug during a read", "unplug", 250, ok);
    return ok;
}

QdoParamImage ImageWithMask(std::uint32_t maskA, std::uint32_t maskB)
{
    QdoParamImage image{};
    for (std::size_t i = 8; i < sizeof image.bytes; ++i) {
        image.bytes[i] = static_cast<std::uint8_t>(i * 7);
    }
    // Small coefficient values, so the encoder works on numbers the amplifier can hold.
    for (std::size_t offset = 16; offset + 8 <= 1456; offset += 8) {
        const double value = 0.25;
        std::memcpy(image.bytes + offset, &value, sizeof value);
    }
    std::memcpy(image.bytes, &maskA, 4);
    std::memcpy(image.bytes + 4, &maskB, 4);
    return image;
}

int Run(const fs::path& dir)
{
    ::setenv("QUARRY_VIRTUAL_HID_DIR", dir.c_str(), 1);
    VirtualAmp::AmpConfig config;
    config.serial = "BENCHOPS";
    config.timing.pace = VirtualAmp::Millis(1);
    auto amp = std::make_shared<VirtualAmp::VirtualAmplifier>(config);
    VirtualAmp::AmpFolderHost host(amp, dir.string());
    if (!host.Start() || !WaitFor([&host] { return host.IsListening(); }, std::chrono::seconds(5))) {
        std::fprintf(stderr, "bench_device_ops: cannot serve the virtual amplifier in %s\n", dir.c_str());
        return 1;
    }

    QDM_RegisterDevice("Cobalt", QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210);
    QdmDevice* device = Connect(config.serial);
    if (device == nullptr) {
        std::fprintf(stderr, "bench_device_ops: cannot connect to the virtual amplifier\n");
        return 1;
    }

    std::uint8_t meters[44];
    const QdoParamImage item = ImageWithMask(1u << 16, 0);  // item 0 of channel 0: 768 bytes
    const QdoParamImage all = ImageWithMask(0x0FFFFFF0u, 0xFu);
    QdoGlobalSettingInput setting{};
    std::memset(setting.record, 0x11, sizeof setting.record);
    setting.record[1] = 'F';
    DspParamInfo info{};

    std::printf("device operations through the exports (A210, paced 1 ms per report and direction):\n");
    bool ok = true;
    const auto row = [&](const char* what, int runs, const std::function<std::int32_t()>& start) {
        const Measured m = Measure(*amp, device, runs, start);
        Print(what, runs, m);
        ok = ok && m.ok;
    };
    row("meter read (44 bytes by id)", 20, [&] { return QDO_ReadMCUbyID(device, 1, sizeof meters, meters); });
    row("item write by id (768 bytes)", 10, [&] { return QDO_WriteMCUbyID(device, &item); });
    row("global-setting upload", 3, [&] { return QDO_UpgradeGlobalSetting(device, &setting); });
    row("DSP parameter upload", 2, [&] { return QDO_UpgradeDSPParam(device, &all); });
    row("DSP parameter read-back", 2, [&] { return QDO_ReadDspParamInfoFromMCU(device, &info); });

    ok = MeasureCancel(*amp, device, 20, [&] { return QDO_ReadMCUbyID(device, 1, sizeof meters, meters); }) && ok;
    ok = MeasureUnplug(*amp, host, config.serial, device, 5) && ok;

    if (device != nullptr) {
        QDM_DisconnectDevice(&device);
    }
    host.Stop();
    return ok ? 0 : 1;
}

}  // namespace

int main()
{
    const fs::path dir = fs::temp_directory_path() / ("quarry-bench-ops-" + std::to_string(::getpid()));
    std::error_code error;
    fs::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "bench_device_ops: cannot create %s\n", dir.c_str());
        return 1;
    }
    const int result = Run(dir);
    fs::remove_all(dir, error);
    return result;
}
