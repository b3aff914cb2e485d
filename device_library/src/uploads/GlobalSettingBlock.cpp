// The global-setting upload block.
#include "device_library/src/uploads/GlobalSettingBlock.h"

#include <algorithm>

namespace QuarryDriver {

GlobalSettingBlock BuildGlobalSettingBlock(std::span<const std::uint8_t, kGlobalSettingInputSize> input) {
    GlobalSettingBlock block;
    block.fill(0xFF);
    std::copy_n(input.begin(), kGlobalSettingHeaderSize, block.begin());
    constexpr std::size_t recordAt = a210_map::kGlobalSettingRecordAddress - a210_map::kGlobalSettingAddress;
    std::copy(input.begin() + kGlobalSettingHeaderSize, input.end(), block.begin() + recordAt);
    return block;
}

WritePlan PlanGlobalSettingUpload(std::span<const std::uint8_t, kGlobalSettingInputSize> input) {
    const GlobalSettingBlock block = BuildGlobalSettingBlock(input);
    WritePlan plan;
    plan.AddWrite(kStepWriteById, a210_map::kGlobalSettingAddress, std::vector<std::uint8_t>(block.begin(), block.end()),
                  1);
    return plan;
}

}  // namespace QuarryDriver
