// The 64-byte packets of the amplifier protocol: building host packets, recognising device
// replies, and the running checksum. Numbers on the wire are big-endian.
#ifndef QUARRY_DRIVER_PACKET_H
#define QUARRY_DRIVER_PACKET_H

#include <array>
#include <cstddef>
#include <cstdint>

namespace QuarryDriver {

inline constexpr std::size_t kPacketBytes = 64;
using Packet = std::array<std::uint8_t, kPacketBytes>;

// Bytes of device data carried by one "DAT" reply, from reply byte 4.
inline constexpr std::size_t kReadChunkBytes = 60;
// Longest payload after a 6-letter command name.
inline constexpr std::size_t kCommandPayloadMax = kPacketBytes - 6;
// The checksum modulus is 65535, not 65536: 256 bytes of 0xFF sum to 65280, 257 wrap to 0.
inline constexpr std::uint32_t kChecksumModulus = 65535;

enum CommandIndex : int {
    kCmdReadFlash = 0,   // "RD_FLA"
    kCmdReadMcu = 1,     // "RD_MCU"
    kCmdWriteFlash = 2,  // "WR_FLA"
    kCmdWriteMcu = 3,    // "WR_MCU"
    kCmdResetMcu = 4,    // "RE_MCU"
    kCmdReadById = 5,    // "RMbyID"
    kCmdWriteById = 6,   // "WMbyID"
    kCmdSendCommand = 7, // "SE_CMD"
};
inline constexpr int kCommandCount = 8;

// Reply codes (byte 0 of a device reply; bytes 1-3 carry the tag).
inline constexpr std::uint8_t kReplyInv = 0;  // "INV": identity, "HID" or "APP" at 4-6
inline constexpr std::uint8_t kReplyAck = 2;  // "ACK"
inline constexpr std::uint8_t kReplyChe = 3;  // "CHE": checksum at 4-7
inline constexpr std::uint8_t kReplyRea = 4;  // "REA": ready
inline constexpr std::uint8_t kReplyDat = 6;  // "DAT": 60 data bytes at 4-63
inline constexpr std::uint8_t kReplySkp = 7;  // "SKP": count of 60-byte chunks of 0xFF at 4-7

// Adds each byte to sum modulo kChecksumModulus.
std::uint32_t ChecksumAdd(std::uint32_t sum, const std::uint8_t* data, std::size_t count);

// A packet holding just an ASCII tag at 0 ("READY", "STA", "END", "CON", "CNL", "ACK", "TEST").
Packet TagPacket(const char* tag);
// "CHE" and a 32-bit checksum at 3-6.
Packet ChecksumPacket(std::uint32_t checksum);
// A 32-bit count of skipped 256-byte blocks at 0-3.
Packet SkipCountPacket(std::uint32_t count);
// Raw data from 0; false (nothing built) above 64 bytes.
bool DataPacket(const std::uint8_t* data, std::size_t count, Packet& out);
// Command name by index and payload from 6; false for an unknown index or a payload above 58 bytes.
bool CommandPacket(int index, const std::uint8_t* payload, std::size_t count, Packet& out);
// A command whose payload is a 32-bit address (or id) and a 32-bit length.
bool AddressCommandPacket(int index, std::uint32_t address, std::uint32_t length, Packet& out);

// True when bytes 0-3 are code and the 3-letter tag.
bool IsReply(const std::uint8_t* report, std::uint8_t code, const char* tag);

const char* CommandName(int index);

}  // namespace QuarryDriver

#endif
