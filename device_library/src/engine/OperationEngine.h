// The library-wide operation engine behind the QDO_ exports: at most one operation at a time,
// each run on a worker thread of its own that starts the device operation, polls the device's
// job every 10 ms, passes a cancel request on, and copies the result record out on success.
//
// Locks: operationLock_ serialises start calls, progress reads and disconnect; it is held only
// for short checks, never while an operation runs. workerLock_ guards worker_ and is taken
// inside operationLock_ or alone. The flags are atomics written by the worker and read by the
// polls; the worker writes success before idle, so a caller that has seen idle 1 reads the
// final success value.
#ifndef QUARRY_ENGINE_OPERATION_ENGINE_H
#define QUARRY_ENGINE_OPERATION_ENGINE_H

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>

#include "device_library/src/models/CDeviceBase.h"
#include "device_library/src/registry/DeviceRegistry.h"
#include "device_library/src/transport/ThreadRegistry.h"

namespace QuarryDriver {

// What one start call asks of the connected device.
struct OperationRequest {
    // Builds and starts the device's job; 1 when the device accepted it.
    std::function<int(CDeviceBase&)> start;
    // Hands the result out after success; empty for operations without a result record.
    std::function<void(CDeviceBase&)> copyResult;
};

class OperationEngine {
public:
    explicit OperationEngine(DeviceRegistry& registry);
    ~OperationEngine();  // Shutdown()
    OperationEngine(const OperationEngine&) = delete;
    OperationEngine& operator=(const OperationEngine&) = delete;

    // 1 started; 0 when handle is not the connected device, an operation runs, or no worker
    // could be started (the engine is then idle with success 0).
    int Start(const void* handle, OperationRequest request);
    // Sets the cancel request; the worker passes it on to the device every 10 ms.
    void Cancel();
    // 1 when idle (joins a finished worker first); 0 while an operation runs.
    int IsCompleted();
    // 1 when the last operation succeeded; 1 before any operation.
    int IsSuccessful() const;
    // 0 until the device accepted the operation; then the device's progress when handle is the
    // connected device, else the last percentage read.
    std::uint8_t Progress(const void* handle);
    // Releases the connected device when no operation runs: 1 and *handle nulled; 0 while an
    // operation or the device's last job still runs.
    int Disconnect(void** handle);

    // Cancels a running operation, joins its worker and refuses every later start.
    void Shutdown();

private:
    void RunWorker(CDeviceBase* device, const OperationRequest& request);
    // With workerLock_ held: waits for the worker (which is ending once idle is 1) and joins it.
    void JoinWorkerLocked();

    DeviceRegistry& registry_;

    std::mutex operationLock_;
    std::atomic<int> idle_{1};
    std::atomic<int> success_{1};
    std::atomic<int> cancelRequest_{0};
    std::atomic<int> accepted_{0};
    std::atomic<bool> stopping_{false};  // set by Shutdown: the running operation is cancelled
    std::uint8_t lastProgress_ = 0;      // guarded by operationLock_

    std::mutex workerLock_;
    ThreadHandle worker_ = nullptr;  // guarded by workerLock_
};

}  // namespace QuarryDriver

#endif
