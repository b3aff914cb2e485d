// Ids of the block kinds and of the amplifier models, shared by the block records,
// the controllers, the document and the device manager.
#pragma once

#include <cstdint>

// Kinds of diagram block. The ids 3, 6, 9 and 10 are drawn only and carry no settings;
// a record may hold any other value read from a diagram file.
enum class BlockType : std::int32_t {
    None = 0,
    InputGain = 1,
    InputEQ = 2,
    Crossover = 4,
    SpeakerEQ = 5,
    Delay = 7,
    OutputGain = 8,  // output gain and polarity
    StdMixer = 11,   // 4 x 4 matrix mixer
    Limiter = 12,
};

// Amplifier models; the same numbering serves designs and connected amplifiers.
enum class ModelType : std::int32_t {
    MV220 = 0,
    MV220P = 1,
    MV440 = 2,
    MV440A = 3,
    MV340A = 4,
    Unknown = 5,  // unknown or absent model
};

// Channel indexes of the per-block tables run from 0 to kMaxChannels - 1.
inline constexpr std::int32_t kMaxChannels = 4;
