// What every session shares: the amplifier's session controller, the progress sink, the
// cancel event, queueing, and the guarantee that a session that was queued hears exactly
// one OnComplete, even when it never runs. A session cancelled while it still waits in the
// queue ends at once: it never waits for whatever the worker does before it.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "device_manager/amplifier/AmplifierTimings.h"
#include "device_manager/amplifier/SessionInterfaces.h"
#include "device_manager/core/RefHolder.h"
#include "device_manager/library/seam/DeviceOperation.h"
#include "platform/base/Event.h"

namespace CobaltDeviceManager {

class SessionCore {
public:
    SessionCore(const SessionCore&) = delete;
    SessionCore& operator=(const SessionCore&) = delete;

protected:
    // The session takes its timings from the amplifier that runs it.
    explicit SessionCore(ISessionControllerX* controller);
    // A session queued on an amplifier whose worker ended before running it (the queue was
    // drained) tells its sink that it failed.
    ~SessionCore();

    // UI thread. Creates the cancel event, keeps the sink and queues `self`. False when the
    // event cannot be made, when the session was queued before, or when the amplifier no
    // longer takes sessions.
    bool Queue(ISessionX* self, ICDM_Progress* progress);

    // UI thread: signals the cancel event of a started session.
    void SignalCancel();
    // UI thread: signals the cancel event; a session the worker has not begun to run ends
    // now as cancelled, so that a block write or a meter read ahead of it in the worker
    // cannot hold the caller up. Only for sessions whose Run starts with BeginRun.
    void CancelOrEndUnrun();
    // Worker, first in Run: false when the session ended before it ran (nothing to do).
    bool BeginRun();

    // Sink calls, on the worker (Complete also where an unrun session is let go, and on the
    // UI thread where one is cancelled before it ran). Complete reports once; later calls
    // are ignored.
    void Progress(std::int32_t code, std::int32_t value);
    void Complete(std::int32_t result);

    ISessionControllerX& Controller() { return *m_controller.Get(); }
    IDeviceLibrary& Library() { return m_controller->Library(); }
    platform::Event* CancelEvent() { return m_cancel.get(); }
    const SessionTimings& Timings() const { return m_timings; }
    bool WasQueued() const { return m_phase.load(std::memory_order_acquire) != kNotQueued; }

    // Worker: starts a read or upload with `start` (its buffers live as long as the
    // operation), then waits with the stop and cancel events, reporting progress every
    // `poll` while not cancelled.
    DeviceOperation::Outcome RunTransfer(QdoHandle handle, platform::Event* stopEvent,
                                         std::chrono::milliseconds poll, const std::function<std::int32_t()>& start,
                                         std::shared_ptr<void> buffers);
    // Worker: tells the sink how a transfer ended and gives the run's result (1 done, else 0).
    std::int32_t FinishTransfer(DeviceOperation::Outcome outcome);

private:
    RefHolder<ISessionControllerX> m_controller;
    const SessionTimings m_timings;
    // Set on the UI thread by Queue before the session is queued; the queue's lock hands
    // them to the worker, and nothing changes them afterwards.
    RefHolder<ICDM_Progress> m_progress;
    std::unique_ptr<platform::Event> m_cancel;  // manual reset; thread-safe itself
    // Queued moves on to running (the worker) or to ended unrun (a cancel) exactly once.
    enum Phase { kNotQueued, kQueued, kRunning, kEndedUnrun };
    std::atomic<int> m_phase{kNotQueued};
    std::atomic<bool> m_completed{false};
};

// How a read or upload waits for its operation.
OperationWait TransferWait(const SessionTimings& timings, std::chrono::milliseconds poll);

}  // namespace CobaltDeviceManager
