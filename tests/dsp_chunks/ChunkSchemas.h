// Small encoders and decoders in the shapes the codec's users write: a crossover-like block
// blob (nested u8-tag chunks), a settings-like list (u16 tags with sub-chunks) and a
// project-like file (u32 root chunk with records holding a blob child).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/base/ByteStream.h"

namespace chunk_test {

using Bytes = std::vector<std::uint8_t>;

// Block blob: top-level 0xF0 chunks {u8 index, nested 0xE1 {u8 type, f32 frequency}}.
struct CrossoverFilter {
    std::uint8_t type = 0;
    float frequency = 0.0f;
    bool seen = false;
};
struct Crossover {
    CrossoverFilter filters[2];
};
// Writes into a fixed 256-byte buffer through the in-place stream; empty on failure.
Bytes EncodeCrossover(const Crossover& crossover);
// Reads through the in-place read stream over exactly `blob`.
bool DecodeCrossover(const Bytes& blob, Crossover& out);
// The same over any stream (growable memory, file).
bool DecodeCrossover(platform::ByteStream* stream, Crossover& out);

// Settings list: 0x5E70 {0xFF00 u32 style, 0xFF01 four u32}, 0x5E71 u32 value, end marker.
struct Settings {
    std::uint32_t style = 0;
    std::uint32_t rect[4] = {};
    std::uint32_t value = 0;
    bool sawFrame = false;
    bool sawValue = false;
};
bool EncodeSettings(platform::ByteStream* stream, const Settings& settings);
bool DecodeSettings(platform::ByteStream* stream, Settings& out);

// Project: root 0x76ffffff {0x76000001 u32 version, 0x76000002 u32 model,
// 0x76000004 {u32 type, u32 channel, u32 stage, 0x76000100 blob}..., 0x76000005 u8}, then u32 0.
struct BlockRecord {
    std::uint32_t type = 0;
    std::uint32_t channel = 0;
    std::uint32_t stage = 0;
    Bytes blob;
};
struct Project {
    std::uint32_t version = 1;
    std::uint32_t model = 0;
    std::vector<BlockRecord> blocks;
    std::uint8_t polarity = 0;
};
bool EncodeProject(platform::ByteStream* stream, const Project& project);
bool DecodeProject(platform::ByteStream* stream, Project& out);

// Walks every chunk of a block blob, treating tags 0xF0..0xFF as holders of a u8 and a
// nested list and reading about half of every other payload. Checks, as it goes, that each
// closed chunk left the stream exactly at its end; `consistent` turns false otherwise.
bool WalkBlockBlob(const Bytes& blob, bool& consistent);

}  // namespace chunk_test
