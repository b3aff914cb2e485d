// New designs: the choice of model, the diagram, the controllers and what follows.
#include <gtest/gtest.h>

#include "application/document/AmplifierRef.h"
#include "resources/strings/StringIds.h"
#include "tests/app_document/DocumentTestSupport.h"

namespace {

class NewDocumentTest : public DocumentTest {};

TEST_F(NewDocumentTest, TheFirstDesignWithTwoAmplifiersUsesTheMV440WithoutAsking)
{
    RecordingAmplifier first(0);
    RecordingAmplifier second(4);
    amplifiers.present = {&first, &second};
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_EQ(Doc().GetModel(), ModelType::MV440);
    EXPECT_TRUE(prompts.choosePresets.empty());
    EXPECT_FALSE(Doc().IsFirstNewDocument());
    EXPECT_EQ(first.refs, 0u);
}

TEST_F(NewDocumentTest, TheFirstDesignWithOneAmplifierTakesItsModel)
{
    RecordingAmplifier only(4);
    amplifiers.present = {&only};
    application.pendingModel = ModelType::MV220;
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_EQ(Doc().GetModel(), ModelType::MV340A);
    EXPECT_EQ(only.refs, 0u);
}

TEST_F(NewDocumentTest, TheFirstDesignWithoutAmplifiersUsesTheMV440)
{
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_EQ(Doc().GetModel(), ModelType::MV440);
    EXPECT_EQ(Doc().GetTitle(), "Corvantine MV440");
}

TEST_F(NewDocumentTest, ANewDesignCommandsModelComesBeforeTheAmplifiersAndIsTakenOnce)
{
    ASSERT_TRUE(Doc().OnNewDocument());
    RecordingAmplifier only(4);
    amplifiers.present = {&only};
    application.pendingModel = ModelType::MV220P;
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_EQ(Doc().GetModel(), ModelType::MV220P);
    EXPECT_EQ(application.pendingModel, ModelType::Unknown);
    // Without a command the single amplifier decides.
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_EQ(Doc().GetModel(), ModelType::MV340A);
    EXPECT_TRUE(prompts.choosePresets.empty());
    EXPECT_EQ(only.refs, 0u);
}

TEST_F(NewDocumentTest, WithoutAnAmplifierTheUserChoosesWhileScanningIsSuspended)
{
    ASSERT_TRUE(Doc().OnNewDocument());
    log.clear();
    prompts.chooseAnswer = ModelType::MV440A;
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_EQ(Doc().GetModel(), ModelType::MV440A);
    EXPECT_EQ(prompts.choosePresets, std::vector<ModelType>{ModelType::MV440});
    const EventLog expected = {"lock:0,0", "scan:1,0", "choose:2", "scan:0,0", "post:32853"};
    EXPECT_EQ(log, expected);
}

TEST_F(NewDocumentTest, WithSeveralAmplifiersTheUserChoosesToo)
{
    ASSERT_TRUE(Doc().OnNewDocument());
    RecordingAmplifier first(0);
    RecordingAmplifier second(0);
    amplifiers.present = {&first, &second};
    prompts.chooseAnswer = ModelType::MV340A;
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_EQ(Doc().GetModel(), ModelType::MV340A);
    EXPECT_EQ(first.refs, 0u);
}

TEST_F(NewDocumentTest, CancellingTheModelChoiceFailsSilentlyWithNoModel)
{
    ASSERT_TRUE(Doc().OnNewDocument());
    prompts.chooseAnswer = ModelType::Unknown;
    EXPECT_FALSE(Doc().OnNewDocument());
    EXPECT_EQ(Doc().GetModel(), ModelType::Unknown);
    EXPECT_TRUE(prompts.messages.empty());
    EXPECT_EQ(Doc().GetBlockCount(), 0u);
}

TEST_F(NewDocumentTest, AMissingDiagramFileReportsABrokenInstallation)
{
    std::filesystem::remove(DataFolder() / "BlockDiagram.txt");
    ASSERT_TRUE(Doc().OnNewDocument());
    application.pendingModel = ModelType::MV220;
    EXPECT_FALSE(Doc().OnNewDocument());
    EXPECT_EQ(prompts.messages, std::vector<std::uint32_t>{StringId::kBrokenInstallation});
    EXPECT_EQ(Doc().GetBlockCount(), 0u);
}

TEST_F(NewDocumentTest, AFactoryFailureIsReportedAndTheDesignStaysUsable)
{
    // A grouped block of a drawn-only type makes the factory fail.
    WriteWholeFile(DataFolder() / "BlockDiagram.txt", "header\n0\t0\t1\t1\t0\t0\t0\t6\t0x20000\tOdd\n"
                                                      "1\t0\t1\t1\t0\t0\t0\t1\t0x20000\tGain\n");
    ASSERT_TRUE(Doc().OnNewDocument());
    application.pendingModel = ModelType::MV220;
    EXPECT_TRUE(Doc().OnNewDocument());
    EXPECT_EQ(prompts.messages, std::vector<std::uint32_t>{StringId::kControllersInitFailed});
    EXPECT_EQ(Doc().GetBlockCount(), 2u);
    EXPECT_TRUE(Doc().Controllers().empty());
    EXPECT_EQ(Doc().GetModel(), ModelType::MV220);
}

TEST_F(NewDocumentTest, ShippedDiagramsMakeControllersForEveryBlockKindWithSettings)
{
    for (ModelType model : kAllModels) {
        NewDesign(model);
        EXPECT_TRUE(prompts.messages.empty()) << static_cast<int>(model);
        for (const std::unique_ptr<DiagramBlock>& block : Doc().Blocks()) {
            EXPECT_NE(block->controller, nullptr) << static_cast<int>(block->type);
            EXPECT_FALSE(block->paramBlob.Empty()) << static_cast<int>(block->type);
        }
    }
}

TEST_F(NewDocumentTest, TheMeterListCountsInputGainAndOutputGainBlocks)
{
    NewDesign(ModelType::MV220);
    ASSERT_NE(Doc().GetMeterList(), nullptr);
    EXPECT_EQ(Doc().GetMeterList()->inputCount, 2u);
    EXPECT_EQ(Doc().GetMeterList()->outputCount, 2u);
    NewDesign(ModelType::MV440);
    EXPECT_EQ(Doc().GetMeterList()->inputCount, 4u);
    EXPECT_EQ(Doc().GetMeterList()->outputCount, 4u);
}

TEST_F(NewDocumentTest, ANewDesignResetsThePolarityAndIsNotModified)
{
    NewDesign(ModelType::MV440);
    Doc().SetMutePolarityNormallyOpen(0);
    Doc().SetModifiedFlag(true);
    NewDesign(ModelType::MV440);
    EXPECT_EQ(Doc().GetMutePolarityNormallyOpen(), 1);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_TRUE(Doc().GetPathName().empty());
}

TEST_F(NewDocumentTest, TheDeferredGoOnlineIsPostedUnlessStartingUpOrCreatingForAnAmplifier)
{
    application.startUpInProgress = true;
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_TRUE(application.postedCommands.empty());
    application.startUpInProgress = false;
    Doc().SetCreatingForAmplifier(true);
    application.pendingModel = ModelType::MV440;
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_TRUE(application.postedCommands.empty());
    EXPECT_FALSE(Doc().IsFreshDesign());
    Doc().SetCreatingForAmplifier(false);
    application.pendingModel = ModelType::MV440;
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_EQ(application.postedCommands, std::vector<std::uint32_t>{32853});
    EXPECT_EQ(Doc().GetDelayedGoOnlineMode(), 0u);
    EXPECT_TRUE(Doc().IsFreshDesign());
}

TEST_F(NewDocumentTest, TitlesFollowTheModel)
{
    const std::pair<ModelType, const char*> titles[] = {
        {ModelType::MV220, "Corvantine MV220"},   {ModelType::MV220P, "Corvantine MV220"},
        {ModelType::MV440, "Corvantine MV440"},   {ModelType::MV440A, "Corvantine MV440A"},
        {ModelType::MV340A, "Corvantine MV340A"},
    };
    for (const auto& [model, title] : titles) {
        NewDesign(model);
        EXPECT_EQ(Doc().GetTitle(), title);
    }
}

TEST_F(NewDocumentTest, ConvertingTheDesignToAnotherModelMarksItModified)
{
    NewDesign(ModelType::MV440);
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_TRUE(Doc().SetDocumentModel(ModelType::MV440));
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_TRUE(Doc().SetDocumentModel(ModelType::MV340A));
    EXPECT_EQ(Doc().GetModel(), ModelType::MV340A);
    EXPECT_TRUE(Doc().IsModified());
    Doc().SetTitleForModel();
    EXPECT_EQ(Doc().GetTitle(), "Corvantine MV340A");
}

TEST_F(NewDocumentTest, AnAmplifierReportingAnUnknownModelCountsAsNoAmplifier)
{
    RecordingAmplifier odd(9);
    amplifiers.present = {&odd};
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_EQ(Doc().GetModel(), ModelType::MV440);
    prompts.chooseAnswer = ModelType::MV220;
    ASSERT_TRUE(Doc().OnNewDocument());
    EXPECT_EQ(prompts.choosePresets.size(), 1u);
    EXPECT_EQ(Doc().GetModel(), ModelType::MV220);
    EXPECT_EQ(odd.refs, 0u);
}

}  // namespace
