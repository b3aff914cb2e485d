// The one library-wide state behind the exports: the device registry and the operation engine.
// Built at load by the library's start-up, so every lock exists before the first export runs,
// and taken down at unload: a running operation is cancelled, every worker joined and the
// connected device released before the lists the workers use go away.
#ifndef QUARRY_ENGINE_DRIVER_LIBRARY_H
#define QUARRY_ENGINE_DRIVER_LIBRARY_H

#include "device_library/src/engine/OperationEngine.h"
#include "device_library/src/registry/DeviceRegistry.h"

namespace QuarryDriver {

class DriverLibrary {
public:
    static DriverLibrary& Instance();

    DeviceRegistry& Registry() { return registry_; }
    OperationEngine& Engine() { return engine_; }

private:
    DriverLibrary();
    ~DriverLibrary() = default;
    DriverLibrary(const DriverLibrary&) = delete;
    DriverLibrary& operator=(const DriverLibrary&) = delete;

    // Built in this order and destroyed in reverse: the engine (and its worker) goes before the
    // registry that owns the device it uses.
    struct LibraryLists {
        LibraryLists();
    } lists_;
    DeviceRegistry registry_;
    OperationEngine engine_;
};

}  // namespace QuarryDriver

#endif
