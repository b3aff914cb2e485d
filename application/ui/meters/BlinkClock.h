// The process-wide blink clock of the output indicators: every blinking output follows one
// 2-second period (dark for the first second, lit for the second), started when the first
// of them began to blink, so that all blinking outputs blink together.
#pragma once

#include <cstdint>

namespace meters {

inline constexpr std::uint64_t kBlinkPeriodMs = 2000;
inline constexpr std::uint64_t kBlinkDarkMs = 1000;

class BlinkClock {
public:
    // Called whenever output `output` (1-based) is drawn, with whether its state asks for
    // blinking and the UI clock. True when the output is to be drawn dark now.
    bool IsDark(std::uint32_t output, bool blinking, std::uint64_t nowMs);

    std::uint32_t BlinkingMask() const { return m_mask; }
    std::uint64_t StartMs() const { return m_startMs; }
    // Forgets every blinking output (for tests).
    void Reset();

private:
    std::uint32_t m_mask = 0;  // bit n - 1 for output n; outputs above 32 blink unrecorded
    std::uint64_t m_startMs = 0;
};

// The one clock of the process (UI thread only).
BlinkClock& SharedBlinkClock();

}  // namespace meters
