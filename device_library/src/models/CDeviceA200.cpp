// Model 0xA200: what sets it apart from the base is its firmware layout and model code address.
#include "device_library/src/models/CDeviceA200.h"

#include "device_library/src/models/FirmwarePlans.h"
#include "device_library/src/models/ModelMemoryMap.h"

namespace QuarryDriver {

CDeviceA200::CDeviceA200(DeviceLocator locator, const ProtocolTiming& timing)
    : CDeviceA200(std::make_unique<CBootProtocol>(std::move(locator), timing)) {}

CDeviceA200::CDeviceA200(std::unique_ptr<CBootProtocol> transport)
    : CDeviceBase(std::move(transport), BasicInfoLayout{a200_map::kModelCodeAddress, false}) {}

CDeviceA200::~CDeviceA200() {
    DestroyTransport();
}

int CDeviceA200::UpgradeFirmware(const char* path) {
    return StartFirmwareJob(path, &PlanFirmwareA200);
}

}  // namespace QuarryDriver
