// Reset, disappearance and the boot rule, and a whole firmware job against the device.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "tests/virtual_amp/HostSide.h"
#include "tools/virtual_amp/lib/TestFirmware.h"

namespace {

using namespace VampTest;
using VirtualAmp::AmpConfig;
using VirtualAmp::AmpMode;
using VirtualAmp::Millis;
using VirtualAmp::VirtualAmplifier;

Bytes Region(const Bytes& file, std::size_t offset, std::size_t size) {
  Bytes region(size, 0xFF);
  if (offset < file.size()) std::copy_n(file.begin() + offset, std::min(size, file.size() - offset), region.begin());
  return region;
}

Bytes EraseMarker() {
  Bytes block(256, 0xFF);
  std::fill_n(block.begin(), 16, 0);
  return block;
}

Bytes RestoreBlock(const Bytes& file, std::size_t offset) {
  Bytes block(256, 0xFF);
  std::copy_n(Region(file, offset, 16).begin(), 16, block.begin());
  return block;
}

std::uint32_t Le32(const std::uint8_t* b) {
  return std::uint32_t{b[0]} | (std::uint32_t{b[1]} << 8) | (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[3]} << 24);
}

class ResetBootTest : public ::testing::Test {
 protected:
  ResetBootTest() : amp(AmpConfig{}, clock), host(amp) {}

  // Reset and wait out the absence; returns whether the device came back in its boot loader.
  std::optional<bool> ResetAndReturn() {
    if (!host.Reset()) return std::nullopt;
    clock->Advance(amp.Timing().resetAbsence);
    return host.RunsBootLoader();
  }

  // The model 0xA210 firmware job, step by step.
  bool RunFirmwareJob(const Bytes& file) {
    Bytes program = Region(file, 0x80000, 0xD000);
    std::uint32_t sum = 0;
    for (int w = 0; w < 7; ++w) sum += Le32(program.data() + 4 * w);
    const std::uint32_t word7 = 0u - sum;
    for (int i = 0; i < 4; ++i) program[28 + i] = static_cast<std::uint8_t>(word7 >> (8 * i));
    bool ok = host.Write("WR_FLA", 0x52000, EraseMarker(), false) &&
              host.Write("WR_FLA", 0x53000, EraseMarker(), false) &&
              host.Write("WR_FLA", 0, Region(file, 0, 0x20000), false) &&
              host.Write("WR_FLA", 0x53000, RestoreBlock(file, 0x53000), false) &&
              host.Write("WR_FLA", 0x55000, EraseMarker(), false) &&
              host.Write("WR_FLA", 0x28000, Region(file, 0x28000, 0x14000), false) &&
              host.Write("WR_FLA", 0x55000, RestoreBlock(file, 0x55000), false) &&
              host.Write("WR_FLA", 0x54000, EraseMarker(), false) && host.Write("WR_MCU", 0x3000, program, false) &&
              host.Write("WR_FLA", 0x3E000, Region(file, 0x3E000, 256), true) &&
              host.Write("WR_FLA", 0x54000, RestoreBlock(file, 0x54000), false) &&
              host.Write("WR_FLA", 0x52000, RestoreBlock(file, 0x52000), true) &&
              host.Write("WR_FLA", 0x3C000, Region(file, 0x3C000, 4096), false) &&
              host.Write("WR_FLA", 0x3D000, Region(file, 0x3C000, 4096), false) &&
              host.Write("WR_FLA", 0x61000, Region(file, 0x20000, 0x8000), false);
    constexpr std::array<std::uint32_t, 4> kBank = {0x59000, 0x69000, 0x40000, 0x47000};
    constexpr std::array<std::uint32_t, 7> kOffset = {0x000, 0x300, 0x500, 0x700, 0x800, 0x900, 0xA00};
    constexpr std::array<std::uint32_t, 7> kSize = {768, 512, 512, 256, 256, 256, 256};
    for (std::uint32_t c = 0; c < 4 && ok; ++c) {
      for (std::uint32_t k = 0; k < 7 && ok; ++k) {
        const std::uint32_t from = 0x20000 + kOffset[k] + (k == 5 ? c * 0x2000 : 0);
        ok = host.Write("WR_FLA", kBank[c] + k * 0x1000, Region(file, from, kSize[k]), false);
      }
    }
    return ok;
  }

