// Creation of the write, read and firmware-update sessions, and their installation as
// the amplifier's session factory.
#pragma once

#include <cstdint>
#include <filesystem>

#include "device_manager/sessions/IParamSessions.h"
#include "device_manager/sessions/SessionTimings.h"

namespace CobaltDeviceManager {

// Installs the three creation functions below as the amplifier's session factory and
// makes `timings` the sessions' timings (any thread; sessions made later use them).
void InstallSessions(const SessionTimings& timings = SessionTimings{});

// The timings new sessions take.
SessionTimings CurrentSessionTimings();

// Each hands out a session bound to `controller` with one reference; false (out
// untouched) for a null argument or when memory is short.
bool NewWriteParamSession(ISessionControllerX* controller, IWriteParamSession** out);
// `channelClass` (2 or 4) is the number of channels whose blocks a read delivers.
bool NewReadParamSession(ISessionControllerX* controller, std::int32_t channelClass, IReadParamSession** out);
bool NewFirmwareUpdateSession(ISessionControllerX* controller, const std::filesystem::path& firmwareFile,
                              IUpdateFirmwareSession** out);

}  // namespace CobaltDeviceManager
