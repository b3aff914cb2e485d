// Packet layout, the running checksum and the protocol's time-outs.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "device_library/src/protocol/Packet.h"
#include "device_library/src/protocol/ProtocolTiming.h"
#include "device_library/src/transport/LibraryWaits.h"

namespace {

using namespace QuarryDriver;

TEST(Checksum, TwoHundredFiftySixErasedBytesSumTo65280)
{
    const std::vector<std::uint8_t> erased(256, 0xFF);
    EXPECT_EQ(ChecksumAdd(0, erased.data(), erased.size()), 65280u);
}

TEST(Checksum, TwoHundredFiftySevenErasedBytesWrapToZero)
{
    const std::vector<std::uint8_t> erased(257, 0xFF);
    EXPECT_EQ(ChecksumAdd(0, erased.data(), erased.size()), 0u);
}

TEST(Checksum, RunsOnFromAnEarlierSum)
{
    const std::uint8_t bytes[] = {1, 2, 3};
    EXPECT_EQ(ChecksumAdd(65534, bytes, 1), 0u);
    EXPECT_EQ(ChecksumAdd(10, bytes, 3), 16u);
}

TEST(PacketLayout, AddressCommandCarriesNameAddressAndLengthBigEndian)
{
    Packet packet;
    ASSERT_TRUE(AddressCommandPacket(kCmdWriteById, 0x0003C000, 0x1000, packet));
    const std::uint8_t expected[14] = {'W', 'M', 'b', 'y', 'I', 'D', 0x00, 0x03, 0xC0, 0x00, 0x00, 0x00, 0x10, 0x00};
    EXPECT_TRUE(std::equal(expected, expected + 14, packet.begin()));
    EXPECT_TRUE(std::all_of(packet.begin() + 14, packet.end(), [](std::uint8_t b) { return b == 0; }));
}

TEST(PacketLayout, CommandNamesByIndex)
{
    const char* names[] = {"RD_FLA", "RD_MCU", "WR_FLA", "WR_MCU", "RE_MCU", "RMbyID", "WMbyID", "SE_CMD"};
    for (int i = 0; i < kCommandCount; ++i) {
        EXPECT_STREQ(CommandName(i), names[i]);
    }
}

TEST(PacketLayout, CommandPayloadAboveFiftyEightBytesIsRefused)
{
    std::vector<std::uint8_t> payload(59, 1);
    Packet packet;
    EXPECT_FALSE(CommandPacket(kCmdReadFlash, payload.data(), 59, packet));
    EXPECT_TRUE(CommandPacket(kCmdReadFlash, payload.data(), 58, packet));
    EXPECT_EQ(packet[63], 1);
    EXPECT_FALSE(CommandPacket(kCommandCount, payload.data(), 8, packet));
}

TEST(PacketLayout, DataPacketAboveSixtyFourBytesIsRefused)
{
    std::vector<std::uint8_t> data(65, 7);
    Packet packet;
    EXPECT_FALSE(DataPacket(data.data(), 65, packet));
    ASSERT_TRUE(DataPacket(data.data(), 6, packet));
    EXPECT_EQ(packet[5], 7);
    EXPECT_EQ(packet[6], 0);
}

TEST(PacketLayout, ChecksumPacketCarriesTheSumAtThreeToSix)
{
    const Packet packet = ChecksumPacket(0x0000FF00);
    const std::uint8_t expected[7] = {'C', 'H', 'E', 0x00, 0x00, 0xFF, 0x00};
    EXPECT_TRUE(std::equal(expected, expected + 7, packet.begin()));
}

TEST(PacketLayout, SkipCountIsBigEndianAtZero)
{
    const Packet packet = SkipCountPacket(0x01020304);
    EXPECT_EQ(packet[0], 1);
    EXPECT_EQ(packet[3], 4);
    EXPECT_EQ(packet[4], 0);
}

TEST(PacketLayout, ReplyIsRecognisedByCodeAndTagTogether)
{
    Packet reply{};
    reply[0] = kReplyRea;
    reply[1] = 'R';
    reply[2] = 'E';
    reply[3] = 'A';
    EXPECT_TRUE(IsReply(reply.data(), kReplyRea, "REA"));
    EXPECT_FALSE(IsReply(reply.data(), kReplyAck, "REA"));
    EXPECT_FALSE(IsReply(reply.data(), kReplyRea, "ACK"));
}

// The amplifier's firmware waits for these; tests shorten them, so only this pins them.
TEST(ProtocolTimeOuts, DefaultsAreTheAmplifiers)
{
    const ProtocolTiming timing;
    EXPECT_EQ(timing.exchangeMs, 1000);
    EXPECT_EQ(timing.replyReadSliceMs, 200);
    EXPECT_EQ(timing.handshakeReadyMs, 1500);
    EXPECT_EQ(timing.handshakeStepMs, 500);
    EXPECT_EQ(timing.readByIdReadyMs, 2000);
    EXPECT_EQ(timing.flashWriteStartMs, 15000);
    EXPECT_EQ(timing.mcuWriteStartMs, 5000);
    EXPECT_EQ(kLockWait, std::chrono::milliseconds(5000));
    EXPECT_EQ(kPollInterval, std::chrono::milliseconds(10));
}

}  // namespace
