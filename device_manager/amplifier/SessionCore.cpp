// The shared part of the sessions.
#include "device_manager/amplifier/SessionCore.h"
#include "platform/base/Event.h"

#include <new>
#include <utility>

namespace CobaltDeviceManager {

SessionCore::SessionCore(ISessionControllerX* controller)
    : m_controller(controller), m_timings(controller->Timings().sessions)
{
}

SessionCore::~SessionCore()
{
    if (WasQueued()) {
        Complete(kSessionFailed);
    }
}

bool SessionCore::Queue(ISessionX* self, ICDM_Progress* progress)
{
    if (WasQueued()) {
        return false;
    }
    if (!m_cancel) {
        m_cancel.reset(new (std::nothrow) platform::Event(platform::ResetMode::Manual, false));
        if (!m_cancel) {
            return false;
        }
    }
    m_progress.Reset(progress);
    m_phase.store(kQueued, std::memory_order_release);
    if (!m_controller->Enqueue(self)) {
        // Not queued: nobody runs the session, and the caller learns it from the result.
        m_phase.store(kNotQueued, std::memory_order_release);
        m_progress.Reset(nullptr);
        return false;
    }
    return true;
}

void SessionCore::SignalCancel()
{
    if (m_cancel) {
        m_cancel->Set();
    }
}

void SessionCore::CancelOrEndUnrun()
{
    SignalCancel();
    int queued = kQueued;
    if (m_phase.compare_exchange_strong(queued, kEndedUnrun, std::memory_order_acq_rel)) {
        Complete(kSessionCancelled);
    }
}

bool SessionCore::BeginRun()
{
    int queued = kQueued;
    return m_phase.compare_exchange_strong(queued, kRunning, std::memory_order_acq_rel);
}

void SessionCore::Progress(std::int32_t code, std::int32_t value)
{
    if (m_progress && !m_completed.load(std::memory_order_acquire)) {
        m_progress->OnProgress(code, value);
    }
}

void SessionCore::Complete(std::int32_t result)
{
    if (m_completed.exchange(true, std::memory_order_acq_rel)) {
        return;
    }
    if (m_progress) {
        m_progress->OnComplete(result);
    }
}

DeviceOperation::Outcome SessionCore::RunTransfer(QdoHandle handle, platform::Event* stopEvent,
                                                  std::chrono::milliseconds poll,
                                                  const std::function<std::int32_t()>& start,
                                                  std::shared_ptr<void> buffers)
{
    IDeviceLibrary& library = Library();
    DeviceOperation operation(library, m_timings.gateLimit, stopEvent, CancelEvent());
    // A cancel that ended the wait for the gate is a cancel; a stop with it still wins.
    if (!operation.HasGate() && platform::AnySignalled({CancelEvent()}) && !platform::AnySignalled({stopEvent})) {
        return DeviceOperation::Outcome::Cancelled;
    }
    if (!operation.Start(start, std::move(buffers))) {
        return DeviceOperation::Outcome::NotStarted;
    }
    return operation.Wait(TransferWait(m_timings, poll), stopEvent, CancelEvent(),
                          [&] { Progress(0, library.GetOperationProgress(handle)); });
}

std::int32_t SessionCore::FinishTransfer(DeviceOperation::Outcome outcome)
{
    switch (outcome) {
    case DeviceOperation::Outcome::Succeeded:
        Complete(kSessionDone);
        return 1;
    case DeviceOperation::Outcome::Cancelled:
        Complete(kSessionCancelled);
        return 0;
    default:
        Complete(kSessionFailed);
        return 0;
    }
}

OperationWait TransferWait(const SessionTimings& timings, std::chrono::milliseconds poll)
{
    return OperationWait{poll, timings.transferLimit, timings.cancelGrace};
}

}  // namespace CobaltDeviceManager
