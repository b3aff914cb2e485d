// The scripted stand-in device's socket server.
#include "tests/device_transport/ScriptedDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace testing_support {

VirtualHidFolder::VirtualHidFolder()
{
    ::setenv("QUARRY_VIRTUAL_HID_DIR", path_.c_str(), 1);
}

VirtualHidFolder::~VirtualHidFolder()
{
    ::unsetenv("QUARRY_VIRTUAL_HID_DIR");
}

LockHeldElsewhere::LockHeldElsewhere(const std::string& lockFile)
{
    int held[2];
    int release[2];
    if (::pipe(held) != 0) {
        return;
    }
    if (::pipe(release) != 0) {
        ::close(held[0]);
        ::close(held[1]);
        return;
    }
    child_ = ::fork();
    if (child_ == 0) {
        const int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT, 0666);
        const char ok = (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) ? 'y' : 'n';
        [[maybe_unused]] ssize_t w = ::write(held[1], &ok, 1);
        char done = 0;
        [[maybe_unused]] ssize_t r = ::read(release[0], &done, 1);
        ::_exit(0);
    }
    if (child_ > 0) {
        char ok = 0;
        held_ = ::read(held[0], &ok, 1) == 1 && ok == 'y';
        releaseFd_ = release[1];
    } else {
        ::close(release[1]);
    }
    for (int fd : {held[0], held[1], release[0]}) {
        ::close(fd);
    }
}

LockHeldElsewhere::~LockHeldElsewhere()
{
    Release();
}

void LockHeldElsewhere::Release()
{
    if (child_ <= 0) {
        return;
    }
    const char done = 'x';
    [[maybe_unused]] ssize_t w = ::write(releaseFd_, &done, 1);
    int childStatus = 0;
    ::waitpid(child_, &childStatus, 0);
    ::close(releaseFd_);
    releaseFd_ = -1;
    child_ = -1;
}

std::string VirtualLockFile(const std::string& socketPath)
{
    return socketPath + ".lock";
}

std::string VirtualHidFolder::SocketPath(std::uint16_t vendorId, std::uint16_t productId,
                                         const std::string& serial) const
{
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x-%04x-", vendorId, productId);
    return path_ + "/" + ids + serial + ".sock";
}

ScriptedDevice::ScriptedDevice(const std::string& socketPath, Script script)
    : path_(socketPath), script_(std::move(script))
{
    listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address {};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
    if (listenFd_ < 0 || ::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 8) != 0) {
        throw std::runtime_error("cannot serve " + path_);
    }
    wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    server_ = std::thread([this] { Serve(); });
}

ScriptedDevice::~ScriptedDevice()
{
    stop_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
    server_.join();
    ::close(listenFd_);
    ::close(wakeFd_);
    ::unlink(path_.c_str());
}

std::vector<ReceivedReport> ScriptedDevice::Received() const
{
    std::lock_guard<std::mutex> guard(receivedMutex_);
    return received_;
}

std::size_t ScriptedDevice::ReceivedCount() const
{
    std::lock_guard<std::mutex> guard(receivedMutex_);
    return received_.size();
}

void ScriptedDevice::Unplug()
{
    unplugRequested_ = true;
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
    while (unplugRequested_) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

void ScriptedDevice::Serve()
{
    struct Connection {
        int fd;
        int number;
        Report pending;
        std::size_t have;
    };
    std::vector<Connection> open;
    bool plugged = true;
    // The socket file goes first, so a host that notices the closed connection already
    // finds the device absent.
    auto unplug = [&] {
        if (plugged) {
            ::unlink(path_.c_str());
            plugged = false;
        }
        for (const Connection& c : open) {
            ::close(c.fd);
        }
        open.clear();
    };
    while (!stop_) {
        if (unplugRequested_) {
            unplug();
            unplugRequested_ = false;
        }
        std::vector<pollfd> fds;
        fds.push_back({wakeFd_, POLLIN, 0});
        fds.push_back({plugged ? listenFd_ : -1, POLLIN, 0});
        for (const Connection& c : open) {
            fds.push_back({c.fd, POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), 50) <= 0) {
            continue;
        }
        if (fds[0].revents != 0) {
            std::uint64_t value = 0;
            [[maybe_unused]] ssize_t n = ::read(wakeFd_, &value, sizeof value);
        }
        const std::size_t polled = open.size();
        for (std::size_t k = 0, i = 0; k < polled && i < open.size(); ++k) {
            Connection& c = open[i];
            const pollfd& p = fds[k + 2];
            if (p.revents == 0) {
                ++i;
                continue;
            }
            const ssize_t got = ::recv(c.fd, c.pending.data() + c.have, c.pending.size() - c.have, MSG_DONTWAIT);
            if (got <= 0) {
                ::close(c.fd);
                open.erase(open.begin() + static_cast<long>(i));
                continue;
            }
            c.have += static_cast<std::size_t>(got);
            if (c.have < c.pending.size()) {
                ++i;
                continue;
            }
            c.have = 0;
            std::size_t count = 0;
            {
                std::lock_guard<std::mutex> guard(receivedMutex_);
                received_.push_back({c.number, c.pending});
                count = received_.size();
            }
            if (unplugAt_ != 0 && count == unplugAt_) {
                unplug();
                break;
            }
            for (const Report& reply : script_(c.pending)) {
                [[maybe_unused]] ssize_t sent = ::send(c.fd, reply.data(), reply.size(), MSG_NOSIGNAL);
            }
            ++i;
        }
        // New connections only after the old ones were read: a host that closed and then
        // connected again must not count as two at once.
        if (plugged && (fds[1].revents & POLLIN) != 0) {
            const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
            if (fd >= 0) {
                open.push_back({fd, ++connections_, Report{}, 0});
                if (static_cast<int>(open.size()) > mostAtOnce_) {
                    mostAtOnce_ = static_cast<int>(open.size());
                }
            }
        }
    }
    unplug();
}

Report Reply(std::uint8_t code, const char* tag)
{
    Report report{};
    report[0] = code;
    std::memcpy(report.data() + 1, tag, 3);
    return report;
}

Report ReplyWithValue(std::uint8_t code, const char* tag, std::uint32_t value)
{
    Report report = Reply(code, tag);
    report[4] = static_cast<std::uint8_t>(value >> 24);
    report[5] = static_cast<std::uint8_t>(value >> 16);
    report[6] = static_cast<std::uint8_t>(value >> 8);
    report[7] = static_cast<std::uint8_t>(value);
    return report;
}

bool StartsWith(const Report& report, const char* text)
{
    return std::memcmp(report.data(), text, std::strlen(text)) == 0;
}

std::vector<Report> AcceptEverything(const Report& in)
{
    if (StartsWith(in, "READY")) {
        return {Reply(4, "REA")};
    }
    if (StartsWith(in, "CHE")) {
        const std::uint32_t sum = (std::uint32_t{in[3]} << 24) | (std::uint32_t{in[4]} << 16) |
                                  (std::uint32_t{in[5]} << 8) | in[6];
        return {ReplyWithValue(3, "CHE", sum)};
    }
    return {Reply(2, "ACK")};
}

}  // namespace testing_support
