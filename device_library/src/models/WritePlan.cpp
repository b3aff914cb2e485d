// Progress units of a write plan, counted as the job engine counts them.
#include "device_library/src/models/WritePlan.h"

#include <algorithm>

namespace QuarryDriver {

std::uint64_t PlannedProgressUnits(const WritePlan& plan) {
    std::uint64_t units = 0;
    for (const PlannedWrite& step : plan.steps) {
        if (step.buffer >= plan.buffers.size()) {
            continue;
        }
        const std::vector<std::uint8_t>& data = plan.buffers[step.buffer];
        if (step.type == kStepWriteById) {
            units += data.size();
            continue;
        }
        for (std::size_t at = 0; at + kWriteBlockSize <= data.size(); at += kWriteBlockSize) {
            const auto begin = data.begin() + static_cast<std::ptrdiff_t>(at);
            if (!std::all_of(begin, begin + kWriteBlockSize, [](std::uint8_t b) { return b == 0xFF; })) {
                units += kWriteBlockSize;
            }
        }
    }
    return units;
}

}  // namespace QuarryDriver
