// The device library itself: IDeviceLibrary over the exports of libQuarryDeviceDriver.so.
#pragma once

#include <memory>

#include "device_manager/library/seam/IDeviceLibrary.h"

namespace CobaltDeviceManager {

// The one binding of this process (the library holds one device and one operation for
// the whole process, and so does the gate that comes with the binding).
std::shared_ptr<IDeviceLibrary> QuarryDriverLibrary();

}  // namespace CobaltDeviceManager
