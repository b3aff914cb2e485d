// The device base: the job pattern shared by every operation and the forwarding slots.
#include "device_library/src/models/CDeviceBase.h"

#include <chrono>
#include <cstring>

#include "device_library/src/models/MemoryBounds.h"
#include "device_library/src/models/ModelMemoryMap.h"
#include "device_library/src/transport/BoundedLock.h"
#include "device_library/src/transport/LibraryWaits.h"

namespace QuarryDriver {

namespace mm = memory_map;

void JobSteps::AddPlan(WritePlan&& plan) {
    struct Kept {
        const std::uint8_t* data;
        std::uint32_t length;
    };
    std::vector<Kept> kept;
    kept.reserve(plan.buffers.size());
    for (auto& bytes : plan.buffers) {
        const auto length = static_cast<std::uint32_t>(bytes.size());
        kept.push_back({buffers_.Keep(std::move(bytes)), length});
    }
    for (const PlannedWrite& step : plan.steps) {
        if (step.buffer < kept.size()) {
            const Kept& k = kept[step.buffer];
            Add(step.type, StepArgs::Write(step.address, k.length, k.data, step.lastSegment));
        } else {
            ok_ = false;
        }
    }
}

CDeviceBase::CDeviceBase(std::unique_ptr<CBootProtocol> transport, const BasicInfoLayout& layout)
    : transport_(std::move(transport)), basicLayout_(layout) {}

CDeviceBase::~CDeviceBase() {
    DestroyTransport();
}

void CDeviceBase::DestroyTransport() {
    // Deleting the transport cancels and joins its jobs before the buffers they use go away.
    transport_.reset();
    currentJob_.store(0);
}

int CDeviceBase::StartJob(const std::function<void(JobSteps&)>& build) {
    if (!transport_) {
        return 0;
    }
    BoundedLock lock(deviceLock_, kLockWait);
    if (!lock.OwnsLock()) {
        return 0;
    }
    const std::uint32_t previous = currentJob_.load();
    if (previous != 0 && transport_->JobCompleted(previous) == 0) {
        return 0;
    }
    DropJobLocked();
    const std::uint32_t job = transport_->CreateJob();
    if (job == 0) {
        return 0;
    }
    currentJob_.store(job);
    bool built = false;
    try {
        JobSteps steps(*transport_, job, buffers_);
        build(steps);
        built = steps.Ok();
    } catch (...) {
        built = false;
    }
    if (!built || transport_->RunJob(job) == 0) {
        DropJobLocked();
        return 0;
    }
    return 1;
}

int CDeviceBase::StartWritePlan(const std::function<std::optional<WritePlan>()>& makePlan) {
    std::optional<WritePlan> plan;
    try {
        plan = makePlan();
    } catch (...) {
        return 0;
    }
    if (!plan) {
        return 0;
    }
    return StartJob([&plan](JobSteps& steps) { steps.AddPlan(std::move(*plan)); });
}

int CDeviceBase::StartBoundedRead(std::uint32_t type, std::uint32_t address, std::uint32_t length,
                                  std::uint8_t* buffer, std::uint64_t limit) {
    if (!RangeWithin(address, length, limit)) {
        return 0;
    }
    return StartJob([&](JobSteps& steps) { steps.Read(type, address, length, buffer); });
}

int CDeviceBase::StartFirmwareJob(const char* path, WritePlan (*plan)(const FirmwareImage&)) {
    if (path == nullptr) {
        return 0;
    }
    // The file is read and checked before the current job is touched, so a bad file sends nothing.
    return StartWritePlan([path, plan]() -> std::optional<WritePlan> {
        FirmwareImage image;
        if (image.Load(path) != FirmwareImage::LoadResult::Loaded) {
            return std::nullopt;
        }
        return plan(image);
    });
}

void CDeviceBase::DropJobLocked() {
    const std::uint32_t job = currentJob_.exchange(0);
    if (job != 0) {
        transport_->DeleteJob(job);
    }
    buffers_.Clear();
}

int CDeviceBase::Cancel() {
    const std::uint32_t job = currentJob_.load();
    return job != 0 && transport_ ? transport_->CancelJob(job) : 0;
}

int CDeviceBase::IsCompleted() {
    const std::uint32_t job = currentJob_.load();
    return job != 0 && transport_ ? transport_->JobCompleted(job) : 1;
}

int CDeviceBase::IsSuccessful() {
    const std::uint32_t job = currentJob_.load();
    return job != 0 && transport_ ? transport_->JobSuccessful(job) : 0;
}

std::uint8_t CDeviceBase::Progress() {
    const std::uint32_t job = currentJob_.load();
    return job != 0 && transport_ ? transport_->JobProgress(job) : 0;
}

int CDeviceBase::IsPresent() const {
    return transport_ ? transport_->IsPresent() : 0;
}

std::string CDeviceBase::DevicePath() const {
    return transport_ ? transport_->DevicePath() : std::string();
}

int CDeviceBase::Connect(std::uint32_t* outFlag) {
    if (outFlag == nullptr) {
        return 0;
    }
    return StartJob([outFlag](JobSteps& steps) { steps.Add(kStepHandshake, StepArgs::Out(outFlag)); });
}

int CDeviceBase::Reset() {
    return StartJob([](JobSteps& steps) { steps.Add(kStepReset, StepArgs::None()); });
}

int CDeviceBase::ReadBasicInfo() {
    return StartJob([this](JobSteps& steps) {
        steps.Read(kStepFlashRead, basicLayout_.modelCodeAddress, 1, &basicInfo_.modelCode);
        steps.Add(kStepIdentityTest, StepArgs::Out(&basicInfo_.runningBootLoader));
        steps.Read(kStepFlashRead, mm::kFlagByteAddress, 1, &flagByte_);
        steps.Read(kStepFlashRead, mm::kTextBlock1Address, mm::kTextSize, basicInfo_.text52000);
        steps.Read(kStepFlashRead, mm::kTextBlock3Address, mm::kTextSize, basicInfo_.text54000);
        steps.Read(kStepFlashRead, mm::kTextBlock2Address, mm::kTextSize, basicInfo_.text53000);
        if (basicLayout_.hasFourthText) {
            steps.Read(kStepFlashRead, mm::kTextBlock4Address, mm::kTextSize, basicInfo_.text55000);
        }
        steps.Read(kStepMcuRead, mm::kMcuInfoAddress, mm::kMcuInfoSize, basicInfo_.mcuInfo);
    });
}

void CDeviceBase::CopyBasicInfo(BasicInfo* out) {
    if (out == nullptr) {
        return;
    }
    basicInfo_.flagWord = flagByte_ & 1u;
    std::memcpy(out, &basicInfo_, sizeof(BasicInfo));
}

int CDeviceBase::ReadMCU(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer) {
    return StartBoundedRead(kStepMcuRead, address, length, buffer, mm::kMcuMemorySize);
}

int CDeviceBase::ReadFlash(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer) {
    return StartBoundedRead(kStepFlashRead, address, length, buffer, mm::kFlashSize);
}

// What a model without the operation answers.
int CDeviceBase::UpgradeGlobalSetting(const std::uint8_t*) { return 0; }
int CDeviceBase::UpgradeDSPParam(const std::uint8_t*) { return 0; }
int CDeviceBase::ReadGlobalSettingInfo() { return 0; }
int CDeviceBase::ReadGlobalSettingInfoFromMCU() { return 0; }
int CDeviceBase::ReadDspParamInfo() { return 0; }
int CDeviceBase::ReadDspParamInfoFromMCU() { return 0; }
int CDeviceBase::ReadHwInfo() { return 0; }
int CDeviceBase::ReadMCUbyID(std::uint32_t, std::uint32_t, std::uint8_t*) { return 0; }
int CDeviceBase::WriteMCUbyID(const std::uint8_t*) { return 0; }
int CDeviceBase::SendCommand(std::uint16_t, std::uint16_t, std::uint16_t) { return 0; }
void CDeviceBase::CopyGlobalSetting(GlobalSettingRecord*) {}
void CDeviceBase::CopyGlobalSettingFromMCU(GlobalSettingRecord*) {}
void CDeviceBase::CopyDspParamInfo(DspParamInfo*) {}
void CDeviceBase::CopyDspParamInfoFromMCU(DspParamInfo*) {}
void CDeviceBase::CopyHwInfo(HwInfoRecord*) {}

}  // namespace QuarryDriver
