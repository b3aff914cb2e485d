// Model 0xA210: information reads and firmware. The uploads are in CDeviceA210Uploads.cpp.
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
    : CDeviceA210(std::make_unique<CBootProtocol>(std::move(locator), timing)) {}

CDeviceA210::CDeviceA210(std::unique_ptr<CBootProtocol> transport)
    : CDeviceA210Base(std::move(transport), BasicInfoLayout{a210::kModelCodeAddress, true}) {}

CDeviceA210::~CDeviceA210() {
    DestroyTransport();
}

int CDeviceA210::UpgradeFirmware(const char* path) {
    return StartFirmwareJob(path, &PlanFirmwareA210);
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

int CDeviceA210::ReadMCUbyID(std::uint32_t id, std::uint32_t length, std::uint8_t* buffer) {
    return StartJob([&](JobSteps& steps) { steps.Read(kStepReadById, id, length, buffer); });
}

}  // namespace QuarryDriver
