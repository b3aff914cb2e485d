// The worker thread of a device-manager object: runs an IThreadEntry with a stop event.
#pragma once

#include <memory>
#include <mutex>

#include "device_manager/core/IThread.h"
#include "device_manager/core/IThreadEntry.h"
#include "device_manager/core/RefCounting.h"
#include "platform/base/Event.h"
#include "platform/base/WorkerThread.h"

namespace CobaltDeviceManager {

// Scheduling priorities accepted by Thread::Create. Ordinary Linux threads all run at the
// same priority, so the value is kept for callers' sake and does not change scheduling.
inline constexpr int kThreadPriorityNormal = 0;

class Thread : public RCObjectRootEx<RCObjectMultiThreadModel>, public IThread {
public:
    // Starts a thread that calls entry->Run with a fresh stop event (manual reset, not
    // signalled). On success *out holds one reference for the caller and the Thread holds
    // one on the entry. On failure (null argument, no memory, no thread) *out is left as
    // it was and false is returned.
    static bool Create(IThreadEntry* entry, IThread** out, int priority = kThreadPriorityNormal);

    void RequestStop() override;
    bool StopAndWait() override;
    void Shutdown() override;

protected:
    Thread();
    // Closes the stop event and lets go of the entry; a thread still running is stopped
    // and joined first (or, when this runs on that thread, left to end by itself).
    ~Thread();

private:
    // The body of the worker: the entry's Run. `entry` carries a reference of the worker's
    // own, so the entry outlives Run even if the Thread lets go of it meanwhile.
    static void ThreadProc(IThreadEntry* entry, platform::Event& stopEvent);

    // Drops the thread and the entry once the thread has ended.
    void ForgetJoined(const std::shared_ptr<platform::WorkerThread>& joined);

    std::mutex m_lock;                                 // guards m_entry and m_thread
    IThreadEntry* m_entry = nullptr;                   // one reference held
    std::shared_ptr<platform::Event> m_stopEvent;      // shared with the running thread
    std::shared_ptr<platform::WorkerThread> m_thread;  // null once joined
};

}  // namespace CobaltDeviceManager
