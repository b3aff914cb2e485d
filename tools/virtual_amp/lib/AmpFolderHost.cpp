// A virtual amplifier served as a socket file in a folder.
#include "tools/virtual_amp/lib/AmpFolderHost.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace VirtualAmp {
namespace {

constexpr int kPollSliceMs = 10;

}  // namespace

std::string DeviceSocketName(std::uint16_t vendorId, std::uint16_t productId, const std::string& serial) {
  char ids[16];
  std::snprintf(ids, sizeof ids, "%04x-%04x-", vendorId, productId);
  return ids + serial + ".sock";
}

bool IsValidSerial(const std::string& serial) {
  if (serial.empty() || serial.size() > 39) return false;
  for (char c : serial) {
    const bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
    if (!ok) return false;
  }
  return true;
}

AmpFolderHost::AmpFolderHost(std::shared_ptr<VirtualAmplifier> amp, std::string folder) : amp_(std::move(amp)) {
  if (!folder.empty() && folder.back() != '/') folder += '/';
  path_ = folder + DeviceSocketName(amp_->VendorId(), amp_->ProductId(), amp_->Serial());
}

AmpFolderHost::~AmpFolderHost() { Stop(); }

bool AmpFolderHost::Start() {
  if (thread_.joinable()) return true;
  if (!IsValidSerial(amp_->Serial()) || path_.size() >= sizeof(sockaddr_un::sun_path)) return false;
  stop_.store(false);
  thread_ = std::thread([this] { Run(); });
  return true;
}

void AmpFolderHost::Stop() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
}

bool AmpFolderHost::OpenListener() {
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return false;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path_.c_str(), path_.size() + 1);
  ::unlink(path_.c_str());  // a file left behind by an earlier run
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0) {
    ::close(fd);
    return false;
  }
  listenFd_ = fd;
  listening_.store(true);
  return true;
}

void AmpFolderHost::CloseListener() {
  if (listenFd_ < 0) return;
  // Remove the file first: from then on the device is gone for anyone who looks.
  ::unlink(path_.c_str());
  ::close(listenFd_);
  listenFd_ = -1;
  listening_.store(false);
}

void AmpFolderHost::Run() {
  std::uint64_t generation = amp_->Generation();
  while (!stop_.load()) {
    if (!amp_->IsPresent()) {
      CloseListener();
      std::this_thread::sleep_for(Millis(kPollSliceMs));
      continue;
    }
    if (listenFd_ < 0) {
      generation = amp_->Generation();
      if (!OpenListener()) {
        std::this_thread::sleep_for(Millis(100));
        continue;
      }
    }
    if (amp_->Generation() != generation) {
      CloseListener();
      continue;
    }
    pollfd fds{listenFd_, POLLIN, 0};
    if (::poll(&fds, 1, kPollSliceMs) <= 0 || !(fds.revents & POLLIN)) continue;
    const int connection = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    const ServeEnd end = ServeConnection(*amp_, connection, stop_, listenFd_);
    if (end == ServeEnd::DeviceGone) CloseListener();
    ::shutdown(connection, SHUT_RDWR);
    ::close(connection);
  }
  CloseListener();
}

}  // namespace VirtualAmp
