// The amplifier's side of the packet protocol, driven with hand-built packets.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "tests/virtual_amp/HostSide.h"

namespace {

using namespace VampTest;
using VirtualAmp::AmpConfig;
using VirtualAmp::VirtualAmplifier;

class ProtocolTest : public ::testing::Test {
 protected:
  ProtocolTest() : amp(AmpConfig{}, clock), host(amp) {}

  Bytes Pattern(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 7 + seed) % 251);
    return bytes;
  }

  std::shared_ptr<VirtualAmp::ManualAmpClock> clock = std::make_shared<VirtualAmp::ManualAmpClock>();
  VirtualAmplifier amp;
  HostDriver host;
};

TEST_F(ProtocolTest, ReadyIsAnsweredWithReaInEveryStateWithoutChangingIt) {
  EXPECT_TRUE(host.Ready());
  // Armed: after a command the device still waits for "STA".
  ASSERT_TRUE(host.Expect(CommandPacket("RD_FLA", 0x52000, 16), 2, "ACK"));
  EXPECT_TRUE(host.Ready());
  EXPECT_TRUE(host.Ready());
  ASSERT_TRUE(host.Expect(TagPacket("STA"), 2, "ACK"));
  EXPECT_TRUE(host.Ready());
  EXPECT_TRUE(host.Expect(TagPacket("ACK"), 7, "SKP"));
  EXPECT_TRUE(host.Ready());
  EXPECT_TRUE(host.Expect(TagPacket("ACK"), 6, "DAT"));
  // Write data phase.
  ASSERT_TRUE(host.Expect(CommandPacket("WR_FLA", 0x72000, 256), 2, "ACK"));
  ASSERT_TRUE(host.Expect(TagPacket("STA"), 2, "ACK"));
  ASSERT_TRUE(host.Expect(SkipPacket(0), 2, "ACK"));
  const Bytes block = Pattern(256, 3);
  for (int p = 0; p < 4; ++p) {
    EXPECT_TRUE(host.Ready());
    EXPECT_TRUE(host.Expect(DataPacket({block.data() + 64 * p, 64}), 2, "ACK"));
  }
  EXPECT_TRUE(host.Ready());
  auto che = host.Send(ChecksumPacket(HostChecksum(block)));
  ASSERT_TRUE(HasTag(che, 3, "CHE"));
  EXPECT_EQ(Be32(che->data() + 4), HostChecksum(block));
  EXPECT_TRUE(host.Expect(TagPacket("END"), 2, "ACK"));
  EXPECT_EQ(amp.ReadFlash(0x72000, 256), block);
}

TEST_F(ProtocolTest, IdentityTestAnswersAppInApplicationAndHidInBootLoader) {
  EXPECT_EQ(host.RunsBootLoader(), std::optional<bool>(false));
  AmpConfig config;
  config.mode = VirtualAmp::AmpMode::BootLoader;
  VirtualAmplifier boot(config, clock);
  HostDriver bootHost(boot);
  EXPECT_EQ(bootHost.RunsBootLoader(), std::optional<bool>(true));
}

TEST_F(ProtocolTest, HandshakeTakesFourExchangesAndDoesNotReset) {
  EXPECT_TRUE(host.Handshake());
  const auto counters = amp.Counters();
  EXPECT_EQ(counters.exchanges, 4u);
  EXPECT_EQ(counters.replies, 4u);
  EXPECT_EQ(counters.resets, 0u);
  EXPECT_TRUE(amp.IsPresent());
  EXPECT_EQ(amp.Mode(), VirtualAmp::AmpMode::Application);
  // Idle again: "STA" alone now starts nothing.
  EXPECT_FALSE(host.Send(TagPacket("STA")).has_value());
}

TEST_F(ProtocolTest, ReadOfErasedFlashIsOneSkipAndChecksumZero) {
  const auto result = host.Read("RD_FLA", 0x70000, 1000);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.replies, std::vector<std::string>{"SKP 17"});
  EXPECT_EQ(result.data, Bytes(1000, 0xFF));
  EXPECT_EQ(result.deviceChecksum, 0u);
}

