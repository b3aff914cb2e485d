// make-test-firmware: writes a synthetic firmware image file for tests and benchmarks.
#include <charconv>
#include <iostream>
#include <string>

#include "tools/virtual_amp/lib/TestFirmware.h"

namespace {

constexpr const char* kUsage =
    "usage: make-test-firmware (--out FILE | --dir DIR [--prefix Cobalt]) [--version V5.12]\n"
    "                          [--seed N] [--size BYTES] [--bad-checksum] [--erased-version]\n"
    "                          [--text2 T] [--text3 T] [--text4 T]\n"
    "  With --dir the file is named PREFIX_VERSION.bin, e.g. Cobalt_V5.12.bin.\n";

bool ParseSize(const std::string& text, std::size_t& value) {
  int base = 10;
  std::string_view digits = text;
  if (digits.rfind("0x", 0) == 0) {
    digits.remove_prefix(2);
    base = 16;
  }
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  return error == std::errc() && end == digits.data() + digits.size() && !digits.empty();
}

}  // namespace

int main(int argc, char** argv) {
  VirtualAmp::TestFirmwareOptions options;
  std::string out;
  std::string dir;
  std::string prefix = "Cobalt";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--bad-checksum") {
      options.fixChecksumWord = false;
      continue;
    }
    if (arg == "--erased-version") {
      options.eraseVersionBlock = true;
      continue;
    }
    if (arg == "--help" || arg == "-h" || i + 1 >= argc) {
      std::cerr << kUsage;
      return arg == "--help" || arg == "-h" ? 0 : 2;
    }
    const std::string value = argv[++i];
    std::size_t number = 0;
    if (arg == "--out") {
      out = value;
    } else if (arg == "--dir") {
      dir = value;
    } else if (arg == "--prefix") {
      prefix = value;
    } else if (arg == "--version") {
      options.version = value;
    } else if (arg == "--text2" || arg == "--text3" || arg == "--text4") {
      options.otherTexts[static_cast<std::size_t>(arg[6] - '2')] = value;
    } else if ((arg == "--seed" || arg == "--size") && ParseSize(value, number)) {
      if (arg == "--seed") {
        options.seed = static_cast<std::uint32_t>(number);
      } else {
        options.fileSize = number;
      }
    } else {
      std::cerr << "make-test-firmware: bad option " << arg << "\n" << kUsage;
      return 2;
    }
  }
  if (out.empty() == dir.empty()) {
    std::cerr << "make-test-firmware: give exactly one of --out and --dir\n" << kUsage;
    return 2;
  }
  if (out.empty()) out = dir + "/" + VirtualAmp::TestFirmwareFileName(options.version, prefix);
  if (!VirtualAmp::WriteTestFirmware(out, options)) {
    std::cerr << "make-test-firmware: cannot write " << out << "\n";
    return 1;
  }
  std::cout << out << std::endl;
  return 0;
}
