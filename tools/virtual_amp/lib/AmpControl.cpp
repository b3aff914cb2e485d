// Text commands of the virtual amplifier's control channel, and its socket server.
#include "tools/virtual_amp/lib/AmpControl.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <sstream>

namespace VirtualAmp {
namespace {

constexpr int kPollSliceMs = 20;
constexpr std::size_t kMaxLine = 64 * 1024;
constexpr std::uint32_t kMaxReadLength = 0x10000;
constexpr std::uint64_t kMaxMilliseconds = 600000;

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> words;
  std::istringstream in(line);
  std::string word;
  while (in >> word) words.push_back(word);
  return words;
}

// Decimal, or hexadecimal after "0x".
std::optional<std::uint64_t> ParseNumber(const std::string& text) {
  std::string_view digits = text;
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.remove_prefix(2);
    base = 16;
  }
  std::uint64_t value = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
  if (error != std::errc() || end != digits.data() + digits.size() || digits.empty()) return std::nullopt;
  return value;
}

std::optional<std::uint32_t> ParseU32(const std::string& text) {
  auto value = ParseNumber(text);
  if (!value || *value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(*value);
}

std::optional<std::vector<std::uint8_t>> ParseHex(const std::string& text) {
  if (text.size() % 2 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes(text.size() / 2);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const char* first = text.data() + 2 * i;
    const auto [end, error] = std::from_chars(first, first + 2, bytes[i], 16);
    if (error != std::errc() || end != first + 2) return std::nullopt;
  }
  return bytes;
}

std::string Hex(const std::vector<std::uint8_t>& bytes) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size() * 2);
  for (std::uint8_t b : bytes) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

// A fault count: a number or "always".
std::optional<int> ParseCount(const std::string& text) {
  if (text == "always") return kAlways;
  auto value = ParseNumber(text);
  if (!value || *value > 1000000) return std::nullopt;
  return static_cast<int>(*value);
}

std::string CountersText(const AmpCounters& c) {
  std::ostringstream out;
  out << "exchanges=" << c.exchanges << " replies=" << c.replies << " unanswered=" << c.unanswered
      << " dropped=" << c.droppedReplies << " absent=" << c.ignoredWhileAbsent << " readies=" << c.readies
      << " accepted=" << c.commandsAccepted << " refused=" << c.commandsRefused << " abandoned=" << c.abandoned
      << " cancels=" << c.cancels << " blocks-written=" << c.blocksWritten << " blocks-skipped=" << c.blocksSkipped
      << " checksum-mismatches=" << c.checksumMismatches << " ends=" << c.ends << " continues=" << c.continues
      << " resets=" << c.resets << " commands=" << c.commandsRun;
  return out.str();
}

std::string SetFault(VirtualAmplifier& amp, const std::vector<std::string>& w) {
  if (w.size() < 3) return "ERR usage: fault SERIAL NAME [VALUE...]";
  AmpFaults faults = amp.Faults();
  const std::string& name = w[2];
  auto number = [&](std::size_t i) { return i < w.size() ? ParseNumber(w[i]) : std::nullopt; };
  auto count = [&](std::size_t i) { return i < w.size() ? ParseCount(w[i]) : std::nullopt; };
  // Times are added to clock readings: keep them to what the timing command accepts.
  auto ms = [&](std::size_t i) -> std::optional<Millis> {
    const auto value = number(i);
    if (!value || *value > kMaxMilliseconds) return std::nullopt;
    return Millis(*value);
  };
  if (name == "clear") {
    faults = AmpFaults{};
  } else if (name == "drop-reply" && number(3)) {
    faults.dropReplyAt.insert(*number(3));
  } else if (name == "drop-ready" && count(3)) {
    faults.dropReady = *count(3);
  } else if (name == "wrong-checksum" && count(3)) {
    faults.wrongChecksum = *count(3);
  } else if (name == "corrupt-data" && count(3)) {
    faults.corruptData = *count(3);
  } else if (name == "slow-start" && ms(3)) {
    faults.slowStart = *ms(3);
  } else if (name == "unplug-at" && number(3) && (w.size() < 5 || ms(4))) {
    faults.unplugAtExchange = *number(3);
    faults.unplugFor = w.size() < 5 ? Millis(0) : *ms(4);
  } else if (name == "stay-busy" && number(3)) {
    faults.stayBusy = *number(3) != 0;
  } else if (name == "refuse-boot" && number(3)) {
    faults.refuseBootLoader = *number(3) != 0;
  } else {
    return "ERR unknown fault or bad value";
  }
  amp.SetFaults(faults);
  return "OK";
}

