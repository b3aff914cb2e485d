// One device-library operation from its start call to its success flag, run while holding
// the library-wide gate. Waits are bounded: a stop or cancel event, or the time limit,
// sends one cancel, and an operation that still has not completed a grace period later
// is abandoned with its buffers parked in the gate until the library lets go of them.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "device_manager/library/seam/IDeviceLibrary.h"
#include "platform/base/Event.h"

namespace CobaltDeviceManager {

struct OperationWait {
    // How often completion is polled (and the progress callback called).
    std::chrono::milliseconds pollInterval{50};
    // Bound on the wait before the operation is cancelled by this side.
    std::chrono::milliseconds limit{60000};
    // After a cancel, how long completion is still awaited before giving up on it.
    std::chrono::milliseconds cancelGrace{1000};
};

class DeviceOperation {
public:
    // Only the caller's cancel event makes an operation Cancelled: one cancelled because the
    // worker is stopping (its amplifier went away) or because it ran out of time failed.
    enum class Outcome {
        NotStarted,  // no gate, or the start call did not return 1
        Succeeded,   // completed with the success flag 1 (also after a cancel it ignored)
        Failed,      // completed unsuccessfully, without a cancel or after one for a stop or the time limit
        Cancelled,   // did not succeed after the cancel event asked for a cancel (completed or not)
        Abandoned,   // did not complete after a cancel for a stop or the time limit
    };

    // Takes the gate, waiting at most `gateLimit` and not past a signalled `gateStop` or
    // `gateCancel` (either may be null).
    DeviceOperation(IDeviceLibrary& library, std::chrono::milliseconds gateLimit, platform::Event* gateStop,
                    platform::Event* gateCancel = nullptr);
    // Parks the buffers of a started operation that was not seen completed; frees the gate.
    ~DeviceOperation();
    DeviceOperation(const DeviceOperation&) = delete;
    DeviceOperation& operator=(const DeviceOperation&) = delete;

    bool HasGate() const { return m_gate.Owns(); }

    // Runs `start` (a start call of the library) when the gate is held. `buffers` own
    // whatever the operation reads or writes; they are kept alive until the library has
    // completed the operation, even past this object. True when the call returned 1.
    bool Start(const std::function<std::int32_t()>& start, std::shared_ptr<void> buffers = {});

    // Waits for completion. `stop` and `cancel` (either may be null) send one cancel when
    // signalled (a stop wins over a cancel signalled with it); `onTick` runs after each poll
    // that found the operation still running and no cancel sent. An operation that has not
    // completed a grace period after the cancel is given up (its buffers stay parked).
    Outcome Wait(const OperationWait& wait, platform::Event* stop = nullptr, platform::Event* cancel = nullptr,
                 const std::function<void()>& onTick = {});

    // Start and Wait together.
    Outcome Run(const std::function<std::int32_t()>& start, std::shared_ptr<void> buffers, const OperationWait& wait,
                platform::Event* stop = nullptr);

    // This side sent a cancel for the operation.
    bool CancelSent() const { return m_cancelSent; }

private:
    IDeviceLibrary& m_library;
    OperationGate::Hold m_gate;
    std::shared_ptr<void> m_buffers;
    bool m_started = false;
    bool m_completed = false;
    bool m_cancelSent = false;
    bool m_cancelRequested = false;  // the cancel was sent for the caller's cancel event
};

// Releases the connected device: takes the gate (at most `limit`), waits for an operation
// still running to complete, and retries a disconnect answered "busy" every `retryInterval`
// until it succeeds or `limit` has passed. True (and `handle` null) when released.
bool DisconnectDevice(IDeviceLibrary& library, QdoHandle& handle, std::chrono::milliseconds limit,
                      std::chrono::milliseconds retryInterval);

}  // namespace CobaltDeviceManager
