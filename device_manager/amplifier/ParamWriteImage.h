// The 9000-byte image of every block's coefficient and parameter data with its 64-bit
// dirty mask: what the amplifier's pending block writes carry, and the input of the
// device library's parameter uploads. Little-endian; the mask is bytes 0-7.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "QuarryRecords.h"

namespace CobaltDeviceManager {

inline constexpr std::size_t kParamWriteImageSize = 9000;
inline constexpr std::int32_t kImageChannels = 4;

// The block types that carry data.
inline constexpr std::int32_t kBlockInputGain = 1;
inline constexpr std::int32_t kBlockInputEq = 2;
inline constexpr std::int32_t kBlockCrossover = 4;
inline constexpr std::int32_t kBlockSpeakerEq = 5;
inline constexpr std::int32_t kBlockDelay = 7;
inline constexpr std::int32_t kBlockOutputPolarity = 8;
inline constexpr std::int32_t kBlockMatrixMixer = 11;
inline constexpr std::int32_t kBlockLimiter = 12;

// The matrix mixer's mask bits in a write session's image, whatever the model.
inline constexpr std::uint64_t kAllMixerBits = 0xF00;

struct ImageArea {
    std::uint32_t offset = 0;
    std::uint32_t size = 0;
};

// Where one block type keeps its data: channel c's coefficient area starts at
// coefficientBase + c x coefficientStride (the matrix mixer has one block of each).
struct BlockLayout {
    std::uint32_t coefficientBase;
    std::uint32_t coefficientSize;
    std::uint32_t parameterBase;
    std::uint32_t parameterSize;
    bool perChannel;
};

// The layout of a block type, or nothing for a type that carries no data.
std::optional<BlockLayout> LayoutOfBlockType(std::int32_t blockType);

// The dirty bits of one block: none for type 1; for type 11 they follow the model's
// channel class (4: 0xF00, 3: 0x700, 2: 0x300, 1: 0x100, other: none).
std::uint64_t DirtyBitsOfBlock(std::int32_t blockType, std::int32_t channel, std::int32_t mixerChannelClass);

// The two areas that one dirty bit selects (what the library reads for it), or nothing
// for a bit that selects no block.
struct DirtyBitAreas {
    ImageArea coefficients;
    ImageArea parameters;
};
std::optional<DirtyBitAreas> AreasOfDirtyBit(int bit);

// The channel class of a model index: 2 for MV220 and MV220P, 4 for the others.
std::int32_t ChannelClassOfModel(std::int32_t model);

class ParamWriteImage {
public:
    ParamWriteImage();

    // Every byte zero.
    void Clear();

    std::uint64_t DirtyMask() const;
    void SetDirtyMask(std::uint64_t mask);

    // False, leaving the image untouched, for a type outside 1..12 or of 3, 6, 9, 10; a
    // channel outside 0..3 (any channel is fine for type 11, which has one block); a
    // coefficient size other than the type's area; or more parameter bytes than its area.
    // Otherwise copies both (shorter parameter data leave the rest of the area as it was)
    // and ORs `dirtyBits` into the mask.
    bool StoreBlock(std::int32_t blockType, std::int32_t channel, const std::uint8_t* coefficients,
                    std::uint32_t coefficientSize, const std::uint8_t* parameters, std::uint32_t parameterSize,
                    std::uint64_t dirtyBits);

    // Whether StoreBlock would take these arguments.
    static bool Accepts(std::int32_t blockType, std::int32_t channel, const std::uint8_t* coefficients,
                        std::uint32_t coefficientSize, const std::uint8_t* parameters, std::uint32_t parameterSize);

    // Copies the areas of `bit` from `source` and sets the bit.
    void CopyDirtyBlock(const ParamWriteImage& source, int bit);

    const std::uint8_t* Bytes() const { return m_bytes.data(); }
    std::uint8_t* Bytes() { return m_bytes.data(); }
    const QdoParamImage* AsLibraryImage() const;

private:
    std::array<std::uint8_t, kParamWriteImageSize> m_bytes;
};

static_assert(sizeof(QdoParamImage) == kParamWriteImageSize, "the library's image is the write image");

}  // namespace CobaltDeviceManager
