// Manual- and auto-reset events and a wait on several of them, in place of the
// operating system's event objects and WaitForMultipleObjects.
#pragma once

#include <chrono>
#include <cstddef>
#include <initializer_list>
#include <optional>
#include <span>

namespace platform {

enum class ResetMode {
    Manual,  // stays signalled until Reset
    Auto,    // a successful wait consumes the signal
};

class Event {
public:
    explicit Event(ResetMode mode, bool initiallySignalled = false);
    ~Event() = default;
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set();
    void Reset();

    // Waits until signalled; an auto-reset event is consumed by the wait.
    void Wait();
    // As Wait, but gives up after `timeout` (zero polls). Returns false on time-out.
    bool WaitFor(std::chrono::milliseconds timeout);

    // Looks without consuming.
    bool IsSignalled() const;
    ResetMode Mode() const { return m_mode; }

private:
    friend int WaitAny(std::span<Event* const>, std::optional<std::chrono::milliseconds>);

    // Called with the events' lock held.
    bool TryConsumeLocked();

    const ResetMode m_mode;
    bool m_signalled;  // guarded by the lock shared by all events (Event.cpp)
};

// True when any of `events` is signalled; null entries (an event the caller has none of)
// count as never signalled.
inline bool AnySignalled(std::initializer_list<const Event*> events)
{
    for (const Event* event : events) {
        if (event != nullptr && event->IsSignalled()) {
            return true;
        }
    }
    return false;
}

inline constexpr int kWaitTimedOut = -1;
// An empty list or a null entry.
inline constexpr int kWaitInvalid = -2;

// Waits until one of `events` is signalled and returns its index; without a time-out
// it waits for ever. When several are signalled the lowest index wins, and only that
// one is consumed (if it is auto-reset); the others keep their state. Returns
// kWaitTimedOut when the time-out passes first.
int WaitAny(std::span<Event* const> events,
            std::optional<std::chrono::milliseconds> timeout = std::nullopt);
int WaitAny(std::initializer_list<Event*> events,
            std::optional<std::chrono::milliseconds> timeout = std::nullopt);

}  // namespace platform
