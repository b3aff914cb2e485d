// The virtual amplifier on a socket pair, in a socket folder, and its control channel.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <future>
#include <memory>
#include <thread>

#include "tests/virtual_amp/HostSide.h"
#include "tests/virtual_amp/SocketClient.h"
#include "tools/virtual_amp/lib/AmpControl.h"
#include "tools/virtual_amp/lib/AmpFolderHost.h"
#include "tools/virtual_amp/lib/AmpServer.h"

namespace {

using namespace VampTest;
using VirtualAmp::AmpConfig;
using VirtualAmp::Millis;
using VirtualAmp::VirtualAmplifier;

std::shared_ptr<VirtualAmplifier> MakeAmp(Millis pace = Millis(0), Millis resetAbsence = Millis(50)) {
  AmpConfig config;
  config.serial = "SOCK_01";
  config.timing.pace = pace;
  config.timing.resetAbsence = resetAbsence;
  return std::make_shared<VirtualAmplifier>(config);
}

TEST(SocketPairTest, AnswersPacketsOverTheStream) {
  auto amp = MakeAmp();
  VirtualAmp::AmpSocketPair pair(amp);
  ASSERT_TRUE(pair.IsOpen());
  SocketClient client(pair.ReleaseHostFd());
  EXPECT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  auto identity = client.Exchange(TagPacket("TEST"));
  ASSERT_TRUE(HasTag(identity, 0, "INV"));
  EXPECT_EQ(std::string(identity->begin() + 4, identity->begin() + 7), "APP");
  // No reply where the protocol gives none.
  EXPECT_FALSE(client.Exchange(TagPacket("STA"), 100).has_value());
  EXPECT_FALSE(client.closed);
}

TEST(SocketPairTest, PacketsSplitAcrossWritesAreReassembled) {
  auto amp = MakeAmp();
  VirtualAmp::AmpSocketPair pair(amp);
  SocketClient client(pair.ReleaseHostFd());
  const Packet ready = TagPacket("READY");
  ASSERT_EQ(::send(client.Fd(), ready.data(), 10, MSG_NOSIGNAL), 10);
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
  ASSERT_EQ(::send(client.Fd(), ready.data() + 10, 54, MSG_NOSIGNAL), 54);
  EXPECT_TRUE(HasTag(client.Receive(), 4, "REA"));
}

TEST(SocketPairTest, ResetClosesTheConnection) {
  auto amp = MakeAmp();
  VirtualAmp::AmpSocketPair pair(amp);
  SocketClient client(pair.ReleaseHostFd());
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("RE_MCU")), 2, "ACK"));
  ASSERT_TRUE(client.Send(TagPacket("STA")));
  EXPECT_FALSE(client.Receive(2000).has_value());
  EXPECT_TRUE(client.closed);
  EXPECT_EQ(pair.WaitEnded(), VirtualAmp::ServeEnd::DeviceGone);
}

TEST(SocketPairTest, PacingSpacesReportsOneFrameApart) {
  auto amp = MakeAmp(Millis(2));
  VirtualAmp::AmpSocketPair pair(amp);
  SocketClient client(pair.ReleaseHostFd());
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 50; ++i) ASSERT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_GE(elapsed, std::chrono::milliseconds(2 * 49));
  EXPECT_EQ(amp->Counters().exchanges, 50u);
}

TEST(SocketPairTest, LatencyDelaysTheReply) {
  auto amp = MakeAmp();
  auto timing = amp->Timing();
  timing.replyLatency = Millis(40);
  amp->SetTiming(timing);
  VirtualAmp::AmpSocketPair pair(amp);
  SocketClient client(pair.ReleaseHostFd());
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(40));
}

