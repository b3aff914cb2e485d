// Channel configuration records from hardware status words.
#include "application/document/ChannelConfigRules.h"

#include <algorithm>

namespace {

std::uint32_t ChannelBit(std::uint32_t channel)
{
    return HardwareStatusBit::kChannel0LowImpedance << channel;
}

// Entries and the fields shared by both kinds of record.
ChannelConfig MakeBase(std::uint32_t status, std::uint32_t channelCount, std::uint8_t freshDesign)
{
    ChannelConfig config;
    config.channelCount = channelCount;
    const std::uint32_t written = std::min<std::uint32_t>(channelCount, static_cast<std::uint32_t>(config.channels.size()));
    for (std::uint32_t c = 0; c < written; ++c) {
        config.channels[c].statusLow = static_cast<std::uint8_t>(status & HardwareStatusBit::kLowByte);
        config.channels[c].mode = ChannelModeFromStatus(status, c);
    }
    config.bit16 = (status & HardwareStatusBit::kBit16) != 0 ? 1 : 0;
    config.freshDesign = freshDesign;
    config.anyAccepted = 0;
    return config;
}

}  // namespace

std::uint32_t ChannelModeFromStatus(std::uint32_t status, std::uint32_t channel)
{
    if (channel < 4 && (status & ChannelBit(channel)) != 0) {
        return ChannelMode::kLowImpedance;
    }
    return (status & HardwareStatusBit::kHighImpedanceSelect) != 0 ? ChannelMode::kHighImpedanceA
                                                                    : ChannelMode::kHighImpedanceB;
}

ChannelConfig MakeChannelConfigFromChange(std::uint32_t oldStatus, std::uint32_t newStatus,
                                          std::uint32_t channelCount, std::uint8_t freshDesign)
{
    ChannelConfig config = MakeBase(newStatus, channelCount, freshDesign);
    config.kind = kChannelConfigFromChange;
    const std::uint32_t changed = oldStatus ^ newStatus;
    const bool selectChanged = (changed & HardwareStatusBit::kHighImpedanceSelect) != 0;
    for (std::uint32_t c = 0; c < 4; ++c) {
        const bool ownChanged = (changed & ChannelBit(c)) != 0;
        // The select bit only matters to channels that are not in low-impedance mode.
        const bool selectApplies = selectChanged && (newStatus & ChannelBit(c)) == 0;
        if (ownChanged || selectApplies) {
            config.changedMask |= 1u << c;
        }
    }
    config.bit16Changed = (changed & HardwareStatusBit::kBit16) != 0 ? 1 : 0;
    return config;
}

ChannelConfig MakeFirstStatusChannelConfig(std::uint32_t status, std::uint32_t channelCount,
                                           std::uint8_t freshDesign)
{
    ChannelConfig config = MakeBase(status, channelCount, freshDesign);
    config.kind = freshDesign;
    config.changedMask = 0;
    config.bit16Changed = 0;
    return config;
}

ChannelConfig ApplyChannelConfigToControllers(const std::vector<std::unique_ptr<CController>>& controllers,
                                              ChannelConfig config)
{
    // Every controller sees the record as it came, not what earlier ones answered.
    bool accepted = false;
    for (const std::unique_ptr<CController>& controller : controllers) {
        if (controller && controller->ApplyChannelConfig(config)) {
            accepted = true;
        }
    }
    if (accepted) {
        config.anyAccepted = 1;
    }
    return config;
}

void ApplyModelToControllers(const std::vector<std::unique_ptr<CController>>& controllers, ModelType model)
{
    for (const std::unique_ptr<CController>& controller : controllers) {
        if (controller) {
            controller->SetModel(model);
        }
    }
}
