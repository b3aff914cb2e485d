// Serves one virtual amplifier as a Unix stream socket in a folder, the way the virtual
// HID backend finds devices: the socket file `VVVV-PPPP-SERIAL.sock` exists exactly while
// the device is present. It is created at start, removed on unplug and reset, made again
// when the device returns, and removed when the host stops. One connection at a time.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <thread>

#include "tools/virtual_amp/lib/AmpServer.h"
#include "tools/virtual_amp/lib/VirtualAmplifier.h"

namespace VirtualAmp {

// "2f5a-a210-SERIAL.sock": vendor and product id as four lower-case hex digits.
std::string DeviceSocketName(std::uint16_t vendorId, std::uint16_t productId, const std::string& serial);

// Serial numbers the backend accepts: 1 to platform::hid::kMaxSerialChars characters of [A-Za-z0-9_].
bool IsValidSerial(const std::string& serial);

// Binds and listens on a hidden temporary name, then renames it to `path`: whoever sees the
// file appear can connect at once. Returns the listening descriptor (non-blocking), or -1.
int ListenAtomically(const std::string& path);
// True when `path` and its temporary name fit a Unix socket address.
bool FitsSocketAddress(const std::string& path);

class AmpFolderHost {
 public:
  AmpFolderHost(std::shared_ptr<VirtualAmplifier> amp, std::string folder);
  ~AmpFolderHost();  // Stop()
  AmpFolderHost(const AmpFolderHost&) = delete;
  AmpFolderHost& operator=(const AmpFolderHost&) = delete;

  // Starts the serving thread. False when the serial is not valid or the socket path is
  // too long for a Unix socket address.
  bool Start();
  // Ends the connection, joins the thread and removes the socket file.
  void Stop();

  const std::string& SocketPath() const { return path_; }
  VirtualAmplifier& Amplifier() { return *amp_; }
  // True while the socket file is up (for tests and the control channel).
  bool IsListening() const { return listening_.load(); }

 private:
  void Run();
  bool OpenListener();
  void CloseListener();

  std::shared_ptr<VirtualAmplifier> amp_;
  std::string path_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> listening_{false};
  int listenFd_ = -1;   // used only by the serving thread once started
  std::thread thread_;  // owned; joined by Stop()
};

}  // namespace VirtualAmp
