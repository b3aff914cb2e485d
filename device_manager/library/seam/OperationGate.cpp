// The operation gate: a timed mutex acquired in short slices so that a stop request ends
// the wait at once.
#include "device_manager/library/seam/OperationGate.h"

#include <algorithm>

#include "device_manager/library/seam/IDeviceLibrary.h"
#include "platform/base/Clock.h"

namespace CobaltDeviceManager {
namespace {

constexpr std::chrono::milliseconds kAcquireSlice{10};

}  // namespace

std::unique_lock<std::timed_mutex> OperationGate::Acquire(std::chrono::milliseconds limit, platform::Event* stop)
{
    std::unique_lock<std::timed_mutex> lock(m_mutex, std::defer_lock);
    const platform::Deadline deadline(limit);
    for (;;) {
        if (stop != nullptr && stop->IsSignalled()) {
            return lock;
        }
        const auto slice = std::min(kAcquireSlice, deadline.Remaining());
        if (lock.try_lock_for(slice)) {
            return lock;
        }
        if (deadline.Expired()) {
            return lock;
        }
    }
}

void OperationGate::Park(std::shared_ptr<void> buffers)
{
    if (buffers) {
        m_parked = std::move(buffers);
    }
}

bool OperationGate::DropParkedIfIdle(IDeviceLibrary& library)
{
    if (!m_parked) {
        return true;
    }
    if (library.IsOperationCompleted(nullptr) == 1) {
        m_parked.reset();
        return true;
    }
    return false;
}

}  // namespace CobaltDeviceManager
