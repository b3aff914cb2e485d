// virtual-amp: serves one or more virtual amplifiers as sockets in a folder for the
// virtual HID backend, with a control socket for tests. See tools/virtual_amp/README.md.
#include <signal.h>

#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/hid/HidTypes.h"
#include "tools/virtual_amp/lib/AmpControl.h"
#include "tools/virtual_amp/lib/AmpFolderHost.h"
#include "tools/virtual_amp/lib/VirtualAmplifier.h"

namespace {

using namespace VirtualAmp;

constexpr const char* kUsage =
    "usage: virtual-amp --dir DIR [--control PATH] [--pace-ms N] [--latency-ms N] [--reset-ms N]\n"
    "                   [--store-ms N] [--trace FILE|-]\n"
    "                   --pid a210|a200 --serial SERIAL [--mode app|boot] [--version TEXT]\n"
    "                   [--model-code N] [--blank]   (repeat --pid/--serial for more devices)\n"
    "       virtual-amp ... --device PID:SERIAL[:MODE] ...\n"
    "  DIR is made when it does not exist.\n";

struct DeviceOptions {
  AmpConfig config;
  bool hasSerial = false;
};

struct Options {
  std::string dir;
  std::string control;
  std::string trace;
  AmpTiming timing;
  std::vector<DeviceOptions> devices;
};

// A whole number from 0 to 600000 (milliseconds, model codes).
std::optional<long> ParseCount(const std::string& text) {
  long value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 600000) return std::nullopt;
  return value;
}

std::optional<std::uint16_t> ParsePid(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (text.rfind("0x", 0) == 0) text = text.substr(2);
  if (text == "a210") return static_cast<std::uint16_t>(QUARRY_PRODUCT_ID_A210);
  if (text == "a200") return static_cast<std::uint16_t>(QUARRY_PRODUCT_ID_A200);
  return std::nullopt;
}

std::optional<AmpMode> ParseMode(const std::string& text) {
  if (text == "app") return AmpMode::Application;
  if (text == "boot") return AmpMode::BootLoader;
  return std::nullopt;
}

