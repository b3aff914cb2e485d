// The installed session factory.
#include "device_manager/amplifier/SessionFactory.h"

#include <mutex>

namespace CobaltDeviceManager {
namespace {

std::mutex g_factoryLock;    // guards g_factory
SessionFactory g_factory;

}  // namespace

void InstallSessionFactory(const SessionFactory& factory)
{
    std::lock_guard<std::mutex> guard(g_factoryLock);
    g_factory = factory;
}

SessionFactory InstalledSessionFactory()
{
    std::lock_guard<std::mutex> guard(g_factoryLock);
    return g_factory;
}

}  // namespace CobaltDeviceManager
