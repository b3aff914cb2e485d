// The host's half of the packet protocol, written out again inside the tests so that the
// virtual amplifier is checked against an independent reading of the format.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "tools/virtual_amp/lib/VirtualAmplifier.h"

namespace VampTest {

using Bytes = std::vector<std::uint8_t>;
using Packet = std::array<std::uint8_t, 64>;

Packet TagPacket(std::string_view tag);  // "READY", "STA", "TEST", ... then zeros
Packet CommandPacket(std::string_view name, std::uint32_t address, std::uint32_t length);
Packet ChecksumPacket(std::uint32_t checksum);
Packet SkipPacket(std::uint32_t count);
Packet DataPacket(std::span<const std::uint8_t> bytes);
std::uint32_t Be32(const std::uint8_t* bytes);
std::uint32_t HostChecksum(std::span<const std::uint8_t> bytes);  // sum mod 65535
bool HasTag(const std::optional<Packet>& reply, std::uint8_t code, std::string_view tag);

// Runs whole protocol steps against a device object, one packet at a time.
class HostDriver {
 public:
  explicit HostDriver(VirtualAmp::VirtualAmplifier& amp) : amp_(amp) {}

  std::optional<Packet> Send(const Packet& packet);
  bool Ready();
  bool Expect(const Packet& packet, std::uint8_t code, std::string_view tag);

  struct ReadResult {
    bool ok = false;
    Bytes data;
    std::vector<std::string> replies;  // "SKP n" and "DAT n" in order
    std::uint32_t deviceChecksum = 0;
    std::uint32_t hostChecksum = 0;
  };
  ReadResult Read(std::string_view command, std::uint32_t address, std::uint32_t length);
  bool Write(std::string_view command, std::uint32_t address, std::span<const std::uint8_t> data, bool last);
  bool Command(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3);
  bool Handshake();
  bool Reset();                       // ready, RE_MCU, ready, STA
  std::optional<bool> RunsBootLoader();  // identity test

 private:
  VirtualAmp::VirtualAmplifier& amp_;
};

}  // namespace VampTest
