// Every operation of the exports against a virtual amplifier: information reads, memory reads,
// writes by id, DSP and global-setting uploads with their read-backs, the store command, and the
// firmware upgrade between a reset into the boot loader and one back into the application.
#include <cmath>
#include <cstring>
#include <filesystem>

#include "tests/device_library_exports/DriverFixture.h"
#include "tools/virtual_amp/lib/TestFirmware.h"

namespace exports_test {
namespace {

constexpr std::uint32_t kBank[4] = {0x59000, 0x69000, 0x40000, 0x47000};

// Where the parameter image keeps each item's raw bytes, in the order of the DspParamInfo areas.
struct RawArea {
    std::size_t imageOffset;  // channel 0
    std::size_t size;         // per channel
    std::size_t recordOffset;
};
constexpr RawArea kRawAreas[7] = {
    {1456, 256, 4},     // input EQ
    {2608, 128, 1028},  // matrix mixer
    {3760, 256, 1540},  // crossover
    {6224, 256, 2564},  // speaker EQ
    {7440, 128, 3588},  // limiter
    {7968, 128, 4100},  // delay
    {8484, 128, 4612},  // output polarity
};

void PutDouble(QdoParamImage& image, std::size_t offset, double value)
{
    std::memcpy(image.bytes + offset, &value, sizeof value);
}

// Every item of every channel selected; raw bytes in a pattern that differs per area and channel.
QdoParamImage FullImage()
{
    QdoParamImage image{};
    const std::uint32_t maskA = 0x0FFFFFF0u;
    const std::uint32_t maskB = 0x0000000Fu;
    std::memcpy(image.bytes, &maskA, 4);
    std::memcpy(image.bytes + 4, &maskB, 4);
    for (std::size_t a = 0; a < 7; ++a) {
        for (std::size_t c = 0; c < 4; ++c) {
            for (std::size_t i = 0; i < kRawAreas[a].size; ++i) {
                image.bytes[kRawAreas[a].imageOffset + c * kRawAreas[a].size + i] =
                    static_cast<std::uint8_t>(a * 31 + c * 7 + i);
            }
        }
    }
    return image;
}

// What one test reads back: the raw bytes of one area and channel from a DspParamInfo.
std::vector<std::uint8_t> RecordArea(const DspParamInfo& info, std::size_t area, std::size_t channel)
{
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(&info) + kRawAreas[area].recordOffset +
                        channel * kRawAreas[area].size;
    return std::vector<std::uint8_t>(bytes, bytes + kRawAreas[area].size);
}

std::vector<std::uint8_t> ImageArea(const QdoParamImage& image, std::size_t area, std::size_t channel)
{
    const auto* bytes = image.bytes + kRawAreas[area].imageOffset + channel * kRawAreas[area].size;
    return std::vector<std::uint8_t>(bytes, bytes + kRawAreas[area].size);
}

void ExpectDspMatchesImage(const DspParamInfo& info, const QdoParamImage& image)
{
    for (std::size_t a = 0; a < 7; ++a) {
        for (std::size_t c = 0; c < 4; ++c) {
            EXPECT_EQ(RecordArea(info, a, c), ImageArea(image, a, c)) << "area " << a << " channel " << c;
        }
    }
}

QdoGlobalSettingInput SettingInput()
{
    QdoGlobalSettingInput input{};
    input.header[0] = 0x5A;
    input.header[1] = 0xA5;
    for (std::size_t i = 0; i < sizeof input.record; ++i) {
        input.record[i] = static_cast<std::uint8_t>(i * 13 + 1);
    }
    input.record[1] = 'F';  // not muted, so the meters still read
    return input;
}

std::uint32_t BigEndianWord(const std::uint8_t* bytes)
{
    return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) | (std::uint32_t{bytes[2]} << 8) |
           std::uint32_t{bytes[3]};
}

using ExportsInformationTest = DriverTest;

TEST_F(ExportsInformationTest, BasicInfoOfTheA210)
{
    StartA210("INFO", {"--version", "V5.20", "--model-code", "4"});
    ASSERT_NE(Connect(kA210, "INFO"), nullptr);
    BasicInfo info;
    std::memset(&info, 0xCC, sizeof info);
    ASSERT_TRUE(Finish(QDO_ReadBasicInfo(handle_, &info)));
    EXPECT_EQ(info.modelCode, 4);
    EXPECT_EQ(info.runningBootLoader, 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.text52000), 5), "V5.20");
    EXPECT_EQ(info.terminator1, 0);
    EXPECT_EQ(info.terminator4, 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.mcuInfo), 8), "VAMP0100");
    EXPECT_EQ(info.reserved1[0], 0);
    EXPECT_EQ(info.reserved2[3], 0);
    EXPECT_EQ(QDO_GetOperationProgress(handle_), 100);
}

