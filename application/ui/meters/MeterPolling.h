// What a meter view reads from the amplifier it is attached to, one poll at a time: input or
// output levels (raw words turned into dBFS, falling back while nothing fresh arrives) or the
// outputs' protection states. A poll only takes what the amplifier's worker has already
// read; it never waits for the device.
#pragma once

#include <array>
#include <cstdint>

#include "application/document/AmplifierRef.h"
#include "application/ui/meters/MeterScale.h"

namespace meters {

// The modes of a meter view (the kind of its layout line).
namespace MeterMode {
inline constexpr std::uint32_t kAll = 3;         // every cell, never updated
inline constexpr std::uint32_t kInputs = 5;      // input levels
inline constexpr std::uint32_t kOutputLevels = 6;
inline constexpr std::uint32_t kProtection = 7;  // output protection states and the legend
}  // namespace MeterMode

// The mode a view runs in for the mode its layout line asks for. Output levels would be
// drawn into the protection cells, which have no bar, so that mode shows the protection
// states instead.
std::uint32_t EffectiveMeterMode(std::uint32_t requested);

inline constexpr std::size_t kMeterChannels = 4;

// The low byte of an output state is its kind; this bit asks for blinking.
inline constexpr std::uint16_t kStateBlink = 0x100;

class MeterPolling {
public:
    explicit MeterPolling(std::uint32_t mode) : m_mode(mode) {}
    ~MeterPolling();
    MeterPolling(const MeterPolling&) = delete;
    MeterPolling& operator=(const MeterPolling&) = delete;

    // Keeps a reference to `amplifier` (dropping the one held before) and turns its meter
    // polling on.
    void Attach(CobaltDeviceManager::ICobaltAmplifier* amplifier);
    // Turns the held amplifier's meter polling off and lets it go.
    void Detach();
    bool IsAttached() const { return static_cast<bool>(m_amplifier); }

    // One poll: takes the fresh levels (inputs or outputs) or states of the mode. Without a
    // fresh reading every level falls back one step. True when the reading was fresh.
    bool Poll();

    std::uint32_t Mode() const { return m_mode; }
    const std::array<float, kMeterChannels>& Levels() const { return m_levels; }
    const std::array<std::uint16_t, kMeterChannels>& States() const { return m_states; }

private:
    bool PollLevels(bool outputs);

    std::uint32_t m_mode;
    AmplifierRef m_amplifier;
    // Empty until the first reading, so that a poll without one shows nothing rather than
    // a level falling from full scale.
    std::array<float, kMeterChannels> m_levels{kDetachedLevelDb, kDetachedLevelDb, kDetachedLevelDb, kDetachedLevelDb};
    // Status words 9 and 10 of the meter record, read as four 16-bit states in memory order.
    std::array<std::uint16_t, kMeterChannels> m_states{};
};

}  // namespace meters
