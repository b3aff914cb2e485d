// The device manager on the UI's event loop.
#include "application/ui/DeviceManagerLink.h"

#include <QSocketNotifier>

#include "device_manager/manager/CDeviceManager.h"

DeviceManagerLink::DeviceManagerLink(CobaltDeviceManager::CDeviceManager& manager) : m_manager(manager) {}

DeviceManagerLink::~DeviceManagerLink()
{
    m_notifier.reset();
}

bool DeviceManagerLink::StartWatching(platform::WindowId window, platform::MessageId message)
{
    m_notifier.reset();
    const bool started = m_manager.SetNotifyTarget(window, message);
    const int fd = m_manager.DeviceEventFd();
    if (fd >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(fd, QSocketNotifier::Read);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                         [this] { m_manager.ProcessDeviceEvents(); });
    }
    return started;
}

std::uint32_t DeviceManagerLink::ForFirstActiveAmplifier(CobaltDeviceManager::ICobaltAmplifier** first)
{
    const int count = m_manager.ForFirstActiveAmplifier(first);
    return count > 0 ? static_cast<std::uint32_t>(count) : 0;
}

void DeviceManagerLink::SetScanMode(std::uint32_t suspend, std::uint32_t clearList)
{
    m_manager.SetScanMode(suspend != 0, clearList != 0);
}
