// Model 0xA210 against the virtual amplifier: information reads, raw reads and their bounds,
// uploads, commands, one job at a time, and the whole firmware upgrade.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <random>
#include <vector>

#include "device_library/src/models/CDeviceA210.h"
#include "device_library/src/models/FirmwareImage.h"
#include "tests/device_models/VirtualAmpFixture.h"
#include "tools/virtual_amp/lib/TestFirmware.h"

namespace QuarryDriver::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;

class DeviceA210Test : public VirtualAmpTest {
protected:
    void SetUp() override {
        StartAmp(0xA210);
        device_ = std::make_unique<CDeviceA210>(SocketPath());
    }
    void TearDown() override {
        device_.reset();
        VirtualAmpTest::TearDown();
    }
    Bytes Flash(std::uint32_t address, std::uint32_t length) { return Amp().ReadFlash(address, length); }

    std::unique_ptr<CDeviceA210> device_;
};

std::array<std::uint8_t, 9000> RandomImage(std::uint32_t seed, std::uint32_t maskLow, std::uint32_t maskHigh) {
    std::mt19937 random(seed);
    std::array<std::uint8_t, 9000> image{};
    for (auto& b : image) {
        b = static_cast<std::uint8_t>(random());
    }
    // Coefficient areas hold doubles; keep them finite and in range so the image is realistic.
    std::uniform_real_distribution<double> value(-2.0, 2.0);
    const auto putDoubles = [&](std::size_t from, std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            const double v = value(random);
            std::memcpy(image.data() + from + i * 8, &v, 8);
        }
    };
    putDoubles(16, 4 * 45);
    putDoubles(2480, 16);
    putDoubles(3120, 4 * 20);
    putDoubles(4784, 4 * 45);
    putDoubles(7248, 24);
    std::memcpy(image.data(), &maskLow, 4);
    std::memcpy(image.data() + 4, &maskHigh, 4);
    return image;
}

TEST_F(DeviceA210Test, BasicInformationComesFromItsFlashAndMcuAddresses) {
    ASSERT_TRUE(Finish(*device_, device_->ReadBasicInfo()));
    BasicInfo info;
    std::memset(&info, 0xEE, sizeof info);
    device_->CopyBasicInfo(&info);
    EXPECT_EQ(info.modelCode, Flash(0x56000, 1)[0]);
    EXPECT_EQ(info.runningBootLoader, 0u);  // the application answers "APP"
    EXPECT_EQ(info.flagWord, Flash(0x50000, 1)[0] & 1u);
    EXPECT_EQ(Bytes(info.text52000, info.text52000 + 16), Flash(0x52000, 16));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.text52000)), "V5.20");
    EXPECT_EQ(Bytes(info.text54000, info.text54000 + 16), Flash(0x54000, 16));
    EXPECT_EQ(Bytes(info.text53000, info.text53000 + 16), Flash(0x53000, 16));
    EXPECT_EQ(Bytes(info.text55000, info.text55000 + 16), Flash(0x55000, 16));
    EXPECT_EQ(Bytes(info.mcuInfo, info.mcuInfo + 8), Amp().ReadMcu(0xC0, 8));
    EXPECT_EQ(info.reserved1[0] | info.reserved1[1] | info.reserved1[2], 0);
    EXPECT_EQ(info.terminator1 | info.terminator2 | info.terminator3 | info.terminator4, 0);
    EXPECT_EQ(info.reserved2[0] | info.reserved2[1] | info.reserved2[2] | info.reserved2[3], 0);
}

TEST_F(DeviceA210Test, HardwareInformationLeavesOutBytes12And13) {
    const std::array<std::uint8_t, 15> bytes = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15};
    Amp().SetHwInfo(bytes);
    ASSERT_TRUE(Finish(*device_, device_->ReadHwInfo()));
    HwInfoRecord record{};
    device_->CopyHwInfo(&record);
    EXPECT_EQ(Bytes(record.bytes, record.bytes + 13), (Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15}));
}

