// Synthetic firmware image files in the amplifier's image layout, for tests, benchmarks
// and the virtual amplifier's factory state: flash regions at their own addresses, the
// version text in text block 1 (0x52000) and the MCU program at 0x80000.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "tools/virtual_amp/lib/AmpMemoryMap.h"

namespace VirtualAmp {

struct TestFirmwareOptions {
  std::string version = "V5.20";  // text block 1, read back as the firmware version
  // Text blocks 2-4 (0x53000, 0x54000, 0x55000); empty means "<name> <version>".
  std::array<std::string, 3> otherTexts{};
  std::uint32_t seed = 1;                     // varies the pseudo-random image bytes
  std::size_t fileSize = kFirmwareFileSize;   // shorter files end early (the rest reads as 0xFF)
  bool fixChecksumWord = true;                // write a correct MCU program checksum word
  bool eraseVersionBlock = false;             // leave text block 1 erased (an unbootable file)
};

// The whole file in memory. Some 256-byte blocks of every image are left all 0xFF (the
// last blocks of the application image among them) so that writes exercise skip counts.
std::vector<std::uint8_t> BuildTestFirmware(const TestFirmwareOptions& options);

// Writes the file; false on any I/O failure.
bool WriteTestFirmware(const std::string& path, const TestFirmwareOptions& options);

// "Cobalt_V5.12.bin" for version "V5.12".
std::string TestFirmwareFileName(const std::string& version, const std::string& prefix = "Cobalt");

}  // namespace VirtualAmp
