// Runs jobs of protocol steps to completion for the protocol tests.
#ifndef TESTS_DEVICE_PROTOCOL_JOB_RUNNER_H
#define TESTS_DEVICE_PROTOCOL_JOB_RUNNER_H

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "device_library/src/protocol/CBootProtocol.h"
#include "tests/support/UniformTiming.h"

namespace testing_support {

struct JobStep {
    std::uint32_t type;
    QuarryDriver::StepArgs args;
};

struct JobOutcome {
    bool added = false;
    bool success = false;
    int progress = 0;
    std::chrono::steady_clock::duration took{};
};

inline JobOutcome RunJobOf(QuarryDriver::CHidTransport& transport, const std::vector<JobStep>& steps)
{
    JobOutcome outcome;
    const std::uint32_t job = transport.CreateJob();
    if (job == 0) {
        return outcome;
    }
    for (const JobStep& step : steps) {
        if (transport.AddStep(job, step.type, step.args) == 0) {
            transport.DeleteJob(job);
            return outcome;
        }
    }
    outcome.added = true;
    const auto start = std::chrono::steady_clock::now();
    if (transport.RunJob(job) == 1) {
        const auto giveUp = start + std::chrono::seconds(60);
        while (transport.JobCompleted(job) == 0 && std::chrono::steady_clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        outcome.took = std::chrono::steady_clock::now() - start;
        outcome.success = transport.JobSuccessful(job) == 1;
        outcome.progress = transport.JobProgress(job);
    }
    transport.DeleteJob(job);
    return outcome;
}

inline QuarryDriver::ProtocolTiming TestTiming()
{
    return UniformTiming(300, 50);
}

}  // namespace testing_support

#endif