std::string SetTiming(VirtualAmplifier& amp, const std::vector<std::string>& w) {
  if (w.size() != 4) return "ERR usage: timing SERIAL latency|pace|reset|store MS";
  const auto ms = ParseNumber(w[3]);
  if (!ms || *ms > kMaxMilliseconds) return "ERR bad milliseconds";
  AmpTiming timing = amp.Timing();
  if (w[2] == "latency") {
    timing.replyLatency = Millis(*ms);
  } else if (w[2] == "pace") {
    timing.pace = Millis(*ms);
  } else if (w[2] == "reset") {
    timing.resetAbsence = Millis(*ms);
  } else if (w[2] == "store") {
    timing.storeBusy = Millis(*ms);
  } else {
    return "ERR unknown timing";
  }
  amp.SetTiming(timing);
  return "OK";
}

std::string DeviceCommand(AmpFolderHost& host, const std::vector<std::string>& w) {
  VirtualAmplifier& amp = host.Amplifier();
  const std::string& verb = w[0];
  if (verb == "meters") {
    if (w.size() != 10) return "ERR usage: meters SERIAL IN1..IN4 OUT1..OUT4";
    std::array<std::uint32_t, 4> in{}, out{};
    for (std::size_t i = 0; i < 8; ++i) {
      const auto v = ParseU32(w[2 + i]);
      if (!v) return "ERR bad level";
      (i < 4 ? in[i] : out[i - 4]) = *v;
    }
    amp.SetMeterLevels(in, out);
    return "OK";
  }
  if (verb == "states") {
    if (w.size() != 6) return "ERR usage: states SERIAL S1..S4";
    std::array<std::uint16_t, 4> states{};
    for (std::size_t i = 0; i < 4; ++i) {
      const auto v = ParseNumber(w[2 + i]);
      if (!v || *v > 0xFFFF) return "ERR bad state";
      states[i] = static_cast<std::uint16_t>(*v);
    }
    amp.SetOutputStates(states);
    return "OK";
  }
  if (verb == "hwinfo") {
    if (w.size() != 3) return "ERR usage: hwinfo SERIAL HEXBYTES";
    const auto bytes = ParseHex(w[2]);
    if (!bytes || bytes->size() > kHwInfoSize) return "ERR at most 15 hex bytes";
    amp.SetHwInfo(*bytes);
    return "OK";
  }
  if (verb == "unplug") {
    amp.Unplug();
    return "OK";
  }
  if (verb == "replug") {
    amp.Replug();
    return "OK";
  }
  if (verb == "counters") return "OK " + CountersText(amp.Counters());
  if (verb == "reset-counters") {
    amp.ResetCounters();
    return "OK";
  }
  if (verb == "mode") return amp.Mode() == AmpMode::Application ? "OK app" : "OK boot";
  if (verb == "muted") return amp.IsMuted() ? "OK 1" : "OK 0";
  if (verb == "ready") return amp.IsReady() ? "OK 1" : "OK 0";
  if (verb == "present") return host.IsListening() ? "OK 1" : "OK 0";
  if (verb == "read-flash" || verb == "read-mcu") {
    if (w.size() != 4) return "ERR usage: " + verb + " SERIAL ADDRESS LENGTH";
    const auto address = ParseU32(w[2]);
    const auto length = ParseU32(w[3]);
    if (!address || !length || *length > kMaxReadLength) return "ERR bad address or length";
    const auto bytes = verb == "read-flash" ? amp.ReadFlash(*address, *length) : amp.ReadMcu(*address, *length);
    if (bytes.size() != *length) return "ERR out of range";
    return "OK " + Hex(bytes);
  }
  if (verb == "write-flash" || verb == "write-mcu") {
    if (w.size() != 4) return "ERR usage: " + verb + " SERIAL ADDRESS HEXBYTES";
    const auto address = ParseU32(w[2]);
    const auto bytes = ParseHex(w[3]);
    if (!address || !bytes) return "ERR bad address or bytes";
    const bool ok = verb == "write-flash" ? amp.WriteFlash(*address, *bytes) : amp.WriteMcu(*address, *bytes);
    return ok ? "OK" : "ERR out of range";
  }
  if (verb == "fault") return SetFault(amp, w);
  if (verb == "timing") return SetTiming(amp, w);
  return "ERR unknown command";
}

}  // namespace

