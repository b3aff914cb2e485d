// The 28 exported functions: argument checks, then the registry or the operation engine.
// Nothing thrown inside the library leaves through here; a failure becomes the function's
// failure result.
#include "device_library/include/QuarryDeviceDriver.h"

#include <cstdint>
#include <string>

#include "device_library/src/engine/DriverLibrary.h"
#include "device_library/src/registry/ScannedEntry.h"

namespace {

using QuarryDriver::CDeviceBase;
using QuarryDriver::DriverLibrary;
using QuarryDriver::OperationRequest;

// Builds the library's state at load, so every lock exists before the first call.
const struct LibraryStartUp {
    LibraryStartUp() noexcept
    {
        try {
            DriverLibrary::Instance();
        } catch (...) {
            // The first export tries again.
        }
    }
} g_startUp;

// Only the low 16 bits of an id count.
std::uint16_t Id(std::uint32_t value)
{
    return static_cast<std::uint16_t>(value & 0xFFFFu);
}

template <class Body, class Result>
Result Guarded(Result onFailure, Body body) noexcept
{
    try {
        return body();
    } catch (...) {
        return onFailure;
    }
}

std::int32_t StartOperation(QdmDevice* device, OperationRequest request)
{
    return Guarded<>(std::int32_t{0}, [&] {
        return static_cast<std::int32_t>(DriverLibrary::ForExport().Engine().Start(device, std::move(request)));
    });
}

// Operations whose result the worker copies into the caller's record after success.
template <class Record>
std::int32_t StartRead(QdmDevice* device, Record* record, int (CDeviceBase::*read)(),
                       void (CDeviceBase::*copy)(Record*))
{
    if (record == nullptr) {
        return -1;
    }
    return StartOperation(device, OperationRequest{[read](CDeviceBase& d) { return (d.*read)(); },
                                                   [copy, record](CDeviceBase& d) { (d.*copy)(record); }});
}

// Operations without a result record.
template <class Start>
std::int32_t StartPlain(QdmDevice* device, Start start)
{
    return StartOperation(device, OperationRequest{std::move(start), {}});
}

}  // namespace

