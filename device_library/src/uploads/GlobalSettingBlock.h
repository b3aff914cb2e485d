// The 4096-byte block the global-setting upload writes at 0x3C000: the 2-byte header at its
// start and the 2048-byte record in its second half, 0xFF elsewhere.
#ifndef QUARRY_UPLOADS_GLOBAL_SETTING_BLOCK_H
#define QUARRY_UPLOADS_GLOBAL_SETTING_BLOCK_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "device_library/src/models/ModelMemoryMap.h"
#include "device_library/src/models/WritePlan.h"

namespace QuarryDriver {

inline constexpr std::size_t kGlobalSettingInputSize = 2050;
inline constexpr std::size_t kGlobalSettingHeaderSize = 2;

using GlobalSettingBlock = std::array<std::uint8_t, a210_map::kGlobalSettingBlockSize>;

GlobalSettingBlock BuildGlobalSettingBlock(std::span<const std::uint8_t, kGlobalSettingInputSize> input);

// The upload: one write by id of the block at 0x3C000, ended with "END".
WritePlan PlanGlobalSettingUpload(std::span<const std::uint8_t, kGlobalSettingInputSize> input);

}  // namespace QuarryDriver

#endif
