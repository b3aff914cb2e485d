// Start, bounded wait with cancel, and result of one device-library operation.
#include "device_manager/library/seam/DeviceOperation.h"

#include <algorithm>
#include <vector>

#include "platform/base/Clock.h"

namespace CobaltDeviceManager {

DeviceOperation::DeviceOperation(IDeviceLibrary& library, std::chrono::milliseconds gateLimit,
                                 platform::Event* gateStop, platform::Event* gateCancel)
    : m_library(library), m_gate(library.Gate().Acquire(gateLimit, gateStop, gateCancel))
{
    if (m_gate.Owns()) {
        m_library.Gate().DropParkedIfIdle(m_library);
    }
}

DeviceOperation::~DeviceOperation()
{
    if (m_started && !m_completed && m_gate.Owns()) {
        m_library.Gate().Park(std::move(m_buffers));
    }
}

bool DeviceOperation::Start(const std::function<std::int32_t()>& start, std::shared_ptr<void> buffers)
{
    if (!m_gate.Owns() || m_started) {
        return false;
    }
    m_buffers = std::move(buffers);
    m_started = start() == 1;
    return m_started;
}

DeviceOperation::Outcome DeviceOperation::Wait(const OperationWait& wait, platform::Event* stop,
                                               platform::Event* cancel, const std::function<void()>& onTick)
{
    if (!m_started) {
        return Outcome::NotStarted;
    }
    // The stop first: WaitAny reports the lowest signalled index.
    std::vector<platform::Event*> events;
    for (platform::Event* event : {stop, cancel}) {
        if (event != nullptr) {
            events.push_back(event);
        }
    }
    auto deadline = std::make_unique<platform::Deadline>(wait.limit);
    while (m_library.IsOperationCompleted(nullptr) != 1) {
        if (m_cancelSent) {
            if (deadline->Expired()) {
                return m_cancelRequested ? Outcome::Cancelled : Outcome::Abandoned;
            }
            // The stop event stays signalled, so after the cancel only time paces the polls.
            platform::SleepMs(static_cast<std::uint32_t>(std::min(wait.pollInterval, deadline->Remaining()).count()));
            continue;
        }
        int woken = platform::kWaitTimedOut;
        if (events.empty()) {
            platform::SleepMs(static_cast<std::uint32_t>(wait.pollInterval.count()));
        } else {
            woken = platform::WaitAny(events, wait.pollInterval);
        }
        const bool signalled = woken >= 0 && static_cast<std::size_t>(woken) < events.size();
        if (signalled || deadline->Expired()) {
            m_library.CancelOperation(nullptr);
            m_cancelSent = true;
            m_cancelRequested = signalled && events[static_cast<std::size_t>(woken)] == cancel;
            deadline = std::make_unique<platform::Deadline>(wait.cancelGrace);
        } else if (onTick) {
            onTick();
        }
    }
    m_completed = true;
    if (m_library.IsOperationSuccessful(nullptr) == 1) {
        return Outcome::Succeeded;
    }
    return m_cancelRequested ? Outcome::Cancelled : Outcome::Failed;
}

DeviceOperation::Outcome DeviceOperation::Run(const std::function<std::int32_t()>& start,
                                              std::shared_ptr<void> buffers, const OperationWait& wait,
                                              platform::Event* stop)
{
    if (!Start(start, std::move(buffers))) {
        return Outcome::NotStarted;
    }
    return Wait(wait, stop);
}

bool DisconnectDevice(IDeviceLibrary& library, QdoHandle& handle, std::chrono::milliseconds limit,
                      std::chrono::milliseconds retryInterval)
{
    if (handle == nullptr) {
        return true;
    }
    const platform::Deadline deadline(limit);
    OperationGate::Hold gate = library.Gate().Acquire(limit, nullptr);
    for (;;) {
        if (library.DisconnectDevice(&handle) == 1) {
            handle = nullptr;
            if (gate.Owns()) {
                library.Gate().DropParkedIfIdle(library);
            }
            return true;
        }
        if (deadline.Expired()) {
            return false;
        }
        // "Busy": an operation (perhaps one abandoned earlier) or the device's last job is
        // still running; the completion poll also lets the library join its worker.
        library.IsOperationCompleted(nullptr);
        platform::SleepMs(static_cast<std::uint32_t>(std::min(retryInterval, deadline.Remaining()).count()));
    }
}

}  // namespace CobaltDeviceManager
