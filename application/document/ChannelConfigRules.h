// How the amplifier's hardware status word becomes the channel configuration that every
// controller receives, and how model and configuration reach the controllers.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "dsp_blocks/blocks/BlockTypes.h"
#include "dsp_blocks/blocks/CController.h"
#include "dsp_blocks/blocks/ChannelConfig.h"

// Bits of the amplifier's hardware status word that the configuration maps.
namespace HardwareStatusBit {
inline constexpr std::uint32_t kLowByte = 0xFF;
inline constexpr std::uint32_t kHighImpedanceSelect = 0x200;  // mode 3 when set, else 4
inline constexpr std::uint32_t kConfigSoftware = 0x400;       // CONFIG switch in software mode
inline constexpr std::uint32_t kChannel0LowImpedance = 0x1000;  // shifted left by the channel
inline constexpr std::uint32_t kBit16 = 0x10000;
}  // namespace HardwareStatusBit

// Channel output modes in ChannelConfigEntry::mode.
namespace ChannelMode {
inline constexpr std::uint32_t kLowImpedance = 2;
inline constexpr std::uint32_t kHighImpedanceA = 3;
inline constexpr std::uint32_t kHighImpedanceB = 4;
}  // namespace ChannelMode

// ChannelConfig::kind of a configuration built from a status change.
inline constexpr std::uint32_t kChannelConfigFromChange = 2;

// The mode of one channel in a status word.
std::uint32_t ChannelModeFromStatus(std::uint32_t status, std::uint32_t channel);

// The record for a change from oldStatus to newStatus. A change of bit 0x200 counts as a
// change of every channel whose own bit is clear in the new word. channelCount above 4
// writes four entries.
ChannelConfig MakeChannelConfigFromChange(std::uint32_t oldStatus, std::uint32_t newStatus,
                                          std::uint32_t channelCount, std::uint8_t freshDesign);

// The record for the first status seen after going online: kind = freshDesign, nothing
// marked as changed.
ChannelConfig MakeFirstStatusChannelConfig(std::uint32_t status, std::uint32_t channelCount,
                                           std::uint8_t freshDesign);

// Hands a copy of config to every controller in order; the result is config with
// anyAccepted set when any controller returned true.
ChannelConfig ApplyChannelConfigToControllers(const std::vector<std::unique_ptr<CController>>& controllers,
                                              ChannelConfig config);

// Calls SetModel(model) on every controller in order.
void ApplyModelToControllers(const std::vector<std::unique_ptr<CController>>& controllers, ModelType model);
