// The amplifier object over the real device library against one `virtual-amp` process:
// identity, meters, hardware status, mute and polarity, and a flushed block landing in the
// virtual amplifier's channel bank.
#include <gtest/gtest.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "QuarryVendorId.h"
#include "device_manager/amplifier/CobaltAmplifier.h"
#include "device_manager/library/binding/QuarryDriverLibrary.h"
#include "platform/messages/RecordingWindow.h"
#include "tests/device_manager_sessions/VirtualAmpProcess.h"

namespace CobaltDeviceManager {
namespace {

using namespace std::chrono_literals;

constexpr auto kHangGuard = 30s;
constexpr char kSerial[] = "AMPE2E";

template <class Condition>
bool WaitUntil(Condition condition, std::chrono::milliseconds timeout = kHangGuard)
{
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end) {
            return false;
        }
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

std::string Hex(const std::vector<std::uint8_t>& bytes)
{
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 15];
    }
    return text;
}

class AmplifierEndToEnd : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_folder = new e2e_test::TempFolder();
        ::setenv("QUARRY_VIRTUAL_HID_DIR", s_folder->Path().c_str(), 1);
        s_amp = new e2e_test::VirtualAmpProcess(
            s_folder->Path(), {"--device", std::string("a210:") + kSerial, "--model-code", "4", "--version", "V5.21"});
    }
    static void TearDownTestSuite()
    {
        delete s_amp;
        delete s_folder;
    }

    void SetUp() override
    {
        ASSERT_TRUE(s_amp->Running());
        ASSERT_TRUE(s_amp->WaitPresent(kSerial, true, kHangGuard));
        Control("fault " + std::string(kSerial) + " clear");
        library = QuarryDriverLibrary();
        ASSERT_EQ(library->RegisterDevice("Cobalt", QUARRY_MAKER_VENDOR_ID, QUARRY_PRODUCT_ID_A210), 1);
        ASSERT_EQ(library->ScanDevices(), 1);
        bool found = false;
        QdmScanRecord record{};
        while (library->GetScanedDevice(&record) == 1) {
            found = found || std::strncmp(record.serial, kSerial, sizeof(record.serial)) == 0;
        }
        ASSERT_TRUE(found);
        ASSERT_TRUE(CreateCobaltAmplifier(u"AMPE2E", library, AmplifierTimings{}, SessionFactory{}, &amplifier));
        ASSERT_TRUE(amplifier->Open());
    }

    void TearDown() override
    {
        if (amplifier != nullptr) {
            AsHandle(amplifier)->Release();
        }
    }

    std::string Control(const std::string& line)
    {
        return s_amp->Control(line).value_or("ERR no answer");
    }

    static e2e_test::TempFolder* s_folder;
    static e2e_test::VirtualAmpProcess* s_amp;
    std::shared_ptr<IDeviceLibrary> library;
    CobaltAmplifier* amplifier = nullptr;
};

e2e_test::TempFolder* AmplifierEndToEnd::s_folder = nullptr;
e2e_test::VirtualAmpProcess* AmplifierEndToEnd::s_amp = nullptr;

TEST_F(AmplifierEndToEnd, ModelAndVersionAreRead)
{
    EXPECT_EQ(amplifier->GetModel(), 3);
    EXPECT_EQ(amplifier->GetFirmwareVersion(), u"v5.21");
}

TEST_F(AmplifierEndToEnd, MetersFollowTheAmplifier)
{
    ASSERT_EQ(Control("meters AMPE2E 11 12 13 14 21 22 23 24").rfind("OK", 0), 0u);
    ASSERT_EQ(Control("states AMPE2E 1 2 3 4").rfind("OK", 0), 0u);
    amplifier->EnableMeterPolling(true);
    std::uint32_t inputs[4] = {};
    ASSERT_TRUE(WaitUntil([&] { return amplifier->GetMeterLevels(false, inputs) == 4 && inputs[0] == 11; }));
    EXPECT_EQ(inputs[3], 14u);
    std::uint32_t outputs[4] = {};
    ASSERT_TRUE(WaitUntil([&] { return amplifier->GetMeterLevels(true, outputs) == 4; }));
    EXPECT_EQ(outputs[0], 21u);
    EXPECT_EQ(outputs[3], 24u);
    std::uint32_t status[2] = {};
    ASSERT_TRUE(WaitUntil([&] { return amplifier->GetProtectionStatus(status) == 4; }));
    std::uint16_t states[4];
    std::memcpy(states, status, sizeof(states));
    EXPECT_EQ(states[0], 1);
    EXPECT_EQ(states[3], 4);

    ASSERT_EQ(Control("meters AMPE2E 31 32 33 34 41 42 43 44").rfind("OK", 0), 0u);
    ASSERT_TRUE(WaitUntil([&] { return amplifier->GetMeterLevels(false, inputs) == 4 && inputs[0] == 31; }));
    amplifier->EnableMeterPolling(false);
}

