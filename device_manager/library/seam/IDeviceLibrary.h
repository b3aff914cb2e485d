// The device library as the editor uses it: the 22 exports it imports, one virtual
// operation each, so that the amplifier objects can run against the real shared library
// or against a scripted fake. Results, arguments and buffer ownership are the exports':
// 1 success, 0 failure or busy, -1 a required pointer was null; every buffer handed to a
// start call must stay valid until IsOperationCompleted has returned 1.
#pragma once

#include <cstdint>

#include "QuarryRecords.h"
#include "device_manager/library/seam/OperationGate.h"

namespace CobaltDeviceManager {

// The library's connected device, opaque to the editor; null when none.
using QdoHandle = void*;

// The 74-byte scan record filled by GetScanedDevice.
struct QdmScanRecord {
    char deviceName[30];
    std::uint8_t vendorId[2];   // little-endian
    std::uint8_t productId[2];  // little-endian
    char serial[40];
};
static_assert(sizeof(QdmScanRecord) == 74, "QdmScanRecord is 74 bytes");

class IDeviceLibrary {
public:
    virtual ~IDeviceLibrary() = default;

    // Device management.
    virtual std::int32_t RegisterDevice(const char* name, std::uint32_t vendorId, std::uint32_t productId) = 0;
    virtual std::int32_t ScanDevices() = 0;
    virtual std::int32_t GetScanedDevice(QdmScanRecord* record) = 0;
    virtual std::int32_t ConnectDevice(std::uint32_t vendorId, std::uint32_t productId, const char* serial) = 0;
    virtual std::int32_t IsConnectCompleted() = 0;
    virtual QdoHandle GetConnectingDevice() = 0;
    // 1 and *handle nulled when released; 0 while an operation or the device's last job runs.
    virtual std::int32_t DisconnectDevice(QdoHandle* handle) = 0;

    // Operation starts: 1 started, 0 null handle or busy, -1 null required pointer.
    virtual std::int32_t UpgradeFirmware(QdoHandle handle, const char* firmwarePath) = 0;
    virtual std::int32_t UpgradeGlobalSetting(QdoHandle handle, const QdoGlobalSettingInput* input) = 0;
    virtual std::int32_t UpgradeDSPParam(QdoHandle handle, const QdoParamImage* image) = 0;
    virtual std::int32_t WriteMCUbyID(QdoHandle handle, const QdoParamImage* image) = 0;
    // The job writes straight into `buffer` while it runs.
    virtual std::int32_t ReadMCUbyID(QdoHandle handle, std::uint32_t id, std::uint32_t length, void* buffer) = 0;
    virtual std::int32_t SendCommand(QdoHandle handle, std::uint16_t word1, std::uint16_t word2,
                                     std::uint16_t word3) = 0;
    virtual std::int32_t Reset(QdoHandle handle) = 0;
    virtual std::int32_t ReadBasicInfo(QdoHandle handle, BasicInfo* info) = 0;
    virtual std::int32_t ReadGlobalSettingInfoFromMCU(QdoHandle handle, GlobalSettingRecord* record) = 0;
    virtual std::int32_t ReadDspParamInfoFromMCU(QdoHandle handle, DspParamInfo* info) = 0;
    virtual std::int32_t ReadHwInfo(QdoHandle handle, HwInfoRecord* record) = 0;

    // Polls of the running or last operation.
    virtual void CancelOperation(QdoHandle handle) = 0;
    virtual std::int32_t IsOperationCompleted(QdoHandle handle) = 0;
    virtual std::int32_t IsOperationSuccessful(QdoHandle handle) = 0;
    virtual std::uint8_t GetOperationProgress(QdoHandle handle) = 0;

    // The library runs one operation at a time and keeps one success flag, so every
    // caller in this process runs its whole operation (start to success read) holding
    // this gate; see DeviceOperation.
    OperationGate& Gate() { return m_gate; }

private:
    OperationGate m_gate;
};

}  // namespace CobaltDeviceManager
