// Model 0xA200 against the virtual amplifier: its smaller set of operations, its basic
// information, and a firmware job that queues the application image twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "device_library/src/models/CDeviceA200.h"
#include "device_library/src/models/FirmwareImage.h"
#include "tests/device_models/EngineProgress.h"
#include "tests/device_models/VirtualAmpFixture.h"
#include "tools/virtual_amp/lib/TestFirmware.h"

namespace QuarryDriver::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

class DeviceA200Test : public VirtualAmpTest {
protected:
    void SetUp() override {
        StartAmp(0xA200);
        auto protocol = std::make_unique<TotalRecordingProtocol>(SocketPath());
        protocol_ = protocol.get();
        device_ = std::make_unique<CDeviceA200>(std::move(protocol));
    }
    void TearDown() override {
        device_.reset();
        VirtualAmpTest::TearDown();
    }

    TotalRecordingProtocol* protocol_ = nullptr;
    std::unique_ptr<CDeviceA200> device_;
};

std::uint32_t DataBlocks(const Bytes& bytes) {
    std::uint32_t count = 0;
    for (std::size_t at = 0; at + 256 <= bytes.size(); at += 256) {
        if (!std::all_of(bytes.begin() + at, bytes.begin() + at + 256, [](std::uint8_t b) { return b == 0xFF; })) {
            ++count;
        }
    }
    return count;
}

TEST_F(DeviceA200Test, RefusesWhatTheModelDoesNotHaveWithoutSendingAnything) {
    std::uint8_t input[9000] = {};
    std::uint8_t buffer[16] = {};
    log_.Clear();
    EXPECT_EQ(device_->UpgradeGlobalSetting(input), 0);
    EXPECT_EQ(device_->UpgradeDSPParam(input), 0);
    EXPECT_EQ(device_->WriteMCUbyID(input), 0);
    EXPECT_EQ(device_->ReadGlobalSettingInfo(), 0);
    EXPECT_EQ(device_->ReadGlobalSettingInfoFromMCU(), 0);
    EXPECT_EQ(device_->ReadDspParamInfo(), 0);
    EXPECT_EQ(device_->ReadDspParamInfoFromMCU(), 0);
    EXPECT_EQ(device_->ReadHwInfo(), 0);
    EXPECT_EQ(device_->ReadMCUbyID(2, 1, buffer), 0);
    EXPECT_EQ(device_->SendCommand(1, 0, 0), 0);
    EXPECT_TRUE(log_.Packets().empty());
    // With no job at all the device counts as idle, so it can still be released.
    EXPECT_EQ(device_->IsCompleted(), 1);
    EXPECT_EQ(device_->IsSuccessful(), 0);
    EXPECT_EQ(device_->Progress(), 0);
}

TEST_F(DeviceA200Test, BasicInformationTakesTheModelCodeFrom0x55000AndHasNoFourthText) {
    ASSERT_TRUE(Finish(*device_, device_->ReadBasicInfo()));
    BasicInfo info;
    std::memset(&info, 0xEE, sizeof info);
    device_->CopyBasicInfo(&info);
    EXPECT_EQ(info.modelCode, Amp().ReadFlash(0x55000, 1)[0]);
    EXPECT_EQ(info.runningBootLoader, 0u);
    EXPECT_EQ(Bytes(info.text52000, info.text52000 + 16), Amp().ReadFlash(0x52000, 16));
    EXPECT_EQ(Bytes(info.text53000, info.text53000 + 16), Amp().ReadFlash(0x53000, 16));
    EXPECT_EQ(Bytes(info.text54000, info.text54000 + 16), Amp().ReadFlash(0x54000, 16));
    EXPECT_TRUE(std::all_of(info.text55000, info.text55000 + 17, [](std::uint8_t b) { return b == 0; }));
    EXPECT_EQ(Bytes(info.mcuInfo, info.mcuInfo + 8), Amp().ReadMcu(0xC0, 8));
}

TEST_F(DeviceA200Test, FirmwareJobCountsTheApplicationImageTwice) {
    VirtualAmp::TestFirmwareOptions options;
    options.version = "V2.3";
    options.seed = 9;
    const std::string path = (Folder() / VirtualAmp::TestFirmwareFileName("V2.3", "Corvantine")).string();
    ASSERT_TRUE(VirtualAmp::WriteTestFirmware(path, options));
    FirmwareImage image;
    ASSERT_EQ(image.Load(path), FirmwareImage::LoadResult::Loaded);
    const std::uint32_t application = DataBlocks(image.Region(0, 0x20000));
    const std::uint32_t program = DataBlocks(image.McuProgram());
    ASSERT_GT(application, 0u);
    // Eight marker and restore blocks, each with data.
    const std::uint32_t expected = (2 * application + program + 6) * 256;

    std::uint64_t generation = Amp().Generation();
    ASSERT_TRUE(Finish(*device_, device_->Reset()));
    ASSERT_TRUE(WaitBack(*device_, generation));
    ASSERT_TRUE(Finish(*device_, device_->UpgradeFirmware(path.c_str())));
    EXPECT_EQ(protocol_->LastTotal(), expected);
    EXPECT_EQ(device_->Progress(), 100);
    EXPECT_EQ(Amp().ReadFlash(0, 0x20000), image.Region(0, 0x20000));
    EXPECT_EQ(Amp().ReadMcu(0x3000, 0xD000), image.McuProgram());

    generation = Amp().Generation();
    ASSERT_TRUE(Finish(*device_, device_->Reset()));
    ASSERT_TRUE(WaitBack(*device_, generation));
    ASSERT_TRUE(Finish(*device_, device_->ReadBasicInfo()));
    BasicInfo info{};
    device_->CopyBasicInfo(&info);
    EXPECT_EQ(info.runningBootLoader, 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.text52000)), "V2.3");
}

TEST_F(DeviceA200Test, RawReadBounds) {
    Bytes buffer(0x101);
    ASSERT_TRUE(Finish(*device_, device_->ReadFlash(0x7FF00, 0x100, buffer.data())));
    EXPECT_EQ(device_->ReadFlash(0x7FF00, 0x101, buffer.data()), 0);
    ASSERT_TRUE(Finish(*device_, device_->ReadMCU(0xFF00, 0x100, buffer.data())));
    EXPECT_EQ(device_->ReadMCU(0xFF00, 0x101, buffer.data()), 0);
}

}  // namespace
}  // namespace QuarryDriver::testing