TEST_F(ProtocolTest, ReadOf61BytesTakesSixtyThenOne) {
  const Bytes data = Pattern(61, 1);
  ASSERT_TRUE(amp.WriteFlash(0x72000, data));
  amp.ResetCounters();
  const auto result = host.Read("RD_FLA", 0x72000, 61);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.replies, (std::vector<std::string>{"SKP 0", "DAT 60", "SKP 0", "DAT 1"}));
  EXPECT_EQ(result.data, data);
  EXPECT_EQ(result.deviceChecksum, HostChecksum(data));
}

TEST_F(ProtocolTest, ReadSkipsOnlyWholeErasedChunks) {
  Bytes data(60 + 120 + 30, 0xFF);
  std::fill_n(data.begin(), 59, 0x11);     // chunk 0: data, last byte erased
  std::fill_n(data.begin() + 180, 30, 0x22);  // chunk 3 (short): data
  ASSERT_TRUE(amp.WriteFlash(0x72000, data));
  const auto result = host.Read("RD_FLA", 0x72000, static_cast<std::uint32_t>(data.size()));
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.replies, (std::vector<std::string>{"SKP 0", "DAT 60", "SKP 2", "DAT 30"}));
  EXPECT_EQ(result.data, data);
}

TEST_F(ProtocolTest, ReadEndingInErasedBytesEndsWithSkip) {
  Bytes data(61, 0xFF);
  data[0] = 0;
  ASSERT_TRUE(amp.WriteFlash(0x72000, data));
  const auto result = host.Read("RD_FLA", 0x72000, 61);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(result.replies, (std::vector<std::string>{"SKP 0", "DAT 60", "SKP 1"}));
  EXPECT_EQ(result.deviceChecksum, HostChecksum({data.data(), 60}));
}

TEST_F(ProtocolTest, MeterReadOf44BytesTakesTenExchanges) {
  amp.ResetCounters();
  const auto result = host.Read("RMbyID", 1, 44);
  ASSERT_TRUE(result.ok);
  EXPECT_EQ(amp.Counters().exchanges, 10u);
}

TEST_F(ProtocolTest, ChecksumIsModulo65535) {
  VirtualAmp::RunningChecksum sum;
  sum.Add(Bytes(256, 0xFF));
  EXPECT_EQ(sum.Value(), 65280u);
  sum.Add(0xFF);
  EXPECT_EQ(sum.Value(), 0u);
  // The device's own block checksum over four packets of 0xFF.
  ASSERT_TRUE(host.Ready());
  ASSERT_TRUE(host.Expect(CommandPacket("WR_FLA", 0x72000, 256), 2, "ACK"));
  ASSERT_TRUE(host.Expect(TagPacket("STA"), 2, "ACK"));
  ASSERT_TRUE(host.Expect(SkipPacket(0), 2, "ACK"));
  const Bytes erased(64, 0xFF);
  for (int p = 0; p < 4; ++p) ASSERT_TRUE(host.Expect(DataPacket(erased), 2, "ACK"));
  auto che = host.Send(ChecksumPacket(65280));
  ASSERT_TRUE(HasTag(che, 3, "CHE"));
  EXPECT_EQ(Be32(che->data() + 4), 65280u);
}

TEST_F(ProtocolTest, WriteWithTrailingErasedBlocksTakesSkipCountBeforeEnd) {
  Bytes data(4 * 256, 0xFF);
  std::copy_n(Pattern(256, 5).begin(), 256, data.begin());
  std::copy_n(Pattern(256, 9).begin(), 256, data.begin() + 512);
  ASSERT_TRUE(amp.WriteFlash(0x72000, Bytes(1024, 0x5A)));  // skipped blocks must end up erased
  amp.ResetCounters();
  ASSERT_TRUE(host.Write("WR_FLA", 0x72000, data, true));
  EXPECT_EQ(amp.ReadFlash(0x72000, 1024), data);
  const auto counters = amp.Counters();
  EXPECT_EQ(counters.exchanges, 6u + 12u * 2u + 2u);
  EXPECT_EQ(counters.blocksWritten, 2u);
  EXPECT_EQ(counters.blocksSkipped, 2u);
  EXPECT_EQ(counters.ends, 1u);
}

TEST_F(ProtocolTest, WriteEndingInDataTakesNoTrailingSkipCount) {
  const Bytes data = Pattern(512, 2);
  amp.ResetCounters();
  ASSERT_TRUE(host.Write("WR_MCU", 0x3000, data, false));
  EXPECT_EQ(amp.ReadMcu(0x3000, 512), data);
  const auto counters = amp.Counters();
  EXPECT_EQ(counters.exchanges, 6u + 12u * 2u);
  EXPECT_EQ(counters.continues, 1u);
  EXPECT_EQ(counters.ends, 0u);
}

