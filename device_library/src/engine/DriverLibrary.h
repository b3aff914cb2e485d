// The one library-wide state behind the exports: the device registry and the operation engine.
// Built at load by the library's start-up, so every lock exists before the first export runs.
// Taken down at exit or unload: a running operation is cancelled, every worker joined and the
// connected device released while everything the workers use still exists.
#ifndef QUARRY_ENGINE_DRIVER_LIBRARY_H
#define QUARRY_ENGINE_DRIVER_LIBRARY_H

#include "device_library/src/engine/OperationEngine.h"
#include "device_library/src/registry/DeviceRegistry.h"

namespace QuarryDriver {

class DriverLibrary {
public:
    // The state, built on the first call (the library's start-up makes that call at load).
    static DriverLibrary& Instance();
    // The state for an export: on the first call also arranges Shutdown() at exit or unload.
    // That is after the static initialisation of the whole library, so Shutdown() runs before
    // any of the library's static objects (the HID layer's among them) is destroyed.
    static DriverLibrary& ForExport();

    // Cancels and joins the running operation, stops a running connect and releases the
    // connected device. Later starts and connects are refused.
    void Shutdown();

    DeviceRegistry& Registry() { return registry_; }
    OperationEngine& Engine() { return engine_; }

private:
    DriverLibrary();
    ~DriverLibrary();
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
