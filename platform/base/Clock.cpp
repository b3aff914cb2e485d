// Steady-clock helpers.
#include "platform/base/Clock.h"

#include <algorithm>
#include <thread>

namespace platform {

std::uint64_t TickCountMs()
{
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
}

std::uint64_t ElapsedMs(std::uint64_t startTick)
{
    const std::uint64_t now = TickCountMs();
    return now > startTick ? now - startTick : 0;
}

void SleepMs(std::uint32_t milliseconds)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

Deadline::Deadline(std::chrono::milliseconds fromNow)
    // A year is "for ever" here and keeps now + fromNow inside the clock's range.
    : m_end(std::chrono::steady_clock::now() +
            std::clamp(fromNow, std::chrono::milliseconds(0), std::chrono::milliseconds(std::chrono::hours(24 * 365))))
{
}

bool Deadline::Expired() const
{
    return std::chrono::steady_clock::now() >= m_end;
}

std::chrono::milliseconds Deadline::Remaining() const
{
    const auto left = m_end - std::chrono::steady_clock::now();
    if (left <= std::chrono::steady_clock::duration::zero()) {
        return std::chrono::milliseconds(0);
    }
    // Round up so that a caller waiting "Remaining()" does not wake just before the end.
    return std::chrono::ceil<std::chrono::milliseconds>(left);
}

}  // namespace platform