TEST(SocketPairTest, StopsWhileTheHostReadsNoReplies) {
  auto amp = MakeAmp();
  auto* pair = new VirtualAmp::AmpSocketPair(amp);
  ASSERT_TRUE(pair->IsOpen());
  const int fd = pair->HostFd();
  // Keep sending without reading until the replies fill the stream and the device stalls.
  const Packet ready = TagPacket("READY");
  auto lastProgress = std::chrono::steady_clock::now();
  const auto giveUp = lastProgress + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() - lastProgress < std::chrono::milliseconds(300)) {
    ASSERT_LT(std::chrono::steady_clock::now(), giveUp);
    if (::send(fd, ready.data(), ready.size(), MSG_NOSIGNAL | MSG_DONTWAIT) > 0) {
      lastProgress = std::chrono::steady_clock::now();
    } else {
      ASSERT_TRUE(errno == EAGAIN || errno == EWOULDBLOCK);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  // Destroying the pair must end its serving thread although no reply can be written.
  auto destroyed = std::make_shared<std::promise<void>>();
  std::future<void> done = destroyed->get_future();
  std::thread([pair, destroyed] {
    delete pair;
    destroyed->set_value();
  }).detach();
  EXPECT_EQ(done.wait_for(std::chrono::seconds(5)), std::future_status::ready);
}

TEST(FolderHostTest, SocketNameUsesLowerCaseHexIds) {
  EXPECT_EQ(VirtualAmp::DeviceSocketName(0x2F5A, 0xA210, "AB_12"), "2f5a-a210-AB_12.sock");
  EXPECT_TRUE(VirtualAmp::IsValidSerial("Abc_019"));
  EXPECT_FALSE(VirtualAmp::IsValidSerial(""));
  EXPECT_FALSE(VirtualAmp::IsValidSerial("a-b"));
  EXPECT_FALSE(VirtualAmp::IsValidSerial(std::string(40, 'a')));
}

TEST(FolderHostTest, SocketFollowsUnplugAndReplug) {
  TempDir dir;
  auto amp = MakeAmp();
  VirtualAmp::AmpFolderHost host(amp, dir.path);
  ASSERT_TRUE(host.Start());
  const std::string path = dir.path + "/2f5a-a210-SOCK_01.sock";
  EXPECT_EQ(host.SocketPath(), path);
  ASSERT_TRUE(WaitForFile(path, true));
  SocketClient client;
  ASSERT_TRUE(client.Connect(path));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  amp->Unplug();
  EXPECT_TRUE(WaitForFile(path, false));
  EXPECT_FALSE(client.Receive(2000).has_value());
  EXPECT_TRUE(client.closed);
  amp->Replug();
  ASSERT_TRUE(WaitForFile(path, true));
  SocketClient again;
  ASSERT_TRUE(again.Connect(path));
  EXPECT_TRUE(HasTag(again.Exchange(TagPacket("READY")), 4, "REA"));
  host.Stop();
  EXPECT_FALSE(FileExists(path));
}

TEST(FolderHostTest, ResetRemovesSocketAndBringsItBackInBootLoader) {
  TempDir dir;
  auto amp = MakeAmp(Millis(0), Millis(300));
  VirtualAmp::AmpFolderHost host(amp, dir.path);
  ASSERT_TRUE(host.Start());
  const std::string path = host.SocketPath();
  ASSERT_TRUE(WaitForFile(path, true));
  SocketClient client;
  ASSERT_TRUE(client.Connect(path));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("RE_MCU")), 2, "ACK"));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  ASSERT_TRUE(client.Send(TagPacket("STA")));
  EXPECT_FALSE(client.Receive().has_value());
  EXPECT_TRUE(client.closed);
  EXPECT_FALSE(FileExists(path));
  ASSERT_TRUE(WaitForFile(path, true));
  SocketClient again;
  ASSERT_TRUE(again.Connect(path));
  auto identity = again.Exchange(TagPacket("TEST"));
  ASSERT_TRUE(HasTag(identity, 0, "INV"));
  EXPECT_EQ(std::string(identity->begin() + 4, identity->begin() + 7), "HID");
}

TEST(FolderHostTest, ServesOneConnectionAtATime) {
  TempDir dir;
  auto amp = MakeAmp();
  VirtualAmp::AmpFolderHost host(amp, dir.path);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(WaitForFile(host.SocketPath(), true));
  SocketClient first;
  ASSERT_TRUE(first.Connect(host.SocketPath()));
  ASSERT_TRUE(HasTag(first.Exchange(TagPacket("READY")), 4, "REA"));
  SocketClient second;
  ASSERT_TRUE(second.Connect(host.SocketPath()));
  // The second connection is closed at once: the send or the reply shows it.
  EXPECT_FALSE(second.Exchange(TagPacket("READY")).has_value());
  if (!second.closed) {
    EXPECT_FALSE(second.Receive().has_value());
  }
  EXPECT_TRUE(second.closed);
  EXPECT_TRUE(HasTag(first.Exchange(TagPacket("READY")), 4, "REA"));
}

TEST(FolderHostTest, HostThatClosesAndReconnectsAtOnceIsServed) {
  TempDir dir;
  auto amp = MakeAmp();
  VirtualAmp::AmpFolderHost host(amp, dir.path);
  ASSERT_TRUE(host.Start());
  ASSERT_TRUE(WaitForFile(host.SocketPath(), true));
  // A job opens the device, talks, closes; the next job connects straight away.
  for (int job = 0; job < 20; ++job) {
    SocketClient client;
    ASSERT_TRUE(client.Connect(host.SocketPath())) << job;
    ASSERT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA")) << job;
  }
}

