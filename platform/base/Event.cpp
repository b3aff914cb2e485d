// All events share one lock and one condition variable. The editor has a handful of
// threads, so waking every waiter on a Set costs nothing worth measuring, and it lets
// WaitAny look at all its events at one instant, which keeps "lowest signalled index
// wins" exact.
#include "platform/base/Event.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

namespace platform {
namespace {

struct EventHub {
    std::mutex lock;
    std::condition_variable changed;
};

// Never destroyed: a worker left to finish on its own may still set an event while the
// process runs its static destructors.
EventHub& Hub()
{
    static EventHub* const hub = new EventHub;
    return *hub;
}

// Keeps now + timeout inside the clock's range; a year is "for ever" for any caller.
std::chrono::steady_clock::time_point DeadlineAfter(std::chrono::milliseconds timeout)
{
    constexpr std::chrono::milliseconds kLongest = std::chrono::hours(24 * 365);
    const auto clamped = std::clamp(timeout, std::chrono::milliseconds(0), kLongest);
    return std::chrono::steady_clock::now() + clamped;
}

}  // namespace

Event::Event(ResetMode mode, bool initiallySignalled) : m_mode(mode), m_signalled(initiallySignalled) {}

void Event::Set()
{
    EventHub& hub = Hub();
    {
        std::lock_guard<std::mutex> guard(hub.lock);
        m_signalled = true;
    }
    hub.changed.notify_all();
}

void Event::Reset()
{
    std::lock_guard<std::mutex> guard(Hub().lock);
    m_signalled = false;
}

bool Event::IsSignalled() const
{
    std::lock_guard<std::mutex> guard(Hub().lock);
    return m_signalled;
}

bool Event::TryConsumeLocked()
{
    if (!m_signalled) {
        return false;
    }
    if (m_mode == ResetMode::Auto) {
        m_signalled = false;
    }
    return true;
}

void Event::Wait()
{
    Event* self = this;
    WaitAny(std::span<Event* const>(&self, 1), std::nullopt);
}

bool Event::WaitFor(std::chrono::milliseconds timeout)
{
    Event* self = this;
    return WaitAny(std::span<Event* const>(&self, 1), timeout) == 0;
}

int WaitAny(std::span<Event* const> events, std::optional<std::chrono::milliseconds> timeout)
{
    if (events.empty() || std::any_of(events.begin(), events.end(), [](Event* e) { return e == nullptr; })) {
        return kWaitInvalid;
    }
    const bool bounded = timeout.has_value();
    const auto deadline = bounded ? DeadlineAfter(*timeout) : std::chrono::steady_clock::time_point{};

    EventHub& hub = Hub();
    std::unique_lock<std::mutex> guard(hub.lock);
    for (;;) {
        for (std::size_t i = 0; i < events.size(); ++i) {
            if (events[i]->TryConsumeLocked()) {
                return static_cast<int>(i);
            }
        }
        if (!bounded) {
            hub.changed.wait(guard);
        } else if (hub.changed.wait_until(guard, deadline) == std::cv_status::timeout) {
            // One last look: a Set may have landed together with the time-out.
            for (std::size_t i = 0; i < events.size(); ++i) {
                if (events[i]->TryConsumeLocked()) {
                    return static_cast<int>(i);
                }
            }
            return kWaitTimedOut;
        }
    }
}

int WaitAny(std::initializer_list<Event*> events, std::optional<std::chrono::milliseconds> timeout)
{
    return WaitAny(std::span<Event* const>(events.begin(), events.size()), timeout);
}

}  // namespace platform
