// Memory maps of the two amplifier models: where each region lives in flash and MCU memory,
// and where the firmware image file keeps the bytes written there.
#ifndef QUARRY_MODELS_MODEL_MEMORY_MAP_H
#define QUARRY_MODELS_MODEL_MEMORY_MAP_H

#include <array>
#include <cstdint>

namespace QuarryDriver {

// Both models share the memory sizes, the firmware's main regions and the identity blocks.
namespace memory_map {

inline constexpr std::uint64_t kMcuMemorySize = 0x10000;
inline constexpr std::uint64_t kFlashSize = 0x80000;

inline constexpr std::uint32_t kApplicationImageAddress = 0x00000;
inline constexpr std::uint32_t kApplicationImageFileOffset = 0x00000;
inline constexpr std::uint32_t kApplicationImageSize = 0x20000;

inline constexpr std::uint32_t kMcuProgramAddress = 0x3000;  // in MCU memory
inline constexpr std::uint32_t kMcuProgramFileOffset = 0x80000;
inline constexpr std::uint32_t kMcuProgramSize = 0xD000;

inline constexpr std::uint32_t kFlagByteAddress = 0x50000;
inline constexpr std::uint32_t kTextBlock1Address = 0x52000;  // firmware version text
inline constexpr std::uint32_t kTextBlock2Address = 0x53000;
inline constexpr std::uint32_t kTextBlock3Address = 0x54000;
inline constexpr std::uint32_t kTextBlock4Address = 0x55000;  // A210 only; the A200's model code
inline constexpr std::uint32_t kTextSize = 16;
inline constexpr std::uint32_t kMcuInfoAddress = 0xC0;  // in MCU memory
inline constexpr std::uint32_t kMcuInfoSize = 8;

// Firmware files keep every block at the address it is written to, up to the end of the
// MCU program.
inline constexpr std::uint32_t kFirmwareFileSpan = kMcuProgramFileOffset + kMcuProgramSize;

}  // namespace memory_map

namespace a200_map {
inline constexpr std::uint32_t kModelCodeAddress = 0x55000;
}  // namespace a200_map

namespace a210_map {

inline constexpr std::uint32_t kModelCodeAddress = 0x56000;
inline constexpr std::uint32_t kHwInfoAddress = 0x57000;
inline constexpr std::uint32_t kHwInfoSize = 15;

inline constexpr std::uint32_t kSecondImageAddress = 0x28000;
inline constexpr std::uint32_t kSecondImageFileOffset = 0x28000;
inline constexpr std::uint32_t kSecondImageSize = 0x14000;

// The global-setting header and record, and their second copy: firmware writes the file's
// 4096 bytes to both; the setting upload writes the first.
inline constexpr std::uint32_t kGlobalSettingAddress = 0x3C000;
inline constexpr std::uint32_t kGlobalSettingRecordAddress = 0x3C800;
inline constexpr std::uint32_t kGlobalSettingCopyAddress = 0x3D000;
inline constexpr std::uint32_t kGlobalSettingCopyRecordAddress = 0x3D800;
inline constexpr std::uint32_t kGlobalSettingBlockSize = 0x1000;
inline constexpr std::uint32_t kGlobalSettingRecordSize = 0x800;
inline constexpr std::uint32_t kGlobalSettingFileOffset = 0x3C000;

inline constexpr std::uint32_t kBlock3E000Address = 0x3E000;
inline constexpr std::uint32_t kBlock3E000Size = 256;

inline constexpr unsigned kChannelCount = 4;
inline constexpr std::uint32_t kChannelAreaStride = 0x2000;
inline constexpr std::uint32_t kStagingBase = 0x20000;         // parameter staging, channel 0
inline constexpr std::uint32_t kDefaultCopyBase = 0x61000;     // default parameter copy, channel 0
inline constexpr std::uint32_t kDefaultsFileOffset = 0x20000;  // defaults of all four channels
inline constexpr std::uint32_t kDefaultsSize = 0x8000;
inline constexpr std::uint32_t kChangeFlagOffset = 0x1000;  // inside a staging area
inline constexpr std::uint32_t kChangeFlagBlockSize = 256;

inline constexpr std::array<std::uint32_t, kChannelCount> kChannelBanks = {0x59000, 0x69000, 0x40000,
                                                                           0x47000};
inline constexpr std::uint32_t kBankItemStride = 0x1000;

// One per-channel parameter item: where it sits in a staging or default area, where the
// firmware file keeps its default, and which part of it is the editor's raw parameter data.
struct ParamItemLayout {
    std::uint32_t areaOffset;
    std::uint32_t size;
    std::uint32_t defaultFileOffset;  // for channel 0; see DefaultFileOffset
    std::uint32_t rawOffset;
    std::uint32_t rawSize;
};

inline constexpr unsigned kItemCount = 7;
inline constexpr std::array<ParamItemLayout, kItemCount> kParamItems = {{
    {0x000, 768, 0x20000, 0x200, 0x100},
    {0x300, 512, 0x20300, 0x100, 0x100},
    {0x500, 512, 0x20500, 0x100, 0x100},
    {0x700, 256, 0x20700, 0x80, 0x80},
    {0x800, 256, 0x20800, 0x80, 0x80},
    {0x900, 256, 0x20900, 0x80, 0x80},
    {0xA00, 256, 0x20A00, 0x80, 0x80},
}};

// Item 5 (the mixer row) is the only item whose default differs per bank.
inline constexpr unsigned kPerBankDefaultItem = 5;

constexpr std::uint32_t StagingAddress(unsigned channel, unsigned item) {
    return kStagingBase + channel * kChannelAreaStride + kParamItems[item].areaOffset;
}

constexpr std::uint32_t ChangeFlagAddress(unsigned channel) {
    return kStagingBase + channel * kChannelAreaStride + kChangeFlagOffset;
}

constexpr std::uint32_t BankItemAddress(unsigned channel, unsigned item) {
    return kChannelBanks[channel] + item * kBankItemStride;
}

constexpr std::uint32_t DefaultCopyRawAddress(unsigned channel, unsigned item) {
    return kDefaultCopyBase + channel * kChannelAreaStride + kParamItems[item].areaOffset +
           kParamItems[item].rawOffset;
}

constexpr std::uint32_t DefaultFileOffset(unsigned bank, unsigned item) {
    return kParamItems[item].defaultFileOffset + (item == kPerBankDefaultItem ? bank * kChannelAreaStride : 0);
}

// The raw parts of the items, in the order of the areas of `DspParamInfo`, with each area's
// offset in that record and its per-channel size.
struct DspInfoArea {
    unsigned item;
    std::uint32_t recordOffset;
};
inline constexpr std::array<DspInfoArea, kItemCount> kDspInfoAreas = {{
    {2, 4},
    {5, 1028},
    {1, 1540},
    {0, 2564},
    {6, 3588},
    {3, 4100},
    {4, 4612},
}};

}  // namespace a210_map

}  // namespace QuarryDriver

#endif
