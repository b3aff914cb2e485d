// Protocol steps against scripted devices: the exact packets the host sends and how it
// takes odd or missing replies.
#include <chrono>
#include <cstring>
#include <thread>

#include <gtest/gtest.h>

#include "device_library/include/QuarryVendorId.h"
#include "device_library/src/protocol/CBootProtocol.h"
#include "tests/device_protocol/JobRunner.h"
#include "tests/device_transport/ScriptedDevice.h"

namespace {

using namespace QuarryDriver;
using namespace testing_support;

std::uint32_t Be32(const Report& r, std::size_t at)
{
    return (std::uint32_t{r[at]} << 24) | (std::uint32_t{r[at + 1]} << 16) | (std::uint32_t{r[at + 2]} << 8) | r[at + 3];
}

bool IsReady(const Report& r)
{
    Report ready{};
    std::memcpy(ready.data(), "READY", 5);
    return r == ready;
}

// Everything the host sends except its "READY" packets.
std::vector<Report> Requests(const ScriptedDevice& device)
{
    std::vector<Report> out;
    for (const ReceivedReport& r : device.Received()) {
        if (!IsReady(r.report)) {
            out.push_back(r.report);
        }
    }
    return out;
}

// The host may finish a step before the device has read its last packet (a reset sends
// "STA" and expects no reply), so wait, bounded, until the device has seen n requests.
std::vector<Report> WaitForRequests(const ScriptedDevice& device, std::size_t n)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    auto requests = Requests(device);
    while (requests.size() < n && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        requests = Requests(device);
    }
    return requests;
}

class ProtocolScripted : public ::testing::Test {
protected:
    std::string SocketPath() const
    {
        return folder_.SocketPath(QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210, "SCRIPT");
    }

    VirtualHidFolder folder_;
};

// A device that answers a read with a fixed list of replies to its successive "ACK"s.
ScriptedDevice::Script ReadScript(std::vector<Report> dataReplies, std::uint32_t finalChecksum)
{
    auto next = std::make_shared<std::size_t>(0);
    return [dataReplies, finalChecksum, next](const Report& in) -> std::vector<Report> {
        if (StartsWith(in, "READY")) {
            return {Reply(4, "REA")};
        }
        if (StartsWith(in, "END")) {
            return {ReplyWithValue(3, "CHE", finalChecksum)};
        }
        if (StartsWith(in, "ACK")) {
            return {dataReplies.at((*next)++)};
        }
        return {Reply(2, "ACK")};
    };
}

Report DatReply(std::uint8_t first, std::size_t count)
{
    Report r = Reply(6, "DAT");
    for (std::size_t i = 0; i < count; ++i) {
        r[4 + i] = static_cast<std::uint8_t>(first + i);
    }
    return r;
}