// Device options apply to the device named last; --pid and --device begin a new one, and
// so does a second --serial.
bool ParseArguments(int argc, char** argv, Options& options, std::string& error) {
  auto current = [&options]() -> DeviceOptions& {
    if (options.devices.empty()) options.devices.emplace_back();
    return options.devices.back();
  };
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      error.clear();
      return false;
    }
    if (i + 1 >= argc && arg != "--blank") {
      error = "missing value after " + arg;
      return false;
    }
    if (arg == "--blank") {
      current().config.factoryImage = false;
      continue;
    }
    const std::string value = argv[++i];
    std::optional<long> ms;
    if (arg == "--dir") {
      options.dir = value;
    } else if (arg == "--control") {
      options.control = value;
    } else if (arg == "--trace") {
      options.trace = value;
    } else if (arg == "--pace-ms" || arg == "--latency-ms" || arg == "--reset-ms" || arg == "--store-ms") {
      if (!(ms = ParseCount(value))) {
        error = "bad milliseconds for " + arg;
        return false;
      }
      Millis& field = arg == "--pace-ms"      ? options.timing.pace
                      : arg == "--latency-ms" ? options.timing.replyLatency
                      : arg == "--reset-ms"   ? options.timing.resetAbsence
                                              : options.timing.storeBusy;
      field = Millis(*ms);
    } else if (arg == "--pid") {
      const auto pid = ParsePid(value);
      if (!pid) {
        error = "unknown product id " + value + " (a210 or a200)";
        return false;
      }
      options.devices.emplace_back();
      options.devices.back().config.productId = *pid;
    } else if (arg == "--serial") {
      if (!options.devices.empty() && options.devices.back().hasSerial) {
        DeviceOptions next;
        next.config.productId = options.devices.back().config.productId;
        options.devices.push_back(next);
      }
      current().config.serial = value;
      current().hasSerial = true;
    } else if (arg == "--mode") {
      const auto mode = ParseMode(value);
      if (!mode) {
        error = "mode must be app or boot";
        return false;
      }
      current().config.mode = *mode;
    } else if (arg == "--version") {
      current().config.version = value;
    } else if (arg == "--model-code") {
      const auto code = ParseCount(value);
      if (!code || *code > 255) {
        error = "bad model code";
        return false;
      }
      current().config.modelCode = static_cast<std::uint8_t>(*code);
    } else if (arg == "--device") {
      // PID:SERIAL[:MODE]
      const std::size_t first = value.find(':');
      const std::size_t second = first == std::string::npos ? first : value.find(':', first + 1);
      const auto pid = ParsePid(value.substr(0, first));
      if (!pid || first == std::string::npos) {
        error = "bad --device " + value;
        return false;
      }
      DeviceOptions device;
      device.config.productId = *pid;
      device.config.serial = value.substr(first + 1, second == std::string::npos ? std::string::npos : second - first - 1);
      device.hasSerial = true;
      if (second != std::string::npos) {
        const auto mode = ParseMode(value.substr(second + 1));
        if (!mode) {
          error = "bad mode in --device " + value;
          return false;
        }
        device.config.mode = *mode;
      }
      options.devices.push_back(device);
    } else {
      error = "unknown option " + arg;
      return false;
    }
  }
  if (options.dir.empty()) {
    error = "--dir is required";
    return false;
  }
  if (options.devices.empty()) {
    error = "no device given (--pid and --serial)";
    return false;
  }
  for (const DeviceOptions& device : options.devices) {
    if (!device.hasSerial || !IsValidSerial(device.config.serial)) {
      error = "every device needs a --serial of 1 to " + std::to_string(platform::hid::kMaxSerialChars) +
              " characters [A-Za-z0-9_]";
      return false;
    }
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  std::string error;
  if (!ParseArguments(argc, argv, options, error)) {
    if (!error.empty()) std::cerr << "virtual-amp: " << error << "\n";
    std::cerr << kUsage;
    return error.empty() ? 0 : 2;
  }
  // The folder is made when missing (parents too), as a user who names a new one expects.
  std::error_code made;
  std::filesystem::create_directories(options.dir, made);
  std::error_code checked;
  if (!std::filesystem::is_directory(options.dir, checked)) {
    std::cerr << "virtual-amp: not a folder: " << options.dir;
    if (made) std::cerr << " (" << made.message() << ")";
    std::cerr << "\n";
    return 1;
  }
  if (options.control.empty()) options.control = options.dir + "/virtual-amp.control";

  // Signals are taken by sigtimedwait below; every thread started after this inherits the mask.
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  ::signal(SIGPIPE, SIG_IGN);

  std::mutex traceMutex;
  std::unique_ptr<std::ofstream> traceFile;
  std::function<void(const std::string&)> traceSink;
  if (!options.trace.empty()) {
    if (options.trace != "-") {
      traceFile = std::make_unique<std::ofstream>(options.trace, std::ios::app);
      if (!*traceFile) {
        std::cerr << "virtual-amp: cannot open trace file " << options.trace << "\n";
        return 1;
      }
    }
    std::ostream& out = traceFile ? static_cast<std::ostream&>(*traceFile) : std::cerr;
    traceSink = [&traceMutex, &out](const std::string& line) {
      std::lock_guard lock(traceMutex);
      out << line << '\n';
      out.flush();
    };
  }

  std::vector<std::unique_ptr<AmpFolderHost>> hosts;
  std::vector<AmpFolderHost*> hostViews;
  for (DeviceOptions& device : options.devices) {
    device.config.timing = options.timing;
    auto amp = std::make_shared<VirtualAmplifier>(device.config);
    if (traceSink) amp->SetTraceSink(traceSink);
    hosts.push_back(std::make_unique<AmpFolderHost>(amp, options.dir));
    if (!hosts.back()->Start()) {
      std::cerr << "virtual-amp: cannot serve " << hosts.back()->SocketPath() << "\n";
      return 1;
    }
    hostViews.push_back(hosts.back().get());
    std::cout << "virtual-amp: serving " << hosts.back()->SocketPath() << std::endl;
  }
  AmpControlServer control(options.control, hostViews);
  if (!control.Start()) {
    std::cerr << "virtual-amp: cannot open control socket " << options.control << "\n";
    return 1;
  }
  std::cout << "virtual-amp: control " << options.control << std::endl;

  const timespec slice{0, 50 * 1000 * 1000};
  while (!control.QuitRequested()) {
    const int signal = sigtimedwait(&signals, nullptr, &slice);
    if (signal == SIGINT || signal == SIGTERM) break;
  }
  control.Stop();
  for (auto& host : hosts) host->Stop();
  return 0;
}