void CountCall(void* context)
{
    ++*static_cast<std::atomic<int>*>(context);
}

TEST_F(AmplifierEndToEnd, HardwareByteChangeReachesTheStatusCallback)
{
    std::atomic<int> calls{0};
    amplifier->SetHwStatusCallback(CountCall, &calls);
    amplifier->EnableMeterPolling(true);
    ASSERT_TRUE(WaitUntil([&] { return calls.load() == 1; }));
    std::uint32_t word = 0;
    ASSERT_TRUE(amplifier->GetHardwareStatus(&word));
    EXPECT_EQ(word & 0xFF, 0u);
    ASSERT_EQ(Control("hwinfo AMPE2E 2a0000000101010101010101000002").rfind("OK", 0), 0u);
    ASSERT_TRUE(WaitUntil([&] { return calls.load() == 2; }));
    ASSERT_TRUE(amplifier->GetHardwareStatus(&word));
    EXPECT_EQ(word & 0xFF, 0x2Au);
    // Byte 14 of the flash block is the record's byte 12, which counts from 5.21 on model 3.
    EXPECT_NE(word & (1u << 16), 0u);
    amplifier->SetHwStatusCallback(nullptr, nullptr);
    amplifier->EnableMeterPolling(false);
    Control("hwinfo AMPE2E 000000000101000101010101000000");
}

TEST_F(AmplifierEndToEnd, MuteAndPolarityToggleAndReadBack)
{
    amplifier->SetPresent(true);
    ASSERT_TRUE(amplifier->SetMute(true));
    EXPECT_TRUE(amplifier->IsMuted());
    EXPECT_EQ(Control("muted AMPE2E"), "OK 1");
    ASSERT_TRUE(amplifier->SetMutePolarity(false));
    EXPECT_EQ(Control("read-flash AMPE2E 0x3C800 2"), "OK 4354");

    // A fresh object reads both back from the amplifier when it becomes present.
    AsHandle(amplifier)->Release();
    amplifier = nullptr;
    ASSERT_TRUE(CreateCobaltAmplifier(u"AMPE2E", library, AmplifierTimings{}, SessionFactory{}, &amplifier));
    ASSERT_TRUE(amplifier->Open());
    amplifier->SetPresent(true);
    EXPECT_TRUE(amplifier->IsMuted());
    EXPECT_FALSE(amplifier->GetMutePolarity());

    ASSERT_TRUE(amplifier->SetMute(false));
    ASSERT_TRUE(amplifier->SetMutePolarity(true));
    EXPECT_EQ(Control("muted AMPE2E"), "OK 0");
    EXPECT_EQ(Control("read-flash AMPE2E 0x3C800 2"), "OK 4f46");
}

TEST_F(AmplifierEndToEnd, FlushedBlockLandsInTheChannelBank)
{
    platform::RecordingWindow window;
    const platform::MessageId message = platform::RegisterMessage("VeskQuarry_NotifyWritingParam");
    amplifier->SetNotifyWindow(window.Id(), message);
    std::vector<std::uint8_t> coefficients(360, 0);
    std::vector<std::uint8_t> parameters(256);
    for (std::size_t i = 0; i < parameters.size(); ++i) {
        parameters[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    // Speaker EQ of channel 1: item 0, whose raw bytes sit 0x200 into the channel's bank.
    ASSERT_TRUE(amplifier->SetBlockParam(5, 1, coefficients.data(), 360, parameters.data(), 256));
    amplifier->FlushBlockParams();
    ASSERT_TRUE(window.WaitForCount(message, 3, kHangGuard));
    const auto posts = window.Messages(message);
    EXPECT_EQ(posts[1].wParam, 1u);
    EXPECT_EQ(posts[1].lParam, 1);
    EXPECT_EQ(Control("read-flash AMPE2E 0x69200 256"), "OK " + Hex(parameters));
}

}  // namespace
}  // namespace CobaltDeviceManager
