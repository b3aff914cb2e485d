// The device monitor: udev and inotify sources behind one epoll descriptor.
#include "platform/devices/DeviceMonitor.h"

#include <dirent.h>
#include <libudev.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>

#include "platform/base/VirtualDevices.h"

namespace platform::devices {
namespace {

constexpr std::uint32_t kUdevTag = 1;
constexpr std::uint32_t kFolderTag = 2;

bool AddToEpoll(int epollFd, int fd, std::uint32_t tag)
{
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u32 = tag;
    return ::epoll_ctl(epollFd, EPOLL_CTL_ADD, fd, &event) == 0;
}

// The virtual devices in `folder` by file name, sorted.
std::set<std::string> ListVirtualDevices(const std::string& folder)
{
    std::set<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) {
        return names;
    }
    while (const dirent* entry = ::readdir(dir)) {
        if (ParseVirtualDeviceName(entry->d_name)) {
            names.insert(entry->d_name);
        }
    }
    ::closedir(dir);
    return names;
}

}  // namespace

struct DeviceMonitor::Udev {
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;

    ~Udev()
    {
        if (monitor != nullptr) {
            udev_monitor_unref(monitor);
        }
        if (context != nullptr) {
            udev_unref(context);
        }
    }
};

struct DeviceMonitor::Folder {
    std::string path;  // without a trailing slash
    int inotifyFd = -1;
    // Names believed present: the basis of the re-listing after an event-queue overflow.
    std::set<std::string> present;

    ~Folder()
    {
        if (inotifyFd >= 0) {
            ::close(inotifyFd);
        }
    }

    std::string PathOf(const std::string& name) const { return path + "/" + name; }
};

MonitorSources DefaultMonitorSources()
{
    MonitorSources sources;
    if (const std::optional<std::filesystem::path> folder = platform::VirtualHidFolder()) {
        sources.virtualFolder = folder->string();
    }
    return sources;
}

DeviceMonitor::DeviceMonitor(int epollFd) : m_epollFd(epollFd) {}

DeviceMonitor::~DeviceMonitor()
{
    m_udev.reset();
    m_folder.reset();
    if (m_epollFd >= 0) {
        ::close(m_epollFd);
    }
}

std::unique_ptr<DeviceMonitor> DeviceMonitor::Open(const MonitorSources& sources)
{
    const int epollFd = ::epoll_create1(EPOLL_CLOEXEC);
    if (epollFd < 0) {
        return nullptr;
    }
    std::unique_ptr<DeviceMonitor> monitor(new (std::nothrow) DeviceMonitor(epollFd));
    if (!monitor) {
        ::close(epollFd);
        return nullptr;
    }

    if (sources.hidraw) {
        auto source = std::make_unique<Udev>();
        source->context = udev_new();
        if (source->context != nullptr) {
            source->monitor = udev_monitor_new_from_netlink(source->context, "udev");
        }
        if (source->monitor != nullptr &&
            udev_monitor_filter_add_match_subsystem_devtype(source->monitor, "hidraw", nullptr) >= 0 &&
            udev_monitor_enable_receiving(source->monitor) >= 0 &&
            AddToEpoll(epollFd, udev_monitor_get_fd(source->monitor), kUdevTag)) {
            monitor->m_udev = std::move(source);
        }
    }

    if (sources.virtualFolder && !sources.virtualFolder->empty()) {
        auto source = std::make_unique<Folder>();
        source->path = *sources.virtualFolder;
        while (source->path.size() > 1 && source->path.back() == '/') {
            source->path.pop_back();
        }
        source->inotifyFd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (source->inotifyFd >= 0 &&
            ::inotify_add_watch(source->inotifyFd, source->path.c_str(),
                                IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_ONLYDIR) >= 0 &&
            AddToEpoll(epollFd, source->inotifyFd, kFolderTag)) {
            // Listed after the watch exists, so that nothing falls between the two.
            source->present = ListVirtualDevices(source->path);
            monitor->m_folder = std::move(source);
        }
    }
    return monitor;
}

int DeviceMonitor::SourceCount() const
{
    return (m_udev ? 1 : 0) + (m_folder ? 1 : 0);
}

std::vector<DeviceEvent> DeviceMonitor::ReadEvents()
{
    std::vector<DeviceEvent> events;
    // Draining the epoll readiness is not needed: each source's own descriptor is read
    // until empty, and level-triggered epoll then reports nothing.
    ReadUdev(events);
    ReadFolder(events);
    return events;
}

