// The device watcher.
#include "device_manager/watcher/DeviceWatcher.h"

#include <algorithm>
#include <utility>

namespace CobaltDeviceManager {
namespace {

// Keeps an interface alive across a call that may let go of the watcher's own reference.
class CallGuard {
public:
    explicit CallGuard(IDeviceWatcherNotify* sink) : m_sink(sink)
    {
        if (m_sink != nullptr) {
            m_sink->AddRef();
        }
    }
    ~CallGuard()
    {
        if (m_sink != nullptr) {
            m_sink->Release();
        }
    }
    CallGuard(const CallGuard&) = delete;
    CallGuard& operator=(const CallGuard&) = delete;
    IDeviceWatcherNotify* Get() const { return m_sink; }

private:
    IDeviceWatcherNotify* m_sink;
};

}  // namespace

std::string FoldToUpper(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
    return text;
}

std::string FoldToLower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

DeviceWatcher::DeviceWatcher(platform::devices::MonitorSources sources) : m_sources(std::move(sources)) {}

DeviceWatcher::~DeviceWatcher()
{
    Stop();
}

bool DeviceWatcher::Start(IDeviceWatcherNotify* sink)
{
    if (!m_monitor) {
        m_monitor = platform::devices::DeviceMonitor::Open(m_sources);
        if (!m_monitor) {
            return false;
        }
    }
    if (sink != m_sink) {
        if (sink != nullptr) {
            sink->AddRef();
        }
        IDeviceWatcherNotify* old = std::exchange(m_sink, sink);
        if (old != nullptr) {
            old->Release();
        }
    }
    // Events queued before this listing may repeat an arrival; the known set absorbs it.
    for (const std::string& path : m_monitor->PresentDevices()) {
        OnInterfaceArrival(path);
        if (!m_monitor) {
            break;  // the sink stopped the watcher
        }
    }
    return true;
}

void DeviceWatcher::Stop()
{
    IDeviceWatcherNotify* old = std::exchange(m_sink, nullptr);
    if (old != nullptr) {
        old->Release();
    }
    m_monitor.reset();
    m_known.clear();
}

int DeviceWatcher::EventFd() const
{
    return m_monitor ? m_monitor->Fd() : -1;
}

void DeviceWatcher::ProcessEvents()
{
    if (!m_monitor) {
        return;
    }
    for (const platform::devices::DeviceEvent& event : m_monitor->ReadEvents()) {
        if (event.kind == platform::devices::DeviceEventKind::Arrival) {
            OnInterfaceArrival(event.path);
        } else {
            OnInterfaceRemoval(event.path);
        }
        if (!m_monitor) {
            return;  // the sink stopped the watcher
        }
    }
}

bool DeviceWatcher::OnInterfaceArrival(const std::string& path)
{
    if (!m_known.insert(FoldToUpper(path)).second) {
        return false;
    }
    CallGuard sink(m_sink);
    if (sink.Get() != nullptr) {
        sink.Get()->OnDeviceArrival(path);
    }
    return true;
}

bool DeviceWatcher::OnInterfaceRemoval(const std::string& path)
{
    m_known.erase(FoldToUpper(path));
    CallGuard sink(m_sink);
    if (sink.Get() != nullptr) {
        sink.Get()->OnDeviceRemoval(path);
    }
    return true;
}

DeviceWatcher& TheDeviceWatcher()
{
    static DeviceWatcher watcher;
    return watcher;
}

}  // namespace CobaltDeviceManager