TEST_F(ProtocolTest, CloseBeforeEveryBlockArrivedIsNotAcknowledged) {
  const Bytes block = Pattern(256, 1);
  ASSERT_TRUE(host.Expect(CommandPacket("WR_FLA", 0x72000, 512), 2, "ACK"));
  ASSERT_TRUE(host.Expect(TagPacket("STA"), 2, "ACK"));
  ASSERT_TRUE(host.Expect(SkipPacket(0), 2, "ACK"));
  for (int p = 0; p < 4; ++p) ASSERT_TRUE(host.Expect(DataPacket({block.data() + 64 * p, 64}), 2, "ACK"));
  ASSERT_TRUE(host.Expect(ChecksumPacket(HostChecksum(block)), 3, "CHE"));
  EXPECT_FALSE(host.Send(TagPacket("CON")).has_value());
  EXPECT_EQ(amp.Counters().continues, 0u);
}

TEST_F(ProtocolTest, SkipCountBeyondTheWriteIsRefused) {
  ASSERT_TRUE(host.Expect(CommandPacket("WR_FLA", 0x72000, 512), 2, "ACK"));
  ASSERT_TRUE(host.Expect(TagPacket("STA"), 2, "ACK"));
  EXPECT_FALSE(host.Send(SkipPacket(3)).has_value());
  EXPECT_EQ(amp.ReadFlash(0x72000, 512), Bytes(512, 0xFF));
}

TEST_F(ProtocolTest, BlockWithWrongHostChecksumIsNotStored) {
  const Bytes block = Pattern(256, 4);
  ASSERT_TRUE(host.Expect(CommandPacket("WR_FLA", 0x72000, 256), 2, "ACK"));
  ASSERT_TRUE(host.Expect(TagPacket("STA"), 2, "ACK"));
  ASSERT_TRUE(host.Expect(SkipPacket(0), 2, "ACK"));
  for (int p = 0; p < 4; ++p) ASSERT_TRUE(host.Expect(DataPacket({block.data() + 64 * p, 64}), 2, "ACK"));
  auto che = host.Send(ChecksumPacket(HostChecksum(block) + 1));
  ASSERT_TRUE(HasTag(che, 3, "CHE"));
  EXPECT_EQ(Be32(che->data() + 4), HostChecksum(block));  // the device reports its own sum
  EXPECT_FALSE(host.Send(TagPacket("END")).has_value());  // the transfer is over
  EXPECT_EQ(amp.ReadFlash(0x72000, 256), Bytes(256, 0xFF));
  EXPECT_EQ(amp.Counters().checksumMismatches, 1u);
}

TEST_F(ProtocolTest, CancelAfterCommandReturnsToIdleWithAck) {
  ASSERT_TRUE(host.Expect(CommandPacket("RD_FLA", 0, 16), 2, "ACK"));
  EXPECT_TRUE(host.Expect(TagPacket("CNL"), 2, "ACK"));
  EXPECT_FALSE(host.Send(TagPacket("STA")).has_value());
  EXPECT_EQ(amp.Counters().cancels, 1u);
}

TEST_F(ProtocolTest, RecognisedCommandAbandonsTransactionInProgress) {
  ASSERT_TRUE(host.Expect(CommandPacket("WR_FLA", 0x72000, 256), 2, "ACK"));
  ASSERT_TRUE(host.Expect(TagPacket("STA"), 2, "ACK"));
  ASSERT_TRUE(host.Expect(SkipPacket(0), 2, "ACK"));
  const Bytes block = Pattern(256, 6);
  ASSERT_TRUE(host.Expect(DataPacket({block.data(), 64}), 2, "ACK"));
  // The host timed out and starts over: the device follows at once.
  const auto result = host.Read("RD_FLA", 0x52000, 16);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(amp.Counters().abandoned, 1u);
  EXPECT_EQ(amp.ReadFlash(0x72000, 256), Bytes(256, 0xFF));
}