TEST_F(DeviceA210Test, RandomImageRoundTripsThroughUploadAndChannelBankRead) {
    const auto image = RandomImage(7, 0x0FFFFFF0u, 0xFu);
    ASSERT_TRUE(Finish(*device_, device_->UpgradeDSPParam(image.data())));
    ASSERT_TRUE(Finish(*device_, device_->ReadDspParamInfoFromMCU()));
    DspParamInfo info;
    std::memset(&info, 0xA5, sizeof info);
    device_->CopyDspParamInfoFromMCU(&info);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&info);
    EXPECT_EQ(Bytes(bytes, bytes + 4), (Bytes{0xA5, 0xA5, 0xA5, 0xA5}));  // the caller's head stays
    // The parameter-data areas of the image in record order: types 2, 11, 4, 5, 12, 7, 8.
    const std::size_t areas[7][3] = {{4, 1456, 256}, {1028, 2608, 128}, {1540, 3760, 256}, {2564, 6224, 256},
                                     {3588, 7440, 128}, {4100, 7968, 128}, {4612, 8484, 128}};
    for (const auto& area : areas) {
        EXPECT_TRUE(std::equal(bytes + area[0], bytes + area[0] + 4 * area[2], image.begin() + area[1]))
            << "record offset " << area[0];
    }
}

TEST_F(DeviceA210Test, DefaultCopyReadMatchesTheFactoryDefaults) {
    ASSERT_TRUE(Finish(*device_, device_->ReadDspParamInfo()));
    DspParamInfo info{};
    device_->CopyDspParamInfo(&info);
    for (unsigned c = 0; c < 4; ++c) {
        EXPECT_EQ(Bytes(info.inputEq[c], info.inputEq[c] + 256), Flash(0x61600 + c * 0x2000, 256));
        EXPECT_EQ(Bytes(info.matrixMixer[c], info.matrixMixer[c] + 128), Flash(0x61980 + c * 0x2000, 128));
        EXPECT_EQ(Bytes(info.crossover[c], info.crossover[c] + 256), Flash(0x61400 + c * 0x2000, 256));
        EXPECT_EQ(Bytes(info.speakerEq[c], info.speakerEq[c] + 256), Flash(0x61200 + c * 0x2000, 256));
        EXPECT_EQ(Bytes(info.limiter[c], info.limiter[c] + 128), Flash(0x61A80 + c * 0x2000, 128));
        EXPECT_EQ(Bytes(info.delay[c], info.delay[c] + 128), Flash(0x61780 + c * 0x2000, 128));
        EXPECT_EQ(Bytes(info.polarity[c], info.polarity[c] + 128), Flash(0x61880 + c * 0x2000, 128));
    }
}

TEST_F(DeviceA210Test, OnlyBit17UploadsChannel1SpeakerEqThenTheFourFlagBlocks) {
    const auto image = RandomImage(3, 1u << 17, 0);
    log_.Clear();
    ASSERT_TRUE(Finish(*device_, device_->UpgradeDSPParam(image.data())));
    std::vector<std::string> seen;
    for (const auto& c : log_.Commands()) {
        seen.push_back(c.name == "WR_FLA" ? c.name + " " + std::to_string(c.address) + " " + std::to_string(c.length)
                                          : c.name);
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"WR_FLA 139264 768", "CON", "WR_FLA 135168 256", "CON",
                                              "WR_FLA 143360 256", "CON", "WR_FLA 151552 256", "CON",
                                              "WR_FLA 159744 256", "END"}));
    for (unsigned c = 0; c < 4; ++c) {
        const Bytes flags = Flash(0x21000 + c * 0x2000, 256);
        EXPECT_EQ(flags[0], c == 1 ? 1 : 0xFF) << c;
        EXPECT_TRUE(std::all_of(flags.begin() + 1, flags.end(), [](std::uint8_t b) { return b == 0xFF; }));
    }
    // The amplifier took the staged item into channel 1's bank: raw part at 0x200.
    EXPECT_TRUE(std::equal(image.begin() + 6224 + 256, image.begin() + 6224 + 512, Flash(0x69200, 256).begin()));
}

