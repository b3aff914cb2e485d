// The scripted device library. Time is the steady clock: an operation completes at the
// first completion poll after its latency has passed, which is when its result lands in
// the caller's buffer (so a buffer freed too early shows up under AddressSanitizer).
#include "tests/support/FakeDeviceLibrary.h"

#include <algorithm>
#include <cstring>

namespace CobaltDeviceManager {

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

FakeDeviceLibrary::FakeDeviceLibrary() = default;
FakeDeviceLibrary::~FakeDeviceLibrary() = default;

void FakeDeviceLibrary::SetScript(Script script)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_script = std::move(script);
}

void FakeDeviceLibrary::SetConnect(bool succeeds, std::chrono::milliseconds latency)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_connectSucceeds = succeeds;
    m_connectLatency = latency;
}

void FakeDeviceLibrary::SetScanEntries(std::vector<QdmScanRecord> entries)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_devicesPresent = std::move(entries);
}

void FakeDeviceLibrary::SetScanFails(bool fails)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_scanFails = fails;
}

int FakeDeviceLibrary::ScanCalls() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_scanCalls;
}

int FakeDeviceLibrary::RegisterCalls() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_registerCalls;
}

std::vector<std::uint32_t> FakeDeviceLibrary::RegisteredIds() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_registered;
}

void FakeDeviceLibrary::SetDisconnectBusyAnswers(int count)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_disconnectBusyAnswers = count;
}

void FakeDeviceLibrary::FinishStuckOperation(bool success)
{
    std::lock_guard<std::mutex> guard(m_lock);
    m_stuckResult = success;
}

QdoHandle FakeDeviceLibrary::DeviceHandle() const
{
    return const_cast<std::uint8_t*>(&m_device);
}

std::vector<FakeOperationCall> FakeDeviceLibrary::Calls() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_calls;
}

std::vector<FakeOperationCall> FakeDeviceLibrary::Calls(FakeOperationKind kind) const
{
    std::vector<FakeOperationCall> result;
    std::lock_guard<std::mutex> guard(m_lock);
    std::copy_if(m_calls.begin(), m_calls.end(), std::back_inserter(result),
                 [kind](const FakeOperationCall& call) { return call.kind == kind; });
    return result;
}

std::size_t FakeDeviceLibrary::CountCalls(FakeOperationKind kind) const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return static_cast<std::size_t>(std::count_if(m_calls.begin(), m_calls.end(), [kind](const FakeOperationCall& call) {
        return call.kind == kind && call.started;
    }));
}

bool FakeDeviceLibrary::Connected() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_connected;
}

int FakeDeviceLibrary::ConnectCalls() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_connectCalls;
}

int FakeDeviceLibrary::DisconnectCalls() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_disconnectCalls;
}

std::string FakeDeviceLibrary::LastConnectSerial() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_lastSerial;
}

bool FakeDeviceLibrary::OperationRunning() const
{
    std::lock_guard<std::mutex> guard(m_lock);
    return !m_idle;
}

bool FakeDeviceLibrary::WaitForCalls(FakeOperationKind kind, std::size_t count, std::chrono::milliseconds timeout) const
{
    std::unique_lock<std::mutex> guard(m_lock);
    return m_changed.wait_for(guard, timeout, [&] {
        return static_cast<std::size_t>(std::count_if(m_calls.begin(), m_calls.end(),
                                                       [kind](const FakeOperationCall& call) {
                                                           return call.kind == kind && call.started;
                                                       })) >= count;
    });
}

// --- device management ---

std::int32_t FakeDeviceLibrary::RegisterDevice(const char*, std::uint32_t vendorId, std::uint32_t productId)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_registerCalls;
    const std::uint32_t id = ((vendorId & 0xFFFF) << 16) | (productId & 0xFFFF);
    if (std::find(m_registered.begin(), m_registered.end(), id) == m_registered.end()) {
        m_registered.push_back(id);
    }
    return 1;
}

std::int32_t FakeDeviceLibrary::ScanDevices()
{
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_scanCalls;
    if (m_scanFails) {
        return 0;
    }
    m_scanned = m_devicesPresent;
    m_scanCursor = 0;
    return 1;
}

std::int32_t FakeDeviceLibrary::GetScanedDevice(QdmScanRecord* record)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_scanCursor >= m_scanned.size()) {
        // Like the library: the end of the list rewinds the iterator.
        m_scanCursor = 0;
        return 0;
    }
    if (record != nullptr) {
        *record = m_scanned[m_scanCursor];
    }
    ++m_scanCursor;
    return 1;
}