TEST_F(ExportsInformationTest, BasicInfoOfTheA200LeavesTheFourthTextZero)
{
    StartAmp({"--device", "a200:SMALL"}, {SocketName(kA200, "SMALL")});
    ASSERT_NE(Connect(kA200, "SMALL"), nullptr);
    BasicInfo info;
    std::memset(&info, 0xCC, sizeof info);
    ASSERT_TRUE(Finish(QDO_ReadBasicInfo(handle_, &info)));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.text52000), 5), "V5.20");
    for (std::size_t i = 0; i < sizeof info.text55000; ++i) {
        EXPECT_EQ(info.text55000[i], 0) << "byte " << 63 + i;
    }
}

TEST_F(ExportsInformationTest, A200RefusesTheA210OnlyOperations)
{
    StartAmp({"--device", "a200:SMALL"}, {SocketName(kA200, "SMALL")});
    ASSERT_NE(Connect(kA200, "SMALL"), nullptr);
    HwInfoRecord hw{};
    EXPECT_FALSE(Finish(QDO_ReadHwInfo(handle_, &hw)));
    GlobalSettingRecord setting{};
    EXPECT_FALSE(Finish(QDO_ReadGlobalSettingInfoFromMCU(handle_, &setting)));
    EXPECT_FALSE(Finish(QDO_SendCommand(handle_, 1, 0, 0)));
    std::uint8_t meters[44];
    EXPECT_FALSE(Finish(QDO_ReadMCUbyID(handle_, 1, sizeof meters, meters)));
}

TEST_F(ExportsInformationTest, HardwareInfoLeavesOutBytesTwelveAndThirteen)
{
    AmpProcess& amp = StartA210("HW");
    ASSERT_TRUE(amp.ControlOk("hwinfo HW 0102030405060708090a0b0c0d0e0f"));
    ASSERT_NE(Connect(kA210, "HW"), nullptr);
    HwInfoRecord record;
    std::memset(&record, 0xCC, sizeof record);
    ASSERT_TRUE(Finish(QDO_ReadHwInfo(handle_, &record)));
    const std::uint8_t expected[13] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15};
    EXPECT_EQ(std::memcmp(record.bytes, expected, sizeof expected), 0);
}

TEST_F(ExportsInformationTest, MeterRecordIsReadByMemoryIdOne)
{
    AmpProcess& amp = StartA210("METER");
    ASSERT_TRUE(amp.ControlOk("meters METER 11 12 13 14 21 22 23 24"));
    ASSERT_NE(Connect(kA210, "METER"), nullptr);
    std::uint8_t meters[44] = {};
    ASSERT_TRUE(Finish(QDO_ReadMCUbyID(handle_, 1, sizeof meters, meters)));
    const std::uint32_t expected[8] = {11, 12, 13, 14, 21, 22, 23, 24};
    for (std::size_t w = 0; w < 8; ++w) {
        EXPECT_EQ(BigEndianWord(meters + 4 * w), expected[w]) << "word " << w;
    }
}

