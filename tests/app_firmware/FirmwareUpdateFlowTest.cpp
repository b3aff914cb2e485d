// The firmware update's entries and loop over scripted windows: what the check on connect
// offers, the mandatory loop below the minimum version, where the version aliases apply, the
// single-amplifier rule and the guard.
#include <gtest/gtest.h>

#include "application/firmware/FirmwareUpdateFlow.h"
#include "application/text/VersionHack.h"
#include "tests/app_flows/FlowWorld.h"
#include "tests/support/TempFolder.h"

namespace {

using Log = std::vector<std::string>;

class FirmwareUpdateFlowTest : public ::testing::Test {
protected:
    FirmwareUpdateFlowTest()
    {
        ClearVersionHack();
        world.present = {&amplifier};
        for (const char* name : {"Cobalt_V5.12.bin", "Corvantine_V6.1.bin"}) {
            WriteWholeFile(folder.Path() / name, "image");
        }
    }
    ~FirmwareUpdateFlowTest() override { ClearVersionHack(); }
    bool OnConnect() { return CheckFirmwareOnConnect(guard, context, amplifier); }

    TempFolder folder{"quarry-firmware-flow-"};
    FlowWorld world;
    RecordingAmplifier amplifier;
    FirmwareUpdateContext context{world, world, folder.Path()};
    std::uint8_t guard = 0;
};

TEST_F(FirmwareUpdateFlowTest, ANewerImageIsOfferedAndRunsWithScanningSuspendedAnEqualOneIsNot)
{
    amplifier.version = u"v5.12";
    world.answers = {MessageAnswer::Yes};
    world.firmwareDialogResults = {true};
    EXPECT_TRUE(OnConnect());
    EXPECT_EQ(world.log, (Log{"box:178", "scan:1,0", "dialog:189"}));
    amplifier.version = u"v6.1";
    world.log.clear();
    EXPECT_FALSE(OnConnect());
    EXPECT_TRUE(world.log.empty());
    context.firmwareFolder = folder.Path() / "none";
    EXPECT_FALSE(OnConnect());
    EXPECT_EQ(world.log, Log{"box:137"});
    EXPECT_EQ(amplifier.refs, 0u);
}

TEST_F(FirmwareUpdateFlowTest, BelowTheMinimumOnlyUpdatingOrUnpluggingEndsTheLoop)
{
    amplifier.version = u"v5.11";
    world.tooOldAnswers = {true, true, false};
    EXPECT_FALSE(OnConnect());
    const Log round = {"scan:0,0", "dialog:349", "scan:1,0", "scan:1,0", "dialog:189"};
    Log expected = round;
    expected.insert(expected.end(), round.begin(), round.end());
    expected.insert(expected.end(), {"scan:0,0", "dialog:349", "scan:1,0"});
    EXPECT_EQ(world.log, expected);
}

TEST_F(FirmwareUpdateFlowTest, AliasesDecideTheMinimumButNotWhetherAnImageIsNewer)
{
    TempFolder data("quarry-version-hack-");
    WriteWholeFile(data.Path() / "VersionHack.txt", "V5.30 => V5.11\nV6.5 => V5.0\n");
    ASSERT_TRUE(LoadVersionHackFile(data.Path() / "VersionHack.txt"));
    amplifier.version = u"v5.30";
    EXPECT_FALSE(OnConnect());
    EXPECT_EQ(world.Logged("dialog:"), Log{"dialog:349"});
    world.log.clear();
    amplifier.version = u"v6.5";
    EXPECT_FALSE(OnConnect());
    EXPECT_TRUE(world.log.empty());
}

TEST_F(FirmwareUpdateFlowTest, AnotherAmplifierOrTheGuardStopTheUpdate)
{
    RecordingAmplifier other;
    amplifier.version = u"v5.12";
    world.present = {&other};
    EXPECT_FALSE(OnConnect());
    world.present = {&amplifier, &other};
    EXPECT_FALSE(StartFirmwareUpdate(guard, context, amplifier));
    EXPECT_EQ(world.log, (Log(2, "text:Cannot update firmware f:plain")));
    world.log.clear();
    guard = 1;
    world.present = {&amplifier};
    EXPECT_FALSE(OnConnect());
    EXPECT_FALSE(StartFirmwareUpdate(guard, context, amplifier));
    EXPECT_TRUE(world.log.empty());
}

}  // namespace