extern "C" {

QDM_API int32_t QDM_RegisterDevice(const char* name, uint32_t vendorId, uint32_t productId)
{
    if (name == nullptr) {
        return 0;
    }
    return Guarded<>(std::int32_t{0}, [&] {
        const std::string bounded = QuarryDriver::BoundedName(name);
        return static_cast<std::int32_t>(
            DriverLibrary::ForExport().Registry().Register(bounded, Id(vendorId), Id(productId)));
    });
}

QDM_API int32_t QDM_UnregisterDevice(uint32_t vendorId, uint32_t productId)
{
    return Guarded<>(std::int32_t{0}, [&] {
        return static_cast<std::int32_t>(DriverLibrary::ForExport().Registry().Unregister(Id(vendorId), Id(productId)));
    });
}

QDM_API int32_t QDM_ScanDevices(void)
{
    return Guarded<>(std::int32_t{0},
                     [] { return static_cast<std::int32_t>(DriverLibrary::ForExport().Registry().Scan()); });
}

QDM_API int32_t QDM_GetScanedDevice(QdmScanRecord* record)
{
    return Guarded<>(std::int32_t{0}, [&] {
        QuarryDriver::ScannedEntry entry;
        if (DriverLibrary::ForExport().Registry().NextScanned(&entry) == 0) {
            return std::int32_t{0};
        }
        if (record != nullptr) {
            QuarryDriver::FillScanRecord(entry, *record);
        }
        return std::int32_t{1};
    });
}

QDM_API int32_t QDM_ConnectDevice(uint32_t vendorId, uint32_t productId, const char* serial)
{
    if (serial == nullptr) {
        return -1;
    }
    return Guarded<>(std::int32_t{0}, [&] {
        return static_cast<std::int32_t>(
            DriverLibrary::ForExport().Registry().Connect(Id(vendorId), Id(productId), std::string(serial)));
    });
}

QDM_API int32_t QDM_IsConnectCompleted(void)
{
    return Guarded<>(std::int32_t{0}, [] {
        return static_cast<std::int32_t>(DriverLibrary::ForExport().Registry().ConnectCompleted());
    });
}

QDM_API QdmDevice* QDM_GetConnectingDevice(void)
{
    return Guarded<>(static_cast<QdmDevice*>(nullptr), [] {
        return reinterpret_cast<QdmDevice*>(DriverLibrary::ForExport().Registry().ConnectedDevice());
    });
}

QDM_API int32_t QDM_DisconnectDevice(QdmDevice** handle)
{
    if (handle == nullptr) {
        return -1;
    }
    return Guarded<>(std::int32_t{0}, [&] {
        void* variable = *handle;
        const int released = DriverLibrary::ForExport().Engine().Disconnect(&variable);
        if (released == 1) {
            *handle = nullptr;
        }
        return static_cast<std::int32_t>(released);
    });
}

QDM_API int32_t QDM_IsDeviceExisting(uint32_t vendorId, uint32_t productId, const char* serial)
{
    if (serial == nullptr) {
        return -1;
    }
    return Guarded<>(std::int32_t{0}, [&] {
        return static_cast<std::int32_t>(
            DriverLibrary::ForExport().Registry().DevicePresent(Id(vendorId), Id(productId), std::string(serial)));
    });
}

QDM_API int32_t QDO_UpgradeFirmware(QdmDevice* device, const char* path)
{
    if (path == nullptr) {
        return -1;
    }
    // The worker reads the file, perhaps after the caller's text is gone: keep a copy.
    return StartPlain(device, [file = std::string(path)](CDeviceBase& d) { return d.UpgradeFirmware(file.c_str()); });
}

QDM_API int32_t QDO_UpgradeGlobalSetting(QdmDevice* device, const QdoGlobalSettingInput* input)
{
    if (input == nullptr) {
        return -1;
    }
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(input);
    return StartPlain(device, [bytes](CDeviceBase& d) { return d.UpgradeGlobalSetting(bytes); });
}

QDM_API int32_t QDO_UpgradeDSPParam(QdmDevice* device, const QdoParamImage* image)
{
    if (image == nullptr) {
        return -1;
    }
    const std::uint8_t* bytes = image->bytes;
    return StartPlain(device, [bytes](CDeviceBase& d) { return d.UpgradeDSPParam(bytes); });
}

QDM_API int32_t QDO_WriteMCUbyID(QdmDevice* device, const QdoParamImage* image)
{
    if (image == nullptr) {
        return -1;
    }
    const std::uint8_t* bytes = image->bytes;
    return StartPlain(device, [bytes](CDeviceBase& d) { return d.WriteMCUbyID(bytes); });
}

QDM_API int32_t QDO_ReadMCUbyID(QdmDevice* device, uint32_t id, uint32_t length, void* buffer)
{
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    return StartPlain(device, [=](CDeviceBase& d) { return d.ReadMCUbyID(id, length, bytes); });
}

QDM_API int32_t QDO_ReadMCU(QdmDevice* device, uint32_t address, uint32_t length, void* buffer)
{
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    return StartPlain(device, [=](CDeviceBase& d) { return d.ReadMCU(address, length, bytes); });
}

QDM_API int32_t QDO_ReadFlash(QdmDevice* device, uint32_t address, uint32_t length, void* buffer)
{
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    return StartPlain(device, [=](CDeviceBase& d) { return d.ReadFlash(address, length, bytes); });
}

QDM_API int32_t QDO_SendCommand(QdmDevice* device, uint32_t word1, uint32_t word2, uint32_t word3)
{
    const auto w1 = static_cast<std::uint16_t>(word1 & 0xFFFFu);
    const auto w2 = static_cast<std::uint16_t>(word2 & 0xFFFFu);
    const auto w3 = static_cast<std::uint16_t>(word3 & 0xFFFFu);
    return StartPlain(device, [=](CDeviceBase& d) { return d.SendCommand(w1, w2, w3); });
}

QDM_API int32_t QDO_Reset(QdmDevice* device)
{
    return StartPlain(device, [](CDeviceBase& d) { return d.Reset(); });
}

QDM_API int32_t QDO_ReadBasicInfo(QdmDevice* device, BasicInfo* info)
{
    return StartRead(device, info, &CDeviceBase::ReadBasicInfo, &CDeviceBase::CopyBasicInfo);
}

QDM_API int32_t QDO_ReadGlobalSettingInfo(QdmDevice* device, GlobalSettingRecord* record)
{
    return StartRead(device, record, &CDeviceBase::ReadGlobalSettingInfo, &CDeviceBase::CopyGlobalSetting);
}

QDM_API int32_t QDO_ReadGlobalSettingInfoFromMCU(QdmDevice* device, GlobalSettingRecord* record)
{
    return StartRead(device, record, &CDeviceBase::ReadGlobalSettingInfoFromMCU,
                     &CDeviceBase::CopyGlobalSettingFromMCU);
}

QDM_API int32_t QDO_ReadDspParamInfo(QdmDevice* device, DspParamInfo* info)
{
    return StartRead(device, info, &CDeviceBase::ReadDspParamInfo, &CDeviceBase::CopyDspParamInfo);
}

QDM_API int32_t QDO_ReadDspParamInfoFromMCU(QdmDevice* device, DspParamInfo* info)
{
    return StartRead(device, info, &CDeviceBase::ReadDspParamInfoFromMCU, &CDeviceBase::CopyDspParamInfoFromMCU);
}

QDM_API int32_t QDO_ReadHwInfo(QdmDevice* device, HwInfoRecord* record)
{
    return StartRead(device, record, &CDeviceBase::ReadHwInfo, &CDeviceBase::CopyHwInfo);
}

QDM_API void QDO_CancelOperation(QdmDevice* /*device*/)
{
    Guarded<>(0, [] {
        DriverLibrary::ForExport().Engine().Cancel();
        return 0;
    });
}

QDM_API int32_t QDO_IsOperationCompleted(QdmDevice* /*device*/)
{
    return Guarded<>(std::int32_t{0},
                     [] { return static_cast<std::int32_t>(DriverLibrary::ForExport().Engine().IsCompleted()); });
}

QDM_API int32_t QDO_IsOperationSuccessful(QdmDevice* /*device*/)
{
    return Guarded<>(std::int32_t{0},
                     [] { return static_cast<std::int32_t>(DriverLibrary::ForExport().Engine().IsSuccessful()); });
}

QDM_API uint8_t QDO_GetOperationProgress(QdmDevice* device)
{
    return Guarded<>(std::uint8_t{0}, [&] { return DriverLibrary::ForExport().Engine().Progress(device); });
}

}  // extern "C"
