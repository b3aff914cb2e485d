// Model 0xA210: the full amplifier with DSP parameters, global settings and hardware information.
#ifndef QUARRY_MODELS_CDEVICE_A210_H
#define QUARRY_MODELS_CDEVICE_A210_H

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "device_library/src/models/CDeviceBase.h"
#include "device_library/src/models/ModelMemoryMap.h"

namespace QuarryDriver {

// The model's result buffers: read jobs fill them, the Copy slots hand them out after success.
class CDeviceA210Base : public CDeviceBase {
public:
    using CDeviceBase::CDeviceBase;

    void CopyGlobalSetting(GlobalSettingRecord* out) override;
    void CopyGlobalSettingFromMCU(GlobalSettingRecord* out) override;
    // Bytes 0-3 of the record are the caller's and stay as they are.
    void CopyDspParamInfo(DspParamInfo* out) override;
    void CopyDspParamInfoFromMCU(DspParamInfo* out) override;
    void CopyHwInfo(HwInfoRecord* out) override;

protected:
    GlobalSettingRecord globalSetting_{};         // flash 0x3D800
    GlobalSettingRecord globalSettingFromMcu_{};  // flash 0x3C800
    DspParamInfo dspInfo_{};                      // default parameter copy
    DspParamInfo dspInfoFromMcu_{};               // channel banks
    std::array<std::uint8_t, a210_map::kHwInfoSize> hwInfoStaging_{};
    HwInfoRecord hwInfo_{};
};

class CDeviceA210 final : public CDeviceA210Base {
public:
    explicit CDeviceA210(DeviceLocator locator, const ProtocolTiming& timing = ProtocolTiming{});
    // Runs on a caller-made transport (tests put an instrumented protocol here).
    explicit CDeviceA210(std::unique_ptr<CBootProtocol> transport);
    ~CDeviceA210() override;

    int UpgradeFirmware(const char* path) override;
    int UpgradeGlobalSetting(const std::uint8_t* input) override;
    int UpgradeDSPParam(const std::uint8_t* image) override;
    int ReadGlobalSettingInfo() override;
    int ReadGlobalSettingInfoFromMCU() override;
    int ReadDspParamInfo() override;
    int ReadDspParamInfoFromMCU() override;
    int ReadHwInfo() override;
    int ReadMCUbyID(std::uint32_t id, std::uint32_t length, std::uint8_t* buffer) override;
    int WriteMCUbyID(const std::uint8_t* image) override;
    int SendCommand(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3) override;
};

}  // namespace QuarryDriver

#endif
