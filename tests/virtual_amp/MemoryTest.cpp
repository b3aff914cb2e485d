// The amplifier's memory behaviour: layouts of both models, memory ids, staged items and
// live banks, global settings, the store command.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/virtual_amp/HostSide.h"

namespace {

using namespace VampTest;
using VirtualAmp::AmpConfig;
using VirtualAmp::AmpMemory;
using VirtualAmp::Millis;
using VirtualAmp::VirtualAmplifier;

constexpr std::array<std::uint32_t, 4> kBank = {0x59000, 0x69000, 0x40000, 0x47000};

Bytes Pattern(std::size_t size, std::uint8_t seed) {
  Bytes bytes(size);
  for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>((i * 13 + seed) % 251);
  return bytes;
}

class MemoryTest : public ::testing::Test {
 protected:
  MemoryTest() : amp(Config(), clock), host(amp) {}

  static AmpConfig Config() {
    AmpConfig config;
    config.version = "V5.21";
    config.modelCode = 4;
    config.flagByte = 1;
    return config;
  }

  Bytes GlobalInput(bool normallyClosed, bool muted) {
    Bytes image(4096, 0xFF);
    image[0] = normallyClosed ? 1 : 0;
    image[1] = muted ? 1 : 0;
    std::fill(image.begin() + 2048, image.end(), 0);
    image[2048] = normallyClosed ? 'C' : 'O';
    image[2049] = muted ? 'T' : 'F';
    return image;
  }

