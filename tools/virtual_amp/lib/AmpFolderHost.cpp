// A virtual amplifier served as a socket file in a folder.
#include "tools/virtual_amp/lib/AmpFolderHost.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/hid/HidTypes.h"

namespace VirtualAmp {
namespace {

constexpr int kPollSliceMs = 10;

// A hidden name beside the final one (".NAME.tmp"), which no device pattern matches.
std::string TemporarySocketPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t name = slash == std::string::npos ? 0 : slash + 1;
  return path.substr(0, name) + "." + path.substr(name) + ".tmp";
}

}  // namespace

bool FitsSocketAddress(const std::string& path) {
  return TemporarySocketPath(path).size() < sizeof(sockaddr_un::sun_path);
}

int ListenAtomically(const std::string& path) {
  const std::string temporary = TemporarySocketPath(path);
  if (temporary.size() >= sizeof(sockaddr_un::sun_path)) return -1;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -1;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, temporary.c_str(), temporary.size() + 1);
  ::unlink(temporary.c_str());  // left behind by an earlier run; a stale final name is replaced by the rename
  if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 || ::listen(fd, 4) != 0 ||
      ::rename(temporary.c_str(), path.c_str()) != 0) {
    ::unlink(temporary.c_str());
    ::close(fd);
    return -1;
  }
  return fd;
}

std::string DeviceSocketName(std::uint16_t vendorId, std::uint16_t productId, const std::string& serial) {
  char ids[16];
  std::snprintf(ids, sizeof ids, "%04x-%04x-", vendorId, productId);
  return ids + serial + ".sock";
}

bool IsValidSerial(const std::string& serial) {
  if (serial.empty() || serial.size() > platform::hid::kMaxSerialChars) return false;
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
  if (!IsValidSerial(amp_->Serial()) || !FitsSocketAddress(path_)) return false;
  stop_.store(false);
  thread_ = std::thread([this] { Run(); });
  return true;
}

void AmpFolderHost::Stop() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
}

bool AmpFolderHost::OpenListener() {
  const int fd = ListenAtomically(path_);
  if (fd < 0) return false;
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
