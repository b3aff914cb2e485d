// Packet recognition and reply building of the virtual amplifier.
#include "tools/virtual_amp/lib/AmpPacket.h"

#include <algorithm>
#include <cstdio>

#include "platform/base/ByteOrder.h"

namespace VirtualAmp {
namespace {

constexpr std::array<std::string_view, kCommandCount> kCommandNames = {
    "RD_FLA", "RD_MCU", "WR_FLA", "WR_MCU", "RE_MCU", "RMbyID", "WMbyID", "SE_CMD"};

bool StartsWith(const Packet& packet, std::string_view text) {
  if (text.size() > packet.size()) return false;
  return std::equal(text.begin(), text.end(), packet.begin(),
                    [](char c, std::uint8_t b) { return static_cast<std::uint8_t>(c) == b; });
}

bool ZeroFrom(const Packet& packet, std::size_t from) {
  return std::all_of(packet.begin() + static_cast<std::ptrdiff_t>(from), packet.end(),
                     [](std::uint8_t b) { return b == 0; });
}

void PutText(Packet& packet, std::size_t at, std::string_view text) {
  for (std::size_t i = 0; i < text.size() && at + i < packet.size(); ++i) {
    packet[at + i] = static_cast<std::uint8_t>(text[i]);
  }
}

}  // namespace

std::string_view CommandName(Command command) {
  return kCommandNames[static_cast<std::size_t>(command)];
}

bool IsReadyPacket(const Packet& packet) { return StartsWith(packet, "READY") && ZeroFrom(packet, 5); }

bool IsTestPacket(const Packet& packet) { return StartsWith(packet, "TEST") && ZeroFrom(packet, 4); }

bool IsTag3(const Packet& packet, std::string_view tag) {
  return tag.size() == 3 && StartsWith(packet, tag) && ZeroFrom(packet, 3);
}

std::optional<std::uint32_t> ParseHostChecksum(const Packet& packet) {
  if (!StartsWith(packet, "CHE") || !ZeroFrom(packet, 7)) return std::nullopt;
  return platform::LoadBigEndian<std::uint32_t>(packet.data() + 3);
}

std::optional<std::uint32_t> ParseSkipCount(const Packet& packet) {
  if (!ZeroFrom(packet, 4)) return std::nullopt;
  return platform::LoadBigEndian<std::uint32_t>(packet.data());
}

std::optional<CommandRequest> ParseCommand(const Packet& packet) {
  for (std::size_t i = 0; i < kCommandCount; ++i) {
    if (!StartsWith(packet, kCommandNames[i])) continue;
    CommandRequest request;
    request.command = static_cast<Command>(i);
    if (request.command == Command::ReMcu) {
      if (!ZeroFrom(packet, 6)) return std::nullopt;
      return request;
    }
    if (!ZeroFrom(packet, 14)) return std::nullopt;
    request.address = platform::LoadBigEndian<std::uint32_t>(packet.data() + 6);
    request.length = platform::LoadBigEndian<std::uint32_t>(packet.data() + 10);
    return request;
  }
  return std::nullopt;
}

Packet MakeReply(std::uint8_t code, std::string_view tag) {
  Packet packet{};
  packet[0] = code;
  PutText(packet, 1, tag.substr(0, 3));
  return packet;
}

Packet MakeIdentityReply(bool bootLoader) {
  Packet packet = MakeReply(kCodeInv, "INV");
  PutText(packet, 4, bootLoader ? "HID" : "APP");
  return packet;
}

Packet MakeChecksumReply(std::uint32_t checksum) {
  Packet packet = MakeReply(kCodeChe, "CHE");
  platform::StoreBigEndian<std::uint32_t>(checksum, packet.data() + 4);
  return packet;
}

Packet MakeSkipReply(std::uint32_t count) {
  Packet packet = MakeReply(kCodeSkp, "SKP");
  platform::StoreBigEndian<std::uint32_t>(count, packet.data() + 4);
  return packet;
}

Packet MakeDataReply(std::span<const std::uint8_t> data) {
  Packet packet = MakeReply(kCodeDat, "DAT");
  const std::size_t n = std::min(data.size(), kDatPayload);
  std::copy_n(data.begin(), n, packet.begin() + 4);
  return packet;
}

std::uint32_t ChecksumOf(std::span<const std::uint8_t> bytes) {
  RunningChecksum sum;
  sum.Add(bytes);
  return sum.Value();
}

std::string FormatPacket(const Packet& packet) {
  // Trailing zeros carry nothing; the trace shows the bytes up to the last non-zero one.
  std::size_t used = packet.size();
  while (used > 0 && packet[used - 1] == 0) --used;
  std::string text;
  text.reserve(used * 3 + 8);
  char buffer[4];
  for (std::size_t i = 0; i < used; ++i) {
    std::snprintf(buffer, sizeof buffer, "%02x", packet[i]);
    if (i > 0) text += ' ';
    text += buffer;
  }
  std::string ascii;
  for (std::size_t i = 0; i < std::min<std::size_t>(used, 7); ++i) {
    const std::uint8_t b = packet[i];
    ascii += (b >= 0x20 && b < 0x7F) ? static_cast<char>(b) : '.';
  }
  return "[" + ascii + "] " + text;
}

}  // namespace VirtualAmp
