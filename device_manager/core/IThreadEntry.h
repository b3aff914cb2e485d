// The body of a worker thread made through Thread.
#pragma once

#include <cstdint>

#include "device_manager/core/IUnknown.h"
#include "platform/base/Event.h"

namespace CobaltDeviceManager {

class IThreadEntry : public IUnknown {
public:
    // Runs on the worker thread until `stopEvent` (manual reset) is signalled or the
    // entry decides to end by itself. Every wait inside must include the stop event.
    // The result is not used.
    virtual std::uint32_t Run(platform::Event* stopEvent) = 0;

protected:
    ~IThreadEntry() = default;
};

}  // namespace CobaltDeviceManager
