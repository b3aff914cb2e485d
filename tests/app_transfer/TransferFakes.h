// Doubles for the transfer and small-dialog tests: an amplifier that hands out one scripted
// read session, the session itself (which keeps the sinks it was started with, so a test can
// call them later from any thread), and a list of present amplifiers.
#pragma once

#include <atomic>
#include <vector>

#include "application/document/DocumentServices.h"
#include "device_manager/interfaces/ICobaltAmplifier.h"
#include "device_manager/sessions/IParamSessions.h"

class ScriptedReadSession final : public CobaltDeviceManager::IReadParamSession {
public:
    ~ScriptedReadSession() { DropSinks(); }
    CobaltDeviceManager::ResultCode QueryInterface(const CobaltDeviceManager::InterfaceId&, void**) override
    {
        return CobaltDeviceManager::kResultNoInterface;
    }
    std::uint32_t AddRef() override { return ++refs; }
    std::uint32_t Release() override { return --refs; }
    void Cancel() override { ++cancels; }
    bool Start(CobaltDeviceManager::ICDM_Progress* progressSink, CobaltDeviceManager::IReadParamSink* blockSink) override
    {
        if (!startSucceeds) {
            return false;
        }
        progressSink->AddRef();
        blockSink->AddRef();
        progress = progressSink;
        blocks = blockSink;
        return true;
    }
    // What the worker does when the session ends: the sinks' last references go.
    void DropSinks()
    {
        if (progress != nullptr) {
            progress->Release();
            blocks->Release();
            progress = nullptr;
            blocks = nullptr;
        }
    }

    bool startSucceeds = true;
    std::atomic<std::uint32_t> refs{0};
    std::atomic<int> cancels{0};
    CobaltDeviceManager::ICDM_Progress* progress = nullptr;
    CobaltDeviceManager::IReadParamSink* blocks = nullptr;
};

class SessionAmplifier final : public CobaltDeviceManager::ICobaltAmplifier {
public:
    CobaltDeviceManager::ResultCode QueryInterface(const CobaltDeviceManager::InterfaceId&, void**) override
    {
        return CobaltDeviceManager::kResultNoInterface;
    }
    std::uint32_t AddRef() override { return ++refs; }
    std::uint32_t Release() override { return --refs; }
    std::int32_t GetModel() override { return 2; }
    const std::u16string& GetFirmwareVersion() override { return version; }
    bool IsMuted() override { return false; }
    bool SetMute(bool) override { return true; }
    bool GetMutePolarity() override { return normallyOpen; }
    bool SetMutePolarity(bool) override { return true; }
    bool EnableMeterPolling(bool) override { return true; }
    std::int32_t GetMeterLevels(bool, std::uint32_t*) override { return -1; }
    std::int32_t GetProtectionStatus(std::uint32_t*) override { return -1; }
    bool SetHwStatusCallback(CobaltDeviceManager::HwStatusCallback, void*) override { return true; }
    bool SetBlockParam(std::int32_t, std::int32_t, const std::uint8_t*, std::uint32_t, const std::uint8_t*,
                       std::uint32_t) override
    {
        return true;
    }
    void FlushBlockParams() override {}
    void SetNotifyWindow(CobaltDeviceManager::WindowId, CobaltDeviceManager::MessageId) override {}
    bool OpenWriteParamSession(CobaltDeviceManager::IWriteParamSession**) override { return false; }
    bool OpenReadParamSession(CobaltDeviceManager::IReadParamSession** out) override
    {
        if (!givesSession) {
            return false;
        }
        session.AddRef();
        *out = &session;
        return true;
    }
    bool OpenFirmwareUpdateSession(const std::filesystem::path&, CobaltDeviceManager::IUpdateFirmwareSession**) override
    {
        return false;
    }
    bool GetHardwareStatus(std::uint32_t* out) override
    {
        *out = 0;
        return false;
    }
    bool SaveConfig(CobaltDeviceManager::WindowId, CobaltDeviceManager::MessageId) override { return false; }

    std::atomic<std::uint32_t> refs{0};
    std::u16string version = u"v5.20";
    bool normallyOpen = true;
    bool givesSession = true;
    ScriptedReadSession session;
};

class AmplifierList final : public IAmplifierDirectory {
public:
    std::uint32_t ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier** first) override
    {
        if (!present.empty()) {
            present.front()->AddRef();
            *first = present.front();
        }
        return static_cast<std::uint32_t>(present.size());
    }
    void SetScanMode(std::uint32_t suspend, std::uint32_t clearList) override
    {
        scanModes.push_back(suspend * 10 + clearList);
    }

    std::vector<CobaltDeviceManager::ICobaltAmplifier*> present;
    std::vector<std::uint32_t> scanModes;  // suspend * 10 + clearList, in call order
};
