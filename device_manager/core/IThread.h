// A running worker thread, as its owner sees it.
#pragma once

#include "device_manager/core/IUnknown.h"

namespace CobaltDeviceManager {

class IThread : public IUnknown {
public:
    // Signals the stop event; does not wait.
    virtual void RequestStop() = 0;
    // Requests the stop, waits until the thread has ended and lets go of the entry.
    // True when the thread has ended (or none was running). Called on the worker
    // itself it cannot wait: it requests the stop and returns false.
    virtual bool StopAndWait() = 0;
    // StopAndWait without a result.
    virtual void Shutdown() = 0;

protected:
    ~IThread() = default;
};

}  // namespace CobaltDeviceManager
