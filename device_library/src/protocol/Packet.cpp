// Host packets, reply recognition and the running checksum.
#include "device_library/src/protocol/Packet.h"

#include <algorithm>
#include <cstring>

#include "platform/base/ByteOrder.h"

namespace QuarryDriver {

namespace {

constexpr const char* kCommandNames[kCommandCount] = {"RD_FLA", "RD_MCU", "WR_FLA", "WR_MCU",
                                                      "RE_MCU", "RMbyID", "WMbyID", "SE_CMD"};
constexpr std::size_t kCommandNameBytes = 6;

}  // namespace

std::uint32_t ChecksumAdd(std::uint32_t sum, const std::uint8_t* data, std::size_t count)
{
    for (std::size_t i = 0; i < count; ++i) {
        sum = (sum + data[i]) % kChecksumModulus;
    }
    return sum;
}

Packet TagPacket(const char* tag)
{
    Packet packet{};
    std::memcpy(packet.data(), tag, std::min(std::strlen(tag), kPacketBytes));
    return packet;
}

Packet ChecksumPacket(std::uint32_t checksum)
{
    Packet packet = TagPacket("CHE");
    platform::StoreBigEndian<std::uint32_t>(checksum, packet.data() + 3);
    return packet;
}

Packet SkipCountPacket(std::uint32_t count)
{
    Packet packet{};
    platform::StoreBigEndian<std::uint32_t>(count, packet.data());
    return packet;
}

bool DataPacket(const std::uint8_t* data, std::size_t count, Packet& out)
{
    if (count > kPacketBytes || (count > 0 && data == nullptr)) {
        return false;
    }
    out.fill(0);
    if (count > 0) {
        std::memcpy(out.data(), data, count);
    }
    return true;
}

bool CommandPacket(int index, const std::uint8_t* payload, std::size_t count, Packet& out)
{
    if (index < 0 || index >= kCommandCount || count > kCommandPayloadMax || (count > 0 && payload == nullptr)) {
        return false;
    }
    out.fill(0);
    std::memcpy(out.data(), kCommandNames[index], kCommandNameBytes);
    if (count > 0) {
        std::memcpy(out.data() + kCommandNameBytes, payload, count);
    }
    return true;
}

bool AddressCommandPacket(int index, std::uint32_t address, std::uint32_t length, Packet& out)
{
    std::uint8_t payload[8];
    platform::StoreBigEndian<std::uint32_t>(address, payload);
    platform::StoreBigEndian<std::uint32_t>(length, payload + 4);
    return CommandPacket(index, payload, sizeof payload, out);
}

bool IsReply(const std::uint8_t* report, std::uint8_t code, const char* tag)
{
    return report[0] == code && std::memcmp(report + 1, tag, 3) == 0;
}

const char* CommandName(int index)
{
    return index >= 0 && index < kCommandCount ? kCommandNames[index] : "";
}

}  // namespace QuarryDriver
