// Unsigned integers in a fixed byte order, whatever the host's: files, blobs and parameter
// images are little-endian, the amplifier's wire words big-endian.
#pragma once

#include <concepts>
#include <cstddef>
#include <cstdint>

namespace platform {

template <std::unsigned_integral UInt>
UInt LoadLittleEndian(const std::uint8_t* in)
{
    UInt value = 0;
    for (std::size_t i = 0; i < sizeof(UInt); ++i) {
        value = static_cast<UInt>(value | static_cast<UInt>(static_cast<UInt>(in[i]) << (8 * i)));
    }
    return value;
}

template <std::unsigned_integral UInt>
void StoreLittleEndian(UInt value, std::uint8_t* out)
{
    for (std::size_t i = 0; i < sizeof(UInt); ++i) {
        out[i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

template <std::unsigned_integral UInt>
UInt LoadBigEndian(const std::uint8_t* in)
{
    UInt value = 0;
    for (std::size_t i = 0; i < sizeof(UInt); ++i) {
        value = static_cast<UInt>(static_cast<UInt>(value << 8) | in[i]);
    }
    return value;
}

template <std::unsigned_integral UInt>
void StoreBigEndian(UInt value, std::uint8_t* out)
{
    for (std::size_t i = 0; i < sizeof(UInt); ++i) {
        out[sizeof(UInt) - 1 - i] = static_cast<std::uint8_t>(value >> (8 * i));
    }
}

}  // namespace platform
