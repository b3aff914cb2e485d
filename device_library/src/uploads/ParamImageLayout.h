// The byte layout of the editor's 9000-byte parameter write image as the uploads read it, and a
// bounds-checked view over one image. The image's owner (the device manager) keeps its own
// copy of this layout; both follow the same record.
#ifndef QUARRY_UPLOADS_PARAM_IMAGE_LAYOUT_H
#define QUARRY_UPLOADS_PARAM_IMAGE_LAYOUT_H

#include <cstddef>
#include <cstdint>
#include <span>

namespace QuarryDriver {

namespace param_image {

inline constexpr std::size_t kImageSize = 9000;

inline constexpr std::size_t kMaskLowOffset = 0;   // mask A: bits 4-27 select items
inline constexpr std::size_t kMaskHighOffset = 4;  // mask B: bits 0-3 select item 4 (polarity)

// Per channel c: area offset = base + c * stride.
inline constexpr std::size_t kInputEqSections = 16, kInputEqSectionsStride = 360;     // item 2
inline constexpr std::size_t kInputEqRaw = 1456, kInputEqRawStride = 256;
inline constexpr std::size_t kMixerGains = 2480, kMixerGainsStride = 32;              // item 5
inline constexpr std::size_t kMixerRaw = 2608, kMixerRawStride = 128;
inline constexpr std::size_t kCrossoverSections = 3120, kCrossoverSectionsStride = 160;  // item 1
inline constexpr std::size_t kCrossoverRaw = 3760, kCrossoverRawStride = 256;
inline constexpr std::size_t kSpeakerEqSections = 4784, kSpeakerEqSectionsStride = 360;  // item 0
inline constexpr std::size_t kSpeakerEqRaw = 6224, kSpeakerEqRawStride = 256;
inline constexpr std::size_t kLimiterScalars = 7248, kLimiterScalarsStride = 48;      // item 6
inline constexpr std::size_t kLimiterRaw = 7440, kLimiterRawStride = 128;
inline constexpr std::size_t kDelayValue = 7952, kDelayValueStride = 4;               // item 3
inline constexpr std::size_t kDelayRaw = 7968, kDelayRawStride = 128;
inline constexpr std::size_t kPolarityFlag = 8480, kPolarityFlagStride = 1;          // item 4
inline constexpr std::size_t kPolarityRaw = 8484, kPolarityRawStride = 128;

inline constexpr std::size_t kEqSectionCount = 9;
inline constexpr std::size_t kCrossoverSectionCount = 4;
inline constexpr std::size_t kDoubleSize = 8;
inline constexpr std::size_t kSectionDoubles = 5;

}  // namespace param_image

// Read access to one image. Every accessor checks its range against the image size, so a
// layout mistake shows as a refused read, never as bytes from beyond the image.
class ParamImageView {
public:
    explicit ParamImageView(std::span<const std::uint8_t, param_image::kImageSize> bytes) : bytes_(bytes) {}

    std::uint32_t MaskLow() const { return Word(param_image::kMaskLowOffset); }
    std::uint32_t MaskHigh() const { return Word(param_image::kMaskHighOffset); }

    // Little-endian 32-bit word and IEEE double at a byte offset; 0 when out of range.
    std::uint32_t Word(std::size_t offset) const;
    double Double(std::size_t offset) const;
    std::uint8_t Byte(std::size_t offset) const;
    // `length` bytes from `offset`, or an empty span when they do not all lie inside.
    std::span<const std::uint8_t> Bytes(std::size_t offset, std::size_t length) const;

private:
    std::span<const std::uint8_t, param_image::kImageSize> bytes_;
};

}  // namespace QuarryDriver

#endif
