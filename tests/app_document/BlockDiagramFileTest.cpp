// Reading block-diagram files and finding blocks in the document's diagram.
#include "application/document/BlockDiagramFile.h"

#include <gtest/gtest.h>

#include "tests/app_document/DocumentTestSupport.h"

namespace {

const char* const kHeader = "Stage\tChannel\tInputs\tOutputs\tPitch\tReserved\tAux\tType\tFlags\tName\n";

TEST(BlockDiagramFileName, TwoChannelModelsReadTheFirstFileAndTheOthersTheSecond)
{
    EXPECT_EQ(BlockDiagramFileName(ModelType::MV220), "BlockDiagram.txt");
    EXPECT_EQ(BlockDiagramFileName(ModelType::MV220P), "BlockDiagram.txt");
    EXPECT_EQ(BlockDiagramFileName(ModelType::MV440), "BlockDiagram2.txt");
    EXPECT_EQ(BlockDiagramFileName(ModelType::MV440A), "BlockDiagram2.txt");
    EXPECT_EQ(BlockDiagramFileName(ModelType::MV340A), "BlockDiagram2.txt");
}

TEST(ReadBlockDiagramFile, SkipsTheHeaderAndReadsTheFieldsOfEveryLine)
{
    TempFolder folder;
    WriteWholeFile(folder.Path() / "d.txt", std::string(kHeader) + "1\t0\t1\t1\t12\t0\t0\t2\t0x20000\tEQ \xE9\r\n" +
                                                "3\t1\t2\t2\t0\t0\t9\t4\t20000\tX\n");
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    ASSERT_TRUE(ReadBlockDiagramFile(folder.Path() / "d.txt", blocks));
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0]->stage, 1);
    EXPECT_EQ(blocks[0]->channel, 0);
    EXPECT_EQ(blocks[0]->pinPitch, 12);
    EXPECT_EQ(blocks[0]->type, BlockType::InputEQ);
    EXPECT_EQ(blocks[0]->flags, 0x20000u);
    // Names are in the ANSI code page.
    EXPECT_EQ(blocks[0]->name, u"EQ \u00E9");
    EXPECT_EQ(blocks[1]->flags, 0x20000u);
    EXPECT_EQ(blocks[1]->auxValue, 9);
    EXPECT_EQ(blocks[1]->channel, 1);
}

TEST(ReadBlockDiagramFile, EveryLineAfterTheHeaderMakesABlockEvenAShortOne)
{
    TempFolder folder;
    WriteWholeFile(folder.Path() / "d.txt", std::string(kHeader) + "2\t1\n\n5\n");
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    ASSERT_TRUE(ReadBlockDiagramFile(folder.Path() / "d.txt", blocks));
    ASSERT_EQ(blocks.size(), 3u);
    EXPECT_EQ(blocks[0]->stage, 2);
    EXPECT_EQ(blocks[0]->channel, 1);
    EXPECT_EQ(blocks[0]->type, BlockType::None);
    EXPECT_TRUE(blocks[0]->name.empty());
    EXPECT_EQ(blocks[1]->stage, 0);
    EXPECT_EQ(blocks[2]->stage, 5);
}

TEST(ReadBlockDiagramFile, AHeaderAloneGivesAnEmptyDiagram)
{
    TempFolder folder;
    WriteWholeFile(folder.Path() / "d.txt", kHeader);
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    EXPECT_TRUE(ReadBlockDiagramFile(folder.Path() / "d.txt", blocks));
    EXPECT_TRUE(blocks.empty());
}

TEST(ReadBlockDiagramFile, AMissingFileFailsAndLeavesTheBlocksAlone)
{
    TempFolder folder;
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    blocks.push_back(std::make_unique<DiagramBlock>());
    EXPECT_FALSE(ReadBlockDiagramFile(folder.Path() / "missing.txt", blocks));
    EXPECT_EQ(blocks.size(), 1u);
}

// No model has more blocks than one of each type per channel: a longer file is damaged and
// is refused before it can take the memory of millions of blocks.
TEST(ReadBlockDiagramFile, MoreBlocksThanAnyModelHasAreRefused)
{
    TempFolder folder;
    std::string lines;
    for (std::size_t i = 0; i < kMaxDiagramBlocks; ++i) {
        lines += "4\t0\n";
    }
    WriteWholeFile(folder.Path() / "full.txt", kHeader + lines);
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    ASSERT_TRUE(ReadBlockDiagramFile(folder.Path() / "full.txt", blocks));
    EXPECT_EQ(blocks.size(), kMaxDiagramBlocks);
    WriteWholeFile(folder.Path() / "over.txt", kHeader + lines + "4\t0\n");
    EXPECT_FALSE(ReadBlockDiagramFile(folder.Path() / "over.txt", blocks));
    EXPECT_EQ(blocks.size(), kMaxDiagramBlocks);
    WriteWholeFile(folder.Path() / "newlines.txt", kHeader + std::string(4 * 1024 * 1024, '\n'));
    EXPECT_FALSE(ReadBlockDiagramFile(folder.Path() / "newlines.txt", blocks));
    EXPECT_EQ(blocks.size(), kMaxDiagramBlocks);
}

