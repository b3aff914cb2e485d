// The progress total the job engine itself adds up for a job's steps, recorded where the
// protocol adds each step's units, so tests compare with the engine and not with a copy.
#ifndef QUARRY_TESTS_DEVICE_MODELS_ENGINE_PROGRESS_H
#define QUARRY_TESTS_DEVICE_MODELS_ENGINE_PROGRESS_H

#include <atomic>
#include <cstdint>

#include "device_library/src/models/WritePlan.h"
#include "device_library/src/protocol/CBootProtocol.h"

namespace QuarryDriver::testing {

class TotalRecordingProtocol : public CBootProtocol {
public:
    using CBootProtocol::CBootProtocol;
    std::uint32_t LastTotal() const { return lastTotal_.load(); }

protected:
    int AddStepTotal(std::uint32_t type, const StepArgs& args, std::uint32_t& total) override
    {
        const int result = CBootProtocol::AddStepTotal(type, args, total);
        lastTotal_.store(total);
        return result;
    }

private:
    std::atomic<std::uint32_t> lastTotal_{0};
};

// The total of a job made of the plan's steps (nothing is run).
inline std::uint32_t EngineProgressTotal(const WritePlan& plan)
{
    TotalRecordingProtocol protocol(DeviceLocator("/nonexistent/progress"));
    const std::uint32_t job = protocol.CreateJob();
    for (const PlannedWrite& step : plan.steps) {
        const auto& data = plan.buffers.at(step.buffer);
        protocol.AddStep(job, step.type,
                         StepArgs::Write(step.address, static_cast<std::uint32_t>(data.size()), data.data(),
                                         step.lastSegment));
    }
    return protocol.LastTotal();
}

}  // namespace QuarryDriver::testing

#endif
