// Where the amplifier gets the write, read and firmware-update sessions it opens for the
// UI. The session module installs its creation functions at start-up; until it has,
// opening such a session fails.
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

// Replaces the installed functions (any thread).
void InstallSessionFactory(const SessionFactory& factory);
SessionFactory InstalledSessionFactory();

}  // namespace CobaltDeviceManager
