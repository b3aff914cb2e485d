// The `virtual-amp` and `make-test-firmware` programs, started from the test.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "tests/virtual_amp/HostSide.h"
#include "tests/virtual_amp/SocketClient.h"
#include "tools/virtual_amp/lib/AmpControl.h"

extern char** environ;

namespace {

using namespace VampTest;

class Program {
 public:
  explicit Program(std::vector<std::string> args) {
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, argv[0], nullptr, nullptr, argv.data(), environ) != 0) pid_ = -1;
  }
  ~Program() {
    if (pid_ > 0) {
      ::kill(pid_, SIGKILL);
      ::waitpid(pid_, nullptr, 0);
    }
  }
  bool Started() const { return pid_ > 0; }
  bool Signal(int signal) { return pid_ > 0 && ::kill(pid_, signal) == 0; }
  // Exit code, or -1 when it did not end in time (bounded so a hang fails the test).
  int Wait(int timeoutMs = 30000) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (pid_ > 0 && std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      const pid_t done = ::waitpid(pid_, &status, WNOHANG);
      if (done == pid_) {
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return -1;
  }

 private:
  pid_t pid_ = -1;
};

TEST(ProgramTest, ServesDevicesAndRemovesSocketsOnSigterm) {
  TempDir dir;
  Program program({VIRTUAL_AMP_PROGRAM, "--dir", dir.path, "--pid", "a210", "--serial", "AMP_ONE", "--pid", "a200",
                   "--serial", "AMP_TWO", "--mode", "boot", "--pace-ms", "1"});
  ASSERT_TRUE(program.Started());
  const std::string one = dir.path + "/2f5a-a210-AMP_ONE.sock";
  const std::string two = dir.path + "/2f5a-a200-AMP_TWO.sock";
  const std::string control = dir.path + "/virtual-amp.control";
  ASSERT_TRUE(WaitForFile(one, true));
  ASSERT_TRUE(WaitForFile(two, true));
  ASSERT_TRUE(WaitForFile(control, true));

  SocketClient client;
  ASSERT_TRUE(client.Connect(one));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  auto identity = client.Exchange(TagPacket("TEST"));
  ASSERT_TRUE(HasTag(identity, 0, "INV"));
  EXPECT_EQ(std::string(identity->begin() + 4, identity->begin() + 7), "APP");

  // Meters set through the control channel come back over the device socket.
  ASSERT_EQ(VirtualAmp::ControlRequest(control, "meters AMP_ONE 0x11223344 0 0 0 0 0 0 0"),
            std::optional<std::string>("OK"));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  ASSERT_TRUE(HasTag(client.Exchange(CommandPacket("RMbyID", 1, 44)), 2, "ACK"));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("STA")), 2, "ACK"));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("ACK")), 7, "SKP"));
  auto data = client.Exchange(TagPacket("ACK"));
  ASSERT_TRUE(HasTag(data, 6, "DAT"));
  EXPECT_EQ(Be32(data->data() + 4), 0x11223344u);
  const auto counters = VirtualAmp::ControlRequest(control, "counters AMP_ONE");
  ASSERT_TRUE(counters);
  EXPECT_EQ(counters->rfind("OK exchanges=7 ", 0), 0u) << *counters;

  // Unplug and replug through the control channel.
  ASSERT_EQ(VirtualAmp::ControlRequest(control, "unplug AMP_ONE"), std::optional<std::string>("OK"));
  EXPECT_TRUE(WaitForFile(one, false));
  EXPECT_FALSE(client.Receive(2000).has_value());
  EXPECT_TRUE(client.closed);
  ASSERT_EQ(VirtualAmp::ControlRequest(control, "replug AMP_ONE"), std::optional<std::string>("OK"));
  EXPECT_TRUE(WaitForFile(one, true));

  SocketClient boot;
  ASSERT_TRUE(boot.Connect(two));
  auto bootIdentity = boot.Exchange(TagPacket("TEST"));
  ASSERT_TRUE(HasTag(bootIdentity, 0, "INV"));
  EXPECT_EQ(std::string(bootIdentity->begin() + 4, bootIdentity->begin() + 7), "HID");

  ASSERT_TRUE(program.Signal(SIGTERM));
  EXPECT_EQ(program.Wait(), 0);
  EXPECT_FALSE(FileExists(one));
  EXPECT_FALSE(FileExists(two));
  EXPECT_FALSE(FileExists(control));
}

