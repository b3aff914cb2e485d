// The control channel of the `virtual-amp` program: a Unix stream socket on which tests in
// other processes send one-line text commands (set meters, hardware bytes, faults, unplug
// and replug, read counters and memory) and get one line back, "OK ..." or "ERR ...".
// The commands are listed in tools/virtual_amp/README.md.
#pragma once

#include <atomic>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tools/virtual_amp/lib/AmpFolderHost.h"

namespace VirtualAmp {

// Carries out one command line on the given devices (found by serial). Sets quit on "quit".
std::string HandleControlLine(const std::string& line, const std::vector<AmpFolderHost*>& hosts, bool& quit);

class AmpControlServer {
 public:
  AmpControlServer(std::string path, std::vector<AmpFolderHost*> hosts);
  ~AmpControlServer();  // Stop()
  AmpControlServer(const AmpControlServer&) = delete;
  AmpControlServer& operator=(const AmpControlServer&) = delete;

  bool Start();  // binds the socket and starts the thread
  void Stop();   // joins the thread, removes the socket
  bool QuitRequested() const { return quit_.load(); }
  const std::string& Path() const { return path_; }

 private:
  void Run();
  void Serve(int connection);

  std::string path_;
  std::vector<AmpFolderHost*> hosts_;  // not owned; outlive the server
  int listenFd_ = -1;
  std::atomic<bool> stop_{false};
  std::atomic<bool> quit_{false};
  std::thread thread_;  // owned; joined by Stop()
};

// Client side: sends one line and returns the answer line (without its newline), or
// nothing when the socket cannot be reached or no answer comes within the time-out.
std::optional<std::string> ControlRequest(const std::string& path, const std::string& line,
                                          Millis timeout = Millis(2000));

}  // namespace VirtualAmp
