// The operation gate: a held flag under a mutex, waited for in short slices so that a stop
// request ends the wait soon.
#include "device_manager/library/seam/OperationGate.h"

#include <algorithm>
#include <utility>

#include "device_manager/library/seam/IDeviceLibrary.h"
#include "platform/base/Clock.h"
#include "platform/base/Event.h"

namespace CobaltDeviceManager {
namespace {

constexpr std::chrono::milliseconds kAcquireSlice{10};

}  // namespace

OperationGate::Hold::Hold(Hold&& other) noexcept : m_gate(std::exchange(other.m_gate, nullptr)) {}

OperationGate::Hold& OperationGate::Hold::operator=(Hold&& other) noexcept
{
    if (this != &other) {
        Release();
        m_gate = std::exchange(other.m_gate, nullptr);
    }
    return *this;
}

OperationGate::Hold::~Hold()
{
    Release();
}

void OperationGate::Hold::Release()
{
    if (OperationGate* gate = std::exchange(m_gate, nullptr)) {
        gate->Free();
    }
}

OperationGate::Hold OperationGate::Acquire(std::chrono::milliseconds limit, platform::Event* stop,
                                           platform::Event* cancel)
{
    const platform::Deadline deadline(limit);
    std::unique_lock<std::mutex> guard(m_lock);
    for (;;) {
        if (platform::AnySignalled({stop, cancel})) {
            return Hold();
        }
        if (!m_held) {
            m_held = true;
            return Hold(this);
        }
        if (deadline.Expired()) {
            return Hold();
        }
        m_freed.wait_for(guard, std::min(kAcquireSlice, deadline.Remaining()));
    }
}

void OperationGate::Free()
{
    {
        std::lock_guard<std::mutex> guard(m_lock);
        m_held = false;
    }
    m_freed.notify_one();
}

void OperationGate::Park(std::shared_ptr<void> buffers)
{
    if (buffers) {
        m_parked = std::move(buffers);
    }
}

bool OperationGate::DropParkedIfIdle(IDeviceLibrary& library)
{
    if (!m_parked) {
        return true;
    }
    if (library.IsOperationCompleted(nullptr) == 1) {
        m_parked.reset();
        return true;
    }
    return false;
}

}  // namespace CobaltDeviceManager