TEST_F(DeviceA210Test, WriteByIdSendsOneItemToItsStagingIdEndedWithCon) {
    const auto image = RandomImage(5, 1u << 17, 0);
    log_.Clear();
    ASSERT_TRUE(Finish(*device_, device_->WriteMCUbyID(image.data())));
    std::vector<std::string> seen;
    for (const auto& c : log_.Commands()) {
        seen.push_back(c.name + " " + std::to_string(c.address) + " " + std::to_string(c.length));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"WMbyID 139264 768", "CON 0 0"}));
    EXPECT_TRUE(std::equal(image.begin() + 6224 + 256, image.begin() + 6224 + 512, Flash(0x69200, 256).begin()));
}

TEST_F(DeviceA210Test, GlobalSettingUploadIsReadBackFromTheMcuCopy) {
    std::array<std::uint8_t, 2050> input{};
    std::mt19937 random(11);
    for (auto& b : input) {
        b = static_cast<std::uint8_t>(random());
    }
    const Bytes secondCopy = Flash(0x3D800, 2048);
    log_.Clear();
    ASSERT_TRUE(Finish(*device_, device_->UpgradeGlobalSetting(input.data())));
    const auto commands = log_.Commands();
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0].name, "WMbyID");
    EXPECT_EQ(commands[0].address, 0x3C000u);
    EXPECT_EQ(commands[0].length, 4096u);
    EXPECT_EQ(commands[1].name, "END");

    ASSERT_TRUE(Finish(*device_, device_->ReadGlobalSettingInfoFromMCU()));
    GlobalSettingRecord record{};
    device_->CopyGlobalSettingFromMCU(&record);
    EXPECT_TRUE(std::equal(input.begin() + 2, input.end(), record.bytes));
    EXPECT_EQ(Flash(0x3C000, 2), (Bytes{input[0], input[1]}));

    ASSERT_TRUE(Finish(*device_, device_->ReadGlobalSettingInfo()));
    device_->CopyGlobalSetting(&record);
    EXPECT_EQ(Bytes(record.bytes, record.bytes + 2048), secondCopy);
}

TEST_F(DeviceA210Test, RawReadBoundsAcceptTheLastAddressAndRefuseOneBeyond) {
    Bytes buffer(0x200, 0);
    ASSERT_TRUE(Finish(*device_, device_->ReadFlash(0x7FF00, 0x100, buffer.data())));
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 0x100), Flash(0x7FF00, 0x100));
    ASSERT_TRUE(Finish(*device_, device_->ReadMCU(0xFF00, 0x100, buffer.data())));
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 0x100), Amp().ReadMcu(0xFF00, 0x100));

    log_.Clear();
    EXPECT_EQ(device_->ReadFlash(0x7FF00, 0x101, buffer.data()), 0);
    EXPECT_EQ(device_->ReadMCU(0xFF00, 0x101, buffer.data()), 0);
    EXPECT_EQ(device_->ReadFlash(0xFFFFFF00u, 0x200, buffer.data()), 0);  // wraps in 32 bits
    EXPECT_EQ(device_->ReadMCU(0x100, 0xFFFFFFFFu, buffer.data()), 0);
    EXPECT_TRUE(log_.Packets().empty());
    // The refused reads left the last job as it was.
    EXPECT_EQ(device_->IsCompleted(), 1);
    EXPECT_EQ(device_->IsSuccessful(), 1);
}

TEST_F(DeviceA210Test, StoreCommandAndReadyByteById) {
    ASSERT_TRUE(Finish(*device_, device_->SendCommand(1, 0, 0)));
    Amp().WithMemory([](VirtualAmp::AmpMemory& memory) {
        ASSERT_EQ(memory.CommandLog().size(), 1u);
        EXPECT_EQ(memory.CommandLog()[0].w1, 1);
        EXPECT_EQ(memory.StoreCount(), 1u);
    });
    std::uint8_t ready = 0xEE;
    ASSERT_TRUE(Finish(*device_, device_->ReadMCUbyID(2, 1, &ready)));
    EXPECT_LE(ready, 1);
}

