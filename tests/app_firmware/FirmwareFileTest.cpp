// Firmware image names and amplifier version texts, the version classes, and the search of
// the Firmware folder.
#include <gtest/gtest.h>

#include "application/firmware/FirmwareFileList.h"
#include "tests/support/TempFolder.h"

namespace {

std::string FileVersion(std::string_view name)
{
    std::uint32_t major = 99;
    std::uint32_t minor = 99;
    return ParseFirmwareFileName(name, major, minor) ? std::to_string(major) + "." + std::to_string(minor) : "-";
}

std::string DeviceVersion(std::u16string_view text)
{
    std::uint32_t major = 99;
    std::uint32_t minor = 99;
    return ParseDeviceFirmwareVersion(text, major, minor) ? std::to_string(major) + "." + std::to_string(minor) : "-";
}

TEST(FirmwareVersionTexts, FileNamesCarryTheirVersionInFieldOneOrTwo)
{
    EXPECT_EQ(FileVersion("Cobalt_V5.12.bin"), "5.12");
    EXPECT_EQ(FileVersion("Corvantine_full_v6.3.bin"), "6.3");
    EXPECT_EQ(FileVersion("Corvantine_V6.1"), "6.1");
    EXPECT_EQ(FileVersion("Cobalt_5.12.bin"), "-");
    EXPECT_EQ(FileVersion("Cobalt_V5.bin"), "-");
    EXPECT_EQ(FileVersion("Cobalt_V5..bin"), "-");
    EXPECT_EQ(FileVersion("Cobalt_V5."), "-");
    EXPECT_EQ(FileVersion("Cobalt"), "-");
    EXPECT_EQ(FileVersion("Cobalt_Vx5.1.bin"), "-");
    EXPECT_EQ(FileVersion("Cobalt_V4294967295.0.bin"), "4294967295.0");
}

TEST(FirmwareVersionTexts, NumbersBeyond32BitsAreRefusedNotWrapped)
{
    EXPECT_EQ(FileVersion("Cobalt_V4294967296.12.bin"), "-");
    EXPECT_EQ(FileVersion("Cobalt_V5.4294967308.bin"), "-");
    EXPECT_EQ(DeviceVersion(u"v4294967301.12"), "-");
    EXPECT_EQ(DeviceVersion(u"v5.99999999999999999999"), "-");
}

TEST(FirmwareVersionTexts, TheAmplifiersVersionIsExactlyAVersionFieldAndANumber)
{
    EXPECT_EQ(DeviceVersion(u"V5.12"), "5.12");
    EXPECT_EQ(DeviceVersion(u"v6.01"), "6.1");
    EXPECT_EQ(DeviceVersion(u"5.12"), "-");
    EXPECT_EQ(DeviceVersion(u"V5.12.1"), "-");
    EXPECT_EQ(DeviceVersion(u"V5_12"), "-");
    EXPECT_EQ(DeviceVersion(u"V5"), "-");
    EXPECT_EQ(DeviceVersion(u""), "-");
}

TEST(FirmwareVersionTexts, ClassesChangeAtThreeTwenty)
{
    EXPECT_FALSE(IsNewFirmwareClass(3, 19));
    EXPECT_TRUE(IsNewFirmwareClass(3, 20));
    EXPECT_TRUE(IsNewFirmwareClass(4, 0));
    EXPECT_FALSE(IsNewFirmwareClass(2, 99));
}

TEST(FirmwareFolder, ListsBothPatternsNewestFirstAndSkipsFoldersAndOddNames)
{
    TempFolder folder("quarry-firmware-");
    for (const char* name : {"Cobalt_V5.12.bin", "Corvantine_V6.1.bin", "Cobalt_V5..bin", "Cobalt_V5.2.txt",
                             "Other_V9.9.bin", "cobalt_v5.20.BIN"}) {
        WriteWholeFile(folder.Path() / name, "x");
    }
    std::filesystem::create_directory(folder.Path() / "Cobalt_V9.9.bin");
    const std::vector<FirmwareFile> files = BuildFirmwareFileList(folder.Path());
    std::vector<std::string> names;
    for (const FirmwareFile& file : files) {
        names.push_back(file.name);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"Corvantine_V6.1.bin", "cobalt_v5.20.BIN", "Cobalt_V5.12.bin"}));
    EXPECT_TRUE(BuildFirmwareFileList(folder.Path() / "missing").empty());
}

TEST(FirmwareFolder, AnImageIsReadableOnlyWhenItOpensAndHoldsBytes)
{
    TempFolder folder("quarry-firmware-");
    WriteWholeFile(folder.Path() / "good.bin", std::string(70000, '\x5a'));
    WriteWholeFile(folder.Path() / "empty.bin", "");
    std::filesystem::create_directory(folder.Path() / "folder.bin");
    EXPECT_TRUE(IsFirmwareImageReadable(folder.Path() / "good.bin"));
    EXPECT_FALSE(IsFirmwareImageReadable(folder.Path() / "empty.bin"));
    EXPECT_FALSE(IsFirmwareImageReadable(folder.Path() / "missing.bin"));
    EXPECT_FALSE(IsFirmwareImageReadable(folder.Path() / "folder.bin"));
}

}  // namespace