std::int32_t FakeDeviceLibrary::ConnectDevice(std::uint32_t, std::uint32_t, const char* serial)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (serial == nullptr) {
        return -1;
    }
    ++m_connectCalls;
    if (m_connected || m_connectEnds) {
        return 0;
    }
    m_lastSerial = serial;
    m_connectEnds = Clock::now() + m_connectLatency;
    return 1;
}

std::int32_t FakeDeviceLibrary::IsConnectCompleted()
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_connectEnds) {
        return 1;
    }
    if (Clock::now() < *m_connectEnds) {
        return 0;
    }
    m_connectEnds.reset();
    m_connected = m_connectSucceeds;
    return 1;
}

QdoHandle FakeDeviceLibrary::GetConnectingDevice()
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_connected ? DeviceHandle() : nullptr;
}

std::int32_t FakeDeviceLibrary::DisconnectDevice(QdoHandle* handle)
{
    std::lock_guard<std::mutex> guard(m_lock);
    ++m_disconnectCalls;
    AdvanceLocked();
    if (!m_idle) {
        return 0;
    }
    if (m_disconnectBusyAnswers > 0) {
        --m_disconnectBusyAnswers;
        return 0;
    }
    m_connected = false;
    if (handle != nullptr) {
        *handle = nullptr;
    }
    m_changed.notify_all();
    return 1;
}

// --- operations ---

std::int32_t FakeDeviceLibrary::StartLocked(FakeOperationCall call, void* output, std::size_t outputSize,
                                            bool zeroRecord)
{
    call.thread = std::this_thread::get_id();
    call.startedAt = Clock::now();
    FakeOperationScript script = m_script ? m_script(call) : FakeOperationScript{};
    AdvanceLocked();
    if (!m_idle || script.startResult != 1) {
        m_calls.push_back(std::move(call));
        return 0;
    }
    call.started = true;
    m_calls.push_back(std::move(call));
    m_current = m_calls.size() - 1;
    m_currentScript = std::move(script);
    m_output = output;
    m_outputSize = outputSize;
    m_zeroRecord = zeroRecord;
    m_stuckResult.reset();
    m_idle = false;
    m_successFlag = true;
    m_changed.notify_all();
    return 1;
}

void FakeDeviceLibrary::AdvanceLocked()
{
    if (m_idle || !m_current) {
        return;
    }
    FakeOperationCall& call = m_calls[*m_current];
    bool done = false;
    bool success = m_currentScript.success;
    if (m_currentScript.cancelReaction == FakeCancelReaction::NeverEnds) {
        if (m_stuckResult) {
            done = true;
            success = *m_stuckResult;
        }
    } else if (call.cancelRequested && m_currentScript.cancelReaction == FakeCancelReaction::EndsAtOnce) {
        done = true;
        success = false;
    } else if (Clock::now() - call.startedAt >= m_currentScript.latency) {
        done = true;
    }
    if (!done) {
        return;
    }
    if (success && m_output != nullptr) {
        auto* out = static_cast<std::uint8_t*>(m_output);
        if (m_zeroRecord) {
            std::memset(out, 0, m_outputSize);
        }
        const std::size_t count = std::min(m_outputSize, m_currentScript.payload.size());
        if (count > 0) {
            std::memcpy(out, m_currentScript.payload.data(), count);
        }
    }
    call.completed = true;
    call.succeeded = success;
    m_successFlag = success;
    m_idle = true;
    m_current.reset();
    m_output = nullptr;
    m_changed.notify_all();
}

namespace {

FakeOperationCall MakeCall(FakeOperationKind kind)
{
    FakeOperationCall call;
    call.kind = kind;
    return call;
}

FakeOperationCall MakeWriteCall(FakeOperationKind kind, const void* input, std::size_t size)
{
    FakeOperationCall call = MakeCall(kind);
    const auto* bytes = static_cast<const std::uint8_t*>(input);
    call.input.assign(bytes, bytes + size);
    return call;
}

}  // namespace

std::int32_t FakeDeviceLibrary::UpgradeFirmware(QdoHandle handle, const char* firmwarePath)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (firmwarePath == nullptr) {
        return -1;
    }
    if (handle == nullptr) {
        return 0;
    }
    FakeOperationCall call = MakeCall(FakeOperationKind::UpgradeFirmware);
    call.text = firmwarePath;
    return StartLocked(std::move(call), nullptr, 0, false);
}

std::int32_t FakeDeviceLibrary::UpgradeGlobalSetting(QdoHandle handle, const QdoGlobalSettingInput* input)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (input == nullptr) {
        return -1;
    }
    if (handle == nullptr) {
        return 0;
    }
    return StartLocked(MakeWriteCall(FakeOperationKind::UpgradeGlobalSetting, input, sizeof(*input)), nullptr, 0,
                       false);
}

