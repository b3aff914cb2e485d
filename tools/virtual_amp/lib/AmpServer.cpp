// The serving loop of the virtual amplifier over a stream descriptor, and the socket pair.
#include "tools/virtual_amp/lib/AmpServer.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <vector>

namespace VirtualAmp {
namespace {

constexpr int kPollSliceMs = 10;

// Sleeps until `when`, in slices so that a stop or a vanished device ends the wait.
bool SleepUntil(TimePoint when, const std::atomic<bool>& stop) {
  while (!stop.load()) {
    const auto left = when - Clock::now();
    if (left <= Clock::duration::zero()) return true;
    std::this_thread::sleep_for(std::min<Clock::duration>(left, Millis(kPollSliceMs)));
  }
  return false;
}

// Writes only once the descriptor can take more, so a host that stops reading cannot hold
// the serving thread past a stop request. False with errno set on a write error; false
// with errno 0 when stopped first.
bool WriteAll(int fd, const std::uint8_t* data, std::size_t size, const std::atomic<bool>& stop) {
  while (size > 0) {
    pollfd out{fd, POLLOUT, 0};
    const int ready = ::poll(&out, 1, kPollSliceMs);
    if (stop.load()) {
      errno = 0;
      return false;
    }
    if (ready < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (ready == 0) continue;
    ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n < 0 && errno == ENOTSOCK) n = ::write(fd, data, size);
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN || errno == EWOULDBLOCK) continue;
      return false;
    }
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

void RejectPending(int listenFd) {
  const int extra = ::accept(listenFd, nullptr, nullptr);
  if (extra >= 0) ::close(extra);
}

}  // namespace

ServeEnd ServeConnection(VirtualAmplifier& amp, int fd, const std::atomic<bool>& stop, int rejectListenFd) {
  const std::uint64_t generation = amp.Generation();
  std::vector<std::uint8_t> pending;
  TimePoint lastIn{};
  TimePoint lastOut{};
  while (true) {
    if (stop.load()) return ServeEnd::Stopped;
    if (amp.Generation() != generation) return ServeEnd::DeviceGone;

    if (pending.size() < kPacketSize) {
      pollfd fds[2] = {{fd, POLLIN, 0}, {rejectListenFd, POLLIN, 0}};
      const int count = rejectListenFd >= 0 ? 2 : 1;
      const int ready = ::poll(fds, static_cast<nfds_t>(count), kPollSliceMs);
      if (ready < 0) {
        if (errno == EINTR) continue;
        return ServeEnd::IoError;
      }
      if (!(fds[0].revents & (POLLIN | POLLHUP | POLLERR))) {
        // Turn a newcomer away only while this connection is open and idle: a host that
        // closes and reconnects at once has its end-of-stream seen here first, and its new
        // connection waits in the backlog for the next accept.
        if (count == 2 && (fds[1].revents & POLLIN)) RejectPending(rejectListenFd);
        continue;
      }
      std::uint8_t buffer[4 * kPacketSize];
      const ssize_t n = ::read(fd, buffer, sizeof buffer);
      if (n == 0) return ServeEnd::PeerClosed;
      if (n < 0) {
        if (errno == EINTR || errno == EAGAIN) continue;
        return errno == ECONNRESET ? ServeEnd::PeerClosed : ServeEnd::IoError;
      }
      pending.insert(pending.end(), buffer, buffer + n);
      if (pending.size() < kPacketSize) continue;
    }

    Packet packet;
    std::copy_n(pending.begin(), kPacketSize, packet.begin());
    pending.erase(pending.begin(), pending.begin() + kPacketSize);

    const AmpTiming timing = amp.Timing();
    // One report per frame and direction: the next host report is taken no sooner than
    // one pace after the previous one.
    TimePoint takenAt = Clock::now();
    if (timing.pace.count() > 0 && lastIn != TimePoint{}) takenAt = std::max(takenAt, lastIn + timing.pace);
    if (!SleepUntil(takenAt, stop)) return ServeEnd::Stopped;
    lastIn = takenAt;

    const std::optional<AmpReply> reply = amp.HandlePacket(packet);
    if (amp.Generation() != generation) return ServeEnd::DeviceGone;
    if (!reply) continue;
    TimePoint due = takenAt + reply->delay;
    if (timing.pace.count() > 0 && lastOut != TimePoint{}) due = std::max(due, lastOut + timing.pace);
    if (!SleepUntil(due, stop)) return ServeEnd::Stopped;
    if (amp.Generation() != generation) return ServeEnd::DeviceGone;
    if (!WriteAll(fd, reply->packet.data(), reply->packet.size(), stop)) {
      if (stop.load()) return ServeEnd::Stopped;
      return (errno == EPIPE || errno == ECONNRESET) ? ServeEnd::PeerClosed : ServeEnd::IoError;
    }
    lastOut = due;  // the scheduled time, so that sleep overshoot does not add up
  }
}

AmpSocketPair::AmpSocketPair(std::shared_ptr<VirtualAmplifier> amp) : amp_(std::move(amp)) {
  int fds[2];
  if (!amp_ || ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) != 0) return;
  hostFd_ = fds[0];
  deviceFd_ = fds[1];
  thread_ = std::thread([this] {
    const ServeEnd end = ServeConnection(*amp_, deviceFd_, stop_);
    end_.store(end);
    // Closing the device end is what the host sees of an unplug or reset.
    ::shutdown(deviceFd_, SHUT_RDWR);
  });
}

AmpSocketPair::~AmpSocketPair() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  if (deviceFd_ >= 0) ::close(deviceFd_);
  if (hostFd_ >= 0) ::close(hostFd_);
}

int AmpSocketPair::ReleaseHostFd() {
  const int fd = hostFd_;
  hostFd_ = -1;
  return fd;
}

ServeEnd AmpSocketPair::WaitEnded() {
  if (thread_.joinable()) thread_.join();
  return end_.load();
}

}  // namespace VirtualAmp
