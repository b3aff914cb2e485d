// Every protocol step against the virtual amplifier, reached through the virtual HID backend:
// exchange counts, skip counts, checksums, lost replies, cancel and unplugging.
#include <chrono>
#include <cstring>
#include <numeric>
#include <thread>

#include <gtest/gtest.h>

#include "device_library/src/protocol/CBootProtocol.h"
#include "tests/device_protocol/JobRunner.h"
#include "tests/device_transport/ScriptedDevice.h"
#include "tests/support/UniformTiming.h"
#include "tools/virtual_amp/lib/AmpFolderHost.h"
#include "tools/virtual_amp/lib/VirtualAmplifier.h"

namespace {

using namespace QuarryDriver;
using namespace testing_support;
using Clock = std::chrono::steady_clock;

std::vector<std::uint8_t> Pattern(std::size_t count, std::uint8_t first)
{
    std::vector<std::uint8_t> bytes(count);
    std::iota(bytes.begin(), bytes.end(), first);
    for (auto& b : bytes) {
        if (b == 0xFF) {
            b = 0x5A;  // keep patterns free of erased bytes
        }
    }
    return bytes;
}

class ProtocolVirtualAmp : public ::testing::Test {
protected:
    void StartAmp(VirtualAmp::AmpMode mode = VirtualAmp::AmpMode::Application,
                  const ProtocolTiming& timing = TestTiming())
    {
        VirtualAmp::AmpConfig config;
        config.serial = "VAMPTEST";
        config.mode = mode;
        config.factoryImage = false;
        amp_ = std::make_shared<VirtualAmp::VirtualAmplifier>(config);
        host_ = std::make_unique<VirtualAmp::AmpFolderHost>(amp_, folder_.Path());
        ASSERT_TRUE(host_->Start());
        const auto giveUp = Clock::now() + std::chrono::seconds(5);
        while (!host_->IsListening() && Clock::now() < giveUp) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ASSERT_TRUE(host_->IsListening());
        transport_ = std::make_unique<CBootProtocol>(host_->SocketPath(), timing);
    }

    void TearDown() override
    {
        transport_.reset();
        host_.reset();
    }

    void SetFaults(const std::function<void(VirtualAmp::AmpFaults&)>& change)
    {
        VirtualAmp::AmpFaults faults = amp_->Faults();
        change(faults);
        amp_->SetFaults(faults);
    }

    JobOutcome Run(const std::vector<JobStep>& steps)
    {
        amp_->ResetCounters();
        return RunJobOf(*transport_, steps);
    }

    std::uint64_t Exchanges() const { return amp_->Counters().exchanges; }

