// Puts a virtual amplifier on a stream file descriptor: the host writes each output report
// as exactly 64 bytes and reads each input report as exactly 64 bytes. Reports are paced
// like a full-speed USB device (AmpTiming::pace between reports in each direction) and
// delayed by the device's reply latency.
#pragma once

#include <atomic>
#include <memory>
#include <thread>

#include "tools/virtual_amp/lib/VirtualAmplifier.h"

namespace VirtualAmp {

enum class ServeEnd {
  PeerClosed,  // the host closed its end
  DeviceGone,  // the device was unplugged or reset: the connection must close
  Stopped,     // the stop flag was raised
  IoError,
};

// Serves one connection until it ends; does not close fd. A connection attempt on
// rejectListenFd (when not -1) is accepted and closed at once: one connection at a time.
ServeEnd ServeConnection(VirtualAmplifier& amp, int fd, const std::atomic<bool>& stop, int rejectListenFd = -1);

// A socket pair with the device served on one end by its own thread; the host gets the
// other end. When the device disappears the device end is closed, so the host sees the
// end of the stream as a real unplug.
class AmpSocketPair {
 public:
  explicit AmpSocketPair(std::shared_ptr<VirtualAmplifier> amp);
  ~AmpSocketPair();
  AmpSocketPair(const AmpSocketPair&) = delete;
  AmpSocketPair& operator=(const AmpSocketPair&) = delete;

  bool IsOpen() const { return hostFd_ >= 0; }
  int HostFd() const { return hostFd_; }  // owned by this object unless released
  int ReleaseHostFd();                    // the caller then closes it
  ServeEnd WaitEnded();                   // joins the serving thread

 private:
  std::shared_ptr<VirtualAmplifier> amp_;
  int hostFd_ = -1;
  int deviceFd_ = -1;
  std::atomic<bool> stop_{false};
  std::atomic<ServeEnd> end_{ServeEnd::Stopped};
  std::thread thread_;  // owned; joined by WaitEnded or the destructor
};

}  // namespace VirtualAmp
