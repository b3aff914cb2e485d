// Builder of synthetic firmware image files.
#include "tools/virtual_amp/lib/TestFirmware.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "platform/base/ByteOrder.h"

namespace VirtualAmp {
namespace {

class Pattern {
 public:
  explicit Pattern(std::uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u) {}
  std::uint8_t Next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return static_cast<std::uint8_t>(state_);
  }

 private:
  std::uint32_t state_;
};

// Fills a region with pattern bytes, leaving every seventh block and the last
// `trailingErased` blocks erased.
void FillRegion(std::vector<std::uint8_t>& image, std::uint32_t address, std::uint32_t size, Pattern& pattern,
                std::uint32_t trailingErased) {
  const std::uint32_t blocks = size / 256;
  for (std::uint32_t b = 0; b < blocks; ++b) {
    if (b % 7 == 3 || b + trailingErased >= blocks) continue;
    for (std::uint32_t i = 0; i < 256; ++i) image[address + b * 256 + i] = pattern.Next();
  }
}

void PutText(std::vector<std::uint8_t>& image, std::uint32_t address, const std::string& text) {
  std::fill_n(image.begin() + address, kTextBlockSize, 0);
  std::copy_n(text.begin(), std::min<std::size_t>(text.size(), kTextBlockSize - 1), image.begin() + address);
}

}  // namespace

std::vector<std::uint8_t> BuildTestFirmware(const TestFirmwareOptions& options) {
  std::vector<std::uint8_t> image(kFirmwareFileSize, 0xFF);
  Pattern pattern(options.seed);
  FillRegion(image, kAppImageAddress, kAppImageSize, pattern, 4);
  FillRegion(image, kFileDefaultsOffset, kFileDefaultsSize, pattern, 0);
  FillRegion(image, kSecondImageAddress, kSecondImageSize, pattern, 2);
  FillRegion(image, kBlock3E000Address, 256, pattern, 0);
  // Global settings as the amplifier leaves the factory: header bytes 0-1 zero, record
  // "O" (mute input normally open), "F" (not muted), then zeros.
  image[kGlobalHeaderAddress] = 0;
  image[kGlobalHeaderAddress + 1] = 0;
  std::fill_n(image.begin() + kGlobalRecordAddress, kGlobalHalfSize, 0);
  image[kGlobalRecordAddress] = 'O';
  image[kGlobalRecordAddress + 1] = 'F';

  static const std::array<const char*, 3> kNames = {"Cobalt", "MCU", "DSP"};
  if (!options.eraseVersionBlock) PutText(image, kTextBlockAddress[0], options.version);
  for (std::size_t i = 0; i < 3; ++i) {
    const std::string text =
        options.otherTexts[i].empty() ? std::string(kNames[i]) + " " + options.version : options.otherTexts[i];
    PutText(image, kTextBlockAddress[i + 1], text);
  }

  for (std::uint32_t i = 0; i < kMcuProgramSize - 0x1000; ++i) image[kFileMcuProgramOffset + i] = pattern.Next();
  if (options.fixChecksumWord) {
    std::uint32_t sum = 0;
    for (std::size_t w = 0; w < 7; ++w) {
      const std::uint8_t* p = image.data() + kFileMcuProgramOffset + 4 * w;
      sum += platform::LoadLittleEndian<std::uint32_t>(p);
    }
    const std::uint32_t word7 = 0u - sum;
    platform::StoreLittleEndian(word7, image.data() + kFileMcuProgramOffset + 28);
  }
  image.resize(std::min(options.fileSize, image.size()));
  return image;
}

bool WriteTestFirmware(const std::string& path, const TestFirmwareOptions& options) {
  const std::vector<std::uint8_t> image = BuildTestFirmware(options);
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "wb"), &std::fclose);
  if (!file) return false;
  if (std::fwrite(image.data(), 1, image.size(), file.get()) != image.size()) return false;
  return std::fclose(file.release()) == 0;
}

std::string TestFirmwareFileName(const std::string& version, const std::string& prefix) {
  return prefix + "_" + version + ".bin";
}

}  // namespace VirtualAmp
