// The firmware update's entries and loop over scripted windows: what the check on connect
// offers, the single-amplifier rule, the mandatory loop below the minimum version, where the
// version aliases apply, and the guard.
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
        AddImage("Cobalt_V5.12.bin");
        AddImage("Corvantine_V6.1.bin");
    }
    ~FirmwareUpdateFlowTest() override { ClearVersionHack(); }

    void AddImage(const char* name) { WriteWholeFile(folder.Path() / name, "image"); }
    bool OnConnect() { return CheckFirmwareOnConnect(guard, context, amplifier); }

    TempFolder folder{"quarry-firmware-flow-"};
    FlowWorld world;
    RecordingAmplifier amplifier;
    FirmwareUpdateContext context{world, world, folder.Path()};
    std::uint8_t guard = 0;
};

TEST_F(FirmwareUpdateFlowTest, AnUpToDateAmplifierIsOfferedNothing)
{
    amplifier.version = u"v6.1";
    EXPECT_TRUE(IsFirmwareUpToDate(amplifier, folder.Path(), world));
    EXPECT_FALSE(OnConnect());
    EXPECT_TRUE(world.log.empty());
    amplifier.version = u"v6.1.0";
    EXPECT_FALSE(IsFirmwareUpToDate(amplifier, folder.Path(), world));
}

TEST_F(FirmwareUpdateFlowTest, AnEmptyFolderShows137AndOffersNothing)
{
    TempFolder empty("quarry-firmware-none-");
    context.firmwareFolder = empty.Path();
    EXPECT_FALSE(OnConnect());
    EXPECT_EQ(world.log, Log{"box:137"});
}

TEST_F(FirmwareUpdateFlowTest, ANewerImageIsOfferedOnceAndRunsWithScanningSuspended)
{
    amplifier.version = u"v5.12";
    world.answers = {MessageAnswer::Yes};
    world.firmwareDialogResults = {true};
    EXPECT_TRUE(OnConnect());
    EXPECT_EQ(world.log, (Log{"box:178", "scan:1,0", "dialog:189"}));
    EXPECT_EQ(guard, 0);
    EXPECT_EQ(amplifier.refs, 0u);

    world.log.clear();
    EXPECT_FALSE(OnConnect());
    EXPECT_EQ(world.log, (Log{"box:178"}));
}

TEST_F(FirmwareUpdateFlowTest, BelowTheMinimumOnlyUpdatingOrUnpluggingEndsTheLoop)
{
    amplifier.version = u"v5.11";
    world.tooOldAnswers = {true, true, false};
    world.firmwareDialogResults = {false, false};
    EXPECT_FALSE(OnConnect());
    const Log round = {"scan:0,0", "dialog:349", "scan:1,0", "scan:1,0", "dialog:189"};
    Log expected = round;
    expected.insert(expected.end(), round.begin(), round.end());
    expected.insert(expected.end(), {"scan:0,0", "dialog:349", "scan:1,0"});
    EXPECT_EQ(world.log, expected);

    world.log.clear();
    world.tooOldAnswers = {true};
    world.firmwareDialogResults = {true};
    EXPECT_TRUE(OnConnect());
}

TEST_F(FirmwareUpdateFlowTest, AliasesDecideTheMinimumButNotWhetherAnImageIsNewer)
{
    TempFolder data("quarry-version-hack-");
    WriteWholeFile(data.Path() / "VersionHack.txt", "V5.30 => V5.11\nV6.5 => V5.0\n");
    ASSERT_TRUE(LoadVersionHackFile(data.Path() / "VersionHack.txt"));
    amplifier.version = u"v5.30";
    world.tooOldAnswers = {false};
    EXPECT_FALSE(OnConnect());
    EXPECT_EQ(world.Logged("dialog:"), Log{"dialog:349"});

    // Raw 6.5 is newer than every image: nothing is offered, whatever its alias says.
    world.log.clear();
    amplifier.version = u"v6.5";
    EXPECT_FALSE(OnConnect());
    EXPECT_TRUE(world.log.empty());
}

TEST_F(FirmwareUpdateFlowTest, AnotherAmplifierStopsTheUpdateWithThePlainSingleAmplifierMessage)
{
    RecordingAmplifier other;
    amplifier.version = u"v5.12";
    world.present = {&other};
    EXPECT_FALSE(OnConnect());
    EXPECT_EQ(world.log, Log{"text:Cannot update firmware f:plain"});

    world.log.clear();
    world.present = {&amplifier, &other};
    EXPECT_FALSE(StartFirmwareUpdate(guard, context, amplifier));
    EXPECT_EQ(world.log, Log{"text:Cannot update firmware f:plain"});
    EXPECT_EQ(other.refs, 0u);
}

TEST_F(FirmwareUpdateFlowTest, TheMenuAlwaysOpensTheDialogAndTheGuardKeepsTheEntriesApart)
{
    amplifier.version = u"v6.1";
    world.firmwareDialogResults = {false};
    EXPECT_FALSE(StartFirmwareUpdate(guard, context, amplifier));
    EXPECT_EQ(world.log, (Log{"scan:1,0", "dialog:189"}));

    world.log.clear();
    guard = 1;
    amplifier.version = u"v5.0";
    EXPECT_FALSE(OnConnect());
    EXPECT_FALSE(StartFirmwareUpdate(guard, context, amplifier));
    EXPECT_TRUE(world.log.empty());
}

}  // namespace
