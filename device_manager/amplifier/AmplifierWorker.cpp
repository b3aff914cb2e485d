// The amplifier's worker: the wait on stop, write-pending and session-queue events with
// the meter tick, the meter and hardware reads, the status callback and the ready wait.
#include "device_manager/amplifier/CobaltAmplifier.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <vector>

#include "device_manager/library/seam/DeviceOperation.h"
#include "platform/base/Clock.h"
#include "platform/base/Event.h"

namespace CobaltDeviceManager {
namespace {

enum WorkerEvent { kStop = 0, kWritePending = 1, kSessionQueue = 2 };

}  // namespace

std::uint32_t CobaltAmplifier::Run(platform::Event* stopEvent)
{
    int polls = 0;
    for (;;) {
        const std::uint64_t now = platform::TickCountMs();
        std::optional<std::chrono::milliseconds> timeout;
        const bool polling = m_meterPolling.load();
        if (polling) {
            const std::uint64_t period = static_cast<std::uint64_t>(m_timings.meterPeriod.count());
            const std::uint64_t since = now - m_lastPollTick.load();
            timeout = std::chrono::milliseconds(since >= period ? 0 : period - since);
        }
        // A refused block is sent again when its pause runs out, flush or no flush.
        const std::optional<std::uint64_t> retry = NextRetryTick();
        if (retry) {
            const std::chrono::milliseconds untilRetry(*retry > now ? *retry - now : 0);
            timeout = timeout ? std::min(*timeout, untilRetry) : untilRetry;
        }
        const int woken = platform::WaitAny({stopEvent, m_writePendingEvent.get(), m_sessionEvent.get()}, timeout);
        if (woken == kStop) {
            CloseSessionQueue();
            DisconnectNow();
            return 0;
        }
        if (woken == kWritePending) {
            WritePendingImage(stopEvent);
            continue;
        }
        if (woken == kSessionQueue) {
            if (!RunQueuedSessions(stopEvent)) {
                CloseSessionQueue();
                DisconnectNow();
                return 0;
            }
            continue;
        }
        if (woken != platform::kWaitTimedOut) {
            continue;
        }
        if (retry && platform::TickCountMs() >= *retry) {
            WritePendingImage(stopEvent);
        }
        if (!polling || platform::ElapsedMs(m_lastPollTick.load()) <
                            static_cast<std::uint64_t>(m_timings.meterPeriod.count())) {
            continue;
        }
        PollMeters(stopEvent);
        if (!m_forceCallback.load() && ++polls < m_timings.pollsPerHardwareCheck) {
            continue;
        }
        const bool changed = RefreshHardwareInfo(stopEvent);
        const bool forced = m_forceCallback.exchange(false);
        if (changed || forced) {
            CallHwStatusCallback();
        }
        polls = 0;
    }
}

void CobaltAmplifier::CallHwStatusCallback()
{
    std::lock_guard<std::mutex> guard(m_callbackLock);
    if (m_callback != nullptr) {
        m_callback(m_callbackContext);
    }
}

bool CobaltAmplifier::RunQueuedSessions(platform::Event* stopEvent)
{
    for (;;) {
        // A stopping worker starts nothing more: what is still queued is let go unrun.
        if (platform::AnySignalled({stopEvent})) {
            return true;
        }
        ISessionX* session = nullptr;
        {
            std::lock_guard<std::mutex> guard(m_sessionLock);
            if (m_sessions.empty()) {
                return true;
            }
            session = m_sessions.front();
            m_sessions.pop_front();
        }
        const std::int32_t result = session->Run(m_handle.load(), stopEvent);
        session->Release();
        if (result == -1) {
            return false;
        }
    }
}

void CobaltAmplifier::CloseSessionQueue()
{
    std::lock_guard<std::mutex> guard(m_sessionLock);
    m_sessionsOpen = false;
}

void CobaltAmplifier::PollMeters(platform::Event* stopEvent)
{
    m_lastPollTick.store(platform::TickCountMs());
    const QdoHandle handle = m_handle.load();
    auto raw = std::make_shared<std::array<std::uint8_t, sizeof(MeterRecord)>>();
    std::uint8_t* buffer = raw->data();
    DeviceOperation operation(*m_library, m_timings.gateLimit, stopEvent);
    if (!operation.Start([&] { return m_library->ReadMCUbyID(handle, kMeterMemoryId, sizeof(MeterRecord), buffer); },
                         raw)) {
        return;
    }
    const OperationWait wait{m_timings.meterPoll, m_timings.operationLimit, m_timings.cancelGrace};
    const DeviceOperation::Outcome outcome = operation.Wait(wait, stopEvent);
    if (outcome != DeviceOperation::Outcome::Succeeded || operation.CancelSent()) {
        return;
    }
    std::uint8_t bytes[sizeof(MeterRecord)];
    std::memcpy(bytes, buffer, sizeof(bytes));
    const MeterRecord record = DecodeMeterRecord(bytes);
    {
        std::lock_guard<std::mutex> guard(m_meterLock);
        m_meter = record;
    }
    m_freshInputLevels.store(true);
    m_freshOutputLevels.store(true);
    m_freshStatus.store(true);
}

bool CobaltAmplifier::RefreshHardwareInfo(platform::Event* stopEvent)
{
    const QdoHandle handle = m_handle.load();
    auto record = std::make_shared<HwInfoRecord>();
    HwInfoRecord* buffer = record.get();
    bool read = false;
    {
        DeviceOperation operation(*m_library, m_timings.gateLimit, stopEvent);
        const OperationWait wait{m_timings.operationPoll, m_timings.operationLimit, m_timings.cancelGrace};
        read = operation.Run([&] { return m_library->ReadHwInfo(handle, buffer); }, record, wait, stopEvent) ==
               DeviceOperation::Outcome::Succeeded;
    }
    std::lock_guard<std::mutex> guard(m_hwLock);
    if (!read) {
        m_hwValid = false;
        return false;
    }
    HwInfoRecord fresh = *record;
    if (!m_byte12Valid) {
        fresh.bytes[12] = 0;
    }
    // Bytes 1-3 carry nothing the editor compares.
    const bool same = m_hwValid && fresh.bytes[0] == m_hwInfo.bytes[0] &&
                      std::memcmp(&fresh.bytes[4], &m_hwInfo.bytes[4], 8) == 0 &&
                      (!m_byte12Valid || fresh.bytes[12] == m_hwInfo.bytes[12]);
    if (same) {
        return false;
    }
    m_hwInfo = fresh;
    m_hwValid = true;
    return true;
}

bool CobaltAmplifier::WaitDeviceReady(QdoHandle handle, platform::Event* stopEvent)
{
    return WaitReady(handle, stopEvent, nullptr);
}

bool CobaltAmplifier::WaitReady(QdoHandle handle, platform::Event* stopEvent, platform::Event* cancelEvent)
{
    const OperationWait wait{m_timings.operationPoll, m_timings.operationLimit, m_timings.cancelGrace};
    for (int round = 0; round < m_timings.readyRounds; ++round) {
        auto flag = std::make_shared<std::uint8_t>(0);
        std::uint8_t* buffer = flag.get();
        {
            DeviceOperation operation(*m_library, m_timings.gateLimit, stopEvent, cancelEvent);
            if (!operation.Start([&] { return m_library->ReadMCUbyID(handle, kReadyFlagMemoryId, 1, buffer); },
                                 flag)) {
                return false;
            }
            if (operation.Wait(wait, stopEvent, cancelEvent) != DeviceOperation::Outcome::Succeeded ||
                operation.CancelSent()) {
                return false;
            }
        }
        if (*flag == 1) {
            return true;
        }
        std::vector<platform::Event*> events;
        for (platform::Event* event : {stopEvent, cancelEvent}) {
            if (event != nullptr) {
                events.push_back(event);
            }
        }
        if (events.empty()) {
            platform::SleepMs(static_cast<std::uint32_t>(m_timings.readyPause.count()));
        } else if (platform::WaitAny(events, m_timings.readyPause) != platform::kWaitTimedOut) {
            return false;
        }
    }
    return false;
}

}  // namespace CobaltDeviceManager
