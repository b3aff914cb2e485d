// Item buffers of the DSP parameter uploads.
#include "device_library/src/uploads/ParamUploadPlan.h"

#include <algorithm>
#include <cstring>

#include "device_library/src/uploads/FixedPointEncoder.h"

namespace QuarryDriver {

namespace {

namespace pi = param_image;

struct ItemSource {
    unsigned item;
    bool highMask;      // selected by mask B instead of mask A
    unsigned firstBit;  // bit of channel 0; channel c uses firstBit + c
    std::size_t rawBase;
    std::size_t rawStride;
};

constexpr std::array<ItemSource, a210_map::kItemCount> kSources = {{
    {0, false, 16, pi::kSpeakerEqRaw, pi::kSpeakerEqRawStride},
    {1, false, 12, pi::kCrossoverRaw, pi::kCrossoverRawStride},
    {2, false, 4, pi::kInputEqRaw, pi::kInputEqRawStride},
    {3, false, 24, pi::kDelayRaw, pi::kDelayRawStride},
    {4, true, 0, pi::kPolarityRaw, pi::kPolarityRawStride},
    {5, false, 8, pi::kMixerRaw, pi::kMixerRawStride},
    {6, false, 20, pi::kLimiterRaw, pi::kLimiterRawStride},
}};

void EncodeSections(const ParamImageView& image, std::size_t base, std::size_t count, std::uint8_t* out) {
    for (std::size_t s = 0; s < count; ++s) {
        const std::size_t at = base + s * pi::kSectionDoubles * pi::kDoubleSize;
        EncodeSection(image.Double(at), image.Double(at + 8), image.Double(at + 16), image.Double(at + 24),
                      image.Double(at + 32),
                      std::span<std::uint8_t, kSectionEncodedSize>(out + s * kSectionEncodedSize,
                                                                   kSectionEncodedSize));
    }
}

// Writes the item's encoded coefficients at the start of `out` (at least 180 bytes long).
void EncodeItem(const ParamImageView& image, unsigned item, unsigned c, std::uint8_t* out) {
    switch (item) {
    case 0:
        EncodeSections(image, pi::kSpeakerEqSections + c * pi::kSpeakerEqSectionsStride, pi::kEqSectionCount, out);
        break;
    case 1:
        EncodeSections(image, pi::kCrossoverSections + c * pi::kCrossoverSectionsStride,
                       pi::kCrossoverSectionCount, out);
        break;
    case 2:
        EncodeSections(image, pi::kInputEqSections + c * pi::kInputEqSectionsStride, pi::kEqSectionCount, out);
        break;
    case 3: {
        const std::uint32_t word = image.Word(pi::kDelayValue + c * pi::kDelayValueStride);
        out[0] = static_cast<std::uint8_t>(word >> 24);
        out[1] = static_cast<std::uint8_t>(word >> 16);
        out[2] = static_cast<std::uint8_t>(word >> 8);
        out[3] = static_cast<std::uint8_t>(word);
        break;
    }
    case 4:
        out[0] = out[1] = out[2] = 0;
        out[3] = image.Byte(pi::kPolarityFlag + c * pi::kPolarityFlagStride) == 1 ? 1 : 0;
        break;
    case 5: {
        const std::size_t at = pi::kMixerGains + c * pi::kMixerGainsStride;
        EncodeGains(image.Double(at), image.Double(at + 8), image.Double(at + 16), image.Double(at + 24),
                    std::span<std::uint8_t, kGainsEncodedSize>(out, kGainsEncodedSize));
        break;
    }
    case 6: {
        const std::size_t at = pi::kLimiterScalars + c * pi::kLimiterScalarsStride;
        double values[kSixScalarCount];
        for (std::size_t i = 0; i < kSixScalarCount; ++i) {
            values[i] = image.Double(at + i * pi::kDoubleSize);
        }
        EncodeSixScalars(values, std::span<std::uint8_t, kSixScalarsEncodedSize>(out, kSixScalarsEncodedSize));
        break;
    }
    default:
        break;
    }
}

}  // namespace

bool ItemSelected(const ParamImageView& image, unsigned item, unsigned channel) {
    if (item >= a210_map::kItemCount || channel >= a210_map::kChannelCount) {
        return false;
    }
    const ItemSource& source = kSources[item];
    const std::uint32_t mask = source.highMask ? image.MaskHigh() : image.MaskLow();
    return ((mask >> (source.firstBit + channel)) & 1u) != 0;
}

ParamUploadPlan BuildParamUploadPlan(std::span<const std::uint8_t, param_image::kImageSize> bytes) {
    const ParamImageView image(bytes);
    ParamUploadPlan plan;
    for (auto& flags : plan.changeFlags) {
        flags.fill(0xFF);
    }
    for (unsigned item : kUploadItemOrder) {
        const a210_map::ParamItemLayout& layout = a210_map::kParamItems[item];
        const ItemSource& source = kSources[item];
        for (unsigned c = 0; c < a210_map::kChannelCount; ++c) {
            if (!ItemSelected(image, item, c)) {
                continue;
            }
            ParamItemBuffer buffer;
            buffer.channel = c;
            buffer.item = item;
            buffer.stagingAddress = a210_map::StagingAddress(c, item);
            buffer.bytes.assign(layout.size, 0xFF);
            EncodeItem(image, item, c, buffer.bytes.data());
            const auto raw = image.Bytes(source.rawBase + c * source.rawStride, layout.rawSize);
            std::copy(raw.begin(), raw.end(), buffer.bytes.begin() + layout.rawOffset);
            plan.changeFlags[c][item] = 1;
            plan.items.push_back(std::move(buffer));
        }
    }
    return plan;
}

WritePlan PlanDspParamUpload(std::span<const std::uint8_t, param_image::kImageSize> image) {
    ParamUploadPlan items = BuildParamUploadPlan(image);
    WritePlan plan;
    for (ParamItemBuffer& item : items.items) {
        plan.AddWrite(kStepFlashWrite, item.stagingAddress, std::move(item.bytes), 0);
    }
    // Every channel's change-flag block goes last, changed or not: the amplifier takes the staged
    // items into its live banks only when it sees the flags, so a failed item write leaves the
    // banks untouched.
    for (unsigned c = 0; c < a210_map::kChannelCount; ++c) {
        const ChangeFlagBlock& flags = items.changeFlags[c];
        plan.AddWrite(kStepFlashWrite, a210_map::ChangeFlagAddress(c),
                      std::vector<std::uint8_t>(flags.begin(), flags.end()), c + 1 == a210_map::kChannelCount ? 1 : 0);
    }
    return plan;
}

WritePlan PlanWriteByIdUpload(std::span<const std::uint8_t, param_image::kImageSize> image) {
    ParamUploadPlan items = BuildParamUploadPlan(image);
    WritePlan plan;
    for (ParamItemBuffer& item : items.items) {
        plan.AddWrite(kStepWriteById, item.stagingAddress, std::move(item.bytes), 0);
    }
    return plan;
}

}  // namespace QuarryDriver
