// Doubles for the transfer and small-dialog tests: an amplifier that hands out one scripted
// read session, the session (it keeps the sinks it was started with, so a test can call them
// later from any thread), and a list of present amplifiers. Counts never delete.
#pragma once

#include <atomic>
#include <utility>
#include <vector>

#include "application/document/DocumentServices.h"
#include "device_manager/sessions/IParamSessions.h"

namespace cdm = CobaltDeviceManager;

class ScriptedReadSession final : public cdm::IReadParamSession {
public:
    ~ScriptedReadSession() { DropSinks(); }
    cdm::ResultCode QueryInterface(const cdm::InterfaceId&, void**) override { return cdm::kResultNoInterface; }
    std::uint32_t AddRef() override { return ++refs; }
    std::uint32_t Release() override { return --refs; }
    void Cancel() override { ++cancels; }
    bool Start(cdm::ICDM_Progress* progressSink, cdm::IReadParamSink* blockSink) override
    {
        if (startSucceeds) {
            (progress = progressSink)->AddRef();
            (blocks = blockSink)->AddRef();
        }
        return startSucceeds;
    }
    // What the worker does when the session ends: the sinks' last references go.
    void DropSinks()
    {
        if (progress != nullptr) {
            std::exchange(progress, nullptr)->Release();
            std::exchange(blocks, nullptr)->Release();
        }
    }

    bool startSucceeds = true;
    std::atomic<std::uint32_t> refs{0};
    std::atomic<int> cancels{0};
    cdm::ICDM_Progress* progress = nullptr;
    cdm::IReadParamSink* blocks = nullptr;
};

class SessionAmplifier final : public cdm::ICobaltAmplifier {
public:
    cdm::ResultCode QueryInterface(const cdm::InterfaceId&, void**) override { return cdm::kResultNoInterface; }
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
    bool SetHwStatusCallback(cdm::HwStatusCallback, void*) override { return true; }
    bool SetBlockParam(std::int32_t, std::int32_t, const std::uint8_t*, std::uint32_t, const std::uint8_t*,
                       std::uint32_t) override { return true; }
    void FlushBlockParams() override {}
    void SetNotifyWindow(cdm::WindowId, cdm::MessageId) override {}
    bool OpenWriteParamSession(cdm::IWriteParamSession**) override { return false; }
    bool OpenReadParamSession(cdm::IReadParamSession** out) override
    {
        session.AddRef();
        *out = &session;
        return true;
    }
    bool OpenFirmwareUpdateSession(const std::filesystem::path&, cdm::IUpdateFirmwareSession**) override { return false; }
    bool GetHardwareStatus(std::uint32_t*) override { return false; }
    bool SaveConfig(cdm::WindowId, cdm::MessageId) override { return false; }

    std::atomic<std::uint32_t> refs{0};
    std::u16string version = u"v5.20";
    bool normallyOpen = true;
    ScriptedReadSession session;
};

class AmplifierList final : public IAmplifierDirectory {
public:
    std::uint32_t ForFirstActiveAmplifier(cdm::ICobaltAmplifier** first) override
    {
        if (!present.empty()) {
            (*first = present.front())->AddRef();
        }
        return static_cast<std::uint32_t>(present.size());
    }
    void SetScanMode(std::uint32_t suspend, std::uint32_t clearList) override { scanModes.push_back(suspend * 10 + clearList); }

    std::vector<cdm::ICobaltAmplifier*> present;
    std::vector<std::uint32_t> scanModes;  // suspend * 10 + clearList, in call order
};