TEST(ControlTest, CommandLinesSetAndReadDeviceState) {
  TempDir dir;
  auto amp = MakeAmp();
  VirtualAmp::AmpFolderHost host(amp, dir.path);
  std::vector<VirtualAmp::AmpFolderHost*> hosts = {&host};
  bool quit = false;
  EXPECT_EQ(VirtualAmp::HandleControlLine("meters SOCK_01 1 2 3 4 5 6 7 0x10", hosts, quit), "OK");
  amp->WithMemory([](VirtualAmp::AmpMemory& memory) {
    const auto record = memory.MeterRecord();
    EXPECT_EQ(Be32(record.data() + 28), 16u);
  });
  EXPECT_EQ(VirtualAmp::HandleControlLine("hwinfo SOCK_01 0102030405", hosts, quit), "OK");
  EXPECT_EQ(VirtualAmp::HandleControlLine("read-flash SOCK_01 0x57000 6", hosts, quit), "OK 010203040501");
  EXPECT_EQ(VirtualAmp::HandleControlLine("write-mcu SOCK_01 0xC0 abcd", hosts, quit), "OK");
  EXPECT_EQ(VirtualAmp::HandleControlLine("read-mcu SOCK_01 0xC0 2", hosts, quit), "OK abcd");
  EXPECT_EQ(VirtualAmp::HandleControlLine("read-flash SOCK_01 0x7FFFF 2", hosts, quit), "ERR out of range");
  EXPECT_EQ(VirtualAmp::HandleControlLine("mode SOCK_01", hosts, quit), "OK app");
  EXPECT_EQ(VirtualAmp::HandleControlLine("fault SOCK_01 drop-ready always", hosts, quit), "OK");
  EXPECT_EQ(amp->Faults().dropReady, VirtualAmp::kAlways);
  EXPECT_EQ(VirtualAmp::HandleControlLine("fault SOCK_01 unplug-at 7 250", hosts, quit), "OK");
  EXPECT_EQ(amp->Faults().unplugAtExchange, 7u);
  EXPECT_EQ(amp->Faults().unplugFor, Millis(250));
  EXPECT_EQ(VirtualAmp::HandleControlLine("fault SOCK_01 slow-start 18446744073709551615", hosts, quit),
            "ERR unknown fault or bad value");
  EXPECT_EQ(VirtualAmp::HandleControlLine("fault SOCK_01 unplug-at 9 600001", hosts, quit),
            "ERR unknown fault or bad value");
  EXPECT_EQ(VirtualAmp::HandleControlLine("fault SOCK_01 unplug-at 9 soon", hosts, quit),
            "ERR unknown fault or bad value");
  EXPECT_EQ(amp->Faults().unplugAtExchange, 7u);
  EXPECT_EQ(amp->Faults().slowStart, Millis(0));
  EXPECT_EQ(VirtualAmp::HandleControlLine("fault SOCK_01 clear", hosts, quit), "OK");
  EXPECT_EQ(amp->Faults().dropReady, 0);
  EXPECT_EQ(VirtualAmp::HandleControlLine("timing SOCK_01 pace 1", hosts, quit), "OK");
  EXPECT_EQ(amp->Timing().pace, Millis(1));
  EXPECT_EQ(VirtualAmp::HandleControlLine("unplug SOCK_01", hosts, quit), "OK");
  EXPECT_FALSE(amp->IsPresent());
  EXPECT_EQ(VirtualAmp::HandleControlLine("replug SOCK_01", hosts, quit), "OK");
  EXPECT_TRUE(amp->IsPresent());
  EXPECT_EQ(VirtualAmp::HandleControlLine("counters NOPE", hosts, quit), "ERR no device NOPE");
  EXPECT_EQ(VirtualAmp::HandleControlLine("meters SOCK_01 1 2", hosts, quit).rfind("ERR", 0), 0u);
  EXPECT_EQ(VirtualAmp::HandleControlLine("hwinfo SOCK_01 zz", hosts, quit).rfind("ERR", 0), 0u);
  EXPECT_FALSE(quit);
  EXPECT_EQ(VirtualAmp::HandleControlLine("quit", hosts, quit), "OK");
  EXPECT_TRUE(quit);
}

TEST(ControlTest, ServerAnswersOverItsSocket) {
  TempDir dir;
  auto amp = MakeAmp();
  VirtualAmp::AmpFolderHost host(amp, dir.path);
  VirtualAmp::AmpControlServer control(dir.path + "/virtual-amp.control", {&host});
  ASSERT_TRUE(control.Start());
  EXPECT_EQ(VirtualAmp::ControlRequest(control.Path(), "list"), std::optional<std::string>("OK SOCK_01:a210:app:absent"));
  const auto counters = VirtualAmp::ControlRequest(control.Path(), "counters SOCK_01");
  ASSERT_TRUE(counters);
  EXPECT_EQ(counters->rfind("OK exchanges=0 ", 0), 0u);
  EXPECT_FALSE(control.QuitRequested());
  EXPECT_EQ(VirtualAmp::ControlRequest(control.Path(), "quit"), std::optional<std::string>("OK"));
  EXPECT_TRUE(control.QuitRequested());
  control.Stop();
  EXPECT_FALSE(FileExists(dir.path + "/virtual-amp.control"));
  EXPECT_FALSE(VirtualAmp::ControlRequest(dir.path + "/virtual-amp.control", "list").has_value());
}

}  // namespace
