// Monotonic time in milliseconds, in place of the system tick count and Sleep.
// Never affected by changes of the wall clock.
#pragma once

#include <chrono>
#include <cstdint>

namespace platform {

// Milliseconds on the steady clock since an arbitrary start; 64 bits, so it never wraps.
std::uint64_t TickCountMs();

// Milliseconds passed since `startTick` (a TickCountMs value); 0 if it lies in the future.
std::uint64_t ElapsedMs(std::uint64_t startTick);

void SleepMs(std::uint32_t milliseconds);

// A point in time a bounded wait must not pass.
class Deadline {
public:
    explicit Deadline(std::chrono::milliseconds fromNow);

    bool Expired() const;
    // Time left, never negative.
    std::chrono::milliseconds Remaining() const;

private:
    std::chrono::steady_clock::time_point m_end;
};

}  // namespace platform
