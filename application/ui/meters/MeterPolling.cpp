// Meter polling of one meter view.
#include "application/ui/meters/MeterPolling.h"

#include <algorithm>
#include <cstring>

#include "application/ui/meters/MeterScale.h"

namespace meters {

std::uint32_t EffectiveMeterMode(std::uint32_t requested)
{
    return requested == MeterMode::kOutputLevels ? MeterMode::kProtection : requested;
}

MeterPolling::~MeterPolling()
{
    Detach();
}

void MeterPolling::Attach(CobaltDeviceManager::ICobaltAmplifier* amplifier)
{
    m_amplifier = AmplifierRef(amplifier);
    if (m_amplifier) {
        m_amplifier->EnableMeterPolling(true);
    }
}

void MeterPolling::Detach()
{
    if (m_amplifier) {
        m_amplifier->EnableMeterPolling(false);
    }
    m_amplifier.Reset();
}

bool MeterPolling::PollLevels(bool outputs)
{
    std::uint32_t raw[kMeterChannels] = {};
    const std::int32_t count = m_amplifier->GetMeterLevels(outputs, raw);
    if (count < 0) {
        return false;
    }
    const std::size_t taken = std::min<std::size_t>(static_cast<std::size_t>(count), kMeterChannels);
    for (std::size_t i = 0; i < taken; ++i) {
        m_levels[i] = RawLevelToDb(raw[i]);
    }
    return true;
}

bool MeterPolling::Poll()
{
    bool fresh = false;
    if (m_amplifier) {
        switch (m_mode) {
        case MeterMode::kInputs:
            fresh = PollLevels(false);
            break;
        case MeterMode::kOutputLevels:
            fresh = PollLevels(true);
            break;
        case MeterMode::kProtection: {
            std::uint32_t words[2];
            std::memcpy(words, m_states.data(), sizeof(words));
            // Nothing new leaves the words as they were.
            m_amplifier->GetProtectionStatus(words);
            std::memcpy(m_states.data(), words, sizeof(words));
            fresh = true;
            break;
        }
        default:
            break;
        }
    }
    if (!fresh) {
        for (float& level : m_levels) {
            level = DecayLevel(level);
        }
    }
    return fresh;
}

}  // namespace meters
