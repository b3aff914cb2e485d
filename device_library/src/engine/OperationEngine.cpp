// The operation engine: start, worker, polls and disconnect.
#include "device_library/src/engine/OperationEngine.h"

#include <chrono>
#include <thread>

#include "device_library/src/transport/LibraryWaits.h"

namespace QuarryDriver {

OperationEngine::OperationEngine(DeviceRegistry& registry) : registry_(registry) {}

OperationEngine::~OperationEngine()
{
    Shutdown();
}

void OperationEngine::Shutdown()
{
    {
        // Under the lock, so no start that has already checked the flag is still on its way.
        std::lock_guard<std::mutex> guard(operationLock_);
        stopping_ = true;
    }
    std::lock_guard<std::mutex> guard(workerLock_);
    JoinWorkerLocked();
}

int OperationEngine::Start(const void* handle, OperationRequest request)
{
    CDeviceBase* device = nullptr;
    {
        std::lock_guard<std::mutex> guard(operationLock_);
        device = registry_.ConnectedDeviceIf(handle);
        if (device == nullptr || idle_.load() != 1 || stopping_.load()) {
            return 0;
        }
        idle_ = 0;
        success_ = 1;
        cancelRequest_ = 0;
        accepted_ = 0;
    }
    // From here the engine is busy, so neither a second start nor a disconnect touches the
    // device until the worker sets idle again.
    std::lock_guard<std::mutex> guard(workerLock_);
    JoinWorkerLocked();
    ThreadHandle worker = nullptr;
    // An earlier worker whose delete was refused stays in worker_ to be retried; starting a new
    // one over it would lose it unjoined.
    if (worker_ == nullptr) {
        try {
            worker = StartThread([this, device, request = std::move(request)]() { RunWorker(device, request); });
        } catch (...) {
            worker = nullptr;
        }
    }
    if (worker == nullptr) {
        success_ = 0;
        idle_ = 1;
        return 0;
    }
    worker_ = worker;
    return 1;
}

void OperationEngine::RunWorker(CDeviceBase* device, const OperationRequest& request)
{
    int started = 0;
    try {
        started = request.start ? request.start(*device) : 0;
    } catch (...) {
        started = 0;
    }
    if (started != 1) {
        success_ = 0;
        idle_ = 1;
        return;
    }
    accepted_ = 1;
    while (device->IsCompleted() == 0) {
        // Repeated every poll for as long as the request stands: a cancel that arrives between
        // two exchanges must still stop the next one.
        if (cancelRequest_.load() == 1 || stopping_.load()) {
            device->Cancel();
        }
        std::this_thread::sleep_for(kPollInterval);
    }
    int succeeded = 0;
    if (device->IsSuccessful() == 1) {
        succeeded = 1;
        if (request.copyResult) {
            try {
                request.copyResult(*device);
            } catch (...) {
                succeeded = 0;
            }
        }
    }
    success_ = succeeded;
    idle_ = 1;
}

void OperationEngine::JoinWorkerLocked()
{
    if (WaitAndDeleteThread(worker_)) {
        worker_ = nullptr;
    }
}

void OperationEngine::Cancel()
{
    cancelRequest_ = 1;
}

int OperationEngine::IsCompleted()
{
    if (idle_.load() != 1) {
        return 0;
    }
    std::lock_guard<std::mutex> guard(workerLock_);
    JoinWorkerLocked();
    return 1;
}

int OperationEngine::IsSuccessful() const
{
    return success_.load() == 1 ? 1 : 0;
}

std::uint8_t OperationEngine::Progress(const void* handle)
{
    std::lock_guard<std::mutex> guard(operationLock_);
    if (accepted_.load() == 0) {
        return 0;
    }
    if (CDeviceBase* device = registry_.ConnectedDeviceIf(handle)) {
        lastProgress_ = device->Progress();
    }
    return lastProgress_;
}

int OperationEngine::Disconnect(void** handle)
{
    std::lock_guard<std::mutex> guard(operationLock_);
    if (IsCompleted() == 0) {
        return 0;
    }
    if (registry_.ReleaseConnectedDevice() == 0) {
        return 0;
    }
    *handle = nullptr;
    return 1;
}

}  // namespace QuarryDriver
