// Addresses and sizes of the amplifier's memories, for both models, and the layout of the
// firmware image files that fill them. Flash addresses unless named Mcu.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace VirtualAmp {

inline constexpr std::uint32_t kFlashSize = 0x80000;
inline constexpr std::uint32_t kMcuSize = 0x10000;

// Regions both models share.
inline constexpr std::uint32_t kAppImageAddress = 0x00000;
inline constexpr std::uint32_t kAppImageSize = 0x20000;
inline constexpr std::uint32_t kFlagByteAddress = 0x50000;
inline constexpr std::array<std::uint32_t, 4> kTextBlockAddress = {0x52000, 0x53000, 0x54000, 0x55000};
inline constexpr std::uint32_t kTextBlockSize = 16;
inline constexpr std::uint32_t kVersionBlockAddress = 0x52000;  // text block 1: the version text
inline constexpr std::uint32_t kMcuProgramAddress = 0x3000;
inline constexpr std::uint32_t kMcuProgramSize = 0xD000;
inline constexpr std::uint32_t kMcuInfoAddress = 0xC0;
inline constexpr std::uint32_t kMcuInfoSize = 8;

// Model 0xA200 keeps its model code where model 0xA210 has its fourth text block.
inline constexpr std::uint32_t kA200ModelCodeAddress = 0x55000;
inline constexpr std::uint32_t kA200TextBlocks = 3;

// Model 0xA210.
inline constexpr std::uint32_t kA210TextBlocks = 4;
inline constexpr std::uint32_t kA210ModelCodeAddress = 0x56000;
inline constexpr std::uint32_t kHwInfoAddress = 0x57000;
inline constexpr std::uint32_t kHwInfoSize = 15;
inline constexpr std::uint32_t kStagingAddress = 0x20000;  // + channel x kChannelAreaStride
inline constexpr std::uint32_t kChannelAreaStride = 0x2000;
inline constexpr std::uint32_t kChangeFlagOffset = 0x1000;  // inside a staging area
inline constexpr std::uint32_t kDefaultsAddress = 0x61000;  // stored parameter copy, staging layout
inline constexpr std::uint32_t kSecondImageAddress = 0x28000;
inline constexpr std::uint32_t kSecondImageSize = 0x14000;
inline constexpr std::uint32_t kGlobalHeaderAddress = 0x3C000;
inline constexpr std::uint32_t kGlobalRecordAddress = 0x3C800;  // live record ("MCU copy")
inline constexpr std::uint32_t kGlobalSecondCopyAddress = 0x3D000;
inline constexpr std::uint32_t kGlobalHalfSize = 0x800;
inline constexpr std::uint32_t kGlobalAreaSize = 0x1000;
inline constexpr std::uint32_t kBlock3E000Address = 0x3E000;
inline constexpr std::uint32_t kChannelCount = 4;
inline constexpr std::array<std::uint32_t, kChannelCount> kBankAddress = {0x59000, 0x69000, 0x40000, 0x47000};
inline constexpr std::uint32_t kBankItemStride = 0x1000;

// The seven parameter items of a channel: offset in a staging or default area and size.
inline constexpr std::uint32_t kItemCount = 7;
inline constexpr std::array<std::uint32_t, kItemCount> kItemOffset = {0x000, 0x300, 0x500, 0x700, 0x800, 0x900, 0xA00};
inline constexpr std::array<std::uint32_t, kItemCount> kItemSize = {768, 512, 512, 256, 256, 256, 256};

// Global settings record: byte 0 'O'/'C' (mute input polarity), byte 1 'T'/'F' (muted).
inline constexpr std::uint32_t kGlobalMuteOffset = 1;
inline constexpr std::uint8_t kMutedMark = 'T';

// Memory ids of model 0xA210.
inline constexpr std::uint32_t kMeterId = 1;
inline constexpr std::uint32_t kMeterRecordSize = 44;
inline constexpr std::uint32_t kReadyId = 2;

// Command words of "SE_CMD": 1, 0, 0 stores the live configuration.
inline constexpr std::uint16_t kStoreCommandWord = 1;

// Firmware image file: flash regions sit at their own addresses; the MCU program follows.
inline constexpr std::uint32_t kFileMcuProgramOffset = 0x80000;
inline constexpr std::uint32_t kFirmwareFileSize = kFileMcuProgramOffset + kMcuProgramSize;  // 0x8D000
inline constexpr std::uint32_t kFileDefaultsOffset = 0x20000;
inline constexpr std::uint32_t kFileDefaultsSize = 0x8000;
inline constexpr std::uint32_t kEraseMarkerZeros = 16;  // a marker block: 16 zeros, then 0xFF

}  // namespace VirtualAmp
