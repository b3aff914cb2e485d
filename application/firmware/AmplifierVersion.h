// The firmware version of a connected amplifier as the editor's checks compare it: parsed
// from the version text it reported, then mapped through the version-alias table. An
// unreadable text counts as 0.0.
#pragma once

#include "platform/base/FirmwareVersion.h"
#include "device_manager/interfaces/ICobaltAmplifier.h"

FirmwareVersion AliasedFirmwareVersion(CobaltDeviceManager::ICobaltAmplifier& amplifier);
