// The process-wide gate around the device library's single operation. Whoever holds it
// may start an operation, poll it and read its success flag without another thread's
// operation slipping in between. It also keeps the buffers of an operation that was
// abandoned before it completed alive until the library has finished with them.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

#include "platform/base/Event.h"

namespace CobaltDeviceManager {

class IDeviceLibrary;

class OperationGate {
public:
    // The gate held by one thread; lets go of it when destroyed.
    class Hold {
    public:
        Hold() = default;
        Hold(Hold&& other) noexcept;
        Hold& operator=(Hold&& other) noexcept;
        ~Hold();

        bool Owns() const { return m_gate != nullptr; }
        void Release();

    private:
        friend class OperationGate;
        explicit Hold(OperationGate* gate) : m_gate(gate) {}

        OperationGate* m_gate = nullptr;
    };

    OperationGate() = default;
    OperationGate(const OperationGate&) = delete;
    OperationGate& operator=(const OperationGate&) = delete;

    // Waits for the gate at most `limit`, and gives up early once `stop` or `cancel` (either
    // may be null) is signalled. The gate is not re-entrant: a thread must not wait for it
    // while holding it.
    Hold Acquire(std::chrono::milliseconds limit, platform::Event* stop, platform::Event* cancel = nullptr);

    // Called with the gate held: `buffers` belong to an operation that has not completed;
    // they are kept until a later holder sees the library idle.
    void Park(std::shared_ptr<void> buffers);

    // Called with the gate held: lets go of parked buffers once the library reports the
    // operation completed. True when nothing is parked any more.
    bool DropParkedIfIdle(IDeviceLibrary& library);

private:
    void Free();

    // A plain mutex and condition rather than a timed mutex: ThreadSanitizer does not
    // follow the clock-based lock that a timed mutex's bounded wait uses.
    std::mutex m_lock;                // guards m_held
    std::condition_variable m_freed;
    bool m_held = false;
    std::shared_ptr<void> m_parked;   // used only by the holder of the gate
};

}  // namespace CobaltDeviceManager
