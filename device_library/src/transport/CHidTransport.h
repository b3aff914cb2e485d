// One HID device and its jobs: ordered lists of typed steps, each job run by a worker thread
// of its own, one job at a time per device. Each job finds the device's node anew through the
// transport's locator. See HidJob.h for how a model uses it.
//
// Locks: jobListLock_ guards jobs_ and every job's step list and total; it is never held while
// waiting for deviceLock_. deviceLock_ is held by a job's worker for its whole run.
// Lock order: jobListLock_ or deviceLock_ first, then the thread registry's or the open-device
// list's lock; nothing holding one of those two waits for a transport lock.
#ifndef QUARRY_DRIVER_CHID_TRANSPORT_H
#define QUARRY_DRIVER_CHID_TRANSPORT_H

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device_library/src/transport/DeviceLocator.h"
#include "device_library/src/transport/HidJob.h"

namespace QuarryDriver {

struct HidJobRecord;

class CHidTransport {
public:
    explicit CHidTransport(DeviceLocator locator);
    virtual ~CHidTransport();
    CHidTransport(const CHidTransport&) = delete;
    CHidTransport& operator=(const CHidTransport&) = delete;

    // A new job with the smallest free id from 1; 0 on a lock time-out.
    std::uint32_t CreateJob();
    // Appends a step; returns its id (from 1), or 0 when the type is above 9, the arguments
    // are unfit for the type (a write whose length is not a multiple of 256 or whose data is
    // null), the job is unknown or running, or the lock times out.
    std::uint32_t AddStep(std::uint32_t jobId, std::uint32_t type, const StepArgs& args);
    // Starts the job's worker; 1 started, 0 unknown, running, or no thread.
    int RunJob(std::uint32_t jobId);
    // Asks the job to stop at the next exchange and ends the report wait in flight. 1 / 0.
    int CancelJob(std::uint32_t jobId);
    // 1 when the job is not running (a finished worker is joined first); 0 while it runs,
    // for an unknown id or on a lock time-out.
    int JobCompleted(std::uint32_t jobId);
    // The success flag of the job's last run (1 before any run); 0 for an unknown id.
    int JobSuccessful(std::uint32_t jobId);
    // done x 100 / total, truncated; 0 when the total is 0 or the id is unknown.
    std::uint8_t JobProgress(std::uint32_t jobId);
    // Deletes a job that is not running; 1 / 0.
    int DeleteJob(std::uint32_t jobId);

    // The node of the running job, or of the last one (at first, the node the locator knows).
    std::string DevicePath() const;
    // 1 while the device is present where the locator finds it.
    int IsPresent() const;

protected:
    // Step slots, called on the job's worker with the device open. 1 = the step succeeded.
    // This base answers 0 to all of them.
    virtual int HandshakeStep(std::uint32_t* outFlag);
    virtual int IdentityTestStep(std::uint32_t* outValue);
    virtual int FlashReadStep(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer);
    virtual int McuReadStep(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer);
    virtual int FlashWriteStep(std::uint32_t address, std::uint32_t length, const std::uint8_t* data,
                               std::uint32_t lastSegment);
    virtual int McuWriteStep(std::uint32_t address, std::uint32_t length, const std::uint8_t* data,
                             std::uint32_t lastSegment);
    virtual int ResetStep();
    virtual int ReadByIdStep(std::uint32_t id, std::uint32_t length, std::uint8_t* buffer);
    virtual int WriteByIdStep(std::uint32_t id, std::uint32_t length, const std::uint8_t* data,
                              std::uint32_t lastSegment);
    virtual int CommandStep(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3);

    // 1 when a step of this type with these arguments may be added.
    virtual int CheckStepType(std::uint32_t type, const StepArgs& args);
    // Adds (subtracts) the step's progress units to (from) total; 1 / 0 (0 on overflow).
    virtual int AddStepTotal(std::uint32_t type, const StepArgs& args, std::uint32_t& total);
    virtual int SubtractStepTotal(std::uint32_t type, const StepArgs& args, std::uint32_t& total);
    // The protocol's stop request: cleared when a job is started, set by CancelJob.
    virtual void ClearCancel();
    virtual void SetCancel();

    // Adds units to the running job's done counter; for step code on the worker only.
    void AddProgress(std::uint32_t units);

    // Cancels every job and waits for its worker. A derived class calls it first in its
    // destructor, so no worker runs a step slot of a half-destroyed object.
    void StopAllJobs();

private:
    void RunWorker(HidJobRecord* job);
    int RunStep(std::uint32_t type, const StepArgs& args);
    HidJobRecord* FindJob(std::uint32_t jobId) const;  // under jobListLock_

    const DeviceLocator locator_;
    mutable std::mutex pathLock_;
    std::string devicePath_;  // guarded by pathLock_; written by a worker before it opens the node
    std::vector<std::unique_ptr<HidJobRecord>> jobs_;  // guarded by jobListLock_, creation order
    mutable std::mutex jobListLock_;
    std::mutex deviceLock_;                             // held by a worker for its whole job
    std::atomic<std::uint32_t>* progressTarget_ = nullptr;  // worker thread only
    std::atomic<std::uint32_t> runningJobId_{0};            // the job holding deviceLock_, 0 = none
};

}  // namespace QuarryDriver

#endif
