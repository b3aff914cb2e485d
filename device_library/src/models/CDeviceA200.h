// Model 0xA200: firmware upgrade, reset, basic information and raw memory reads only.
#ifndef QUARRY_MODELS_CDEVICE_A200_H
#define QUARRY_MODELS_CDEVICE_A200_H

#include <cstdint>
#include <memory>
#include <string>

#include "device_library/src/models/CDeviceBase.h"

namespace QuarryDriver {

// The model's result buffers.
class CDeviceA200Base : public CDeviceBase {
public:
    using CDeviceBase::CDeviceBase;

    void CopyBasicInfo(BasicInfo* out) override;

protected:
    // Low byte read from flash 0x50000 by the basic-information job (little-endian word).
    std::uint32_t flagWord_ = 0;
};

class CDeviceA200 final : public CDeviceA200Base {
public:
    explicit CDeviceA200(DeviceLocator locator, const ProtocolTiming& timing = ProtocolTiming{});
    // Runs on a caller-made transport (tests put an instrumented protocol here).
    explicit CDeviceA200(std::unique_ptr<CBootProtocol> transport);
    ~CDeviceA200() override;

    int UpgradeFirmware(const char* path) override;
    int Reset() override;
    int ReadBasicInfo() override;
    int ReadMCU(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer) override;
    int ReadFlash(std::uint32_t address, std::uint32_t length, std::uint8_t* buffer) override;
    int Connect(std::uint32_t* outFlag) override;
};

}  // namespace QuarryDriver

#endif
