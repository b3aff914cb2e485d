// Host side of the packet protocol for the virtual amplifier's tests.
#include "tests/virtual_amp/HostSide.h"

#include <algorithm>

namespace VampTest {

Packet TagPacket(std::string_view tag) {
  Packet p{};
  std::copy(tag.begin(), tag.end(), p.begin());
  return p;
}

Packet CommandPacket(std::string_view name, std::uint32_t address, std::uint32_t length) {
  Packet p = TagPacket(name);
  for (int i = 0; i < 4; ++i) {
    p[6 + i] = static_cast<std::uint8_t>(address >> (24 - 8 * i));
    p[10 + i] = static_cast<std::uint8_t>(length >> (24 - 8 * i));
  }
  return p;
}

Packet ChecksumPacket(std::uint32_t checksum) {
  Packet p = TagPacket("CHE");
  for (int i = 0; i < 4; ++i) p[3 + i] = static_cast<std::uint8_t>(checksum >> (24 - 8 * i));
  return p;
}

Packet SkipPacket(std::uint32_t count) {
  Packet p{};
  for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(count >> (24 - 8 * i));
  return p;
}

Packet DataPacket(std::span<const std::uint8_t> bytes) {
  Packet p{};
  std::copy_n(bytes.begin(), std::min<std::size_t>(bytes.size(), 64), p.begin());
  return p;
}

std::uint32_t Be32(const std::uint8_t* b) {
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) | b[3];
}

std::uint32_t HostChecksum(std::span<const std::uint8_t> bytes) {
  std::uint32_t sum = 0;
  for (std::uint8_t b : bytes) sum = (sum + b) % 65535;
  return sum;
}

bool HasTag(const std::optional<Packet>& reply, std::uint8_t code, std::string_view tag) {
  return reply && (*reply)[0] == code && std::equal(tag.begin(), tag.end(), reply->begin() + 1);
}

std::optional<Packet> HostDriver::Send(const Packet& packet) {
  auto reply = amp_.HandlePacket(packet);
  if (!reply) return std::nullopt;
  return reply->packet;
}

bool HostDriver::Ready() { return HasTag(Send(TagPacket("READY")), 4, "REA"); }

bool HostDriver::Expect(const Packet& packet, std::uint8_t code, std::string_view tag) {
  return HasTag(Send(packet), code, tag);
}

HostDriver::ReadResult HostDriver::Read(std::string_view command, std::uint32_t address, std::uint32_t length) {
  ReadResult result;
  if (!Ready() || !Expect(CommandPacket(command, address, length), 2, "ACK")) return result;
  if (!Ready() || !Expect(TagPacket("STA"), 2, "ACK")) return result;
  std::uint32_t position = 0;
  while (position < length) {
    if (!Ready()) return result;
    auto skip = Send(TagPacket("ACK"));
    if (!HasTag(skip, 7, "SKP")) return result;
    const std::uint32_t count = Be32(skip->data() + 4);
    result.replies.push_back("SKP " + std::to_string(count));
    const std::uint32_t fill = static_cast<std::uint32_t>(std::min<std::uint64_t>(60ull * count, length - position));
    result.data.insert(result.data.end(), fill, 0xFF);
    position += fill;
    if (position >= length) break;
    if (!Ready()) return result;
    auto data = Send(TagPacket("ACK"));
    if (!HasTag(data, 6, "DAT")) return result;
    const std::uint32_t take = std::min<std::uint32_t>(60, length - position);
    result.replies.push_back("DAT " + std::to_string(take));
    result.data.insert(result.data.end(), data->begin() + 4, data->begin() + 4 + take);
    result.hostChecksum = (result.hostChecksum + HostChecksum({data->data() + 4, take})) % 65535;
    position += take;
  }
  if (!Ready()) return result;
  auto che = Send(TagPacket("END"));
  if (!HasTag(che, 3, "CHE")) return result;
  result.deviceChecksum = Be32(che->data() + 4);
  result.ok = result.deviceChecksum == result.hostChecksum;
  return result;
}

bool HostDriver::Write(std::string_view command, std::uint32_t address, std::span<const std::uint8_t> data,
                       bool last) {
  if (data.size() % 256 != 0) return false;
  if (!Ready() || !Expect(CommandPacket(command, address, static_cast<std::uint32_t>(data.size())), 2, "ACK")) {
    return false;
  }
  if (!Ready() || !Expect(TagPacket("STA"), 2, "ACK")) return false;
  std::uint32_t skipped = 0;
  const std::size_t blocks = data.size() / 256;
  for (std::size_t b = 0; b < blocks; ++b) {
    const auto block = data.subspan(b * 256, 256);
    if (std::all_of(block.begin(), block.end(), [](std::uint8_t x) { return x == 0xFF; })) {
      ++skipped;
      if (b + 1 == blocks) {
        if (!Ready() || !Expect(SkipPacket(skipped), 2, "ACK")) return false;
        skipped = 0;
      }
      continue;
    }
    if (!Ready() || !Expect(SkipPacket(skipped), 2, "ACK")) return false;
    skipped = 0;
    for (std::size_t p = 0; p < 4; ++p) {
      if (!Ready() || !Expect(DataPacket(block.subspan(p * 64, 64)), 2, "ACK")) return false;
    }
    const std::uint32_t sum = HostChecksum(block);
    if (!Ready()) return false;
    auto che = Send(ChecksumPacket(sum));
    if (!HasTag(che, 3, "CHE") || Be32(che->data() + 4) != sum) return false;
  }
  return Ready() && Expect(TagPacket(last ? "END" : "CON"), 2, "ACK");
}

bool HostDriver::Command(std::uint16_t w1, std::uint16_t w2, std::uint16_t w3) {
  const std::array<std::uint8_t, 6> bytes = {static_cast<std::uint8_t>(w1 >> 8), static_cast<std::uint8_t>(w1),
                                             static_cast<std::uint8_t>(w2 >> 8), static_cast<std::uint8_t>(w2),
                                             static_cast<std::uint8_t>(w3 >> 8), static_cast<std::uint8_t>(w3)};
  if (!Ready() || !Expect(CommandPacket("SE_CMD", 0, 6), 2, "ACK")) return false;
  if (!Ready() || !Expect(TagPacket("STA"), 2, "ACK")) return false;
  if (!Ready() || !Expect(DataPacket(bytes), 2, "ACK")) return false;
  if (!Ready()) return false;
  auto che = Send(ChecksumPacket(HostChecksum(bytes)));
  if (!HasTag(che, 3, "CHE") || Be32(che->data() + 4) != HostChecksum(bytes)) return false;
  return Ready() && Expect(TagPacket("END"), 2, "ACK");
}

bool HostDriver::Handshake() {
  return Ready() && Expect(TagPacket("RE_MCU"), 2, "ACK") && Ready() && Expect(TagPacket("CNL"), 2, "ACK");
}

bool HostDriver::Reset() {
  if (!Ready() || !Expect(TagPacket("RE_MCU"), 2, "ACK") || !Ready()) return false;
  return !Send(TagPacket("STA")).has_value();
}

std::optional<bool> HostDriver::RunsBootLoader() {
  if (!Ready()) return std::nullopt;
  auto reply = Send(TagPacket("TEST"));
  if (!HasTag(reply, 0, "INV")) return std::nullopt;
  const std::string text(reply->begin() + 4, reply->begin() + 7);
  if (text == "HID") return true;
  if (text == "APP") return false;
  return std::nullopt;
}

}  // namespace VampTest
