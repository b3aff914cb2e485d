// The shared library's dynamic symbol table holds exactly the 28 exported functions, the
// library carries its SONAME, and its header reads the same from C.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <set>
#include <sstream>
#include <string>

extern "C" std::size_t QuarryHeaderSizeFromC(int which);

namespace {

// Runs a command and returns what it printed; empty when it could not run.
std::string Output(const std::string& command)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
    if (!pipe) {
        return {};
    }
    std::string text;
    char chunk[4096];
    while (std::size_t got = std::fread(chunk, 1, sizeof chunk, pipe.get())) {
        text.append(chunk, got);
    }
    return text;
}

const std::set<std::string> kExports = {
    "QDM_RegisterDevice", "QDM_UnregisterDevice", "QDM_ScanDevices", "QDM_GetScanedDevice",
    "QDM_ConnectDevice", "QDM_IsConnectCompleted", "QDM_GetConnectingDevice", "QDM_DisconnectDevice",
    "QDM_IsDeviceExisting", "QDO_UpgradeFirmware", "QDO_UpgradeGlobalSetting", "QDO_UpgradeDSPParam",
    "QDO_WriteMCUbyID", "QDO_ReadMCUbyID", "QDO_ReadMCU", "QDO_ReadFlash", "QDO_SendCommand", "QDO_Reset",
    "QDO_ReadBasicInfo", "QDO_ReadGlobalSettingInfo", "QDO_ReadGlobalSettingInfoFromMCU", "QDO_ReadDspParamInfo",
    "QDO_ReadDspParamInfoFromMCU", "QDO_ReadHwInfo", "QDO_CancelOperation", "QDO_IsOperationCompleted",
    "QDO_IsOperationSuccessful", "QDO_GetOperationProgress",
};

TEST(ExportsSymbolsTest, DynamicSymbolTableHoldsExactlyTheTwentyEightFunctions)
{
    ASSERT_EQ(kExports.size(), 28u);
    const std::string listing = Output("nm -D --defined-only '" QUARRY_DRIVER_LIBRARY "'");
    ASSERT_FALSE(listing.empty()) << "nm gave nothing for " QUARRY_DRIVER_LIBRARY;
    std::set<std::string> names;
    std::size_t lines = 0;
    std::istringstream in(listing);
    std::string address;
    std::string type;
    std::string name;
    while (in >> address >> type >> name) {
        ++lines;
        EXPECT_EQ(type, "T") << name << " is not a text symbol";
        names.insert(name);
    }
    EXPECT_EQ(lines, 28u) << listing;
    EXPECT_EQ(names, kExports);
}

TEST(ExportsSymbolsTest, CCallersSeeTheSameRecordLayouts)
{
    EXPECT_EQ(QuarryHeaderSizeFromC(0), 74u);
    EXPECT_EQ(QuarryHeaderSizeFromC(1), 92u);
    EXPECT_EQ(QuarryHeaderSizeFromC(2), 13u);
    EXPECT_EQ(QuarryHeaderSizeFromC(3), 2048u);
    EXPECT_EQ(QuarryHeaderSizeFromC(4), 5124u);
    EXPECT_EQ(QuarryHeaderSizeFromC(5), 2050u);
    EXPECT_EQ(QuarryHeaderSizeFromC(6), 9000u);
    EXPECT_EQ(QuarryHeaderSizeFromC(7), 34u);
}

TEST(ExportsSymbolsTest, LibraryCarriesItsSoname)
{
    const std::string dynamic = Output("objdump -p '" QUARRY_DRIVER_LIBRARY "'");
    EXPECT_NE(dynamic.find("SONAME               " QUARRY_DRIVER_SONAME), std::string::npos) << dynamic;
}

}  // namespace