TEST_F(DeviceA210Test, OneJobAtATimeAndCancelEndsItUnsuccessful) {
    auto timing = Amp().Timing();
    timing.pace = VirtualAmp::Millis(1);
    Amp().SetTiming(timing);
    Bytes buffer(0x80000);
    ASSERT_EQ(device_->ReadFlash(0, 0x80000, buffer.data()), 1);
    EXPECT_EQ(device_->ReadBasicInfo(), 0);
    EXPECT_EQ(device_->IsCompleted(), 0);
    EXPECT_EQ(device_->Cancel(), 1);
    EXPECT_FALSE(Finish(*device_, 1));
    // Once it has ended the next operation may start.
    timing.pace = VirtualAmp::Millis(0);
    Amp().SetTiming(timing);
    EXPECT_TRUE(Finish(*device_, device_->ReadBasicInfo()));
}

TEST_F(DeviceA210Test, NullInputsAreRefusedWithoutAJob) {
    log_.Clear();
    EXPECT_EQ(device_->UpgradeDSPParam(nullptr), 0);
    EXPECT_EQ(device_->WriteMCUbyID(nullptr), 0);
    EXPECT_EQ(device_->UpgradeGlobalSetting(nullptr), 0);
    EXPECT_EQ(device_->UpgradeFirmware(nullptr), 0);
    EXPECT_EQ(device_->UpgradeFirmware(""), 0);
    EXPECT_EQ(device_->Connect(nullptr), 0);
    EXPECT_TRUE(log_.Packets().empty());
}

TEST_F(DeviceA210Test, HandshakeSetsTheFlag) {
    std::uint32_t flag = 0;
    ASSERT_TRUE(Finish(*device_, device_->Connect(&flag)));
    EXPECT_EQ(flag, 1u);
}

TEST_F(DeviceA210Test, FirmwareFileWithoutVersionTextSendsNothing) {
    VirtualAmp::TestFirmwareOptions options;
    options.eraseVersionBlock = true;
    const std::string path = (Folder() / "Cobalt_V6.1.bin").string();
    ASSERT_TRUE(VirtualAmp::WriteTestFirmware(path, options));
    log_.Clear();
    EXPECT_EQ(device_->UpgradeFirmware(path.c_str()), 0);
    EXPECT_TRUE(log_.Packets().empty());
}

