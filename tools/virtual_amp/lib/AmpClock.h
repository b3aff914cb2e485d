// Time source of the virtual amplifier. Time-driven behaviour (the absence after a reset,
// the ready byte after a store) reads this clock, so unit tests can step a manual clock
// instead of sleeping.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>

namespace VirtualAmp {

using Clock = std::chrono::steady_clock;
using TimePoint = Clock::time_point;
using Millis = std::chrono::milliseconds;

class AmpClock {
 public:
  virtual ~AmpClock() = default;
  virtual TimePoint Now() const = 0;
};

class SteadyAmpClock final : public AmpClock {
 public:
  TimePoint Now() const override { return Clock::now(); }
};

// Starts at an arbitrary fixed point and moves only when told to; safe from any thread.
class ManualAmpClock final : public AmpClock {
 public:
  TimePoint Now() const override { return TimePoint(Clock::duration(ticks_.load())); }
  void Advance(Clock::duration by) { ticks_.fetch_add(by.count()); }

 private:
  std::atomic<Clock::rep> ticks_{Clock::duration(std::chrono::hours(1)).count()};
};

std::shared_ptr<AmpClock> MakeSteadyClock();

}  // namespace VirtualAmp
