// The amplifier's side of the 64-byte packet format: recognising host packets, building
// replies, the running checksum and big-endian fields. Deliberately independent of the
// device library's own packet code, so that a misreading cannot hide on both sides.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace VirtualAmp {

inline constexpr std::size_t kPacketSize = 64;
using Packet = std::array<std::uint8_t, kPacketSize>;

// Reply codes in byte 0 of a device reply; bytes 1-3 carry the tag.
inline constexpr std::uint8_t kCodeInv = 0;
inline constexpr std::uint8_t kCodeAck = 2;
inline constexpr std::uint8_t kCodeChe = 3;
inline constexpr std::uint8_t kCodeRea = 4;
inline constexpr std::uint8_t kCodeDat = 6;
inline constexpr std::uint8_t kCodeSkp = 7;

inline constexpr std::size_t kDatPayload = 60;   // data bytes carried by one "DAT" reply
inline constexpr std::size_t kWriteBlock = 256;  // a write moves 256-byte blocks ...
inline constexpr std::size_t kPacketsPerBlock = kWriteBlock / kPacketSize;  // ... of four packets

// The commands the amplifier knows, in the order of their wire index.
enum class Command : std::uint8_t { RdFla = 0, RdMcu, WrFla, WrMcu, ReMcu, RmById, WmById, SeCmd };
inline constexpr std::size_t kCommandCount = 8;
std::string_view CommandName(Command command);

// A command packet as the amplifier parsed it: big-endian address (or id) at 6-9 and
// length at 10-13; "RE_MCU" carries neither.
struct CommandRequest {
  Command command = Command::RdFla;
  std::uint32_t address = 0;
  std::uint32_t length = 0;
};

// Host packets are recognised strictly: the tag at the start and zeros in every byte the
// format does not name. That keeps the set of data packets that could be mistaken for
// control packets as small as the format allows (see VirtualAmplifier.h on "READY").
bool IsReadyPacket(const Packet& packet);
bool IsTestPacket(const Packet& packet);
// "STA", "END", "CON", "CNL", "ACK": the three letters and zeros after them.
bool IsTag3(const Packet& packet, std::string_view tag);
// "CHE" with its 32-bit checksum at 3-6.
std::optional<std::uint32_t> ParseHostChecksum(const Packet& packet);
// A skip-count packet: a 32-bit count at 0-3 and zeros after it.
std::optional<std::uint32_t> ParseSkipCount(const Packet& packet);
std::optional<CommandRequest> ParseCommand(const Packet& packet);

Packet MakeReply(std::uint8_t code, std::string_view tag);
Packet MakeIdentityReply(bool bootLoader);
Packet MakeChecksumReply(std::uint32_t checksum);
Packet MakeSkipReply(std::uint32_t count);
Packet MakeDataReply(std::span<const std::uint8_t> data);  // at most 60 bytes, rest 0

// Running sum of bytes modulo 65535 (not 65536): 256 bytes of 0xFF give 65280, 257 give 0.
class RunningChecksum {
 public:
  void Add(std::uint8_t byte) { value_ = (value_ + byte) % kModulus; }
  void Add(std::span<const std::uint8_t> bytes) {
    for (std::uint8_t b : bytes) Add(b);
  }
  std::uint32_t Value() const { return value_; }
  void Reset() { value_ = 0; }

 private:
  static constexpr std::uint32_t kModulus = 65535;
  std::uint32_t value_ = 0;
};

std::uint32_t ChecksumOf(std::span<const std::uint8_t> bytes);

// One line for the packet trace: printable tags as text, the rest as hex.
std::string FormatPacket(const Packet& packet);

}  // namespace VirtualAmp
