// The process-wide device manager.
#include "device_manager/manager/TheDeviceManager.h"

#include "device_manager/library/binding/QuarryDriverLibrary.h"

namespace CobaltDeviceManager {

CDeviceManager& TheDeviceManager()
{
    // The watcher is made first so that it is destroyed after the manager.
    static DeviceWatcher& watcher = TheDeviceWatcher();
    static CDeviceManager manager(QuarryDriverLibrary(), watcher);
    return manager;
}

bool SetNotifyTarget(platform::WindowId window, platform::MessageId message)
{
    return TheDeviceManager().SetNotifyTarget(window, message);
}

void SetScanMode(bool suspend, bool clearList)
{
    TheDeviceManager().SetScanMode(suspend, clearList);
}

int ForFirstActiveAmplifier(ICobaltAmplifier** out)
{
    return TheDeviceManager().ForFirstActiveAmplifier(out);
}

}  // namespace CobaltDeviceManager
