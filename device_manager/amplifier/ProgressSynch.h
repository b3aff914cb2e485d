// A progress sink that lets a thread wait for a session's end: OnComplete records whether
// the session was done (code 0) and signals an event. The waiter holds its own reference,
// so a waiter that gave up and a session that completes late never meet a freed object.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>

#include "device_manager/amplifier/SessionInterfaces.h"
#include "device_manager/core/RefCounting.h"
#include "platform/base/Event.h"

namespace CobaltDeviceManager {

class ProgressSynch : public RCObjectRootEx<RCObjectMultiThreadModel>, public ICDM_Progress {
public:
    void OnProgress(std::int32_t code, std::int32_t value) override;
    void OnComplete(std::int32_t result) override;

    // Waits at most `timeout` for OnComplete; true when it came.
    bool WaitFor(std::chrono::milliseconds timeout);
    // The session ended with code 0.
    bool Completed() const { return m_completed.load(std::memory_order_acquire); }

protected:
    explicit ProgressSynch(std::unique_ptr<platform::Event> event);
    ~ProgressSynch() = default;

private:
    friend bool CreateProgressSynch(ProgressSynch** out);

    std::unique_ptr<platform::Event> m_event;  // manual reset; the event is thread-safe itself
    std::atomic<bool> m_completed{false};      // written before the event is signalled
};

// One reference for the caller; false (out untouched) when the event cannot be made.
bool CreateProgressSynch(ProgressSynch** out);

}  // namespace CobaltDeviceManager