TEST_F(ProtocolTest, DataPacketEqualToReadyIsTakenAsReady) {
  ASSERT_TRUE(host.Expect(CommandPacket("WR_FLA", 0x72000, 256), 2, "ACK"));
  ASSERT_TRUE(host.Expect(TagPacket("STA"), 2, "ACK"));
  ASSERT_TRUE(host.Expect(SkipPacket(0), 2, "ACK"));
  Bytes block(256, 0);
  std::copy_n("READY", 5, block.begin() + 64);  // the second packet of the block reads "READY"
  ASSERT_TRUE(host.Expect(DataPacket({block.data(), 64}), 2, "ACK"));
  // The host would wait for "ACK"; the device answers "REA" and still waits for data.
  EXPECT_TRUE(host.Expect(DataPacket({block.data() + 64, 64}), 4, "REA"));
  EXPECT_EQ(amp.ReadFlash(0x72000, 256), Bytes(256, 0xFF));
  EXPECT_TRUE(host.Expect(DataPacket({block.data() + 128, 64}), 2, "ACK"));
}

TEST_F(ProtocolTest, CommandsOutsideTheMemoryAreRefusedWithSilence) {
  EXPECT_TRUE(host.Expect(CommandPacket("RD_FLA", 0x7FF00, 0x100), 2, "ACK"));
  EXPECT_FALSE(host.Send(CommandPacket("RD_FLA", 0x7FF00, 0x101)).has_value());
  EXPECT_FALSE(host.Send(CommandPacket("RD_FLA", 0xFFFFFF00u, 0x200)).has_value());  // would wrap in 32 bits
  EXPECT_FALSE(host.Send(CommandPacket("RD_MCU", 0xFFF0, 0x11)).has_value());
  EXPECT_FALSE(host.Send(CommandPacket("WR_FLA", 0x7FF00, 0x200)).has_value());
  EXPECT_FALSE(host.Send(CommandPacket("WR_FLA", 0x72000, 100)).has_value());  // not whole blocks
  EXPECT_FALSE(host.Send(CommandPacket("XX_XXX", 0, 16)).has_value());
  Packet junk = CommandPacket("RD_FLA", 0, 16);
  junk[20] = 1;  // bytes after the payload must be zero
  EXPECT_FALSE(host.Send(junk).has_value());
  EXPECT_EQ(amp.Counters().commandsRefused, 5u);
}

TEST_F(ProtocolTest, StartWithoutCommandIsSilent) {
  EXPECT_FALSE(host.Send(TagPacket("STA")).has_value());
  EXPECT_FALSE(host.Send(TagPacket("END")).has_value());
  EXPECT_FALSE(host.Send(TagPacket("ACK")).has_value());
  EXPECT_EQ(amp.Counters().unanswered, 3u);
}

TEST_F(ProtocolTest, CommandStepTakesSixBytesChecksumAndEnd) {
  amp.ResetCounters();
  ASSERT_TRUE(host.Command(0x1234, 0x5678, 0x9ABC));
  EXPECT_EQ(amp.Counters().exchanges, 10u);
  amp.WithMemory([](VirtualAmp::AmpMemory& memory) {
    ASSERT_EQ(memory.CommandLog().size(), 1u);
    EXPECT_EQ(memory.CommandLog()[0].w1, 0x1234);
    EXPECT_EQ(memory.CommandLog()[0].w2, 0x5678);
    EXPECT_EQ(memory.CommandLog()[0].w3, 0x9ABC);
  });
}

TEST_F(ProtocolTest, CommandWithWrongChecksumIsNotRun) {
  ASSERT_TRUE(host.Expect(CommandPacket("SE_CMD", 0, 6), 2, "ACK"));
  ASSERT_TRUE(host.Expect(TagPacket("STA"), 2, "ACK"));
  const std::array<std::uint8_t, 6> bytes = {0, 1, 0, 0, 0, 0};
  ASSERT_TRUE(host.Expect(DataPacket(bytes), 2, "ACK"));
  auto che = host.Send(ChecksumPacket(7));
  ASSERT_TRUE(HasTag(che, 3, "CHE"));
  EXPECT_EQ(Be32(che->data() + 4), 1u);
  EXPECT_FALSE(host.Send(TagPacket("END")).has_value());
  amp.WithMemory([](VirtualAmp::AmpMemory& memory) { EXPECT_TRUE(memory.CommandLog().empty()); });
}

TEST_F(ProtocolTest, CommandOfOtherLengthIsRefused) {
  EXPECT_FALSE(host.Send(CommandPacket("SE_CMD", 0, 8)).has_value());
}

}  // namespace
