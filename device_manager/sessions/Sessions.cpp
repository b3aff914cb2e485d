// The session makers handed to the amplifier.
#include "device_manager/sessions/Sessions.h"

namespace CobaltDeviceManager {

SessionFactory ParamSessionFactory()
{
    SessionFactory factory;
    factory.newWriteParamSession = &NewWriteParamSession;
    factory.newReadParamSession = &NewReadParamSession;
    factory.newFirmwareUpdateSession = &NewFirmwareUpdateSession;
    return factory;
}

}  // namespace CobaltDeviceManager
