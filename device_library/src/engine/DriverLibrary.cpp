// The library-wide state and the order in which it comes and goes.
#include "device_library/src/engine/DriverLibrary.h"

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

DriverLibrary& DriverLibrary::Instance()
{
    static DriverLibrary library;
    return library;
}

}  // namespace QuarryDriver
