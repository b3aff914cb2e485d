// Range checks for caller-supplied addresses and lengths.
#ifndef QUARRY_MODELS_MEMORY_BOUNDS_H
#define QUARRY_MODELS_MEMORY_BOUNDS_H

#include <cstdint>

namespace QuarryDriver {

// True when [address, address + length) lies inside a memory of `limit` bytes. The sum is formed
// in 64 bits: a 32-bit sum would wrap for a large length and let a read past the end through.
constexpr bool RangeWithin(std::uint32_t address, std::uint32_t length, std::uint64_t limit) {
    return static_cast<std::uint64_t>(address) + length <= limit;
}

}  // namespace QuarryDriver

#endif
