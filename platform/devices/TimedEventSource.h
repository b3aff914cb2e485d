// One descriptor for the caller's event loop that stands for other descriptors, a one-shot
// timer and a wake-up: it is readable while any watched descriptor is readable, the timer
// has run out or another thread has woken it. An owner without a toolkit keeps its own
// deadlines and hears from its helper threads on the UI thread's loop this way.
#pragma once

#include <chrono>
#include <memory>

namespace platform::devices {

class TimedEventSource {
public:
    // Null when the descriptors cannot be made.
    static std::unique_ptr<TimedEventSource> Open();
    ~TimedEventSource();
    TimedEventSource(const TimedEventSource&) = delete;
    TimedEventSource& operator=(const TimedEventSource&) = delete;

    // Owned by this object.
    int Fd() const { return m_epollFd; }

    // Watches `fd` as well (not owned; it leaves the set by itself when closed). True when it
    // is watched, also when it was already.
    bool Watch(int fd);

    // Runs the timer out `fromNow` from now (at once when not positive), in place of any
    // earlier setting; an expiry not yet taken is forgotten.
    void Arm(std::chrono::steady_clock::duration fromNow);
    void Disarm();

    // True when the timer has run out since it was armed; the descriptor stops being
    // readable on its account. Never blocks.
    bool TakeExpiry();

    // Makes the descriptor readable until TakeWake; any thread may call it.
    void Wake();
    // True when woken since the last call; never blocks.
    bool TakeWake();

private:
    TimedEventSource(int epollFd, int timerFd, int wakeFd) : m_epollFd(epollFd), m_timerFd(timerFd), m_wakeFd(wakeFd)
    {
    }

    // Reads and resets the count of a timerfd or eventfd; true when it was not zero.
    static bool TakeCount(int fd);

    int m_epollFd = -1;
    int m_timerFd = -1;
    int m_wakeFd = -1;  // an eventfd
};

}  // namespace platform::devices