std::string HandleControlLine(const std::string& line, const std::vector<AmpFolderHost*>& hosts, bool& quit) {
  const std::vector<std::string> words = Split(line);
  if (words.empty()) return "ERR empty command";
  if (words[0] == "quit") {
    quit = true;
    return "OK";
  }
  if (words[0] == "list") {
    std::string answer = "OK";
    for (AmpFolderHost* host : hosts) {
      VirtualAmplifier& amp = host->Amplifier();
      answer += " " + amp.Serial() + ":" + (amp.GetModel() == Model::A210 ? "a210" : "a200") + ":" +
                (amp.Mode() == AmpMode::Application ? "app" : "boot") + ":" +
                (host->IsListening() ? "present" : "absent");
    }
    return answer;
  }
  if (words.size() < 2) return "ERR missing serial";
  for (AmpFolderHost* host : hosts) {
    if (host->Amplifier().Serial() == words[1]) return DeviceCommand(*host, words);
  }
  return "ERR no device " + words[1];
}

AmpControlServer::AmpControlServer(std::string path, std::vector<AmpFolderHost*> hosts)
    : path_(std::move(path)), hosts_(std::move(hosts)) {}

AmpControlServer::~AmpControlServer() { Stop(); }

bool AmpControlServer::Start() {
  if (thread_.joinable()) return true;
  if (!FitsSocketAddress(path_)) return false;
  listenFd_ = ListenAtomically(path_);
  if (listenFd_ < 0) return false;
  stop_.store(false);
  thread_ = std::thread([this] { Run(); });
  return true;
}

void AmpControlServer::Stop() {
  stop_.store(true);
  if (thread_.joinable()) thread_.join();
  if (listenFd_ >= 0) {
    ::unlink(path_.c_str());
    ::close(listenFd_);
    listenFd_ = -1;
  }
}

void AmpControlServer::Run() {
  while (!stop_.load()) {
    pollfd fds{listenFd_, POLLIN, 0};
    if (::poll(&fds, 1, kPollSliceMs) <= 0 || !(fds.revents & POLLIN)) continue;
    const int connection = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    Serve(connection);
    ::close(connection);
  }
}

void AmpControlServer::Serve(int connection) {
  std::string buffer;
  while (!stop_.load()) {
    pollfd fds{connection, POLLIN, 0};
    const int ready = ::poll(&fds, 1, kPollSliceMs);
    if (ready < 0 && errno != EINTR) return;
    if (ready <= 0) continue;
    char chunk[4096];
    const ssize_t n = ::read(connection, chunk, sizeof chunk);
    if (n <= 0) return;
    buffer.append(chunk, static_cast<std::size_t>(n));
    if (buffer.size() > kMaxLine) return;  // no line is this long: not a control client
    std::size_t newline;
    while ((newline = buffer.find('\n')) != std::string::npos) {
      const std::string line = buffer.substr(0, newline);
      buffer.erase(0, newline + 1);
      bool quit = false;
      const std::string answer = HandleControlLine(line, hosts_, quit) + "\n";
      // Raised before answering, so that a client that got "OK" finds the request taken.
      if (quit) quit_.store(true);
      if (::send(connection, answer.data(), answer.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(answer.size())) {
        return;
      }
    }
  }
}

std::optional<std::string> ControlRequest(const std::string& path, const std::string& line, Millis timeout) {
  if (path.size() >= sizeof(sockaddr_un::sun_path)) return std::nullopt;
  const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return std::nullopt;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  std::optional<std::string> answer;
  const std::string request = line + "\n";
  if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
      ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(request.size())) {
    std::string buffer;
    const TimePoint deadline = Clock::now() + timeout;
    while (Clock::now() < deadline && buffer.find('\n') == std::string::npos && buffer.size() <= kMaxLine * 4) {
      pollfd fds{fd, POLLIN, 0};
      if (::poll(&fds, 1, kPollSliceMs) <= 0) continue;
      char chunk[4096];
      const ssize_t n = ::read(fd, chunk, sizeof chunk);
      if (n <= 0) break;
      buffer.append(chunk, static_cast<std::size_t>(n));
    }
    if (const std::size_t newline = buffer.find('\n'); newline != std::string::npos) answer = buffer.substr(0, newline);
  }
  ::close(fd);
  return answer;
}

}  // namespace VirtualAmp
