// The pause before a block that the amplifier refused is sent again. Each of the 64
// dirty-mask bits keeps its own: the first refusal waits the first pause, each further
// one twice as long as the last, never longer than the longest pause. A block whose data
// changed, or an amplifier that is present again, starts afresh. Ticks are TickCountMs.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>

namespace CobaltDeviceManager {

class BlockRetryBackoff {
public:
    BlockRetryBackoff(std::chrono::milliseconds firstPause, std::chrono::milliseconds longestPause);

    // The bits of `mask` that may be sent at `now`: those never refused, and those whose
    // pause has run out.
    std::uint64_t DueBits(std::uint64_t mask, std::uint64_t now) const;
    // The tick at which the first refused bit of `mask` may be sent again; nothing when no
    // bit of `mask` is pausing.
    std::optional<std::uint64_t> NextDue(std::uint64_t mask) const;

    // The amplifier refused these bits at `now`: each pauses longer than the last time.
    void Refused(std::uint64_t bits, std::uint64_t now);
    // These bits were sent, or carry new data: no pause.
    void Forget(std::uint64_t bits);
    void ForgetAll();

private:
    struct Entry {
        std::uint64_t pause = 0;  // ms; 0 while the bit was not refused
        std::uint64_t due = 0;    // tick from which it may be sent again
    };

    const std::uint64_t m_firstPause;
    const std::uint64_t m_longestPause;
    std::array<Entry, 64> m_entries{};
};

}  // namespace CobaltDeviceManager
