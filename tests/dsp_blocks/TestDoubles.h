// Doubles for the block tests: an amplifier that records what the blocks queue, and a
// panel host whose panels record what their controllers ask of them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "device_manager/interfaces/ICobaltAmplifier.h"
#include "dsp_blocks/blocks/BlockPanel.h"

struct QueuedBlock {
    std::int32_t type = 0;
    std::int32_t channel = 0;
    std::vector<std::uint8_t> coefficients;
    std::vector<std::uint8_t> parameters;
};

// Lives on the test's stack: Release never deletes.
class RecordingAmplifier final : public CobaltDeviceManager::ICobaltAmplifier {
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
    bool SetMute(bool) override { return false; }
    bool GetMutePolarity() override { return true; }
    bool SetMutePolarity(bool) override { return false; }
    bool EnableMeterPolling(bool) override { return true; }
    std::int32_t GetMeterLevels(bool, std::uint32_t*) override { return -1; }
    std::int32_t GetProtectionStatus(std::uint32_t*) override { return -1; }
    bool SetHwStatusCallback(CobaltDeviceManager::HwStatusCallback, void*) override { return true; }
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
        return true;
    }
    void FlushBlockParams() override {}
    void SetNotifyWindow(CobaltDeviceManager::WindowId, CobaltDeviceManager::MessageId) override {}
    bool OpenWriteParamSession(CobaltDeviceManager::IWriteParamSession**) override { return false; }
    bool OpenReadParamSession(CobaltDeviceManager::IReadParamSession**) override { return false; }
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

    std::uint32_t refs = 0;
    std::u16string version = u"v5.20";
    std::vector<QueuedBlock> queued;
};

// Everything one panel was asked, in order ("title:...", "refresh", "row:N", "mode", "destroy").
// A controller may outlive the test's host, so panels and their logs stay alive until
// the test program ends, as a real panel stays alive until its window goes.
class RecordingPanel final : public IBlockPanel {
public:
    explicit RecordingPanel(std::shared_ptr<std::vector<std::string>> log) : log_(std::move(log)) {}
    void SetWindowText(const std::u16string& text) override
    {
        log_->push_back("title:" + std::string(text.begin(), text.end()));
    }
    void Refresh() override { log_->push_back("refresh"); }
    void RefreshRow(std::size_t index) override { log_->push_back("row:" + std::to_string(index)); }
    void UpdateChannelMode() override { log_->push_back("mode"); }
    void DestroyPanel() override
    {
        log_->push_back("destroy");
        destroyed = true;
    }
    bool destroyed = false;

private:
    std::shared_ptr<std::vector<std::string>> log_;
};

class RecordingPanelHost final : public IPanelHost {
public:
    IBlockPanel* CreatePanel(PanelKind kind, CController& controller) override
    {
        kinds.push_back(kind);
        controllers.push_back(&controller);
        if (refuse) {
            return nullptr;
        }
        static std::vector<std::unique_ptr<RecordingPanel>> keepAlive;
        keepAlive.push_back(std::make_unique<RecordingPanel>(logOwner_));
        panels.push_back(keepAlive.back().get());
        return panels.back();
    }

    bool refuse = false;
    std::vector<PanelKind> kinds;
    std::vector<CController*> controllers;
    std::vector<RecordingPanel*> panels;

private:
    std::shared_ptr<std::vector<std::string>> logOwner_ = std::make_shared<std::vector<std::string>>();

public:
    std::vector<std::string>& log = *logOwner_;
};
