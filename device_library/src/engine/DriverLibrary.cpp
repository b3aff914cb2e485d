// The library-wide state and the order in which it comes and goes.
#include "device_library/src/engine/DriverLibrary.h"

#include <cstdlib>

#include "device_library/src/transport/OpenDeviceList.h"
#include "device_library/src/transport/ThreadRegistry.h"

namespace QuarryDriver {

// The thread registry and the open-device list are built on first use. Touching them here,
// before the registry and the engine exist, builds them first, so they are destroyed after
// the workers and jobs that use them have been joined.
DriverLibrary::LibraryLists::LibraryLists()
{
    CurrentThread();
    AbortDevice(std::string());
}

DriverLibrary::DriverLibrary() : registry_(), engine_(registry_) {}

DriverLibrary::~DriverLibrary()
{
    Shutdown();
}

void DriverLibrary::Shutdown()
{
    // The engine first: its worker uses the registry's device.
    engine_.Shutdown();
    registry_.Shutdown();
}

DriverLibrary& DriverLibrary::Instance()
{
    static DriverLibrary library;
    return library;
}

namespace {
void ShutdownAtExit()
{
    DriverLibrary::Instance().Shutdown();
}
}  // namespace

DriverLibrary& DriverLibrary::ForExport()
{
    DriverLibrary& library = Instance();
    // atexit handlers of a shared library also run when it is unloaded.
    static const bool arranged = std::atexit(&ShutdownAtExit) == 0;
    (void)arranged;
    return library;
}

}  // namespace QuarryDriver