  std::shared_ptr<VirtualAmp::ManualAmpClock> clock = std::make_shared<VirtualAmp::ManualAmpClock>();
  VirtualAmplifier amp;
  HostDriver host;
};

TEST_F(ResetBootTest, ResetFromApplicationReturnsInBootLoaderAfterAbsence) {
  const auto generation = amp.Generation();
  ASSERT_TRUE(host.Reset());
  EXPECT_FALSE(amp.IsPresent());
  EXPECT_GT(amp.Generation(), generation);
  EXPECT_FALSE(host.Ready());  // gone: nothing answers
  clock->Advance(amp.Timing().resetAbsence - Millis(1));
  EXPECT_FALSE(amp.IsPresent());
  clock->Advance(Millis(1));
  EXPECT_TRUE(amp.IsPresent());
  EXPECT_EQ(host.RunsBootLoader(), std::optional<bool>(true));
  EXPECT_EQ(amp.Counters().resets, 1u);
}

TEST_F(ResetBootTest, ResetFromBootLoaderStartsValidApplication) {
  ASSERT_EQ(ResetAndReturn(), std::optional<bool>(true));
  EXPECT_EQ(ResetAndReturn(), std::optional<bool>(false));
  EXPECT_EQ(amp.Mode(), AmpMode::Application);
}

TEST_F(ResetBootTest, EraseMarkerOnVersionBlockKeepsBootLoader) {
  ASSERT_EQ(ResetAndReturn(), std::optional<bool>(true));
  ASSERT_TRUE(host.Write("WR_FLA", 0x52000, EraseMarker(), false));
  EXPECT_EQ(ResetAndReturn(), std::optional<bool>(true));
}

TEST_F(ResetBootTest, ErasedVersionBlockKeepsBootLoader) {
  ASSERT_EQ(ResetAndReturn(), std::optional<bool>(true));
  ASSERT_TRUE(host.Write("WR_FLA", 0x52000, Bytes(256, 0xFF), false));
  EXPECT_EQ(amp.ReadFlash(0x52000, 16), Bytes(16, 0xFF));
  EXPECT_EQ(ResetAndReturn(), std::optional<bool>(true));
}

TEST_F(ResetBootTest, ProgramWordsNotSummingToZeroKeepBootLoader) {
  ASSERT_EQ(ResetAndReturn(), std::optional<bool>(true));
  Bytes program = amp.ReadMcu(0x3000, 256);
  program[28] ^= 0x01;
  ASSERT_TRUE(host.Write("WR_MCU", 0x3000, program, false));
  EXPECT_EQ(ResetAndReturn(), std::optional<bool>(true));
  program[28] ^= 0x01;
  ASSERT_TRUE(host.Write("WR_MCU", 0x3000, program, false));
  EXPECT_EQ(ResetAndReturn(), std::optional<bool>(false));
}

TEST_F(ResetBootTest, RefuseBootLoaderFaultRestartsApplication) {
  VirtualAmp::AmpFaults faults;
  faults.refuseBootLoader = true;
  amp.SetFaults(faults);
  EXPECT_EQ(ResetAndReturn(), std::optional<bool>(false));
}

TEST_F(ResetBootTest, ResetArmedThenCancelledDoesNotReset) {
  ASSERT_TRUE(host.Ready());
  ASSERT_TRUE(host.Expect(TagPacket("RE_MCU"), 2, "ACK"));
  ASSERT_TRUE(host.Expect(TagPacket("CNL"), 2, "ACK"));
  EXPECT_FALSE(host.Send(TagPacket("STA")).has_value());
  EXPECT_TRUE(amp.IsPresent());
  EXPECT_EQ(amp.Counters().resets, 0u);
}

