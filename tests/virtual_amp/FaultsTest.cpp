// Faults the virtual amplifier injects on demand, and its counters and trace.
#include <gtest/gtest.h>

#include <memory>

#include "tests/virtual_amp/HostSide.h"

namespace {

using namespace VampTest;
using VirtualAmp::AmpConfig;
using VirtualAmp::AmpFaults;
using VirtualAmp::Millis;
using VirtualAmp::VirtualAmplifier;

class FaultsTest : public ::testing::Test {
 protected:
  FaultsTest() : amp(AmpConfig{}, clock), host(amp) {}

  std::shared_ptr<VirtualAmp::ManualAmpClock> clock = std::make_shared<VirtualAmp::ManualAmpClock>();
  VirtualAmplifier amp;
  HostDriver host;
};

TEST_F(FaultsTest, DropReplyWithholdsOnlyThatExchange) {
  AmpFaults faults;
  faults.dropReplyAt = {2};
  amp.SetFaults(faults);
  EXPECT_TRUE(host.Ready());
  EXPECT_FALSE(host.Ready());
  EXPECT_TRUE(host.Ready());
  EXPECT_EQ(amp.Counters().droppedReplies, 1u);
}

TEST_F(FaultsTest, DropReadyOnceThenAnswersAgain) {
  AmpFaults faults;
  faults.dropReady = 1;
  amp.SetFaults(faults);
  EXPECT_FALSE(host.Ready());
  EXPECT_TRUE(host.Ready());
}

TEST_F(FaultsTest, DropReadyAlwaysNeverAnswersReady) {
  AmpFaults faults;
  faults.dropReady = VirtualAmp::kAlways;
  amp.SetFaults(faults);
  for (int i = 0; i < 5; ++i) EXPECT_FALSE(host.Ready());
  EXPECT_TRUE(host.Expect(TagPacket("TEST"), 0, "INV"));
}

TEST_F(FaultsTest, WrongChecksumFailsTheRead) {
  AmpFaults faults;
  faults.wrongChecksum = 1;
  amp.SetFaults(faults);
  const auto bad = host.Read("RD_FLA", 0x52000, 16);
  EXPECT_FALSE(bad.ok);
  EXPECT_NE(bad.deviceChecksum, bad.hostChecksum);
  EXPECT_TRUE(host.Read("RD_FLA", 0x52000, 16).ok);
}

TEST_F(FaultsTest, WrongChecksumFailsTheWriteBlockCheck) {
  AmpFaults faults;
  faults.wrongChecksum = 1;
  amp.SetFaults(faults);
  EXPECT_FALSE(host.Write("WR_FLA", 0x72000, Bytes(256, 0x12), true));
}

TEST_F(FaultsTest, CorruptDataIsCaughtByTheChecksum) {
  AmpFaults faults;
  faults.corruptData = 1;
  amp.SetFaults(faults);
  const auto result = host.Read("RD_FLA", 0x52000, 16);
  EXPECT_FALSE(result.ok);
  const auto truth = amp.ReadFlash(0x52000, 16);
  EXPECT_NE(result.data, truth);
  EXPECT_EQ(result.deviceChecksum, HostChecksum(truth));
}

TEST_F(FaultsTest, SlowStartDelaysOnlyTheStartReply) {
  AmpFaults faults;
  faults.slowStart = Millis(300);
  amp.SetFaults(faults);
  auto timing = amp.Timing();
  timing.replyLatency = Millis(5);
  amp.SetTiming(timing);
  auto ready = amp.HandlePacket(TagPacket("READY"));
  ASSERT_TRUE(ready);
  EXPECT_EQ(ready->delay, Millis(5));
  ASSERT_TRUE(amp.HandlePacket(CommandPacket("RD_FLA", 0, 16)));
  auto start = amp.HandlePacket(TagPacket("STA"));
  ASSERT_TRUE(start);
  EXPECT_EQ(start->delay, Millis(305));
}

TEST_F(FaultsTest, UnplugAtExchangeStaysGoneUntilReplugged) {
  AmpFaults faults;
  faults.unplugAtExchange = 3;
  amp.SetFaults(faults);
  const auto generation = amp.Generation();
  EXPECT_TRUE(host.Ready());
  EXPECT_TRUE(host.Ready());
  EXPECT_FALSE(host.Ready());
  EXPECT_FALSE(amp.IsPresent());
  EXPECT_GT(amp.Generation(), generation);
  clock->Advance(std::chrono::hours(1));
  EXPECT_FALSE(host.Ready());
  EXPECT_EQ(amp.Counters().ignoredWhileAbsent, 1u);
  amp.Replug();
  EXPECT_TRUE(host.Ready());
}

TEST_F(FaultsTest, UnplugForAWhileComesBackByItself) {
  AmpFaults faults;
  faults.unplugAtExchange = 1;
  faults.unplugFor = Millis(100);
  amp.SetFaults(faults);
  EXPECT_FALSE(host.Ready());
  clock->Advance(Millis(99));
  EXPECT_FALSE(amp.IsPresent());
  clock->Advance(Millis(1));
  EXPECT_TRUE(amp.IsPresent());
  EXPECT_TRUE(host.Ready());
}

TEST_F(FaultsTest, StayBusyKeepsTheReadyByteZero) {
  auto ready = host.Read("RMbyID", VirtualAmp::kReadyId, 1);
  ASSERT_TRUE(ready.ok);
  EXPECT_EQ(ready.data, Bytes{1});
  AmpFaults faults;
  faults.stayBusy = true;
  amp.SetFaults(faults);
  clock->Advance(std::chrono::hours(1));
  ready = host.Read("RMbyID", VirtualAmp::kReadyId, 1);
  ASSERT_TRUE(ready.ok);
  EXPECT_EQ(ready.data, Bytes{0});
}

TEST_F(FaultsTest, TraceShowsEveryPacketAndReply) {
  std::vector<std::string> lines;
  amp.SetTraceSink([&lines](const std::string& line) { lines.push_back(line); });
  EXPECT_TRUE(host.Ready());
  EXPECT_FALSE(host.Send(TagPacket("STA")).has_value());
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_NE(lines[0].find("#1 host> [READY]"), std::string::npos);
  EXPECT_NE(lines[1].find("#1 amp < [.REA]"), std::string::npos);
  EXPECT_NE(lines[3].find("(no reply)"), std::string::npos);
}

}  // namespace