TEST_F(ExportsInformationTest, RawReadsHonourTheMemoryBounds)
{
    AmpProcess& amp = StartA210("RAW");
    ASSERT_NE(Connect(kA210, "RAW"), nullptr);
    std::vector<std::uint8_t> buffer(0x101, 0);
    ASSERT_TRUE(Finish(QDO_ReadFlash(handle_, 0x7FF00, 0x100, buffer.data())));
    EXPECT_EQ(std::vector<std::uint8_t>(buffer.begin(), buffer.begin() + 0x100), amp.ReadFlash("RAW", 0x7FF00, 0x100));
    EXPECT_FALSE(Finish(QDO_ReadFlash(handle_, 0x7FF00, 0x101, buffer.data())));
    std::uint8_t mcu[8] = {};
    ASSERT_TRUE(Finish(QDO_ReadMCU(handle_, 0xC0, sizeof mcu, mcu)));
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(mcu), 8), "VAMP0100");
    EXPECT_FALSE(Finish(QDO_ReadMCU(handle_, 0xFFFF, 2, mcu)));
    // A null buffer is not checked by the start call; the operation fails.
    EXPECT_FALSE(Finish(QDO_ReadMCU(handle_, 0xC0, 8, nullptr)));
}

using ExportsUploadTest = DriverTest;

TEST_F(ExportsUploadTest, WriteByIdLandsInTheLiveBank)
{
    AmpProcess& amp = StartA210("BYID");
    ASSERT_NE(Connect(kA210, "BYID"), nullptr);
    QdoParamImage image = FullImage();
    const std::uint32_t maskA = 1u << 17;  // item 0 (speaker EQ) of channel 1
    const std::uint32_t maskB = 0;
    std::memcpy(image.bytes, &maskA, 4);
    std::memcpy(image.bytes + 4, &maskB, 4);
    // Section 0 of channel 1 is (0, 0, 1, 0, 0); its encoding begins with 1.0 in 8.24.
    const std::size_t sections = 4784 + 360;
    PutDouble(image, sections + 16, 1.0);
    ASSERT_TRUE(Finish(QDO_WriteMCUbyID(handle_, &image)));

    const std::vector<std::uint8_t> bank = amp.ReadFlash("BYID", kBank[1], 768);
    ASSERT_EQ(bank.size(), 768u);
    const std::vector<std::uint8_t> firstWord = {0x01, 0x00, 0x00, 0x00};
    EXPECT_EQ(std::vector<std::uint8_t>(bank.begin(), bank.begin() + 4), firstWord);
    EXPECT_EQ(std::vector<std::uint8_t>(bank.begin() + 4, bank.begin() + 180), std::vector<std::uint8_t>(176, 0));
    EXPECT_EQ(std::vector<std::uint8_t>(bank.begin() + 180, bank.begin() + 512), std::vector<std::uint8_t>(332, 0xFF));
    EXPECT_EQ(std::vector<std::uint8_t>(bank.begin() + 512, bank.end()), ImageArea(image, 3, 1));
}

TEST_F(ExportsUploadTest, DspParametersReadBackFromTheChannelBanks)
{
    StartA210("DSP");
    ASSERT_NE(Connect(kA210, "DSP"), nullptr);
    const QdoParamImage image = FullImage();
    ASSERT_TRUE(Finish(QDO_UpgradeDSPParam(handle_, &image)));
    EXPECT_EQ(QDO_GetOperationProgress(handle_), 100);

    DspParamInfo info;
    std::memset(&info, 0xA5, sizeof info);
    ASSERT_TRUE(Finish(QDO_ReadDspParamInfoFromMCU(handle_, &info)));
    ExpectDspMatchesImage(info, image);
    EXPECT_EQ(info.inputGain[0], 0xA5) << "bytes 0-3 stay the caller's";
    EXPECT_EQ(info.inputGain[3], 0xA5);
}

TEST_F(ExportsUploadTest, GlobalSettingsReadBackFromTheLiveCopy)
{
    StartA210("GLOBAL");
    ASSERT_NE(Connect(kA210, "GLOBAL"), nullptr);
    const QdoGlobalSettingInput input = SettingInput();
    ASSERT_TRUE(Finish(QDO_UpgradeGlobalSetting(handle_, &input)));
    GlobalSettingRecord record{};
    ASSERT_TRUE(Finish(QDO_ReadGlobalSettingInfoFromMCU(handle_, &record)));
    EXPECT_EQ(std::memcmp(record.bytes, input.record, sizeof record.bytes), 0);
}