TEST(ProgramTest, RecreatesSocketAfterReset) {
  TempDir dir;
  Program program({VIRTUAL_AMP_PROGRAM, "--dir", dir.path, "--device", "a210:RST_1", "--reset-ms", "200"});
  ASSERT_TRUE(program.Started());
  const std::string path = dir.path + "/2f5a-a210-RST_1.sock";
  ASSERT_TRUE(WaitForFile(path, true));
  SocketClient client;
  ASSERT_TRUE(client.Connect(path));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("RE_MCU")), 2, "ACK"));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  ASSERT_TRUE(client.Send(TagPacket("STA")));
  EXPECT_FALSE(client.Receive().has_value());
  EXPECT_TRUE(client.closed);
  ASSERT_TRUE(WaitForFile(path, true));
  SocketClient again;
  ASSERT_TRUE(again.Connect(path));
  auto identity = again.Exchange(TagPacket("TEST"));
  ASSERT_TRUE(HasTag(identity, 0, "INV"));
  EXPECT_EQ(std::string(identity->begin() + 4, identity->begin() + 7), "HID");
  ASSERT_TRUE(program.Signal(SIGINT));
  EXPECT_EQ(program.Wait(), 0);
  EXPECT_FALSE(FileExists(path));
}

TEST(ProgramTest, TraceFileRecordsPacketsAndReplies) {
  TempDir dir;
  const std::string trace = dir.path + "/trace.txt";
  Program program({VIRTUAL_AMP_PROGRAM, "--dir", dir.path, "--trace", trace, "--device", "a200:TR"});
  ASSERT_TRUE(program.Started());
  const std::string path = dir.path + "/2f5a-a200-TR.sock";
  ASSERT_TRUE(WaitForFile(path, true));
  SocketClient client;
  ASSERT_TRUE(client.Connect(path));
  ASSERT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  ASSERT_TRUE(program.Signal(SIGTERM));
  ASSERT_EQ(program.Wait(), 0);
  std::ifstream file(trace);
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  EXPECT_NE(text.find("TR #1 host> [READY] 52 45 41 44 59"), std::string::npos) << text;
  EXPECT_NE(text.find("TR #1 amp < [.REA] 04 52 45 41"), std::string::npos) << text;
}

TEST(ProgramTest, QuitOverControlChannelEndsTheProgram) {
  TempDir dir;
  const std::string control = dir.path + "/ctl";
  Program program({VIRTUAL_AMP_PROGRAM, "--dir", dir.path, "--control", control, "--pid", "a210", "--serial", "Q"});
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(WaitForFile(control, true));
  EXPECT_EQ(VirtualAmp::ControlRequest(control, "quit"), std::optional<std::string>("OK"));
  EXPECT_EQ(program.Wait(), 0);
  EXPECT_FALSE(FileExists(dir.path + "/2f5a-a210-Q.sock"));
}

TEST(ProgramTest, RefusesBadArguments) {
  TempDir dir;
  Program noSerial({VIRTUAL_AMP_PROGRAM, "--dir", dir.path, "--pid", "a210"});
  EXPECT_EQ(noSerial.Wait(), 2);
  Program badPid({VIRTUAL_AMP_PROGRAM, "--dir", dir.path, "--pid", "a999", "--serial", "X"});
  EXPECT_EQ(badPid.Wait(), 2);
  Program badSerial({VIRTUAL_AMP_PROGRAM, "--dir", dir.path, "--pid", "a210", "--serial", "a-b"});
  EXPECT_EQ(badSerial.Wait(), 2);
  // A folder that cannot be made: below a plain file.
  std::ofstream(dir.path + "/file") << "x";
  Program noDir({VIRTUAL_AMP_PROGRAM, "--dir", dir.path + "/file/amps", "--pid", "a210", "--serial", "X"});
  EXPECT_EQ(noDir.Wait(), 1);
}

// As the README runs it by hand: a folder that does not exist yet is made, parents too.
TEST(ProgramTest, MakesAMissingFolderAndServesInIt) {
  TempDir dir;
  const std::string amps = dir.path + "/new/amps";
  Program program({VIRTUAL_AMP_PROGRAM, "--dir", amps, "--pid", "a210", "--serial", "DEMO1"});
  ASSERT_TRUE(program.Started());
  ASSERT_TRUE(WaitForFile(amps + "/2f5a-a210-DEMO1.sock", true));
  SocketClient client;
  ASSERT_TRUE(client.Connect(amps + "/2f5a-a210-DEMO1.sock"));
  EXPECT_TRUE(HasTag(client.Exchange(TagPacket("READY")), 4, "REA"));
  ASSERT_TRUE(program.Signal(SIGTERM));
  EXPECT_EQ(program.Wait(), 0);
}

TEST(ProgramTest, MakeTestFirmwareWritesNamedImage) {
  TempDir dir;
  Program program({MAKE_TEST_FIRMWARE_PROGRAM, "--dir", dir.path, "--version", "V5.12"});
  ASSERT_EQ(program.Wait(), 0);
  const std::string path = dir.path + "/Cobalt_V5.12.bin";
  ASSERT_TRUE(FileExists(path));
  EXPECT_EQ(std::filesystem::file_size(path), 0x8D000u);
  std::ifstream file(path, std::ios::binary);
  file.seekg(0x52000);
  char version[6] = {};
  file.read(version, 5);
  EXPECT_STREQ(version, "V5.12");
}

}  // namespace