TEST_F(ProtocolScripted, ReadSendsCommandWithAddressAndLengthThenStartAndEnd)
{
    ScriptedDevice device(SocketPath(), ReadScript({ReplyWithValue(7, "SKP", 0), DatReply(1, 60)}, 1 + 2 + 3 + 4 + 5));
    CBootProtocol transport(device.Path(), TestTiming());
    std::uint8_t buffer[5] = {0};
    const auto outcome = RunJobOf(transport, {{kStepMcuRead, StepArgs::Read(0xC0, 5, buffer)}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(outcome.progress, 100);
    const std::uint8_t expected[5] = {1, 2, 3, 4, 5};
    EXPECT_EQ(std::memcmp(buffer, expected, 5), 0);

    const auto requests = Requests(device);
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_TRUE(StartsWith(requests[0], "RD_MCU"));
    EXPECT_EQ(Be32(requests[0], 6), 0xC0u);
    EXPECT_EQ(Be32(requests[0], 10), 5u);
    EXPECT_TRUE(StartsWith(requests[1], "STA"));
    EXPECT_TRUE(StartsWith(requests[2], "ACK"));
    EXPECT_TRUE(StartsWith(requests[3], "ACK"));
    EXPECT_TRUE(StartsWith(requests[4], "END"));
    EXPECT_EQ(device.ReceivedCount(), 10u);  // each request after its own "READY"
}

TEST_F(ProtocolScripted, SkipCountBeyondTheReadFillsOnlyWhatWasAskedFor)
{
    ScriptedDevice device(SocketPath(), ReadScript({ReplyWithValue(7, "SKP", 0xFFFFFFFFu)}, 0));
    CBootProtocol transport(device.Path(), TestTiming());
    std::vector<std::uint8_t> buffer(130, 0x00);
    const auto outcome = RunJobOf(transport, {{kStepFlashRead, StepArgs::Read(0, 100, buffer.data())}});
    EXPECT_TRUE(outcome.success);
    EXPECT_TRUE(std::all_of(buffer.begin(), buffer.begin() + 100, [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_TRUE(std::all_of(buffer.begin() + 100, buffer.end(), [](std::uint8_t b) { return b == 0x00; }));
}

TEST_F(ProtocolScripted, ReadFailsWhenTheDevicesChecksumDiffers)
{
    ScriptedDevice device(SocketPath(), ReadScript({ReplyWithValue(7, "SKP", 0), DatReply(1, 60)}, 16));
    CBootProtocol transport(device.Path(), TestTiming());
    std::uint8_t buffer[5] = {0};
    EXPECT_FALSE(RunJobOf(transport, {{kStepFlashRead, StepArgs::Read(0, 5, buffer)}}).success);
}

TEST_F(ProtocolScripted, RepliesOtherThanTheOneAwaitedAreDropped)
{
    ScriptedDevice device(SocketPath(), [](const Report& in) -> std::vector<Report> {
        if (StartsWith(in, "READY")) {
            return {Reply(2, "ACK"), Reply(4, "XXX"), Reply(4, "REA")};
        }
        if (StartsWith(in, "TEST")) {
            Report inv = Reply(0, "INV");
            std::memcpy(inv.data() + 4, "HID", 3);
            return {Reply(2, "ACK"), inv};
        }
        return {};
    });
    CBootProtocol transport(device.Path(), TestTiming());
    std::uint32_t value = 7;
    EXPECT_TRUE(RunJobOf(transport, {{kStepIdentityTest, StepArgs::Out(&value)}}).success);
    EXPECT_EQ(value, 1u);
}

TEST_F(ProtocolScripted, IdentityOtherThanHidOrAppFailsTheStep)
{
    ScriptedDevice device(SocketPath(), [](const Report& in) -> std::vector<Report> {
        if (StartsWith(in, "READY")) {
            return {Reply(4, "REA")};
        }
        Report inv = Reply(0, "INV");
        std::memcpy(inv.data() + 4, "XYZ", 3);
        return {inv};
    });
    CBootProtocol transport(device.Path(), TestTiming());
    std::uint32_t value = 7;
    EXPECT_FALSE(RunJobOf(transport, {{kStepIdentityTest, StepArgs::Out(&value)}}).success);
}

TEST_F(ProtocolScripted, ReadyIsSentOnceMoreWhenTheFirstReaIsMissing)
{
    auto readies = std::make_shared<int>(0);
    ScriptedDevice device(SocketPath(), [readies](const Report& in) -> std::vector<Report> {
        if (StartsWith(in, "READY")) {
            return ++*readies == 1 ? std::vector<Report>{} : std::vector<Report>{Reply(4, "REA")};
        }
        Report inv = Reply(0, "INV");
        std::memcpy(inv.data() + 4, "APP", 3);
        return {inv};
    });
    CBootProtocol transport(device.Path(), TestTiming());
    std::uint32_t value = 7;
    EXPECT_TRUE(RunJobOf(transport, {{kStepIdentityTest, StepArgs::Out(&value)}}).success);
    EXPECT_EQ(value, 0u);
    EXPECT_EQ(device.ReceivedCount(), 3u);  // READY, READY, TEST
}

TEST_F(ProtocolScripted, SilentDeviceEndsTheHandshakeWithFlagZeroAfterTwoReadies)
{
    ScriptedDevice device(SocketPath(), [](const Report&) { return std::vector<Report>{}; });
    CBootProtocol transport(device.Path(), TestTiming());
    std::uint32_t flag = 7;
    EXPECT_TRUE(RunJobOf(transport, {{kStepHandshake, StepArgs::Out(&flag)}}).success);
    EXPECT_EQ(flag, 0u);
    const auto received = device.Received();
    ASSERT_EQ(received.size(), 2u);
    EXPECT_TRUE(IsReady(received[0].report));
    EXPECT_TRUE(IsReady(received[1].report));
}

TEST_F(ProtocolScripted, HandshakeWithoutAckToTheResetEndsWithFlagZero)
{
    ScriptedDevice device(SocketPath(), [](const Report& in) -> std::vector<Report> {
        if (StartsWith(in, "READY")) {
            return {Reply(4, "REA")};
        }
        return {};
    });
    CBootProtocol transport(device.Path(), TestTiming());
    std::uint32_t flag = 7;
    const auto outcome = RunJobOf(transport, {{kStepHandshake, StepArgs::Out(&flag)}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(flag, 0u);
    EXPECT_EQ(outcome.progress, 0);
    const auto requests = Requests(device);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_TRUE(StartsWith(requests[0], "RE_MCU"));
    EXPECT_EQ(Be32(requests[0], 6), 0u);  // "RE_MCU" carries no payload
}

TEST_F(ProtocolScripted, CommandSendsItsWordsBigEndianWithTheirChecksum)
{
    ScriptedDevice device(SocketPath(), AcceptEverything);
    CBootProtocol transport(device.Path(), TestTiming());
    EXPECT_TRUE(RunJobOf(transport, {{kStepCommand, StepArgs::Command(0x1234, 0x00FF, 0xA0B0)}}).success);
    const auto requests = Requests(device);
    ASSERT_EQ(requests.size(), 5u);
    EXPECT_TRUE(StartsWith(requests[0], "SE_CMD"));
    EXPECT_EQ(Be32(requests[0], 6), 0u);
    EXPECT_EQ(Be32(requests[0], 10), 6u);
    EXPECT_TRUE(StartsWith(requests[1], "STA"));
    const std::uint8_t words[6] = {0x12, 0x34, 0x00, 0xFF, 0xA0, 0xB0};
    EXPECT_EQ(std::memcmp(requests[2].data(), words, 6), 0);
    EXPECT_TRUE(std::all_of(requests[2].begin() + 6, requests[2].end(), [](std::uint8_t b) { return b == 0; }));
    EXPECT_TRUE(StartsWith(requests[3], "CHE"));
    EXPECT_EQ(Be32(requests[3], 3), 0x12u + 0x34u + 0xFFu + 0xA0u + 0xB0u);
    EXPECT_TRUE(StartsWith(requests[4], "END"));
}

TEST_F(ProtocolScripted, WriteSendsSkipCountsBeforeEachDataBlockAndAfterATrailingRun)
{
    ScriptedDevice device(SocketPath(), AcceptEverything);
    CBootProtocol transport(device.Path(), TestTiming());
    // Blocks: erased, erased, data, erased, erased.
    std::vector<std::uint8_t> data(5 * 256, 0xFF);
    data[2 * 256] = 0x42;
    const auto outcome = RunJobOf(transport, {{kStepFlashWrite, StepArgs::Write(0x20000, 5 * 256, data.data(), 0)}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(outcome.progress, 100);
    const auto requests = Requests(device);
    ASSERT_EQ(requests.size(), 2u + 1u + 4u + 1u + 1u + 1u);
    EXPECT_TRUE(StartsWith(requests[0], "WR_FLA"));
    EXPECT_EQ(Be32(requests[0], 6), 0x20000u);
    EXPECT_EQ(Be32(requests[0], 10), 5u * 256u);
    EXPECT_EQ(Be32(requests[2], 0), 2u);  // two erased blocks before the data block
    EXPECT_EQ(requests[3][0], 0x42);
    EXPECT_TRUE(StartsWith(requests[7], "CHE"));
    EXPECT_EQ(Be32(requests[7], 3), (0x42u + 255u * 255u) % 65535u);
    EXPECT_EQ(Be32(requests[8], 0), 2u);  // the trailing run of two
    EXPECT_TRUE(StartsWith(requests[9], "CON"));
}

TEST_F(ProtocolScripted, WriteFailsWhenTheDeviceAnswersAnotherBlockChecksum)
{
    ScriptedDevice device(SocketPath(), [](const Report& in) -> std::vector<Report> {
        if (StartsWith(in, "READY")) {
            return {Reply(4, "REA")};
        }
        if (StartsWith(in, "CHE")) {
            return {ReplyWithValue(3, "CHE", Be32(in, 3) + 1)};
        }
        return {Reply(2, "ACK")};
    });
    CBootProtocol transport(device.Path(), TestTiming());
    std::vector<std::uint8_t> data(256, 0x01);
    EXPECT_FALSE(RunJobOf(transport, {{kStepMcuWrite, StepArgs::Write(0, 256, data.data(), 1)}}).success);
    EXPECT_TRUE(StartsWith(Requests(device).back(), "CHE"));  // nothing after the mismatch
}

TEST_F(ProtocolScripted, ResetSendsStartAndDoesNotWaitForAReply)
{
    ScriptedDevice device(SocketPath(), [](const Report& in) -> std::vector<Report> {
        if (StartsWith(in, "READY")) {
            return {Reply(4, "REA")};
        }
        if (StartsWith(in, "STA")) {
            return {};
        }
        return {Reply(2, "ACK")};
    });
    CBootProtocol transport(device.Path(), TestTiming());
    const auto outcome = RunJobOf(transport, {{kStepReset, StepArgs::None()}});
    EXPECT_TRUE(outcome.success);
    EXPECT_EQ(outcome.progress, 100);
    const auto requests = WaitForRequests(device, 2);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(StartsWith(requests[0], "RE_MCU"));
    EXPECT_TRUE(StartsWith(requests[1], "STA"));
}

}  // namespace
