// An amplifier double for the editor-side tests: it lives on the test's stack (Release never
// deletes, so tests can check the count comes back) and records what it is asked to do.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "device_manager/interfaces/ICobaltAmplifier.h"

struct QueuedBlock {
    std::int32_t type = 0;
    std::int32_t channel = 0;
    std::vector<std::uint8_t> coefficients;
    std::vector<std::uint8_t> parameters;
};

class RecordingAmplifier final : public CobaltDeviceManager::ICobaltAmplifier {
public:
    explicit RecordingAmplifier(std::int32_t modelIndex = 2) : model(modelIndex) {}
    CobaltDeviceManager::ResultCode QueryInterface(const CobaltDeviceManager::InterfaceId&, void**) override
    {
        return CobaltDeviceManager::kResultNoInterface;
    }
    std::uint32_t AddRef() override { return ++refs; }
    std::uint32_t Release() override { return --refs; }

    std::int32_t GetModel() override { return model; }
    const std::u16string& GetFirmwareVersion() override { return version; }
    bool IsMuted() override { return muted; }
    bool SetMute(bool mute) override
    {
        muted = mute;
        return true;
    }
    bool GetMutePolarity() override { return normallyOpen; }
    bool SetMutePolarity(bool open) override
    {
        normallyOpen = open;
        ++polaritySets;
        return true;
    }
    bool EnableMeterPolling(bool) override { return true; }
    std::int32_t GetMeterLevels(bool, std::uint32_t*) override { return -1; }
    std::int32_t GetProtectionStatus(std::uint32_t*) override { return -1; }
    bool SetHwStatusCallback(CobaltDeviceManager::HwStatusCallback function, void* context) override
    {
        callback = function;
        callbackContext = context;
        ++callbackSets;
        return true;
    }
    bool SetBlockParam(std::int32_t blockType, std::int32_t channel, const std::uint8_t* coefficients,
                       std::uint32_t coefficientSize, const std::uint8_t* parameters,
                       std::uint32_t parameterSize) override
    {
        QueuedBlock block;
        block.type = blockType;
        block.channel = channel;
        block.coefficients.assign(coefficients, coefficients + coefficientSize);
        block.parameters.assign(parameters, parameters + parameterSize);
        queued.push_back(std::move(block));
        ++blockParams;
        return true;
    }
    void FlushBlockParams() override { ++flushes; }
    void SetNotifyWindow(CobaltDeviceManager::WindowId, CobaltDeviceManager::MessageId) override {}
    bool OpenWriteParamSession(CobaltDeviceManager::IWriteParamSession**) override { return false; }
    bool OpenReadParamSession(CobaltDeviceManager::IReadParamSession**) override { return false; }
    bool OpenFirmwareUpdateSession(const std::filesystem::path&, CobaltDeviceManager::IUpdateFirmwareSession**) override
    {
        return false;
    }
    bool GetHardwareStatus(std::uint32_t* out) override
    {
        *out = statusValid ? status : 0;
        return statusValid;
    }
    bool SaveConfig(CobaltDeviceManager::WindowId, CobaltDeviceManager::MessageId) override
    {
        ++saveConfigs;
        return saveConfigQueued;
    }

    std::int32_t model;
    std::u16string version = u"v5.20";
    bool muted = false;
    std::uint32_t refs = 0;
    CobaltDeviceManager::HwStatusCallback callback = nullptr;
    void* callbackContext = nullptr;
    int callbackSets = 0;
    int blockParams = 0;  // calls of SetBlockParam
    std::vector<QueuedBlock> queued;
    int flushes = 0;
    bool normallyOpen = true;
    int polaritySets = 0;
    bool statusValid = false;  // GetHardwareStatus reads `status` only when set
    std::uint32_t status = 0;
    int saveConfigs = 0;
    bool saveConfigQueued = false;
};
