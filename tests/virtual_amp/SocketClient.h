// A small Unix-socket client for the transport tests: 64-byte packets in and out.
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstring>
#include <optional>
#include <string>
#include <thread>

#include "tests/support/TempFolder.h"

namespace VampTest {

class SocketClient {
 public:
  explicit SocketClient(int fd = -1) : fd_(fd) {}
  ~SocketClient() {
    if (fd_ >= 0) ::close(fd_);
  }
  SocketClient(const SocketClient&) = delete;
  SocketClient& operator=(const SocketClient&) = delete;

  bool Connect(const std::string& path) {
    fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    return fd_ >= 0 && ::connect(fd_, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
  }

  bool Send(const std::array<std::uint8_t, 64>& packet) {
    return ::send(fd_, packet.data(), packet.size(), MSG_NOSIGNAL) == 64;
  }

  // A whole 64-byte reply; nothing on time-out; an empty optional with closed set on EOF.
  std::optional<std::array<std::uint8_t, 64>> Receive(int timeoutMs = 2000) {
    std::array<std::uint8_t, 64> packet{};
    std::size_t have = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (have < packet.size()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return std::nullopt;
      pollfd fds{fd_, POLLIN, 0};
      if (::poll(&fds, 1, static_cast<int>(left.count())) <= 0) continue;
      const ssize_t n = ::read(fd_, packet.data() + have, packet.size() - have);
      if (n <= 0) {
        closed = true;
        return std::nullopt;
      }
      have += static_cast<std::size_t>(n);
    }
    return packet;
  }

  std::optional<std::array<std::uint8_t, 64>> Exchange(const std::array<std::uint8_t, 64>& packet, int timeoutMs = 2000) {
    if (!Send(packet)) return std::nullopt;
    return Receive(timeoutMs);
  }

  int Fd() const { return fd_; }
  bool closed = false;

 private:
  int fd_;
};

inline bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0;
}

// Polls until the file exists (or is gone); bounded so that a hang shows as a failure.
inline bool WaitForFile(const std::string& path, bool present, int timeoutMs = 30000) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    if (FileExists(path) == present) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return FileExists(path) == present;
}

// A private socket folder, removed at the end. It lies directly under /tmp so that the
// socket paths in it stay well inside the length a socket address can hold.
struct TempDir {
  TempFolder folder{"vamp-test-", "/tmp"};
  std::string path = folder.Path().string();
};

}  // namespace VampTest
