// The two sessions the amplifier opens for itself: the global-setting write behind mute
// and mute polarity, and the store of the configuration in the amplifier. Both run on the
// amplifier's worker from its session queue and report through a progress sink.
#pragma once

#include "device_manager/amplifier/SessionInterfaces.h"
#include "platform/messages/Messages.h"

namespace CobaltDeviceManager {

// Uploads a copy of the 2050-byte global-setting input; on success the reflect side
// mirrors polarity and mute. Cancel is ignored. One reference for the caller.
bool NewUpdateGlobalSettingSession(ISessionControllerX* controller, IReflectGlobalSetting* reflect,
                                   const QdoGlobalSettingInput& input, IUpdateGlobalSettingSession** out);

// Sends the store command and waits for the amplifier to be ready again; posts `message`
// to `window` before and after, with the kSaveConfig notices of ICobaltAmplifier.h (the
// second one says whether the configuration was stored). Cancel is ignored. One reference
// for the caller.
bool NewSaveConfigSession(ISessionControllerX* controller, platform::WindowId window, platform::MessageId message,
                          ISaveConfigSession** out);

}  // namespace CobaltDeviceManager
