// The aliased version of an amplifier.
#include "application/firmware/AmplifierVersion.h"

#include "application/text/VersionHack.h"
#include "platform/base/VersionText.h"

FirmwareVersion AliasedFirmwareVersion(CobaltDeviceManager::ICobaltAmplifier& amplifier)
{
    FirmwareVersion version = ParseVersionPair(std::u16string_view(amplifier.GetFirmwareVersion()));
    LookupVersionHack(version);
    return version;
}
