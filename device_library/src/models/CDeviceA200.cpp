// Model 0xA200.
#include "device_library/src/models/CDeviceA200.h"

#include <bit>
#include <cstring>

#include "device_library/src/models/FirmwarePlans.h"
#include "device_library/src/models/ModelMemoryMap.h"

namespace QuarryDriver {

namespace mm = memory_map;

void CDeviceA200Base::CopyBasicInfo(BasicInfo* out) {
    if (out == nullptr) {
        return;
    }
    basicInfo_.flagWord = flagWord_ & 1u;
    std::memcpy(out, &basicInfo_, sizeof(BasicInfo));
}

CDeviceA200::CDeviceA200(DeviceLocator locator, const ProtocolTiming& timing)
    : CDeviceA200Base(std::make_unique<CBootProtocol>(std::move(locator), timing)) {}

CDeviceA200::CDeviceA200(std::unique_ptr<CBootProtocol> transport) : CDeviceA200Base(std::move(transport)) {}

CDeviceA200::~CDeviceA200() {
    DestroyTransport();
}

int CDeviceA200::UpgradeFirmware(const char* path) {
    return StartFirmwareJob(path, &PlanFirmwareA200);
}

int CDeviceA200::Reset() {
    return StartJob([](JobSteps& steps) { steps.Add(kStepReset, StepArgs::None()); });
}

int CDeviceA200::ReadBasicInfo() {
    static_assert(std::endian::native == std::endian::little, "the flag byte is the word's low byte");
    return StartJob([this](JobSteps& steps) {
        steps.Read(kStepFlashRead, a200_map::kModelCodeAddress, 1, &basicInfo_.modelCode);
        steps.Add(kStepIdentityTest, StepArgs::Out(&basicInfo_.runningBootLoader));
        steps.Read(kStepFlashRead, mm::kFlagByteAddress, 1, reinterpret_cast<std::uint8_t*>(&flagWord_));
        steps.Read(kStepFlashRead, mm::kTextBlock1Address, mm::kTextSize, basicInfo_.text52000);
        steps.Read(kStepFlashRead, mm::kTextBlock3Address, mm::kTextSize, basicInfo_.text54000);
        steps.Read(kStepFlashRead, mm::kTextBlock2Address, mm::kTextSize, basicInfo_.text53000);
        steps.Read(kStepMcuRead, mm::kMcuInfoAddress, mm::kMcuInfoSize, basicInfo_.mcuInfo);
    });
}

int CDeviceA200::ReadMCU(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer) {
    return StartBoundedRead(kStepMcuRead, address, length, buffer, mm::kMcuMemorySize);
}

int CDeviceA200::ReadFlash(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer) {
    return StartBoundedRead(kStepFlashRead, address, length, buffer, mm::kFlashSize);
}

int CDeviceA200::Connect(std::uint32_t* outFlag) {
    if (outFlag == nullptr) {
        return 0;
    }
    return StartJob([outFlag](JobSteps& steps) { steps.Add(kStepHandshake, StepArgs::Out(outFlag)); });
}

}  // namespace QuarryDriver
