// Model 0xA200: firmware upgrade, reset, basic information and raw memory reads only.
#ifndef QUARRY_MODELS_CDEVICE_A200_H
#define QUARRY_MODELS_CDEVICE_A200_H

#include <cstdint>
#include <memory>
#include <string>

#include "device_library/src/models/CDeviceBase.h"

namespace QuarryDriver {

class CDeviceA200 final : public CDeviceBase {
public:
    explicit CDeviceA200(DeviceLocator locator, const ProtocolTiming& timing = ProtocolTiming{});
    // Runs on a caller-made transport (tests put an instrumented protocol here).
    explicit CDeviceA200(std::unique_ptr<CBootProtocol> transport);
    ~CDeviceA200() override;

    int UpgradeFirmware(const char* path) override;
};

}  // namespace QuarryDriver

#endif
