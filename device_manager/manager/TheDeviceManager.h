// The process's device manager over the real device library, and the free functions
// through which the editor reaches it. All of them run on the UI thread.
#pragma once

#include "device_manager/interfaces/ICobaltAmplifier.h"
#include "device_manager/manager/CDeviceManager.h"

namespace CobaltDeviceManager {

// Made on first use: registers the amplifier with the device library and watches devices
// through TheDeviceWatcher once SetNotifyTarget is called. Its amplifiers open every session.
CDeviceManager& TheDeviceManager();

// The main frame's start of device watching, with the window and the registered
// "_Kx_WmDeviceChanged_" message that receive the change notice.
bool SetNotifyTarget(platform::WindowId window, platform::MessageId message);
void SetScanMode(bool suspend, bool clearList);
int ForFirstActiveAmplifier(ICobaltAmplifier** out);

}  // namespace CobaltDeviceManager
