// Finding a transport's device for a job.
#include "device_library/src/transport/DeviceLocator.h"

#include <utility>

namespace QuarryDriver {

DeviceLocator::DeviceLocator(std::string fixedPath) : lastKnownPath_(std::move(fixedPath)) {}

DeviceLocator::DeviceLocator(std::string lastKnownPath, Finder find)
    : lastKnownPath_(std::move(lastKnownPath)), find_(std::move(find))
{
}

std::optional<std::string> DeviceLocator::Resolve() const
{
    if (!find_) {
        return lastKnownPath_;
    }
    // Nothing thrown by the platform's listing may end a job's worker.
    try {
        return find_();
    } catch (...) {
        return std::nullopt;
    }
}

}  // namespace QuarryDriver
