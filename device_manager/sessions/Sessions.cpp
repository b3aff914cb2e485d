// Installation of the sessions as the amplifier's session factory.
#include "device_manager/sessions/Sessions.h"

#include <mutex>

#include "device_manager/amplifier/SessionFactory.h"

namespace CobaltDeviceManager {
namespace {

std::mutex g_timingsLock;      // guards g_timings
SessionTimings g_timings;

bool MakeWrite(ISessionControllerX* controller, IWriteParamSession** out)
{
    return NewWriteParamSession(controller, out);
}

bool MakeRead(ISessionControllerX* controller, std::int32_t channelClass, IReadParamSession** out)
{
    return NewReadParamSession(controller, channelClass, out);
}

bool MakeFirmware(ISessionControllerX* controller, const std::filesystem::path& file, IUpdateFirmwareSession** out)
{
    return NewFirmwareUpdateSession(controller, file, out);
}

}  // namespace

void InstallSessions(const SessionTimings& timings)
{
    {
        std::lock_guard<std::mutex> guard(g_timingsLock);
        g_timings = timings;
    }
    SessionFactory factory;
    factory.newWriteParamSession = &MakeWrite;
    factory.newReadParamSession = &MakeRead;
    factory.newFirmwareUpdateSession = &MakeFirmware;
    InstallSessionFactory(factory);
}

SessionTimings CurrentSessionTimings()
{
    std::lock_guard<std::mutex> guard(g_timingsLock);
    return g_timings;
}

}  // namespace CobaltDeviceManager
