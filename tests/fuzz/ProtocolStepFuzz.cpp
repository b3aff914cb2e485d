// One step of the packet protocol against a scripted HID device that answers each report the
// host sends with the next 64 bytes of the input, and with silence once they are used up.
// The first bytes choose the step and its arguments. The step runs on the fuzzing thread,
// which opens the device itself, so no job worker is involved.
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device_library/src/protocol/CBootProtocol.h"
#include "device_library/src/transport/OpenDeviceList.h"
#include "tests/fuzz/ProtocolStepInput.h"
#include "tests/support/UniformTiming.h"

namespace {

using QuarryDriver::CBootProtocol;

constexpr std::size_t kReport = 64;

// A virtual HID device on a Unix socket that replies from the current input. It serves one
// connection at a time; the fuzzing thread waits until its connection is taken and, after
// closing it, until the device let it go, so that every run meets a device of its own.
class ReplyingDevice {
public:
    explicit ReplyingDevice(std::string path) : path_(std::move(path))
    {
        listen_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, path_.c_str(), sizeof address.sun_path - 1);
        ::unlink(path_.c_str());
        if (listen_ < 0 || ::bind(listen_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listen_, 4) != 0 || ::pipe2(stop_, O_CLOEXEC) != 0) {
            std::abort();
        }
        server_ = std::thread([this] { Serve(); });
    }
    ~ReplyingDevice()
    {
        [[maybe_unused]] const ssize_t written = ::write(stop_[1], "x", 1);
        server_.join();
        for (int fd : {listen_, stop_[0], stop_[1]}) {
            ::close(fd);
        }
        ::unlink(path_.c_str());
    }

    void SetReplies(const std::uint8_t* data, std::size_t size)
    {
        std::lock_guard<std::mutex> guard(lock_);
        replies_.assign(data, data + size);
        next_ = 0;
    }
    const std::string& Path() const { return path_; }
    // Connections taken, and connections let go of, so far.
    int Taken() const { return taken_.load(); }
    int Ended() const { return ended_.load(); }

private:
    // True when fd can be read; false once the device is told to stop.
    bool Wait(int fd)
    {
        pollfd entries[2] = {{fd, POLLIN, 0}, {stop_[0], POLLIN, 0}};
        while (::poll(entries, 2, -1) < 0) {
        }
        return (entries[1].revents & POLLIN) == 0;
    }

    void Serve()
    {
        while (Wait(listen_)) {
            const int connection = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
            if (connection < 0) {
                continue;
            }
            ++taken_;
            std::uint8_t report[kReport];
            while (Wait(connection) && ::recv(connection, report, sizeof report, MSG_WAITALL) == kReport) {
                std::uint8_t reply[kReport] = {};
                bool have = false;
                {
                    std::lock_guard<std::mutex> guard(lock_);
                    if (next_ < replies_.size()) {
                        const std::size_t take = std::min(kReport, replies_.size() - next_);
                        std::memcpy(reply, replies_.data() + next_, take);
                        next_ += take;
                        have = true;
                    }
                }
                if (have && ::send(connection, reply, sizeof reply, MSG_NOSIGNAL) != kReport) {
                    break;
                }
            }
            ::close(connection);
            ++ended_;
        }
    }

    const std::string path_;
    int listen_ = -1;
    int stop_[2] = {-1, -1};
    std::atomic<int> taken_{0};
    std::atomic<int> ended_{0};
    std::mutex lock_;
    std::vector<std::uint8_t> replies_;  // guarded by lock_
    std::size_t next_ = 0;               // guarded by lock_
    std::thread server_;
};

// The protocol's step slots, called directly.
class StepProbe final : public CBootProtocol {
public:
    using CBootProtocol::CBootProtocol;
    using CBootProtocol::CommandStep;
    using CBootProtocol::FlashReadStep;
    using CBootProtocol::FlashWriteStep;
    using CBootProtocol::HandshakeStep;
    using CBootProtocol::IdentityTestStep;
    using CBootProtocol::McuReadStep;
    using CBootProtocol::McuWriteStep;
    using CBootProtocol::ReadByIdStep;
    using CBootProtocol::ResetStep;
    using CBootProtocol::WriteByIdStep;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const bool virtualDevices = ::setenv("QUARRY_VIRTUAL_HID_DIR", "/tmp", 1) == 0;
    static ReplyingDevice device("/tmp/quarry-fuzz-" + std::to_string(::getpid()) + ".sock");
    static StepProbe protocol(device.Path(), testing_support::UniformTiming(1, 1));
    if (!virtualDevices || size < fuzz::kStepHeadBytes) {
        return 0;
    }
    fuzz::StepInput in = fuzz::ReadStepHead(data);
    device.SetReplies(data + fuzz::kStepHeadBytes, size - fuzz::kStepHeadBytes);
    std::vector<std::uint8_t> buffer(in.readLength + 1);
    const auto writtenLength = static_cast<std::uint32_t>(in.written.size());
    std::uint32_t out = 0;
    const int run = device.Taken() + 1;
    if (QuarryDriver::OpenDevice(device.Path()) != 1) {
        std::abort();
    }
    while (device.Taken() < run) {
        std::this_thread::yield();
    }
    switch (in.step) {
    case 0: protocol.HandshakeStep(&out); break;
    case 1: protocol.IdentityTestStep(&out); break;
    case 2: protocol.FlashReadStep(in.address, in.readLength, buffer.data()); break;
    case 3: protocol.McuReadStep(in.address, in.readLength, buffer.data()); break;
    case 4: protocol.FlashWriteStep(in.address, writtenLength, in.written.data(), in.lastSegment); break;
    case 5: protocol.McuWriteStep(in.address, writtenLength, in.written.data(), in.lastSegment); break;
    case 6: protocol.ResetStep(); break;
    case 7: protocol.ReadByIdStep(in.address, in.readLength, buffer.data()); break;
    case 8: protocol.WriteByIdStep(in.address, writtenLength, in.written.data(), in.lastSegment); break;
    default: protocol.CommandStep(in.words[0], in.words[1], in.words[2]); break;
    }
    QuarryDriver::CloseDevice(device.Path());
    while (device.Ended() < run) {
        std::this_thread::yield();
    }
    return 0;
}
