// Hand-built parameter blobs for the tests, written byte by byte so that decoding is
// checked against the wire format itself rather than against our own encoder.
#pragma once

#include <bit>
#include <cstdint>
#include <initializer_list>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

inline Bytes F32(float value)
{
    const auto bits = std::bit_cast<std::uint32_t>(value);
    return {static_cast<std::uint8_t>(bits), static_cast<std::uint8_t>(bits >> 8),
            static_cast<std::uint8_t>(bits >> 16), static_cast<std::uint8_t>(bits >> 24)};
}

inline Bytes U32(std::uint32_t value)
{
    return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
            static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

inline Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// One chunk: u16 length, u8 tag, payload.
inline Bytes Chunk(std::uint8_t tag, const Bytes& payload)
{
    Bytes out{static_cast<std::uint8_t>(payload.size()), static_cast<std::uint8_t>(payload.size() >> 8), tag};
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

// A top-level list ended by the u16 0 terminator.
inline Bytes List(std::initializer_list<Bytes> chunks)
{
    Bytes out = Cat(chunks);
    out.push_back(0);
    out.push_back(0);
    return out;
}

inline double DoubleAt(const std::uint8_t* data, std::size_t index)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i) {
        bits = (bits << 8) | data[index * 8 + static_cast<std::size_t>(i)];
    }
    return std::bit_cast<double>(bits);
}