TEST_F(ExportsUploadTest, StoreCommandCopiesTheLiveDataToTheStoredCopies)
{
    AmpProcess& amp = StartA210("STORE");
    ASSERT_NE(Connect(kA210, "STORE"), nullptr);
    const QdoParamImage image = FullImage();
    const QdoGlobalSettingInput input = SettingInput();
    ASSERT_TRUE(Finish(QDO_UpgradeDSPParam(handle_, &image)));
    ASSERT_TRUE(Finish(QDO_UpgradeGlobalSetting(handle_, &input)));

    GlobalSettingRecord stored{};
    ASSERT_TRUE(Finish(QDO_ReadGlobalSettingInfo(handle_, &stored)));
    EXPECT_NE(std::memcmp(stored.bytes, input.record, sizeof stored.bytes), 0) << "not stored yet";

    ASSERT_TRUE(Finish(QDO_SendCommand(handle_, 0x10001, 0, 0))) << "only the low 16 bits count";
    // The ready byte (memory id 2) drops while the amplifier stores, then returns.
    std::uint8_t ready = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
            ready = 0;
            return Finish(QDO_ReadMCUbyID(handle_, 2, 1, &ready)) && ready == 1;
        },
        std::chrono::seconds(10)));
    EXPECT_EQ(amp.Control("ready STORE"), "OK 1");

    ASSERT_TRUE(Finish(QDO_ReadGlobalSettingInfo(handle_, &stored)));
    EXPECT_EQ(std::memcmp(stored.bytes, input.record, sizeof stored.bytes), 0);
    DspParamInfo info{};
    ASSERT_TRUE(Finish(QDO_ReadDspParamInfo(handle_, &info)));
    ExpectDspMatchesImage(info, image);
}

using ExportsFirmwareTest = DriverTest;

TEST_F(ExportsFirmwareTest, UpgradeInTheBootLoaderThenResetIntoTheNewVersion)
{
    AmpProcess& amp = StartA210("FW");
    ASSERT_NE(Connect(kA210, "FW"), nullptr);
    VirtualAmp::TestFirmwareOptions options;
    options.version = "V6.1";
    const std::string path = Folder() + "/" + VirtualAmp::TestFirmwareFileName(options.version);
    ASSERT_TRUE(VirtualAmp::WriteTestFirmware(path, options));

    ASSERT_TRUE(Finish(QDO_Reset(handle_)));
    ASSERT_TRUE(WaitReturn(kA210, "FW"));
    EXPECT_EQ(amp.Control("mode FW"), "OK boot");
    BasicInfo info{};
    ASSERT_TRUE(Finish(QDO_ReadBasicInfo(handle_, &info)));
    EXPECT_EQ(info.runningBootLoader, 1u);

    ASSERT_TRUE(Finish(QDO_UpgradeFirmware(handle_, path.c_str()), std::chrono::minutes(5)));
    EXPECT_EQ(QDO_GetOperationProgress(handle_), 100);

    ASSERT_TRUE(Finish(QDO_Reset(handle_)));
    ASSERT_TRUE(WaitReturn(kA210, "FW"));
    EXPECT_EQ(amp.Control("mode FW"), "OK app");
    std::memset(&info, 0, sizeof info);
    ASSERT_TRUE(Finish(QDO_ReadBasicInfo(handle_, &info)));
    EXPECT_EQ(info.runningBootLoader, 0u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(info.text52000), 4), "V6.1");
}

TEST_F(ExportsFirmwareTest, MissingFileFailsTheOperation)
{
    StartA210("FW");
    ASSERT_NE(Connect(kA210, "FW"), nullptr);
    const std::string missing = Folder() + "/Cobalt_V9.9.bin";
    EXPECT_FALSE(Finish(QDO_UpgradeFirmware(handle_, missing.c_str())));
    EXPECT_FALSE(Finish(QDO_UpgradeFirmware(handle_, "")));
}

}  // namespace
}  // namespace exports_test
