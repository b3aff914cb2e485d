// The channel output modes of the connected amplifier, built by the document from the
// hardware status word and handed by copy to every controller.
#pragma once

#include <array>
#include <cstdint>

struct ChannelConfigEntry {
    std::uint8_t statusLow = 0;  // low 8 bits of the hardware status word
    std::uint32_t mode = 0;      // 2 low impedance, 3 or 4 high impedance; 0 when not written
};

struct ChannelConfig {
    // 2 = built from a status change; otherwise freshDesign (0 or 1) of the first status.
    std::uint32_t kind = 0;
    // Only entries below channelCount are written; the rest stay zero.
    std::array<ChannelConfigEntry, 4> channels{};
    std::uint32_t channelCount = 0;
    std::uint32_t changedMask = 0;  // bit c: the mode of channel c changed
    std::uint8_t bit16 = 0;
    std::uint8_t bit16Changed = 0;
    std::uint8_t freshDesign = 0;
    std::uint8_t anyAccepted = 0;  // set by the delivery when a controller accepted
};