    VirtualHidFolder folder_;
    std::shared_ptr<VirtualAmp::VirtualAmplifier> amp_;
    std::unique_ptr<VirtualAmp::AmpFolderHost> host_;
    std::unique_ptr<CBootProtocol> transport_;
};

TEST_F(ProtocolVirtualAmp, HandshakeTakesFourExchangesAndSetsTheFlag)
{
    StartAmp();
    std::uint32_t flag = 0;
    const auto outcome = Run({{kStepHandshake, StepArgs::Out(&flag)}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(flag, 1u);
    EXPECT_EQ(outcome.progress, 100);
    EXPECT_EQ(Exchanges(), 4u);
    EXPECT_TRUE(amp_->IsPresent());  // "CNL" withdrew the reset
}

TEST_F(ProtocolVirtualAmp, IdentityTestTellsApplicationFromBootLoader)
{
    StartAmp(VirtualAmp::AmpMode::Application);
    std::uint32_t value = 7;
    EXPECT_TRUE(Run({{kStepIdentityTest, StepArgs::Out(&value)}}).success);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(Exchanges(), 2u);
    TearDown();
    StartAmp(VirtualAmp::AmpMode::BootLoader);
    EXPECT_TRUE(Run({{kStepIdentityTest, StepArgs::Out(&value)}}).success);
    EXPECT_EQ(value, 1u);
}

TEST_F(ProtocolVirtualAmp, ReadOfFortyFourBytesTakesTenExchanges)
{
    StartAmp();
    const auto data = Pattern(44, 1);
    ASSERT_TRUE(amp_->WriteFlash(0x1000, data));
    std::vector<std::uint8_t> buffer(44, 0);
    const auto outcome = Run({{kStepFlashRead, StepArgs::Read(0x1000, 44, buffer.data())}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(buffer, data);
    EXPECT_EQ(outcome.progress, 100);
    EXPECT_EQ(Exchanges(), 10u);
}

TEST_F(ProtocolVirtualAmp, ReadOfAnErasedRegionIsOneSkipAndEndsWithChecksumZero)
{
    StartAmp();
    std::vector<std::uint8_t> buffer(1000, 0);
    const auto outcome = Run({{kStepFlashRead, StepArgs::Read(0x40000, 1000, buffer.data())}});
    EXPECT_TRUE(outcome.success);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](std::uint8_t b) { return b == 0xFF; }));
    // command, "STA", one "SKP" covering everything, "END"/"CHE": each after its "READY".
    EXPECT_EQ(Exchanges(), 8u);
}

TEST_F(ProtocolVirtualAmp, ReadOfSixtyOneBytesTakesSixtyThenOne)
{
    StartAmp();
    const auto data = Pattern(61, 3);
    ASSERT_TRUE(amp_->WriteMcu(0x100, data));
    std::vector<std::uint8_t> buffer(61, 0);
    const auto outcome = Run({{kStepMcuRead, StepArgs::Read(0x100, 61, buffer.data())}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(buffer, data);
    EXPECT_EQ(Exchanges(), 4u + 4u + 4u + 2u);  // two SKP/DAT rounds
}

TEST_F(ProtocolVirtualAmp, WriteOfDataBlocksTakesSixPlusTwelvePerBlock)
{
    StartAmp();
    const auto data = Pattern(3 * 256, 9);
    const auto outcome = Run({{kStepFlashWrite, StepArgs::Write(0x30000, 3 * 256, data.data(), 1)}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(outcome.progress, 100);
    EXPECT_EQ(Exchanges(), 6u + 12u * 3u);
    EXPECT_EQ(amp_->ReadFlash(0x30000, 3 * 256), data);
    EXPECT_EQ(amp_->Counters().ends, 1u);
    EXPECT_EQ(amp_->Counters().continues, 0u);
}

TEST_F(ProtocolVirtualAmp, WriteEndingInErasedBlocksSendsTheTrailingSkipCount)
{
    StartAmp();
    ASSERT_TRUE(amp_->WriteFlash(0x31000, Pattern(768, 1)));  // so the erased blocks show
    std::vector<std::uint8_t> data(3 * 256, 0xFF);
    std::fill(data.begin(), data.begin() + 256, 0x11);
    const auto outcome = Run({{kStepFlashWrite, StepArgs::Write(0x31000, 3 * 256, data.data(), 1)}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(Exchanges(), 6u + 12u + 2u);
    EXPECT_EQ(amp_->Counters().blocksSkipped, 2u);
    EXPECT_EQ(amp_->ReadFlash(0x31000, 256), std::vector<std::uint8_t>(256, 0x11));
}

TEST_F(ProtocolVirtualAmp, WriteEndingInDataSendsNoTrailingSkipCount)
{
    StartAmp();
    std::vector<std::uint8_t> data(3 * 256, 0xFF);
    std::fill(data.begin() + 512, data.end(), 0x22);
    const auto outcome = Run({{kStepMcuWrite, StepArgs::Write(0x3000, 3 * 256, data.data(), 1)}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(Exchanges(), 6u + 12u);
    EXPECT_EQ(amp_->Counters().blocksSkipped, 2u);
    EXPECT_EQ(amp_->ReadMcu(0x3200, 256), std::vector<std::uint8_t>(256, 0x22));
}

TEST_F(ProtocolVirtualAmp, LastSegmentFlagZeroEndsWithContinue)
{
    StartAmp();
    const auto data = Pattern(256, 4);
    EXPECT_TRUE(Run({{kStepFlashWrite, StepArgs::Write(0x32000, 256, data.data(), 0)}}).success);
    EXPECT_EQ(amp_->Counters().continues, 1u);
    EXPECT_EQ(amp_->Counters().ends, 0u);
}

TEST_F(ProtocolVirtualAmp, WriteOfOnlyErasedBlocksCountsNoProgressAndStillSucceeds)
{
    StartAmp();
    std::vector<std::uint8_t> data(512, 0xFF);
    const auto outcome = Run({{kStepFlashWrite, StepArgs::Write(0x33000, 512, data.data(), 1)}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(outcome.progress, 0);
    EXPECT_EQ(Exchanges(), 6u + 2u);
}

TEST_F(ProtocolVirtualAmp, CommandTakesTenExchanges)
{
    StartAmp();
    const auto outcome = Run({{kStepCommand, StepArgs::Command(0, 0, 0)}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(Exchanges(), 10u);
    EXPECT_EQ(amp_->Counters().commandsRun, 1u);
}

TEST_F(ProtocolVirtualAmp, WriteAndReadByIdRoundTrip)
{
    StartAmp();
    amp_->WithMemory([](VirtualAmp::AmpMemory& memory) { memory.RegisterBufferId(0x7001, 512); });
    const auto data = Pattern(512, 0x30);
    std::vector<std::uint8_t> back(512, 0);
    const auto outcome = Run({{kStepWriteById, StepArgs::Write(0x7001, 512, data.data(), 0)},
                              {kStepReadById, StepArgs::Read(0x7001, 512, back.data())}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(back, data);
}

TEST_F(ProtocolVirtualAmp, ResetTakesFourExchangesAndTheDeviceRestarts)
{
    StartAmp();
    const auto outcome = Run({{kStepReset, StepArgs::None()}});
    EXPECT_TRUE(outcome.success);
    // The last "STA" gets no reply, so the step may end before the device has taken it in.
    const auto giveUp = Clock::now() + std::chrono::seconds(30);
    while ((Exchanges() < 4 || amp_->Counters().resets < 1) && Clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(Exchanges(), 4u);
    EXPECT_EQ(amp_->Counters().resets, 1u);
}

TEST_F(ProtocolVirtualAmp, LostReaIsRetriedOnce)
{
    StartAmp();
    SetFaults([](VirtualAmp::AmpFaults& f) { f.dropReady = 1; });
    std::uint32_t value = 7;
    EXPECT_TRUE(Run({{kStepIdentityTest, StepArgs::Out(&value)}}).success);
    EXPECT_EQ(Exchanges(), 3u);
}

TEST_F(ProtocolVirtualAmp, TwoLostReaFailTheStep)
{
    StartAmp();
    SetFaults([](VirtualAmp::AmpFaults& f) { f.dropReady = 2; });
    std::uint32_t value = 7;
    EXPECT_FALSE(Run({{kStepIdentityTest, StepArgs::Out(&value)}}).success);
    EXPECT_EQ(Exchanges(), 2u);  // nothing but the two "READY"s
}

TEST_F(ProtocolVirtualAmp, WrongReadChecksumFailsTheStep)
{
    StartAmp();
    ASSERT_TRUE(amp_->WriteFlash(0x1000, Pattern(100, 1)));
    SetFaults([](VirtualAmp::AmpFaults& f) { f.wrongChecksum = 1; });
    std::vector<std::uint8_t> buffer(100, 0);
    EXPECT_FALSE(Run({{kStepFlashRead, StepArgs::Read(0x1000, 100, buffer.data())}}).success);
}

TEST_F(ProtocolVirtualAmp, CorruptedDataFailsTheReadAtItsChecksum)
{
    StartAmp();
    ASSERT_TRUE(amp_->WriteFlash(0x1000, Pattern(100, 1)));
    SetFaults([](VirtualAmp::AmpFaults& f) { f.corruptData = 1; });
    std::vector<std::uint8_t> buffer(100, 0);
    EXPECT_FALSE(Run({{kStepFlashRead, StepArgs::Read(0x1000, 100, buffer.data())}}).success);
}

TEST_F(ProtocolVirtualAmp, WrongBlockChecksumFailsTheWrite)
{
    StartAmp();
    SetFaults([](VirtualAmp::AmpFaults& f) { f.wrongChecksum = 1; });
    const auto data = Pattern(256, 1);
    EXPECT_FALSE(Run({{kStepFlashWrite, StepArgs::Write(0x34000, 256, data.data(), 1)}}).success);
}

TEST_F(ProtocolVirtualAmp, DataPacketEqualToReadyFailsTheWriteInsteadOfStoringIt)
{
    // The protocol cannot tell such a packet from "READY"; the amplifier answers "REA" and the
    // host, waiting for "ACK", fails the step. Nothing of the block is stored.
    StartAmp();
    std::vector<std::uint8_t> data(256, 0x00);
    std::memcpy(data.data(), "READY", 5);
    EXPECT_FALSE(Run({{kStepFlashWrite, StepArgs::Write(0x35000, 256, data.data(), 1)}}).success);
    EXPECT_EQ(amp_->ReadFlash(0x35000, 256), std::vector<std::uint8_t>(256, 0xFF));
}

TEST_F(ProtocolVirtualAmp, CancelFailsTheJobAtTheNextExchange)
{
    StartAmp();
    VirtualAmp::AmpTiming timing = amp_->Timing();
    timing.replyLatency = std::chrono::milliseconds(5);
    amp_->SetTiming(timing);
    std::vector<std::uint8_t> buffer(6000, 0);
    ASSERT_TRUE(amp_->WriteFlash(0x1000, Pattern(6000, 1)));
    amp_->ResetCounters();
    const std::uint32_t job = transport_->CreateJob();
    ASSERT_NE(transport_->AddStep(job, kStepFlashRead, StepArgs::Read(0x1000, 6000, buffer.data())), 0u);
    ASSERT_NE(transport_->AddStep(job, kStepCommand, StepArgs::Command(0, 0, 0)), 0u);
    ASSERT_EQ(transport_->RunJob(job), 1);
    while (Exchanges() < 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(transport_->CancelJob(job), 1);
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    while (transport_->JobCompleted(job) == 0 && Clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    EXPECT_EQ(transport_->JobSuccessful(job), 0);
    EXPECT_LT(transport_->JobProgress(job), 100);
    EXPECT_EQ(amp_->Counters().commandsRun, 0u);
    const auto exchangesAtEnd = Exchanges();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(Exchanges(), exchangesAtEnd);  // nothing more was sent
}

// Every wait a minute long, so that only the unplug can end the step inside the bound, which
// leaves room for a loaded machine. bench_device_ops measures the time with the amplifier's own
// time-outs.
TEST_F(ProtocolVirtualAmp, UnplugInTheMiddleOfAReadFailsTheStepAtOnce)
{
    StartAmp(VirtualAmp::AmpMode::Application, testing_support::UniformTiming(60000, 60000));
    ASSERT_TRUE(amp_->WriteFlash(0x1000, Pattern(3000, 1)));
    SetFaults([](VirtualAmp::AmpFaults& f) { f.unplugAtExchange = 12; });
    amp_->ResetCounters();
    std::vector<std::uint8_t> buffer(3000, 0);
    const std::uint32_t job = transport_->CreateJob();
    ASSERT_NE(transport_->AddStep(job, kStepFlashRead, StepArgs::Read(0x1000, 3000, buffer.data())), 0u);
    ASSERT_EQ(transport_->RunJob(job), 1);
    const auto giveUp = Clock::now() + std::chrono::seconds(60);
    while (amp_->IsPresent() && Clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    ASSERT_FALSE(amp_->IsPresent());
    const auto unplugged = Clock::now();
    while (transport_->JobCompleted(job) == 0 && Clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    EXPECT_LT(Clock::now() - unplugged, std::chrono::seconds(10));
    EXPECT_EQ(transport_->JobSuccessful(job), 0);
}

}  // namespace
