// Layout, size rules and mask of the parameter write image.
#include "device_manager/amplifier/ParamWriteImage.h"

#include <cstring>

namespace CobaltDeviceManager {
namespace {

constexpr std::uint32_t kMaskLowOffset = 0;
constexpr std::uint32_t kMaskHighOffset = 4;

}  // namespace

std::optional<BlockLayout> LayoutOfBlockType(std::int32_t blockType)
{
    switch (blockType) {
    case kBlockInputGain:
        return BlockLayout{8, 1, 12, 1, true};
    case kBlockInputEq:
        return BlockLayout{16, 360, 1456, 256, true};
    case kBlockMatrixMixer:
        return BlockLayout{2480, 128, 2608, 512, false};
    case kBlockCrossover:
        return BlockLayout{3120, 160, 3760, 256, true};
    case kBlockSpeakerEq:
        return BlockLayout{4784, 360, 6224, 256, true};
    case kBlockLimiter:
        return BlockLayout{7248, 48, 7440, 128, true};
    case kBlockDelay:
        return BlockLayout{7952, 4, 7968, 128, true};
    case kBlockOutputPolarity:
        return BlockLayout{8480, 1, 8484, 128, true};
    default:
        return std::nullopt;
    }
}

std::uint64_t DirtyBitsOfBlock(std::int32_t blockType, std::int32_t channel, std::int32_t mixerChannelClass)
{
    if (blockType == kBlockMatrixMixer) {
        switch (mixerChannelClass) {
        case 4:
            return 0xF00;
        case 3:
            return 0x700;
        case 2:
            return 0x300;
        case 1:
            return 0x100;
        default:
            return 0;
        }
    }
    if (channel < 0 || channel >= kImageChannels) {
        return 0;
    }
    const auto c = static_cast<unsigned>(channel);
    switch (blockType) {
    case kBlockInputEq:
        return 0x10ull << c;
    case kBlockCrossover:
        return 0x1000ull << c;
    case kBlockSpeakerEq:
        return 0x10000ull << c;
    case kBlockLimiter:
        return 0x100000ull << c;
    case kBlockDelay:
        return 0x1000000ull << c;
    case kBlockOutputPolarity:
        return 0x1ull << (32 + c);
    default:
        return 0;
    }
}

std::optional<DirtyBitAreas> AreasOfDirtyBit(int bit)
{
    if (bit < 4 || (bit >= 28 && bit < 32) || bit >= 36) {
        return std::nullopt;
    }
    if (bit >= 32) {
        const auto c = static_cast<std::uint32_t>(bit - 32);
        return DirtyBitAreas{{8480 + c, 1}, {8484 + 128 * c, 128}};
    }
    const int group = bit / 4;
    const auto c = static_cast<std::uint32_t>(bit % 4);
    // The library reads one quarter of the mixer's areas per bit: four gains and 128 bytes.
    if (group == 2) {
        return DirtyBitAreas{{2480 + 32 * c, 32}, {2608 + 128 * c, 128}};
    }
    static constexpr std::int32_t kTypeOfGroup[] = {0, kBlockInputEq, kBlockMatrixMixer, kBlockCrossover,
                                                    kBlockSpeakerEq, kBlockLimiter, kBlockDelay};
    const BlockLayout layout = *LayoutOfBlockType(kTypeOfGroup[group]);
    return DirtyBitAreas{{layout.coefficientBase + layout.coefficientSize * c, layout.coefficientSize},
                         {layout.parameterBase + layout.parameterSize * c, layout.parameterSize}};
}

std::int32_t ChannelClassOfModel(std::int32_t model)
{
    return (model == 0 || model == 1) ? 2 : 4;
}

ParamWriteImage::ParamWriteImage()
{
    Clear();
}

void ParamWriteImage::Clear()
{
    m_bytes.fill(0);
}

std::uint64_t ParamWriteImage::DirtyMask() const
{
    std::uint64_t mask = 0;
    for (int i = 7; i >= 0; --i) {
        mask = (mask << 8) | m_bytes[kMaskLowOffset + static_cast<std::size_t>(i)];
    }
    return mask;
}

void ParamWriteImage::SetDirtyMask(std::uint64_t mask)
{
    static_assert(kMaskHighOffset == kMaskLowOffset + 4, "the high word follows the low word");
    for (std::size_t i = 0; i < 8; ++i) {
        m_bytes[kMaskLowOffset + i] = static_cast<std::uint8_t>(mask >> (8 * i));
    }
}

bool ParamWriteImage::Accepts(std::int32_t blockType, std::int32_t channel, const std::uint8_t* coefficients,
                              std::uint32_t coefficientSize, const std::uint8_t* parameters,
                              std::uint32_t parameterSize)
{
    const std::optional<BlockLayout> layout = LayoutOfBlockType(blockType);
    if (!layout) {
        return false;
    }
    if (layout->perChannel && (channel < 0 || channel >= kImageChannels)) {
        return false;
    }
    if (coefficientSize != layout->coefficientSize || parameterSize > layout->parameterSize) {
        return false;
    }
    return coefficients != nullptr && (parameters != nullptr || parameterSize == 0);
}

bool ParamWriteImage::StoreBlock(std::int32_t blockType, std::int32_t channel, const std::uint8_t* coefficients,
                                 std::uint32_t coefficientSize, const std::uint8_t* parameters,
                                 std::uint32_t parameterSize, std::uint64_t dirtyBits)
{
    if (!Accepts(blockType, channel, coefficients, coefficientSize, parameters, parameterSize)) {
        return false;
    }
    const BlockLayout layout = *LayoutOfBlockType(blockType);
    const std::uint32_t c = layout.perChannel ? static_cast<std::uint32_t>(channel) : 0;
    std::memcpy(&m_bytes[layout.coefficientBase + c * layout.coefficientSize], coefficients, coefficientSize);
    if (parameterSize > 0) {
        std::memcpy(&m_bytes[layout.parameterBase + c * layout.parameterSize], parameters, parameterSize);
    }
    SetDirtyMask(DirtyMask() | dirtyBits);
    return true;
}

void ParamWriteImage::CopyDirtyBlock(const ParamWriteImage& source, int bit)
{
    const std::optional<DirtyBitAreas> areas = AreasOfDirtyBit(bit);
    if (!areas) {
        return;
    }
    for (const ImageArea& area : {areas->coefficients, areas->parameters}) {
        std::memcpy(&m_bytes[area.offset], &source.m_bytes[area.offset], area.size);
    }
    SetDirtyMask(DirtyMask() | (1ull << bit));
}

const QdoParamImage* ParamWriteImage::AsLibraryImage() const
{
    static_assert(alignof(QdoParamImage) == 1, "the library's image is plain bytes");
    return reinterpret_cast<const QdoParamImage*>(m_bytes.data());
}

}  // namespace CobaltDeviceManager
