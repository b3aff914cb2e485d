// Turns the dirty items of a parameter write image into the amplifier's item buffers: encoded
// coefficients at the start, the editor's raw parameter bytes at the item's raw offset, 0xFF
// elsewhere; plus the per-channel change-flag blocks that tell the amplifier which items moved.
#ifndef QUARRY_UPLOADS_PARAM_UPLOAD_PLAN_H
#define QUARRY_UPLOADS_PARAM_UPLOAD_PLAN_H

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "device_library/src/models/ModelMemoryMap.h"
#include "device_library/src/models/WritePlan.h"
#include "device_library/src/uploads/ParamImageLayout.h"

namespace QuarryDriver {

struct ParamItemBuffer {
    unsigned channel = 0;
    unsigned item = 0;
    std::uint32_t stagingAddress = 0;  // also the id of a write by id
    std::vector<std::uint8_t> bytes;   // the item's size
};

using ChangeFlagBlock = std::array<std::uint8_t, a210_map::kChangeFlagBlockSize>;

struct ParamUploadPlan {
    // In sending order: items 2, 5, 1, 0, 6, 3, 4, each for its selected channels 0 to 3.
    std::vector<ParamItemBuffer> items;
    // One per channel: 0xFF with byte k = 1 for every item k built for that channel.
    std::array<ChangeFlagBlock, a210_map::kChannelCount> changeFlags{};
};

// The order items are built and sent in (the order of the dirty-mask bits).
inline constexpr std::array<unsigned, a210_map::kItemCount> kUploadItemOrder = {2, 5, 1, 0, 6, 3, 4};

ParamUploadPlan BuildParamUploadPlan(std::span<const std::uint8_t, param_image::kImageSize> image);

// The DSP parameter upload: every built item to its staging address ("WR_FLA"), then the four
// change-flag blocks, the last one ending the upload.
WritePlan PlanDspParamUpload(std::span<const std::uint8_t, param_image::kImageSize> image);

// The same items as writes by id (id = staging address), each ended with "CON"; no flags.
WritePlan PlanWriteByIdUpload(std::span<const std::uint8_t, param_image::kImageSize> image);

// Whether the image's dirty mask selects item `item` of `channel`.
bool ItemSelected(const ParamImageView& image, unsigned item, unsigned channel);

}  // namespace QuarryDriver

#endif