TEST_F(DeviceA210Test, FirmwareUpgradeLeavesExactlyTheFileAndBootsTheNewVersion) {
    VirtualAmp::TestFirmwareOptions options;
    options.version = "V6.1";
    options.seed = 42;
    const std::string path = (Folder() / VirtualAmp::TestFirmwareFileName("V6.1")).string();
    ASSERT_TRUE(VirtualAmp::WriteTestFirmware(path, options));
    const Bytes file = VirtualAmp::BuildTestFirmware(options);
    const auto fileRegion = [&](std::uint32_t offset, std::uint32_t length) {
        Bytes out(length, 0xFF);
        for (std::uint32_t i = 0; i < length && offset + i < file.size(); ++i) {
            out[i] = file[offset + i];
        }
        return out;
    };

    // Into the boot loader, as the editor's update does first.
    std::uint64_t generation = Amp().Generation();
    ASSERT_TRUE(Finish(*device_, device_->Reset()));
    ASSERT_TRUE(WaitBack(*device_, generation));
    ASSERT_EQ(Amp().Mode(), VirtualAmp::AmpMode::BootLoader);

    ASSERT_TRUE(Finish(*device_, device_->UpgradeFirmware(path.c_str())));
    EXPECT_EQ(device_->Progress(), 100);

    EXPECT_EQ(Flash(0, 0x20000), fileRegion(0, 0x20000));
    EXPECT_EQ(Flash(0x28000, 0x14000), fileRegion(0x28000, 0x14000));
    EXPECT_EQ(Flash(0x3C000, 0x1000), fileRegion(0x3C000, 0x1000));
    EXPECT_EQ(Flash(0x3D000, 0x1000), fileRegion(0x3C000, 0x1000));
    EXPECT_EQ(Flash(0x3E000, 256), fileRegion(0x3E000, 256));
    EXPECT_EQ(Flash(0x61000, 0x8000), fileRegion(0x20000, 0x8000));
    for (std::uint32_t block : {0x52000u, 0x53000u, 0x54000u, 0x55000u}) {
        Bytes expected = fileRegion(block, 16);
        expected.resize(256, 0xFF);
        EXPECT_EQ(Flash(block, 256), expected) << std::hex << block;
    }
    const std::uint32_t banks[4] = {0x59000, 0x69000, 0x40000, 0x47000};
    const std::uint32_t offsets[7] = {0, 0x300, 0x500, 0x700, 0x800, 0x900, 0xA00};
    const std::uint32_t sizes[7] = {768, 512, 512, 256, 256, 256, 256};
    for (unsigned c = 0; c < 4; ++c) {
        for (unsigned k = 0; k < 7; ++k) {
            EXPECT_EQ(Flash(banks[c] + k * 0x1000, sizes[k]),
                      fileRegion(0x20000 + offsets[k] + (k == 5 ? c * 0x2000 : 0), sizes[k]))
                << "bank " << c << " item " << k;
        }
    }
    const Bytes program = Amp().ReadMcu(0x3000, 0xD000);
    Bytes expectedProgram = fileRegion(0x80000, 0xD000);
    EXPECT_TRUE(std::equal(program.begin() + 32, program.end(), expectedProgram.begin() + 32));
    EXPECT_TRUE(std::equal(program.begin(), program.begin() + 28, expectedProgram.begin()));
    std::uint32_t sum = 0;
    for (int w = 0; w < 8; ++w) {
        std::uint32_t word = 0;
        std::memcpy(&word, program.data() + 4 * w, 4);
        sum += word;
    }
    EXPECT_EQ(sum, 0u);

    generation = Amp().Generation();
    ASSERT_TRUE(Finish(*device_, device_->Reset()));
    ASSERT_TRUE(WaitBack(*device_, generation));
    ASSERT_TRUE(Finish(*device_, device_->ReadBasicInfo()));
    BasicInfo info{};
    device_->CopyBasicInfo(&info);
    EXPECT_EQ(info.runningBootLoader, 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.text52000)), "V6.1");
}

TEST_F(DeviceA210Test, ShortFileProgramsErasedBytesPastItsEnd) {
    VirtualAmp::TestFirmwareOptions options;
    options.version = "V5.30";
    options.fileSize = 0x60000;  // ends before the MCU program and the default copy's end
    const std::string path = (Folder() / VirtualAmp::TestFirmwareFileName("V5.30")).string();
    ASSERT_TRUE(VirtualAmp::WriteTestFirmware(path, options));
    const std::uint64_t generation = Amp().Generation();
    ASSERT_TRUE(Finish(*device_, device_->Reset()));
    ASSERT_TRUE(WaitBack(*device_, generation));
    ASSERT_TRUE(Finish(*device_, device_->UpgradeFirmware(path.c_str())));

    const Bytes program = Amp().ReadMcu(0x3000, 0xD000);
    EXPECT_TRUE(std::all_of(program.begin(), program.begin() + 28, [](std::uint8_t b) { return b == 0xFF; }));
    EXPECT_EQ(Bytes(program.begin() + 28, program.begin() + 32), (Bytes{7, 0, 0, 0}));  // seven 0xFFFFFFFF words
    EXPECT_TRUE(std::all_of(program.begin() + 32, program.end(), [](std::uint8_t b) { return b == 0xFF; }));
    const Bytes file = VirtualAmp::BuildTestFirmware(options);
    ASSERT_EQ(file.size(), 0x60000u);
    EXPECT_EQ(Flash(0, 0x20000), Bytes(file.begin(), file.begin() + 0x20000));
    EXPECT_EQ(Flash(0x61000, 0x8000), Bytes(file.begin() + 0x20000, file.begin() + 0x28000));
}

}  // namespace
}  // namespace QuarryDriver::testing
