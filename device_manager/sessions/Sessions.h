// Creation of the write, read and firmware-update sessions, and the makers an amplifier
// opens them with. Each session takes its timings from the amplifier that runs it.
#pragma once

#include <cstdint>
#include <filesystem>

#include "device_manager/amplifier/SessionFactory.h"
#include "device_manager/sessions/IParamSessions.h"

namespace CobaltDeviceManager {

// The three creation functions below, for CreateCobaltAmplifier.
SessionFactory ParamSessionFactory();

// Each hands out a session bound to `controller` with one reference; false (out
// untouched) for a null argument or when memory is short.
bool NewWriteParamSession(ISessionControllerX* controller, IWriteParamSession** out);
// `channelClass` (2 or 4) is the number of channels whose blocks a read delivers.
bool NewReadParamSession(ISessionControllerX* controller, std::int32_t channelClass, IReadParamSession** out);
bool NewFirmwareUpdateSession(ISessionControllerX* controller, const std::filesystem::path& firmwareFile,
                              IUpdateFirmwareSession** out);

}  // namespace CobaltDeviceManager
