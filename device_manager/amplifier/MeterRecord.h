// The 44-byte meter record the amplifier returns for memory id 1.
#pragma once

#include <cstddef>
#include <cstdint>

namespace CobaltDeviceManager {

inline constexpr std::uint32_t kMeterMemoryId = 1;
inline constexpr std::uint32_t kReadyFlagMemoryId = 2;

struct MeterRecord {
    // Words 0-3: the four input levels; words 4-7: the four output levels (channel 0
    // first). Big-endian on the wire, host order here.
    std::uint32_t inputLevels[4];
    std::uint32_t outputLevels[4];
    // Word 8 is unused; words 9 and 10 hold four 16-bit output protection states in memory
    // order and are kept exactly as they arrived.
    std::uint32_t unused;
    std::uint32_t statusWords[2];
};

static_assert(sizeof(MeterRecord) == 44, "the meter record is 44 bytes");

// The record from the 44 bytes read: words 0-7 from big-endian, words 8-10 as they are.
MeterRecord DecodeMeterRecord(const std::uint8_t (&raw)[44]);

}  // namespace CobaltDeviceManager