  std::shared_ptr<VirtualAmp::ManualAmpClock> clock = std::make_shared<VirtualAmp::ManualAmpClock>();
  VirtualAmplifier amp;
  HostDriver host;
};

TEST_F(MemoryTest, FactoryStateCarriesVersionModelFlagAndInformationBytes) {
  const auto version = host.Read("RD_FLA", 0x52000, 16);
  ASSERT_TRUE(version.ok);
  EXPECT_STREQ(reinterpret_cast<const char*>(version.data.data()), "V5.21");
  EXPECT_EQ(host.Read("RD_FLA", 0x56000, 1).data, Bytes{4});
  EXPECT_EQ(host.Read("RD_FLA", 0x50000, 1).data, Bytes{1});
  for (std::uint32_t text : {0x53000u, 0x54000u, 0x55000u}) {
    const auto block = host.Read("RD_FLA", text, 16);
    ASSERT_TRUE(block.ok);
    EXPECT_NE(block.data[0], 0xFF) << std::hex << text;
  }
  const auto hw = host.Read("RD_FLA", 0x57000, 15);
  ASSERT_TRUE(hw.ok);
  EXPECT_EQ(hw.data, (Bytes{0, 0, 0, 0, 1, 1, 0, 1, 1, 1, 1, 1, 0, 0, 0}));
  const auto mcuInfo = host.Read("RD_MCU", 0xC0, 8);
  ASSERT_TRUE(mcuInfo.ok);
  EXPECT_EQ(std::string(mcuInfo.data.begin(), mcuInfo.data.end()), "VAMP0100");
}

TEST_F(MemoryTest, HardwareInformationBytesAreSettable) {
  const Bytes hw = {7, 1, 2, 3, 0, 0, 1, 1, 0, 1, 0, 1, 9, 9, 2};
  amp.SetHwInfo(hw);
  EXPECT_EQ(host.Read("RD_FLA", 0x57000, 15).data, hw);
}

TEST_F(MemoryTest, MeterRecordHasBigEndianLevelsAndLittleEndianStates) {
  amp.SetMeterLevels({0x01020304, 5, 6, 7}, {0x0A0B0C0D, 9, 10, 11});
  amp.SetOutputStates({0x0102, 3, 4, 0xA0B0});
  const auto meters = host.Read("RMbyID", 1, 44);
  ASSERT_TRUE(meters.ok);
  ASSERT_EQ(meters.data.size(), 44u);
  EXPECT_EQ(Be32(meters.data.data()), 0x01020304u);
  EXPECT_EQ(Be32(meters.data.data() + 12), 7u);
  EXPECT_EQ(Be32(meters.data.data() + 16), 0x0A0B0C0Du);
  EXPECT_EQ(Be32(meters.data.data() + 28), 11u);
  EXPECT_EQ(Be32(meters.data.data() + 32), 0u);  // word 8 unused
  EXPECT_EQ(meters.data[36], 0x02);
  EXPECT_EQ(meters.data[37], 0x01);
  EXPECT_EQ(meters.data[42], 0xB0);
  EXPECT_EQ(meters.data[43], 0xA0);
}

TEST_F(MemoryTest, GlobalSettingWriteByIdMutesOutputsAndReadsBackFromLiveCopy) {
  amp.SetMeterLevels({1, 2, 3, 4}, {5, 6, 7, 8});
  EXPECT_FALSE(amp.IsMuted());
  const Bytes input = GlobalInput(true, true);
  ASSERT_TRUE(host.Write("WMbyID", 0x3C000, input, true));
  EXPECT_TRUE(amp.IsMuted());
  const auto record = host.Read("RD_FLA", 0x3C800, 2048);
  ASSERT_TRUE(record.ok);
  EXPECT_EQ(record.data, Bytes(input.begin() + 2048, input.end()));
  EXPECT_EQ(host.Read("RD_FLA", 0x3C000, 2).data, (Bytes{1, 1}));
  const auto meters = host.Read("RMbyID", 1, 44);
  ASSERT_TRUE(meters.ok);
  EXPECT_EQ(Be32(meters.data.data()), 1u);
  for (int i = 4; i < 8; ++i) EXPECT_EQ(Be32(meters.data.data() + 4 * i), 0u) << i;
  ASSERT_TRUE(host.Write("WMbyID", 0x3C000, GlobalInput(false, false), true));
  EXPECT_FALSE(amp.IsMuted());
  EXPECT_EQ(Be32(host.Read("RMbyID", 1, 44).data.data() + 16), 5u);
}

TEST_F(MemoryTest, WriteByIdToStagingItemAppliesToLiveBank) {
  const Bytes item = Pattern(768, 3);
  ASSERT_TRUE(host.Write("WMbyID", 0x22000, item, false));  // item 0 of channel 1
  EXPECT_EQ(amp.ReadFlash(kBank[1], 768), item);
  EXPECT_EQ(amp.ReadFlash(0x22000, 768), item);
  const Bytes item4 = Pattern(256, 8);
  ASSERT_TRUE(host.Write("WMbyID", 0x20000 + 3 * 0x2000 + 0x800, item4, false));  // item 4 of channel 3
  EXPECT_EQ(amp.ReadFlash(kBank[3] + 4 * 0x1000, 256), item4);
}

TEST_F(MemoryTest, WriteByIdToUnknownIdOrWrongSizeIsRefused) {
  EXPECT_FALSE(host.Send(CommandPacket("WMbyID", 0x22100, 256)).has_value());  // not an item start
  EXPECT_FALSE(host.Send(CommandPacket("WMbyID", 0x22300, 768)).has_value());  // item 1 is 512 bytes
  EXPECT_FALSE(host.Send(CommandPacket("WMbyID", 0x3C000, 0x1100)).has_value());
  EXPECT_FALSE(host.Send(CommandPacket("RMbyID", 1, 45)).has_value());
  EXPECT_FALSE(host.Send(CommandPacket("RMbyID", 2, 2)).has_value());
  EXPECT_FALSE(host.Send(CommandPacket("RMbyID", 3, 1)).has_value());
}

TEST_F(MemoryTest, ChangeFlagBlocksCopyStagedItemsToBanks) {
  const Bytes before = amp.ReadFlash(kBank[0], 768);
  const Bytes item = Pattern(768, 5);
  ASSERT_TRUE(host.Write("WR_FLA", 0x22000, item, false));
  EXPECT_NE(amp.ReadFlash(kBank[1], 768), item);  // staged only
  for (std::uint32_t c = 0; c < 4; ++c) {
    Bytes flags(256, 0xFF);
    if (c == 1) flags[0] = 1;
    ASSERT_TRUE(host.Write("WR_FLA", 0x21000 + c * 0x2000, flags, c == 3));
  }
  EXPECT_EQ(amp.ReadFlash(kBank[1], 768), item);
  EXPECT_EQ(amp.ReadFlash(kBank[0], 768), before);
  // The download reads the raw part of item 0 from the bank.
  const auto raw = host.Read("RD_FLA", kBank[1] + 0x200, 256);
  ASSERT_TRUE(raw.ok);
  EXPECT_EQ(raw.data, Bytes(item.begin() + 512, item.end()));
}

TEST_F(MemoryTest, StoreCommandDropsReadySnapshotsAndRaisesReadyAfterDelay) {
  const Bytes item = Pattern(512, 9);
  ASSERT_TRUE(host.Write("WMbyID", 0x20000 + 2 * 0x2000 + 0x500, item, false));  // item 2 of channel 2
  ASSERT_TRUE(host.Write("WMbyID", 0x3C000, GlobalInput(false, true), true));
  EXPECT_NE(amp.ReadFlash(0x61000 + 2 * 0x2000 + 0x500, 512), item);
  ASSERT_TRUE(host.Command(1, 0, 0));
  EXPECT_EQ(host.Read("RMbyID", 2, 1).data, Bytes{0});
  EXPECT_EQ(amp.ReadFlash(0x61000 + 2 * 0x2000 + 0x500, 512), item);
  EXPECT_EQ(amp.ReadFlash(0x3D800, 2), (Bytes{'O', 'T'}));
  clock->Advance(amp.Timing().storeBusy);
  EXPECT_EQ(host.Read("RMbyID", 2, 1).data, Bytes{1});
  amp.WithMemory([](AmpMemory& memory) { EXPECT_EQ(memory.StoreCount(), 1u); });
}

TEST_F(MemoryTest, OtherCommandWordsDoNotStore) {
  ASSERT_TRUE(host.Command(2, 0, 0));
  EXPECT_EQ(host.Read("RMbyID", 2, 1).data, Bytes{1});
  amp.WithMemory([](AmpMemory& memory) { EXPECT_EQ(memory.StoreCount(), 0u); });
}

TEST_F(MemoryTest, RegisteredBufferIdsReadAndWrite) {
  amp.WithMemory([](AmpMemory& memory) { memory.RegisterBufferId(0x77, 300); });
  const Bytes data = Pattern(512, 1);
  ASSERT_TRUE(host.Write("WMbyID", 0x77, data, false));
  const auto back = host.Read("RMbyID", 0x77, 300);
  ASSERT_TRUE(back.ok);
  EXPECT_EQ(back.data, Bytes(data.begin(), data.begin() + 300));
}

TEST_F(MemoryTest, BootLoaderRefusesMemoryIdsAndCommands) {
  AmpConfig config;
  config.mode = VirtualAmp::AmpMode::BootLoader;
  VirtualAmplifier boot(config, clock);
  HostDriver bootHost(boot);
  EXPECT_FALSE(bootHost.Send(CommandPacket("RMbyID", 1, 44)).has_value());
  EXPECT_FALSE(bootHost.Send(CommandPacket("WMbyID", 0x3C000, 4096)).has_value());
  EXPECT_FALSE(bootHost.Send(CommandPacket("SE_CMD", 0, 6)).has_value());
  EXPECT_TRUE(bootHost.Read("RD_FLA", 0x52000, 16).ok);
}

TEST_F(MemoryTest, A200HasItsOwnMapAndRefusesWhatItLacks) {
  AmpConfig config;
  config.productId = QUARRY_PRODUCT_ID_A200;
  config.modelCode = 2;
  VirtualAmplifier a200(config, clock);
  HostDriver a200Host(a200);
  EXPECT_EQ(a200.GetModel(), VirtualAmp::Model::A200);
  EXPECT_EQ(a200Host.Read("RD_FLA", 0x55000, 1).data, Bytes{2});
  EXPECT_EQ(a200Host.Read("RD_FLA", 0x57000, 15).data, Bytes(15, 0xFF));  // no hardware information
  EXPECT_EQ(a200Host.Read("RD_FLA", 0x3C800, 2).data, (Bytes{0xFF, 0xFF}));  // no global settings
  EXPECT_FALSE(a200Host.Send(CommandPacket("RMbyID", 1, 44)).has_value());
  EXPECT_FALSE(a200Host.Send(CommandPacket("RMbyID", 2, 1)).has_value());
  EXPECT_FALSE(a200Host.Send(CommandPacket("WMbyID", 0x22000, 768)).has_value());
  EXPECT_FALSE(a200Host.Send(CommandPacket("SE_CMD", 0, 6)).has_value());
  EXPECT_TRUE(a200Host.Expect(CommandPacket("RD_FLA", 0x7FF00, 0x100), 2, "ACK"));
  EXPECT_FALSE(a200Host.Send(CommandPacket("RD_FLA", 0x7FF00, 0x101)).has_value());
  // A change-flag block is plain flash to this model.
  const Bytes bankBefore = a200.ReadFlash(kBank[0], 256);
  ASSERT_TRUE(a200Host.Write("WR_FLA", 0x20000, Pattern(256, 2), false));
  Bytes flags(256, 0xFF);
  flags[0] = 1;
  ASSERT_TRUE(a200Host.Write("WR_FLA", 0x21000, flags, true));
  EXPECT_EQ(a200.ReadFlash(kBank[0], 256), bankBefore);
}

}  // namespace