TEST_F(ResetBootTest, FirmwareJobLeavesFileRegionsAndBootsNewVersion) {
  VirtualAmp::TestFirmwareOptions options;
  options.version = "V5.12";
  options.seed = 42;
  const Bytes file = VirtualAmp::BuildTestFirmware(options);
  ASSERT_EQ(file.size(), 0x8D000u);
  ASSERT_EQ(ResetAndReturn(), std::optional<bool>(true));
  ASSERT_TRUE(RunFirmwareJob(file));
  EXPECT_EQ(amp.ReadFlash(0, 0x20000), Region(file, 0, 0x20000));
  EXPECT_EQ(amp.ReadFlash(0x28000, 0x14000), Region(file, 0x28000, 0x14000));
  EXPECT_EQ(amp.ReadFlash(0x3C000, 0x1000), Region(file, 0x3C000, 0x1000));
  EXPECT_EQ(amp.ReadFlash(0x3D000, 0x1000), Region(file, 0x3C000, 0x1000));
  EXPECT_EQ(amp.ReadFlash(0x61000, 0x8000), Region(file, 0x20000, 0x8000));
  for (std::uint32_t text : {0x52000u, 0x53000u, 0x54000u, 0x55000u}) {
    EXPECT_EQ(amp.ReadFlash(text, 256), RestoreBlock(file, text)) << std::hex << text;
  }
  const Bytes program = amp.ReadMcu(0x3000, 0xD000);
  EXPECT_TRUE(std::equal(program.begin() + 32, program.end(), file.begin() + 0x80000 + 32));
  std::uint32_t sum = 0;
  for (int w = 0; w < 8; ++w) sum += Le32(program.data() + 4 * w);
  EXPECT_EQ(sum, 0u);
  EXPECT_EQ(ResetAndReturn(), std::optional<bool>(false));
  const auto version = host.Read("RD_FLA", 0x52000, 16);
  ASSERT_TRUE(version.ok);
  EXPECT_STREQ(reinterpret_cast<const char*>(version.data.data()), "V5.12");
}

TEST_F(ResetBootTest, FirmwareJobCutShortLeavesBootLoader) {
  ASSERT_EQ(ResetAndReturn(), std::optional<bool>(true));
  ASSERT_TRUE(host.Write("WR_FLA", 0x52000, EraseMarker(), false));
  ASSERT_TRUE(host.Write("WR_FLA", 0x53000, EraseMarker(), false));
  EXPECT_EQ(ResetAndReturn(), std::optional<bool>(true));
}

TEST(TestFirmwareTest, ImageHasLayoutVersionAndChecksumWord) {
  VirtualAmp::TestFirmwareOptions options;
  options.version = "V5.12";
  const Bytes file = VirtualAmp::BuildTestFirmware(options);
  ASSERT_EQ(file.size(), 0x8D000u);
  EXPECT_STREQ(reinterpret_cast<const char*>(file.data() + 0x52000), "V5.12");
  std::uint32_t sum = 0;
  for (int w = 0; w < 8; ++w) sum += Le32(file.data() + 0x80000 + 4 * w);
  EXPECT_EQ(sum, 0u);
  // The application image ends in erased blocks, so that its write ends with a skip count.
  EXPECT_EQ(Region(file, 0x20000 - 256, 256), Bytes(256, 0xFF));
  EXPECT_NE(Region(file, 0, 256), Bytes(256, 0xFF));
  EXPECT_EQ(VirtualAmp::TestFirmwareFileName("V5.12"), "Cobalt_V5.12.bin");
}

TEST(TestFirmwareTest, ShortFileAndErasedVersionInstallAsUnbootable) {
  VirtualAmp::TestFirmwareOptions options;
  options.eraseVersionBlock = true;
  options.fileSize = 0x60000;
  const Bytes file = VirtualAmp::BuildTestFirmware(options);
  EXPECT_EQ(file.size(), 0x60000u);
  VirtualAmp::AmpMemory memory(VirtualAmp::Model::A210);
  memory.InstallFirmwareImage(file);
  EXPECT_FALSE(memory.ApplicationValid());
  // The MCU program lies beyond the end of the file: it reads as 0xFF, checksum word aside.
  EXPECT_EQ(memory.Mcu()[0x3000 + 40], 0xFF);
}

}  // namespace
