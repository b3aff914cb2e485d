// The shared blink clock.
#include "application/ui/meters/BlinkClock.h"

namespace meters {

namespace {

std::uint32_t OutputBit(std::uint32_t output)
{
    return output >= 1 && output <= 32 ? std::uint32_t{1} << (output - 1) : 0;
}

}  // namespace

bool BlinkClock::IsDark(std::uint32_t output, bool blinking, std::uint64_t nowMs)
{
    if (!blinking) {
        m_mask &= ~OutputBit(output);
        return false;
    }
    if (m_mask == 0) {
        m_startMs = nowMs;
    }
    m_mask |= OutputBit(output);
    // A clock that went back (another clock installed for a test) restarts the period.
    if (nowMs < m_startMs) {
        m_startMs = nowMs;
    }
    const std::uint64_t elapsed = nowMs - m_startMs;
    m_startMs += elapsed - elapsed % kBlinkPeriodMs;
    return nowMs - m_startMs < kBlinkDarkMs;
}

void BlinkClock::Reset()
{
    m_mask = 0;
    m_startMs = 0;
}

BlinkClock& SharedBlinkClock()
{
    static BlinkClock clock;
    return clock;
}

}  // namespace meters