void DeviceMonitor::ReadUdev(std::vector<DeviceEvent>& out)
{
    if (!m_udev) {
        return;
    }
    // The monitor's socket is non-blocking: null means nothing more is waiting.
    while (udev_device* device = udev_monitor_receive_device(m_udev->monitor)) {
        const char* action = udev_device_get_action(device);
        const char* node = udev_device_get_devnode(device);
        if (action != nullptr && node != nullptr) {
            // Only arrival and removal matter; "change", "bind" and the like are the
            // device-nodes-changed kind of notice and are dropped.
            if (std::strcmp(action, "add") == 0) {
                out.push_back({DeviceEventKind::Arrival, node});
            } else if (std::strcmp(action, "remove") == 0) {
                out.push_back({DeviceEventKind::Removal, node});
            }
        }
        udev_device_unref(device);
    }
}

void DeviceMonitor::ReadFolder(std::vector<DeviceEvent>& out)
{
    if (!m_folder) {
        return;
    }
    alignas(inotify_event) char buffer[4096];
    bool overflow = false;
    for (;;) {
        const ssize_t got = ::read(m_folder->inotifyFd, buffer, sizeof buffer);
        if (got <= 0) {
            if (got < 0 && errno == EINTR) {
                continue;
            }
            break;
        }
        std::size_t offset = 0;
        const auto total = static_cast<std::size_t>(got);
        while (offset + sizeof(inotify_event) <= total) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + offset);
            const std::size_t size = sizeof(inotify_event) + event->len;
            if (offset + size > total) {
                break;
            }
            offset += size;
            if ((event->mask & IN_Q_OVERFLOW) != 0) {
                overflow = true;
                continue;
            }
            if (event->len == 0) {
                continue;
            }
            // The kernel pads the name with zeros; it is terminated within len bytes.
            const std::string name(event->name, ::strnlen(event->name, event->len));
            if (!ParseVirtualDeviceName(name)) {
                continue;
            }
            if ((event->mask & (IN_CREATE | IN_MOVED_TO)) != 0) {
                m_folder->present.insert(name);
                out.push_back({DeviceEventKind::Arrival, m_folder->PathOf(name)});
            } else if ((event->mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
                m_folder->present.erase(name);
                out.push_back({DeviceEventKind::Removal, m_folder->PathOf(name)});
            }
        }
    }
    if (overflow) {
        // Events were lost: tell the difference between what was believed and what is there.
        const std::set<std::string> now = ListVirtualDevices(m_folder->path);
        for (const std::string& name : m_folder->present) {
            if (now.count(name) == 0) {
                out.push_back({DeviceEventKind::Removal, m_folder->PathOf(name)});
            }
        }
        for (const std::string& name : now) {
            if (m_folder->present.count(name) == 0) {
                out.push_back({DeviceEventKind::Arrival, m_folder->PathOf(name)});
            }
        }
        m_folder->present = now;
    }
}

bool DeviceMonitor::WaitReadable(std::chrono::milliseconds timeout) const
{
    pollfd entry{};
    entry.fd = m_epollFd;
    entry.events = POLLIN;
    const int limit = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, 1 << 30));
    for (;;) {
        const int result = ::poll(&entry, 1, limit);
        if (result < 0 && errno == EINTR) {
            continue;
        }
        return result > 0;
    }
}

std::vector<std::string> DeviceMonitor::PresentDevices() const
{
    std::vector<std::string> paths;
    if (m_udev) {
        udev_enumerate* enumerate = udev_enumerate_new(m_udev->context);
        if (enumerate != nullptr) {
            if (udev_enumerate_add_match_subsystem(enumerate, "hidraw") >= 0 &&
                udev_enumerate_scan_devices(enumerate) >= 0) {
                udev_list_entry* entry = nullptr;
                udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate))
                {
                    udev_device* device =
                        udev_device_new_from_syspath(m_udev->context, udev_list_entry_get_name(entry));
                    if (device == nullptr) {
                        continue;  // gone since the scan
                    }
                    if (const char* node = udev_device_get_devnode(device)) {
                        paths.emplace_back(node);
                    }
                    udev_device_unref(device);
                }
            }
            udev_enumerate_unref(enumerate);
        }
    }
    if (m_folder) {
        for (const std::string& name : ListVirtualDevices(m_folder->path)) {
            paths.push_back(m_folder->PathOf(name));
        }
    }
    return paths;
}

}  // namespace platform::devices
