// A scripted stand-in for the device library in unit tests. Like the real one it runs one
// operation at a time library-wide, keeps one success flag, answers busy starts with 0
// and null pointers with -1, and copies results into the caller's buffer only when the
// operation completes successfully. Each operation's latency, progress, success, reaction
// to a cancel and payload come from a script; every call is logged.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "device_manager/library/seam/IDeviceLibrary.h"

namespace CobaltDeviceManager {

enum class FakeOperationKind {
    UpgradeFirmware,
    UpgradeGlobalSetting,
    UpgradeDSPParam,
    WriteMCUbyID,
    ReadMCUbyID,
    SendCommand,
    Reset,
    ReadBasicInfo,
    ReadGlobalSettingInfoFromMCU,
    ReadDspParamInfoFromMCU,
    ReadHwInfo,
};

enum class FakeCancelReaction {
    EndsAtOnce,  // a cancel ends the operation unsuccessfully at the next poll
    Ignored,     // the operation runs its full latency with its scripted result
    NeverEnds,   // the operation never completes until FinishStuckOperation
};

// What one start call does.
struct FakeOperationScript {
    std::int32_t startResult = 1;  // anything but 1 starts nothing
    std::chrono::milliseconds latency{0};
    bool success = true;
    // Copied into the caller's record or buffer on success (up to its size); the rest of
    // a result record is zero.
    std::vector<std::uint8_t> payload;
    FakeCancelReaction cancelReaction = FakeCancelReaction::EndsAtOnce;
    // Progress percentage reported once accepted; empty: rises with elapsed time.
    std::optional<std::uint8_t> progress;
};

// One operation as the fake saw it.
struct FakeOperationCall {
    FakeOperationKind kind{};
    std::uint32_t id = 0;      // ReadMCUbyID
    std::uint32_t length = 0;  // ReadMCUbyID
    std::uint16_t words[3] = {0, 0, 0};  // SendCommand
    std::vector<std::uint8_t> input;     // copy of a write's input at the start
    std::string text;                    // firmware path
    std::thread::id thread;
    std::chrono::steady_clock::time_point startedAt;
    bool started = false;
    bool cancelRequested = false;
    int cancelCalls = 0;  // CancelOperation calls while it ran
    bool completed = false;
    bool succeeded = false;
};

class FakeDeviceLibrary : public IDeviceLibrary {
public:
    using Script = std::function<FakeOperationScript(const FakeOperationCall&)>;

    FakeDeviceLibrary();
    ~FakeDeviceLibrary() override;

    // --- scripting (any thread) ---
    void SetScript(Script script);
    // The connect: how long it runs and whether a device results.
    void SetConnect(bool succeeds, std::chrono::milliseconds latency = std::chrono::milliseconds(0));
    // What the next scans find (ScanDevices copies it; GetScanedDevice walks the copy).
    void SetScanEntries(std::vector<QdmScanRecord> entries);
    // While set, ScanDevices answers 0 and leaves the last scan's list as it was.
    void SetScanFails(bool fails);
    int ScanCalls() const;
    int RegisterCalls() const;
    // The next `count` disconnects answer busy even when idle.
    void SetDisconnectBusyAnswers(int count);
    // Ends a NeverEnds operation with the given result (at its next completion poll).
    void FinishStuckOperation(bool success);
    // The handle the fake hands out.
    QdoHandle DeviceHandle() const;

    // --- observation (any thread) ---
    std::vector<FakeOperationCall> Calls() const;
    std::vector<FakeOperationCall> Calls(FakeOperationKind kind) const;
    std::size_t CountCalls(FakeOperationKind kind) const;
    bool Connected() const;
    int ConnectCalls() const;
    int DisconnectCalls() const;
    std::string LastConnectSerial() const;
    // The id pairs registered so far, as (vendor << 16) | product.
    std::vector<std::uint32_t> RegisteredIds() const;
    bool OperationRunning() const;
    // Waits until at least `count` started calls of `kind` were seen.
    bool WaitForCalls(FakeOperationKind kind, std::size_t count, std::chrono::milliseconds timeout) const;

    // --- IDeviceLibrary ---
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
    // Starts one operation; called with m_lock held.
    std::int32_t StartLocked(FakeOperationCall call, void* output, std::size_t outputSize, bool zeroRecord);
    // Completes the running operation when its time has come; called with m_lock held.
    void AdvanceLocked();

    mutable std::mutex m_lock;  // guards everything below
    mutable std::condition_variable m_changed;
    Script m_script;
    bool m_connectSucceeds = true;
    std::chrono::milliseconds m_connectLatency{0};
    std::optional<std::chrono::steady_clock::time_point> m_connectEnds;
    bool m_connected = false;
    int m_connectCalls = 0;
    int m_disconnectCalls = 0;
    int m_disconnectBusyAnswers = 0;
    std::string m_lastSerial;
    std::vector<std::uint32_t> m_registered;
    std::vector<QdmScanRecord> m_devicesPresent;
    std::vector<QdmScanRecord> m_scanned;
    std::size_t m_scanCursor = 0;
    bool m_scanFails = false;
    int m_scanCalls = 0;
    int m_registerCalls = 0;

    bool m_idle = true;
    bool m_successFlag = true;
    std::optional<std::size_t> m_current;  // index into m_calls of the running operation
    FakeOperationScript m_currentScript;
    void* m_output = nullptr;
    std::size_t m_outputSize = 0;
    bool m_zeroRecord = false;
    std::optional<bool> m_stuckResult;
    std::vector<FakeOperationCall> m_calls;
    std::uint8_t m_device = 0;  // its address is the handle
};

}  // namespace CobaltDeviceManager
