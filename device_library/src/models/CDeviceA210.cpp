// Model 0xA210: information reads, raw reads, reset, handshake and firmware. The uploads are in
// uploads/CDeviceA210Uploads.cpp.
#include "device_library/src/models/CDeviceA210.h"

#include <cstring>

#include "device_library/src/models/FirmwarePlans.h"

namespace QuarryDriver {

namespace mm = memory_map;
namespace a210 = a210_map;

namespace {

// The per-channel part of area `area` of a DspParamInfo.
std::uint8_t* DspArea(DspParamInfo& info, const a210::DspInfoArea& area, unsigned channel) {
    const std::uint32_t rawSize = a210::kParamItems[area.item].rawSize;
    return reinterpret_cast<std::uint8_t*>(&info) + area.recordOffset + channel * rawSize;
}

constexpr std::size_t kDspCallerBytes = 4;  // the input-gain head, which the library never writes

void CopyDspAreas(const DspParamInfo& from, DspParamInfo* to) {
    if (to == nullptr) {
        return;
    }
    std::memcpy(reinterpret_cast<std::uint8_t*>(to) + kDspCallerBytes,
                reinterpret_cast<const std::uint8_t*>(&from) + kDspCallerBytes, sizeof(DspParamInfo) - kDspCallerBytes);
}

}  // namespace

void CDeviceA210Base::CopyBasicInfo(BasicInfo* out) {
    if (out == nullptr) {
        return;
    }
    basicInfo_.flagWord = flagByte_ & 1u;
    std::memcpy(out, &basicInfo_, sizeof(BasicInfo));
}

void CDeviceA210Base::CopyGlobalSetting(GlobalSettingRecord* out) {
    if (out != nullptr) {
        *out = globalSetting_;
    }
}

void CDeviceA210Base::CopyGlobalSettingFromMCU(GlobalSettingRecord* out) {
    if (out != nullptr) {
        *out = globalSettingFromMcu_;
    }
}

void CDeviceA210Base::CopyDspParamInfo(DspParamInfo* out) {
    CopyDspAreas(dspInfo_, out);
}

void CDeviceA210Base::CopyDspParamInfoFromMCU(DspParamInfo* out) {
    CopyDspAreas(dspInfoFromMcu_, out);
}

void CDeviceA210Base::CopyHwInfo(HwInfoRecord* out) {
    // The record leaves out staging bytes 12 and 13.
    std::memcpy(hwInfo_.bytes, hwInfoStaging_.data(), 12);
    hwInfo_.bytes[12] = hwInfoStaging_[14];
    if (out != nullptr) {
        *out = hwInfo_;
    }
}

CDeviceA210::CDeviceA210(DeviceLocator locator, const ProtocolTiming& timing)
    : CDeviceA210Base(std::make_unique<CBootProtocol>(std::move(locator), timing)) {}

CDeviceA210::CDeviceA210(std::unique_ptr<CBootProtocol> transport) : CDeviceA210Base(std::move(transport)) {}

CDeviceA210::~CDeviceA210() {
    DestroyTransport();
}

int CDeviceA210::UpgradeFirmware(const char* path) {
    return StartFirmwareJob(path, &PlanFirmwareA210);
}

int CDeviceA210::Reset() {
    return StartJob([](JobSteps& steps) { steps.Add(kStepReset, StepArgs::None()); });
}

int CDeviceA210::Connect(std::uint32_t* outFlag) {
    if (outFlag == nullptr) {
        return 0;
    }
    return StartJob([outFlag](JobSteps& steps) { steps.Add(kStepHandshake, StepArgs::Out(outFlag)); });
}

int CDeviceA210::ReadBasicInfo() {
    return StartJob([this](JobSteps& steps) {
        steps.Read(kStepFlashRead, a210::kModelCodeAddress, 1, &basicInfo_.modelCode);
        steps.Add(kStepIdentityTest, StepArgs::Out(&basicInfo_.runningBootLoader));
        steps.Read(kStepFlashRead, mm::kFlagByteAddress, 1, &flagByte_);
        steps.Read(kStepFlashRead, mm::kTextBlock1Address, mm::kTextSize, basicInfo_.text52000);
        steps.Read(kStepFlashRead, mm::kTextBlock3Address, mm::kTextSize, basicInfo_.text54000);
        steps.Read(kStepFlashRead, mm::kTextBlock2Address, mm::kTextSize, basicInfo_.text53000);
        steps.Read(kStepFlashRead, mm::kTextBlock4Address, mm::kTextSize, basicInfo_.text55000);
        steps.Read(kStepMcuRead, mm::kMcuInfoAddress, mm::kMcuInfoSize, basicInfo_.mcuInfo);
    });
}

int CDeviceA210::ReadGlobalSettingInfo() {
    return StartJob([this](JobSteps& steps) {
        steps.Read(kStepFlashRead, a210::kGlobalSettingCopyRecordAddress, sizeof(globalSetting_.bytes),
                   globalSetting_.bytes);
    });
}

int CDeviceA210::ReadGlobalSettingInfoFromMCU() {
    return StartJob([this](JobSteps& steps) {
        steps.Read(kStepFlashRead, a210::kGlobalSettingRecordAddress, sizeof(globalSettingFromMcu_.bytes),
                   globalSettingFromMcu_.bytes);
    });
}

int CDeviceA210::ReadDspParamInfo() {
    // Area by area in record order, channel 0 to 3 within an area.
    return StartJob([this](JobSteps& steps) {
        for (const a210::DspInfoArea& area : a210::kDspInfoAreas) {
            for (unsigned c = 0; c < a210::kChannelCount; ++c) {
                steps.Read(kStepFlashRead, a210::DefaultCopyRawAddress(c, area.item),
                           a210::kParamItems[area.item].rawSize, DspArea(dspInfo_, area, c));
            }
        }
    });
}

int CDeviceA210::ReadDspParamInfoFromMCU() {
    // Bank by bank, items 0 to 6 within a bank (ascending addresses).
    return StartJob([this](JobSteps& steps) {
        for (unsigned c = 0; c < a210::kChannelCount; ++c) {
            for (unsigned item = 0; item < a210::kItemCount; ++item) {
                for (const a210::DspInfoArea& area : a210::kDspInfoAreas) {
                    if (area.item == item) {
                        steps.Read(kStepFlashRead, a210::BankItemAddress(c, item) + a210::kParamItems[item].rawOffset,
                                   a210::kParamItems[item].rawSize, DspArea(dspInfoFromMcu_, area, c));
                    }
                }
            }
        }
    });
}

int CDeviceA210::ReadHwInfo() {
    return StartJob([this](JobSteps& steps) {
        steps.Read(kStepFlashRead, a210::kHwInfoAddress, a210::kHwInfoSize, hwInfoStaging_.data());
    });
}

int CDeviceA210::ReadMCU(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer) {
    return StartBoundedRead(kStepMcuRead, address, length, buffer, mm::kMcuMemorySize);
}

int CDeviceA210::ReadFlash(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer) {
    return StartBoundedRead(kStepFlashRead, address, length, buffer, mm::kFlashSize);
}

int CDeviceA210::ReadMCUbyID(std::uint32_t id, std::uint32_t length, std::uint8_t* buffer) {
    return StartJob([&](JobSteps& steps) { steps.Read(kStepReadById, id, length, buffer); });
}

}  // namespace QuarryDriver