std::int32_t FakeDeviceLibrary::UpgradeDSPParam(QdoHandle handle, const QdoParamImage* image)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (image == nullptr) {
        return -1;
    }
    if (handle == nullptr) {
        return 0;
    }
    return StartLocked(MakeWriteCall(FakeOperationKind::UpgradeDSPParam, image, sizeof(*image)), nullptr, 0, false);
}

std::int32_t FakeDeviceLibrary::WriteMCUbyID(QdoHandle handle, const QdoParamImage* image)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (image == nullptr) {
        return -1;
    }
    if (handle == nullptr) {
        return 0;
    }
    return StartLocked(MakeWriteCall(FakeOperationKind::WriteMCUbyID, image, sizeof(*image)), nullptr, 0, false);
}

std::int32_t FakeDeviceLibrary::ReadMCUbyID(QdoHandle handle, std::uint32_t id, std::uint32_t length, void* buffer)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (handle == nullptr) {
        return 0;
    }
    FakeOperationCall call = MakeCall(FakeOperationKind::ReadMCUbyID);
    call.id = id;
    call.length = length;
    return StartLocked(std::move(call), buffer, length, false);
}

std::int32_t FakeDeviceLibrary::SendCommand(QdoHandle handle, std::uint16_t word1, std::uint16_t word2,
                                            std::uint16_t word3)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (handle == nullptr) {
        return 0;
    }
    FakeOperationCall call = MakeCall(FakeOperationKind::SendCommand);
    call.words[0] = word1;
    call.words[1] = word2;
    call.words[2] = word3;
    return StartLocked(std::move(call), nullptr, 0, false);
}

std::int32_t FakeDeviceLibrary::Reset(QdoHandle handle)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (handle == nullptr) {
        return 0;
    }
    return StartLocked(MakeCall(FakeOperationKind::Reset), nullptr, 0, false);
}

std::int32_t FakeDeviceLibrary::ReadBasicInfo(QdoHandle handle, BasicInfo* info)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (info == nullptr) {
        return -1;
    }
    if (handle == nullptr) {
        return 0;
    }
    return StartLocked(MakeCall(FakeOperationKind::ReadBasicInfo), info, sizeof(*info), true);
}

std::int32_t FakeDeviceLibrary::ReadGlobalSettingInfoFromMCU(QdoHandle handle, GlobalSettingRecord* record)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (record == nullptr) {
        return -1;
    }
    if (handle == nullptr) {
        return 0;
    }
    return StartLocked(MakeCall(FakeOperationKind::ReadGlobalSettingInfoFromMCU), record, sizeof(*record), true);
}

std::int32_t FakeDeviceLibrary::ReadDspParamInfoFromMCU(QdoHandle handle, DspParamInfo* info)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (info == nullptr) {
        return -1;
    }
    if (handle == nullptr) {
        return 0;
    }
    // Bytes 0-3 are never written by the library: the payload fills from byte 4.
    return StartLocked(MakeCall(FakeOperationKind::ReadDspParamInfoFromMCU), info->inputEq,
                       sizeof(*info) - sizeof(info->inputGain), true);
}

std::int32_t FakeDeviceLibrary::ReadHwInfo(QdoHandle handle, HwInfoRecord* record)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (record == nullptr) {
        return -1;
    }
    if (handle == nullptr) {
        return 0;
    }
    return StartLocked(MakeCall(FakeOperationKind::ReadHwInfo), record, sizeof(*record), true);
}

void FakeDeviceLibrary::CancelOperation(QdoHandle)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_idle && m_current) {
        m_calls[*m_current].cancelRequested = true;
        ++m_calls[*m_current].cancelCalls;
    }
}

std::int32_t FakeDeviceLibrary::IsOperationCompleted(QdoHandle)
{
    std::lock_guard<std::mutex> guard(m_lock);
    AdvanceLocked();
    return m_idle ? 1 : 0;
}

std::int32_t FakeDeviceLibrary::IsOperationSuccessful(QdoHandle)
{
    std::lock_guard<std::mutex> guard(m_lock);
    return m_successFlag ? 1 : 0;
}

std::uint8_t FakeDeviceLibrary::GetOperationProgress(QdoHandle)
{
    std::lock_guard<std::mutex> guard(m_lock);
    if (m_idle || !m_current) {
        return 0;
    }
    if (m_currentScript.progress) {
        return *m_currentScript.progress;
    }
    const auto latency = m_currentScript.latency.count();
    if (latency <= 0) {
        return 100;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() -
                                                                               m_calls[*m_current].startedAt)
                             .count();
    return static_cast<std::uint8_t>(std::min<long long>(100, elapsed * 100 / latency));
}

}  // namespace CobaltDeviceManager
