// The process-wide gate around the device library's single operation. Whoever holds it
// may start an operation, poll it and read its success flag without another thread's
// operation slipping in between. It also keeps the buffers of an operation that was
// abandoned before it completed alive until the library has finished with them.
#pragma once

#include <chrono>
#include <memory>
#include <mutex>

#include "platform/base/Event.h"

namespace CobaltDeviceManager {

class IDeviceLibrary;

class OperationGate {
public:
    OperationGate() = default;
    OperationGate(const OperationGate&) = delete;
    OperationGate& operator=(const OperationGate&) = delete;

    // Waits for the gate at most `limit`, and gives up early once `stop` (may be null) is
    // signalled. The returned lock owns the gate when it is engaged.
    std::unique_lock<std::timed_mutex> Acquire(std::chrono::milliseconds limit, platform::Event* stop);

    // Called with the gate held: `buffers` belong to an operation that has not completed;
    // they are kept until a later holder sees the library idle.
    void Park(std::shared_ptr<void> buffers);

    // Called with the gate held: lets go of parked buffers once the library reports the
    // operation completed. True when nothing is parked any more.
    bool DropParkedIfIdle(IDeviceLibrary& library);

private:
    std::timed_mutex m_mutex;
    std::shared_ptr<void> m_parked;  // guarded by m_mutex (the gate itself)
};

}  // namespace CobaltDeviceManager
