// The makers of the write, read and firmware-update sessions an amplifier opens for the
// UI. Those sessions live in the session module on top of the amplifier, so whoever
// builds an amplifier hands it the makers (the device manager gives ParamSessionFactory()
// of device_manager/sessions/Sessions.h); a maker left null makes its opener fail.
#pragma once

#include <cstdint>
#include <filesystem>

#include "device_manager/amplifier/SessionInterfaces.h"
#include "device_manager/interfaces/ICobaltAmplifier.h"

namespace CobaltDeviceManager {

struct SessionFactory {
    // Each hands out the session, bound to `controller`, with one reference.
    bool (*newWriteParamSession)(ISessionControllerX* controller, IWriteParamSession** out) = nullptr;
    bool (*newReadParamSession)(ISessionControllerX* controller, std::int32_t channelClass,
                                IReadParamSession** out) = nullptr;
    bool (*newFirmwareUpdateSession)(ISessionControllerX* controller, const std::filesystem::path& firmwareFile,
                                     IUpdateFirmwareSession** out) = nullptr;
};

}  // namespace CobaltDeviceManager