TEST(ReadBlockDiagramFile, AppendsToBlocksAlreadyThere)
{
    TempFolder folder;
    WriteWholeFile(folder.Path() / "d.txt", std::string(kHeader) + "4\t0\n");
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    blocks.push_back(std::make_unique<DiagramBlock>());
    ASSERT_TRUE(ReadBlockDiagramFile(folder.Path() / "d.txt", blocks));
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[1]->stage, 4);
}

TEST(FindBlockIn, ReturnsTheFirstMatchInOrderSoALaterTwinIsNeverFound)
{
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    for (int i = 0; i < 3; ++i) {
        blocks.push_back(std::make_unique<DiagramBlock>());
        blocks.back()->type = BlockType::Delay;
        blocks.back()->channel = 1;
        blocks.back()->stage = i == 2 ? 9 : 5;
    }
    EXPECT_EQ(FindBlockIn(blocks, BlockType::Delay, 1, 5), blocks[0].get());
    EXPECT_EQ(FindBlockIn(blocks, BlockType::Delay, 1, 9), blocks[2].get());
    EXPECT_EQ(FindBlockIn(blocks, BlockType::Delay, 0, 5), nullptr);
    EXPECT_EQ(FindBlockIn(blocks, BlockType::Limiter, 1, 5), nullptr);
}

class DocumentDiagramTest : public DocumentTest {};

TEST_F(DocumentDiagramTest, FourChannelModelsShareTheSecondDiagramFile)
{
    WriteWholeFile(DataFolder() / "BlockDiagram2.txt", std::string(kHeader) + "0\t0\t1\t1\t0\t0\t0\t3\t0\tOnly\n");
    for (ModelType model : {ModelType::MV440, ModelType::MV440A, ModelType::MV340A}) {
        NewDesign(model);
        ASSERT_EQ(Doc().GetBlockCount(), 1u);
        EXPECT_EQ(Doc().GetBlock(0)->name, u"Only");
    }
    NewDesign(ModelType::MV220P);
    EXPECT_GT(Doc().GetBlockCount(), 1u);
}

TEST_F(DocumentDiagramTest, GetBlockGivesNullPastTheEnd)
{
    NewDesign(ModelType::MV220);
    const std::size_t count = Doc().GetBlockCount();
    ASSERT_GT(count, 0u);
    EXPECT_NE(Doc().GetBlock(count - 1), nullptr);
    EXPECT_EQ(Doc().GetBlock(count), nullptr);
}

TEST_F(DocumentDiagramTest, BlockAtPointSkipsPassiveBlocksAndTakesTheFirstHit)
{
    NewDesign(ModelType::MV220);
    DiagramBlock* first = Doc().GetBlock(0);
    DiagramBlock* second = Doc().GetBlock(1);
    first->bodyRect = {0, 0, 10, 10};
    second->bodyRect = {0, 0, 20, 20};
    EXPECT_EQ(Doc().BlockAtPoint(5, 5), first);
    first->flags |= BlockFlag::kPassive;
    EXPECT_EQ(Doc().BlockAtPoint(5, 5), second);
    EXPECT_EQ(Doc().BlockAtPoint(50, 50), nullptr);
}

TEST_F(DocumentDiagramTest, TheSelectedControllerIsThatOfTheFirstSelectedBlock)
{
    NewDesign(ModelType::MV440);
    EXPECT_EQ(Doc().GetSelectedController(), nullptr);
    DiagramBlock* crossover = Doc().FindBlock(BlockType::Crossover, 2, 3);
    DiagramBlock* limiter = Doc().FindBlock(BlockType::Limiter, 1, 6);
    ASSERT_NE(crossover, nullptr);
    ASSERT_NE(limiter, nullptr);
    ASSERT_NE(crossover->controller, nullptr);
    ASSERT_NE(limiter->controller, crossover->controller);
    limiter->selected = 1;
    EXPECT_EQ(Doc().GetSelectedController(), limiter->controller);
    // The crossover comes first in the diagram, whatever order the selection was made in.
    crossover->selected = 1;
    EXPECT_EQ(Doc().GetSelectedController(), crossover->controller);
}

}  // namespace
