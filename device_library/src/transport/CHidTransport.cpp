// The job engine: job list, step list, the worker that runs one job against the device.
#include "device_library/src/transport/CHidTransport.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <thread>

#include "device_library/src/transport/BoundedLock.h"
#include "device_library/src/transport/LibraryWaits.h"
#include "device_library/src/transport/OpenDeviceList.h"
#include "device_library/src/transport/ThreadRegistry.h"

namespace QuarryDriver {

struct HidStep {
    std::uint32_t id = 0;
    std::uint32_t type = 0;
    StepArgs args;
};

struct HidJobRecord {
    std::uint32_t id = 0;
    ThreadHandle worker = nullptr;          // jobListLock_
    std::atomic<std::uint32_t> completed{1};
    std::atomic<std::uint32_t> success{1};
    std::atomic<std::uint32_t> started{0};
    std::atomic<std::uint32_t> cancel{0};
    std::uint32_t total = 0;                // jobListLock_; fixed while the job runs
    std::atomic<std::uint32_t> done{0};
    std::vector<HidStep> steps;             // jobListLock_; read by the worker while it runs
};

CHidTransport::CHidTransport(DeviceLocator locator)
    : locator_(std::move(locator)), devicePath_(locator_.LastKnownPath())
{
}

std::string CHidTransport::DevicePath() const
{
    std::lock_guard<std::mutex> guard(pathLock_);
    return devicePath_;
}

CHidTransport::~CHidTransport()
{
    StopAllJobs();
}

HidJobRecord* CHidTransport::FindJob(std::uint32_t jobId) const
{
    for (const auto& job : jobs_) {
        if (job->id == jobId) {
            return job.get();
        }
    }
    return nullptr;
}

std::uint32_t CHidTransport::CreateJob()
{
    BoundedLock guard(jobListLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    std::uint32_t id = 1;
    while (FindJob(id) != nullptr) {
        ++id;
    }
    try {
        auto job = std::make_unique<HidJobRecord>();
        job->id = id;
        jobs_.push_back(std::move(job));
    } catch (...) {
        return 0;
    }
    return id;
}

std::uint32_t CHidTransport::AddStep(std::uint32_t jobId, std::uint32_t type, const StepArgs& args)
{
    if (type >= kStepTypeCount || CheckStepType(type, args) == 0) {
        return 0;
    }
    BoundedLock guard(jobListLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    HidJobRecord* job = FindJob(jobId);
    if (job == nullptr || job->completed != 1) {
        return 0;
    }
    std::uint32_t stepId = 1;
    while (std::any_of(job->steps.begin(), job->steps.end(), [stepId](const HidStep& s) { return s.id == stepId; })) {
        ++stepId;
    }
    if (AddStepTotal(type, args, job->total) == 0) {
        return 0;
    }
    try {
        job->steps.push_back(HidStep{stepId, type, args});
    } catch (...) {
        SubtractStepTotal(type, args, job->total);
        return 0;
    }
    return stepId;
}

int CHidTransport::RunJob(std::uint32_t jobId)
{
    BoundedLock guard(jobListLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    HidJobRecord* job = FindJob(jobId);
    if (job == nullptr || job->completed != 1) {
        return 0;
    }
    if (!WaitAndDeleteThread(job->worker)) {
        return 0;
    }
    job->worker = nullptr;
    job->success = 1;
    job->started = 0;
    job->cancel = 0;
    job->done = 0;
    job->completed = 0;
    job->worker = StartThread([this, job] { RunWorker(job); });
    if (job->worker == nullptr) {
        job->success = 0;
        job->completed = 1;
        return 0;
    }
    while (job->started == 0) {
        std::this_thread::sleep_for(kPollInterval);
    }
    return 1;
}

int CHidTransport::CancelJob(std::uint32_t jobId)
{
    BoundedLock guard(jobListLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    HidJobRecord* job = FindJob(jobId);
    if (job == nullptr) {
        return 0;
    }
    job->cancel = 1;
    // Only the job that holds the device is stopped mid-exchange; a job still waiting for the
    // device sees its own flag, and must not stop the one ahead of it.
    if (runningJobId_ == jobId) {
        SetCancel();
        AbortDevice(DevicePath());
    }
    return 1;
}

int CHidTransport::JobCompleted(std::uint32_t jobId)
{
    BoundedLock guard(jobListLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    HidJobRecord* job = FindJob(jobId);
    if (job == nullptr) {
        return 0;
    }
    if (job->completed != 1) {
        return 0;
    }
    if (WaitAndDeleteThread(job->worker)) {
        job->worker = nullptr;
    }
    return 1;
}

int CHidTransport::JobSuccessful(std::uint32_t jobId)
{
    BoundedLock guard(jobListLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    const HidJobRecord* job = FindJob(jobId);
    return job != nullptr && job->success == 1 ? 1 : 0;
}

std::uint8_t CHidTransport::JobProgress(std::uint32_t jobId)
{
    BoundedLock guard(jobListLock_, kLockWait);
    if (!guard.OwnsLock()) {
        return 0;
    }
    const HidJobRecord* job = FindJob(jobId);
    if (job == nullptr || job->total == 0) {
        return 0;
    }
    const double percent = static_cast<double>(job->done.load()) * 100.0 / static_cast<double>(job->total);
    // More done than planned would be a protocol fault; it must not show as a wrapped figure.
    return static_cast<std::uint8_t>(std::min(percent, 100.0));
}

int CHidTransport::DeleteJob(std::uint32_t jobId)
{
    std::unique_ptr<HidJobRecord> owned;
    {
        BoundedLock guard(jobListLock_, kLockWait);
        if (!guard.OwnsLock()) {
            return 0;
        }
        auto it = std::find_if(jobs_.begin(), jobs_.end(), [jobId](const auto& job) { return job->id == jobId; });
        if (it == jobs_.end() || (*it)->completed != 1) {
            return 0;
        }
        owned = std::move(*it);
        jobs_.erase(it);
    }
    WaitAndDeleteThread(owned->worker);
    return 1;
}

int CHidTransport::IsPresent() const
{
    const std::optional<std::string> path = locator_.Resolve();
    return path && DevicePresent(*path) == 1 ? 1 : 0;
}

void CHidTransport::StopAllJobs()
{
    std::vector<std::unique_ptr<HidJobRecord>> stopping;
    {
        // Unbounded on purpose: the transport is going away and its workers must not outlive it.
        std::lock_guard<std::mutex> guard(jobListLock_);
        for (const auto& job : jobs_) {
            job->cancel = 1;
        }
        if (runningJobId_ != 0) {
            SetCancel();
            AbortDevice(DevicePath());
        }
        stopping.swap(jobs_);
    }
    for (const auto& job : stopping) {
        WaitAndDeleteThread(job->worker);
    }
}

void CHidTransport::AddProgress(std::uint32_t units)
{
    if (progressTarget_ != nullptr) {
        progressTarget_->fetch_add(units);
    }
}

void CHidTransport::RunWorker(HidJobRecord* job)
{
    job->started = 1;
    bool haveDevice = false;
    // Another job of this transport may hold the device; the wait ends with the job's cancel.
    while (job->cancel == 0) {
        if (deviceLock_.try_lock()) {
            haveDevice = true;
            break;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    bool opened = false;
    std::optional<std::string> path;
    if (haveDevice) {
        // The node is found anew for every job; a device that is not there fails the job.
        path = locator_.Resolve();
        if (path) {
            std::lock_guard<std::mutex> guard(pathLock_);
            devicePath_ = *path;
        }
        // Publish first, then clear, then look at the job's flag: a cancel racing with this
        // either is seen here or finds the job running and sets the protocol flag afterwards.
        runningJobId_ = job->id;
        ClearCancel();
        opened = path && job->cancel == 0 && OpenDevice(*path) == 1;
    }
    if (opened) {
        progressTarget_ = &job->done;
        for (const HidStep& step : job->steps) {
            if (RunStep(step.type, step.args) == 0) {
                job->success = 0;
                break;
            }
            if (job->cancel != 0) {
                break;
            }
        }
        progressTarget_ = nullptr;
        CloseDevice(*path);
    }
    if (!opened || job->cancel != 0) {
        job->success = 0;
    }
    if (haveDevice) {
        runningJobId_ = 0;
        deviceLock_.unlock();
    }
    job->completed = 1;
}

int CHidTransport::RunStep(std::uint32_t type, const StepArgs& a)
{
    switch (type) {
    case kStepHandshake: return HandshakeStep(a.out);
    case kStepIdentityTest: return IdentityTestStep(a.out);
    case kStepFlashRead: return FlashReadStep(a.address, a.length, a.buffer);
    case kStepMcuRead: return McuReadStep(a.address, a.length, a.buffer);
    case kStepFlashWrite: return FlashWriteStep(a.address, a.length, a.data, a.lastSegment);
    case kStepMcuWrite: return McuWriteStep(a.address, a.length, a.data, a.lastSegment);
    case kStepReset: return ResetStep();
    case kStepReadById: return ReadByIdStep(a.address, a.length, a.buffer);
    case kStepWriteById: return WriteByIdStep(a.address, a.length, a.data, a.lastSegment);
    case kStepCommand: return CommandStep(a.words[0], a.words[1], a.words[2]);
    default: return 0;
    }
}

// The bare transport speaks no protocol: every step and check answers 0.
int CHidTransport::HandshakeStep(std::uint32_t*) { return 0; }
int CHidTransport::IdentityTestStep(std::uint32_t*) { return 0; }
int CHidTransport::FlashReadStep(std::uint32_t, std::uint32_t, std::uint8_t*) { return 0; }
int CHidTransport::McuReadStep(std::uint32_t, std::uint32_t, std::uint8_t*) { return 0; }
int CHidTransport::FlashWriteStep(std::uint32_t, std::uint32_t, const std::uint8_t*, std::uint32_t) { return 0; }
int CHidTransport::McuWriteStep(std::uint32_t, std::uint32_t, const std::uint8_t*, std::uint32_t) { return 0; }
int CHidTransport::ResetStep() { return 0; }
int CHidTransport::ReadByIdStep(std::uint32_t, std::uint32_t, std::uint8_t*) { return 0; }
int CHidTransport::WriteByIdStep(std::uint32_t, std::uint32_t, const std::uint8_t*, std::uint32_t) { return 0; }
int CHidTransport::CommandStep(std::uint16_t, std::uint16_t, std::uint16_t) { return 0; }
int CHidTransport::CheckStepType(std::uint32_t, const StepArgs&) { return 0; }
int CHidTransport::AddStepTotal(std::uint32_t, const StepArgs&, std::uint32_t&) { return 0; }
int CHidTransport::SubtractStepTotal(std::uint32_t, const StepArgs&, std::uint32_t&) { return 0; }
void CHidTransport::ClearCancel() {}
void CHidTransport::SetCancel() {}

}  // namespace QuarryDriver
