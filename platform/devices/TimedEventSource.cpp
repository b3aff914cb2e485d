// Other descriptors, a timer and a wake-up behind one epoll descriptor.
#include "platform/devices/TimedEventSource.h"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>

namespace platform::devices {

std::unique_ptr<TimedEventSource> TimedEventSource::Open()
{
    const int epollFd = ::epoll_create1(EPOLL_CLOEXEC);
    const int timerFd = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    const int wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    std::unique_ptr<TimedEventSource> source;
    if (epollFd >= 0 && timerFd >= 0 && wakeFd >= 0) {
        source.reset(new (std::nothrow) TimedEventSource(epollFd, timerFd, wakeFd));
    }
    if (!source) {
        for (const int fd : {epollFd, timerFd, wakeFd}) {
            if (fd >= 0) {
                ::close(fd);
            }
        }
        return nullptr;
    }
    if (!source->Watch(timerFd) || !source->Watch(wakeFd)) {
        return nullptr;
    }
    return source;
}

TimedEventSource::~TimedEventSource()
{
    ::close(m_wakeFd);
    ::close(m_timerFd);
    ::close(m_epollFd);
}

bool TimedEventSource::Watch(int fd)
{
    if (fd < 0) {
        return false;
    }
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.fd = fd;
    return ::epoll_ctl(m_epollFd, EPOLL_CTL_ADD, fd, &event) == 0 || errno == EEXIST;
}

void TimedEventSource::Arm(std::chrono::steady_clock::duration fromNow)
{
    // A zero time disarms a timerfd, so "at once" is one nanosecond.
    const auto ns = std::max<std::chrono::nanoseconds::rep>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(fromNow).count(), 1);
    itimerspec setting{};
    setting.it_value.tv_sec = static_cast<time_t>(ns / 1000000000);
    setting.it_value.tv_nsec = static_cast<long>(ns % 1000000000);
    ::timerfd_settime(m_timerFd, 0, &setting, nullptr);
}

void TimedEventSource::Disarm()
{
    const itimerspec setting{};
    ::timerfd_settime(m_timerFd, 0, &setting, nullptr);
}

bool TimedEventSource::TakeExpiry()
{
    return TakeCount(m_timerFd);
}

void TimedEventSource::Wake()
{
    const std::uint64_t one = 1;
    while (::write(m_wakeFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

bool TimedEventSource::TakeWake()
{
    return TakeCount(m_wakeFd);
}

bool TimedEventSource::TakeCount(int fd)
{
    // A timerfd and an eventfd both hand out their whole count in one read and reset it.
    std::uint64_t count = 0;
    for (;;) {
        const ssize_t got = ::read(fd, &count, sizeof count);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        return got == static_cast<ssize_t>(sizeof count) && count > 0;
    }
}

}  // namespace platform::devices
