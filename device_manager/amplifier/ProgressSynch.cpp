// The waiting progress sink.
#include "device_manager/amplifier/ProgressSynch.h"

#include <new>

namespace CobaltDeviceManager {

ProgressSynch::ProgressSynch(std::unique_ptr<platform::Event> event) : m_event(std::move(event)) {}

void ProgressSynch::OnProgress(std::int32_t, std::int32_t) {}

void ProgressSynch::OnComplete(std::int32_t result)
{
    m_completed.store(result == kSessionDone, std::memory_order_release);
    m_event->Set();
}

bool ProgressSynch::WaitFor(std::chrono::milliseconds timeout)
{
    return m_event->WaitFor(timeout);
}

bool CreateProgressSynch(ProgressSynch** out)
{
    if (out == nullptr) {
        return false;
    }
    std::unique_ptr<platform::Event> event(new (std::nothrow) platform::Event(platform::ResetMode::Manual, false));
    if (!event) {
        return false;
    }
    auto* synch = CreateRCObject<RCObject2<ProgressSynch, void*>>(std::move(event));
    if (synch == nullptr) {
        return false;
    }
    *out = synch;
    return true;
}

}  // namespace CobaltDeviceManager
