// The library's two waits, named once: a wait for any of its locks ends after five seconds
// (a time-out fails the call), and a wait for a worker polls every 10 ms.
#ifndef QUARRY_DRIVER_LIBRARY_WAITS_H
#define QUARRY_DRIVER_LIBRARY_WAITS_H

#include <chrono>

namespace QuarryDriver {

inline constexpr std::chrono::milliseconds kLockWait{5000};
inline constexpr std::chrono::milliseconds kPollInterval{10};

}  // namespace QuarryDriver

#endif
