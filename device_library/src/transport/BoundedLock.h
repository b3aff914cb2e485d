// Mutex waits with an upper bound, built on try_lock polls. std::timed_mutex would do the
// same, but its timed wait goes through pthread_mutex_clocklock, which ThreadSanitizer does
// not intercept; it then takes every later unlock for a fault and the TSan run is useless.
#ifndef QUARRY_DRIVER_BOUNDED_LOCK_H
#define QUARRY_DRIVER_BOUNDED_LOCK_H

#include <chrono>
#include <mutex>
#include <thread>

namespace QuarryDriver {

// Takes mutex within wait, retrying every poll; true when it is now held by the caller.
inline bool LockWithin(std::mutex& mutex, std::chrono::milliseconds wait,
                       std::chrono::milliseconds poll = std::chrono::milliseconds(1))
{
    if (mutex.try_lock()) {
        return true;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(poll);
        if (mutex.try_lock()) {
            return true;
        }
    }
    return false;
}

// Holds mutex for a scope when it was obtained within the wait; check OwnsLock() first.
class BoundedLock {
public:
    BoundedLock(std::mutex& mutex, std::chrono::milliseconds wait)
        : mutex_(mutex), owns_(LockWithin(mutex, wait))
    {
    }
    ~BoundedLock()
    {
        if (owns_) {
            mutex_.unlock();
        }
    }
    BoundedLock(const BoundedLock&) = delete;
    BoundedLock& operator=(const BoundedLock&) = delete;

    bool OwnsLock() const { return owns_; }

private:
    std::mutex& mutex_;
    const bool owns_;
};

}  // namespace QuarryDriver

#endif
