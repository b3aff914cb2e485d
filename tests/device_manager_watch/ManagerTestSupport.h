// Stand-ins for the device manager's tests: a device library whose scan the test sets
// (everything else goes to the scripted fake), and amplifier objects that only record
// what the manager does with them.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "device_manager/amplifier/ICobaltAmplifierHandle.h"
#include "device_manager/core/RefCounting.h"
#include "device_manager/library/fake/FakeDeviceLibrary.h"
#include "device_manager/manager/CDeviceManager.h"

namespace manager_test {

using namespace CobaltDeviceManager;

class ScanScriptLibrary final : public IDeviceLibrary {
public:
    // The serials the next scans find; a failed scan answers 0.
    void SetScan(std::vector<std::string> serials);
    void SetScanFails(bool fails);
    int ScanCalls() const;
    int RegisterCalls() const;
    FakeDeviceLibrary& Inner() { return m_inner; }

    std::int32_t RegisterDevice(const char* name, std::uint32_t vendorId, std::uint32_t productId) override;
    std::int32_t ScanDevices() override;
    std::int32_t GetScanedDevice(QdmScanRecord* record) override;
    std::int32_t ConnectDevice(std::uint32_t vendorId, std::uint32_t productId, const char* serial) override;
    std::int32_t IsConnectCompleted() override;
    QdoHandle GetConnectingDevice() override;
    std::int32_t DisconnectDevice(QdoHandle* handle) override;
    std::int32_t UpgradeFirmware(QdoHandle handle, const char* firmwarePath) override;
    std::int32_t UpgradeGlobalSetting(QdoHandle handle, const QdoGlobalSettingInput* input) override;
    std::int32_t UpgradeDSPParam(QdoHandle handle, const QdoParamImage* image) override;
    std::int32_t WriteMCUbyID(QdoHandle handle, const QdoParamImage* image) override;
    std::int32_t ReadMCUbyID(QdoHandle handle, std::uint32_t id, std::uint32_t length, void* buffer) override;
    std::int32_t SendCommand(QdoHandle handle, std::uint16_t word1, std::uint16_t word2, std::uint16_t word3) override;
    std::int32_t Reset(QdoHandle handle) override;
    std::int32_t ReadBasicInfo(QdoHandle handle, BasicInfo* info) override;
    std::int32_t ReadGlobalSettingInfoFromMCU(QdoHandle handle, GlobalSettingRecord* record) override;
    std::int32_t ReadDspParamInfoFromMCU(QdoHandle handle, DspParamInfo* info) override;
    std::int32_t ReadHwInfo(QdoHandle handle, HwInfoRecord* record) override;
    void CancelOperation(QdoHandle handle) override;
    std::int32_t IsOperationCompleted(QdoHandle handle) override;
    std::int32_t IsOperationSuccessful(QdoHandle handle) override;
    std::uint8_t GetOperationProgress(QdoHandle handle) override;

private:
    FakeDeviceLibrary m_inner;
    mutable std::mutex m_lock;
    std::vector<std::string> m_serials;  // guarded by m_lock
    std::vector<std::string> m_scanned;  // guarded by m_lock: the last scan's result
    std::size_t m_next = 0;              // guarded by m_lock
    bool m_scanFails = false;            // guarded by m_lock
    int m_scanCalls = 0;                 // guarded by m_lock
    int m_registerCalls = 0;             // guarded by m_lock
};

// What happened to the fake amplifier objects of one test.
struct AmplifierLog {
    std::mutex lock;
    std::vector<std::string> events;  // "make KEY", "open KEY", "present KEY 1", "end KEY"; guarded by lock
    int alive = 0;                    // guarded by lock
    std::vector<std::string> refuseOpen;  // keys whose open fails; guarded by lock

    void Add(std::string event);
    std::vector<std::string> Events();
    int Alive();
};

// The manager over `library` and `watcher` with fake amplifier objects logged in `log`.
std::unique_ptr<CDeviceManager> MakeManager(std::shared_ptr<IDeviceLibrary> library, DeviceWatcher& watcher,
                                            std::shared_ptr<AmplifierLog> log);

std::string Narrow(const std::u16string& text);

}  // namespace manager_test
