// An amplifier double for the meter tests: levels and protection words that a test hands
// in are given out once each (as the amplifier's fresh flags do), and the meter polling
// switches and references are counted. It lives on the test's stack.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "device_manager/interfaces/ICobaltAmplifier.h"

class MeterAmplifier final : public CobaltDeviceManager::ICobaltAmplifier {
public:
    using Words = std::array<std::uint32_t, 4>;

    CobaltDeviceManager::ResultCode QueryInterface(const CobaltDeviceManager::InterfaceId&, void**) override
    {
        return CobaltDeviceManager::kResultNoInterface;
    }
    std::uint32_t AddRef() override { return ++refs; }
    std::uint32_t Release() override { return --refs; }

    bool EnableMeterPolling(bool on) override
    {
        polling = on;
        ++pollingSwitches;
        return true;
    }
    std::int32_t GetMeterLevels(bool secondSet, std::uint32_t out[4]) override
    {
        return Take(secondSet ? outputs : inputs, out, 4);
    }
    std::int32_t GetProtectionStatus(std::uint32_t out[2]) override { return Take(status, out, 2); }

    std::int32_t GetModel() override { return 2; }
    const std::u16string& GetFirmwareVersion() override { return version; }
    bool IsMuted() override { return false; }
    bool SetMute(bool) override { return false; }
    bool GetMutePolarity() override { return true; }
    bool SetMutePolarity(bool) override { return false; }
    bool SetHwStatusCallback(CobaltDeviceManager::HwStatusCallback, void*) override { return true; }
    bool SetBlockParam(std::int32_t, std::int32_t, const std::uint8_t*, std::uint32_t, const std::uint8_t*,
                       std::uint32_t) override { return true; }
    void FlushBlockParams() override {}
    void SetNotifyWindow(CobaltDeviceManager::WindowId, CobaltDeviceManager::MessageId) override {}
    bool OpenWriteParamSession(CobaltDeviceManager::IWriteParamSession**) override { return false; }
    bool OpenReadParamSession(CobaltDeviceManager::IReadParamSession**) override { return false; }
    bool OpenFirmwareUpdateSession(const std::filesystem::path&,
                                   CobaltDeviceManager::IUpdateFirmwareSession**) override { return false; }
    bool GetHardwareStatus(std::uint32_t*) override { return false; }
    bool SaveConfig(CobaltDeviceManager::WindowId, CobaltDeviceManager::MessageId) override { return false; }

    std::optional<Words> inputs;   // the next fresh reading of each kind, taken by one call
    std::optional<Words> outputs;
    std::optional<Words> status;   // words 0 and 1 are the two status words
    std::uint32_t refs = 0;
    bool polling = false;
    int pollingSwitches = 0;

private:
    static std::int32_t Take(std::optional<Words>& fresh, std::uint32_t* out, int words)
    {
        if (!fresh) {
            return -1;
        }
        for (int i = 0; i < words; ++i) {
            out[i] = (*fresh)[static_cast<std::size_t>(i)];
        }
        fresh.reset();
        return 4;
    }

    std::u16string version = u"v5.20";
};
