// The test folder of virtual devices.
#include "tests/device_manager_watch/WatchFolder.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace watch_test {
namespace {

bool BindAt(const std::string& path)
{
    sockaddr_un address{};
    if (path.size() >= sizeof address.sun_path) {
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    const bool bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);  // the socket file stays until it is removed
    return bound;
}

}  // namespace

WatchFolder::WatchFolder()
{
    char pattern[] = "/tmp/qdwatch-XXXXXX";
    const char* made = ::mkdtemp(pattern);
    m_path = made != nullptr ? made : "";
}

WatchFolder::~WatchFolder()
{
    if (!m_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
}

bool WatchFolder::Plug(const std::string& name) const
{
    return BindAt(PathOf(name));
}

bool WatchFolder::PlugByRename(const std::string& name) const
{
    const std::string hidden = PathOf("." + name + ".tmp");
    return BindAt(hidden) && std::rename(hidden.c_str(), PathOf(name).c_str()) == 0;
}

bool WatchFolder::Touch(const std::string& name) const
{
    const int fd = ::open(PathOf(name).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

bool WatchFolder::Unplug(const std::string& name) const
{
    return ::unlink(PathOf(name).c_str()) == 0;
}

std::string AmplifierName(const std::string& serial, std::uint16_t vendor, std::uint16_t product)
{
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x-%04x-", vendor, product);
    return ids + serial + ".sock";
}

}  // namespace watch_test
