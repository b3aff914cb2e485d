// The connected amplifier: one object per device, whose class is chosen by the USB product id.
// Every operation becomes one job of protocol steps on the device's transport; the device keeps
// one current job and deletes it (with its buffers) before it builds the next. Operations return
// 1 when their job is running and 0 when they refuse or the job cannot be built or started.
//
// Threads: job-building operations and the Copy slots are called by one operation worker at a
// time; Cancel, IsCompleted, IsSuccessful and Progress may come from any thread. deviceLock_
// guards the current job id and the buffer list while a job is built or dropped.
#ifndef QUARRY_MODELS_CDEVICE_BASE_H
#define QUARRY_MODELS_CDEVICE_BASE_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "device_library/include/QuarryRecords.h"
#include "device_library/src/models/FirmwareImage.h"
#include "device_library/src/models/JobBuffers.h"
#include "device_library/src/models/WritePlan.h"
#include "device_library/src/protocol/CBootProtocol.h"

namespace QuarryDriver {

// The steps of a job being built: adds them to the transport and keeps their data alive in the
// device's buffer list. A failed add is remembered and fails the whole build.
class JobSteps {
public:
    JobSteps(CHidTransport& transport, std::uint32_t jobId, JobBuffers& buffers)
        : transport_(transport), jobId_(jobId), buffers_(buffers) {}

    void Add(std::uint32_t type, const StepArgs& args) {
        if (ok_ && transport_.AddStep(jobId_, type, args) == 0) {
            ok_ = false;
        }
    }
    void Read(std::uint32_t type, std::uint32_t address, std::uint32_t length, std::uint8_t* buffer) {
        Add(type, StepArgs::Read(address, length, buffer));
    }
    // Moves the plan's buffers into the buffer list and adds its steps in order.
    void AddPlan(WritePlan&& plan);
    bool Ok() const { return ok_; }

private:
    CHidTransport& transport_;
    std::uint32_t jobId_;
    JobBuffers& buffers_;
    bool ok_ = true;
};

// Where the models differ in their basic-information job.
struct BasicInfoLayout {
    std::uint32_t modelCodeAddress = 0;  // flash address of the model code byte
    bool hasFourthText = false;          // the text block at 0x55000 (the A200 keeps its model code there)
};

class CDeviceBase {
public:
    CDeviceBase(std::unique_ptr<CBootProtocol> transport, const BasicInfoLayout& layout);
    virtual ~CDeviceBase();
    CDeviceBase(const CDeviceBase&) = delete;
    CDeviceBase& operator=(const CDeviceBase&) = delete;

    virtual int UpgradeFirmware(const char* path) = 0;
    virtual int UpgradeGlobalSetting(const std::uint8_t* input);  // 2050 bytes
    virtual int UpgradeDSPParam(const std::uint8_t* image);        // 9000 bytes
    int Reset();
    int ReadBasicInfo();
    virtual int ReadGlobalSettingInfo();
    virtual int ReadGlobalSettingInfoFromMCU();
    virtual int ReadDspParamInfo();
    virtual int ReadDspParamInfoFromMCU();
    virtual int ReadHwInfo();
    // Raw reads write straight into the caller's buffer while the job runs; it must hold
    // `length` bytes and stay valid until the job has completed.
    int ReadMCU(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer);
    int ReadFlash(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer);
    virtual int ReadMCUbyID(std::uint32_t id, std::uint32_t length, std::uint8_t* buffer);
    virtual int WriteMCUbyID(const std::uint8_t* image);  // 9000 bytes
    virtual int SendCommand(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3);
    // The connection handshake; *outFlag is set to 1 by the job when the device took it, and
    // must stay valid until the job has completed.
    int Connect(std::uint32_t* outFlag);

    // Forwarded to the current job. Without a job the device counts as completed and not
    // successful, so a device whose job could not be built can still be released.
    int Cancel();
    int IsCompleted();
    int IsSuccessful();
    std::uint8_t Progress();

    // Hand out the results of the last successful read; a model without the record does nothing.
    void CopyBasicInfo(BasicInfo* out);
    virtual void CopyGlobalSetting(GlobalSettingRecord* out);
    virtual void CopyGlobalSettingFromMCU(GlobalSettingRecord* out);
    virtual void CopyDspParamInfo(DspParamInfo* out);
    virtual void CopyDspParamInfoFromMCU(DspParamInfo* out);
    virtual void CopyHwInfo(HwInfoRecord* out);

    int IsPresent() const;
    // The node of the device's running or last job.
    std::string DevicePath() const;

protected:
    // The job pattern every operation follows: refuse while the current job runs, drop it and its
    // buffers, create a job, let `build` add its steps, run it. 1 when running; on any failure
    // the new job and its buffers are dropped and 0 returned.
    // Nothing thrown while building (an allocation failing) leaves the device: it becomes 0.
    int StartJob(const std::function<void(JobSteps&)>& build);
    // Builds the plan, then starts it as a job; 0 when building fails or gives no plan.
    int StartWritePlan(const std::function<std::optional<WritePlan>()>& makePlan);
    // One raw read of `type` when [address, address + length) lies inside a memory of `limit`
    // bytes; 0 without a job otherwise.
    int StartBoundedRead(std::uint32_t type, std::uint32_t address, std::uint32_t length, std::uint8_t* buffer,
                         std::uint64_t limit);
    // The firmware job of a model: reads the file, lets `plan` build the steps and starts them.
    int StartFirmwareJob(const char* path, WritePlan (*plan)(const FirmwareImage&));

    // Deletes the transport, which stops any job still running. Models call it first in their
    // destructors so no job writes into result buffers that are being destroyed.
    void DestroyTransport();

private:
    void DropJobLocked();

    std::unique_ptr<CBootProtocol> transport_;
    const BasicInfoLayout basicLayout_;
    BasicInfo basicInfo_{};      // written by the basic-information job, read by CopyBasicInfo after success
    std::uint8_t flagByte_ = 0;  // flash 0x50000, read by the same job
    // A plain mutex taken by polling try_lock: bounded like a timed wait, and visible to the
    // thread sanitizer, which does not follow std::timed_mutex's clock-based waits.
    std::mutex deviceLock_;
    JobBuffers buffers_;                        // guarded by deviceLock_
    std::atomic<std::uint32_t> currentJob_{0};  // written under deviceLock_; 0 = none
};

}  // namespace QuarryDriver

#endif
