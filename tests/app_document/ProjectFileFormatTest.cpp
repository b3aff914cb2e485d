// The project file's bytes: layout, every read result, damaged and hostile files.
#include "application/document/ProjectFile.h"

#include <gtest/gtest.h>

#include "application/document/BlockDiagramFile.h"
#include "platform/base/ByteStreamMemory.h"
#include "tests/app_document/AllocationProbe.h"
#include "resources/strings/StringIds.h"
#include "tests/app_document/DocumentTestSupport.h"

namespace {

using platform::ByteStreamRef;
using platform::MemoryStream;

// A diagram of two blocks for any model, counting how often it was loaded.
struct TwoBlockDiagram {
    int loads = 0;
    bool fail = false;
    DiagramLoader Loader()
    {
        return [this](ModelType, std::vector<std::unique_ptr<DiagramBlock>>& blocks) {
            ++loads;
            if (fail) {
                return false;
            }
            for (std::int32_t channel = 0; channel < 2; ++channel) {
                auto block = std::make_unique<DiagramBlock>();
                block->type = BlockType::Delay;
                block->channel = channel;
                block->stage = 5;
                blocks.push_back(std::move(block));
            }
            return true;
        };
    }
};

int Read(const std::string& bytes, const DiagramLoader& loader, ProjectContents& out)
{
    ByteStreamRef stream = ByteStreamRef::Adopt(MemoryStream::Create(bytes.data(), bytes.size()));
    return ReadProjectStream(stream.Get(), loader, out);
}

int Read(const std::string& bytes)
{
    TwoBlockDiagram diagram;
    ProjectContents out;
    return Read(bytes, diagram.Loader(), out);
}

std::string Write(ModelType model, const std::vector<std::unique_ptr<DiagramBlock>>& blocks, std::uint8_t polarity)
{
    ByteStreamRef stream = ByteStreamRef::Adopt(MemoryStream::Create());
    EXPECT_TRUE(WriteProjectStream(stream.Get(), model, blocks, polarity));
    const auto& bytes = static_cast<MemoryStream*>(stream.Get())->Bytes();
    return std::string(bytes.begin(), bytes.end());
}

const std::string kVersion = Chunk(ProjectFormat::kVersionTag, U32(1));
std::string Model(std::uint32_t model)
{
    return Chunk(ProjectFormat::kModelTag, U32(model));
}
const std::string kPolarityClosed = Chunk(ProjectFormat::kMutePolarityTag, std::string(1, '\0'));

TEST(ProjectFileLayout, AnEmptyDesignIsSignatureRootVersionModelPolarityAndEndMarker)
{
    const std::string bytes = Write(ModelType::MV340A, {}, 1);
    ASSERT_EQ(bytes.size(), 16u + 8u + 12u + 12u + 9u + 4u);
    const std::string expected = SignatureBytes() + U32(33) + U32(0x76ffffff) + U32(4) + U32(0x76000001) + U32(1) +
                                 U32(4) + U32(0x76000002) + U32(4) + U32(1) + U32(0x76000005) + std::string(1, '\1') +
                                 U32(0);
    EXPECT_EQ(bytes, expected);
}

TEST(ProjectFileLayout, ABlockRecordHoldsTypeChannelStageAndItsBlob)
{
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    blocks.push_back(std::make_unique<DiagramBlock>());
    blocks[0]->type = BlockType::Limiter;
    blocks[0]->channel = 3;
    blocks[0]->stage = 6;
    const std::uint8_t blob[] = {1, 0, 0x90, 7, 0, 0};
    blocks[0]->SetParamBlob(blob, sizeof blob);
    const std::string bytes = Write(ModelType::MV440, blocks, 0);
    const std::string record = BlockRecord(12, 3, 6, std::string(reinterpret_cast<const char*>(blob), sizeof blob));
    EXPECT_EQ(bytes, ProjectBytes(kVersion + Model(2) + record + kPolarityClosed));
}

TEST(ProjectFileLayout, AnEmptyBlobIsWrittenAsAChildOfSizeZeroAndReadsBackEmpty)
{
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    blocks.push_back(std::make_unique<DiagramBlock>());
    blocks[0]->type = BlockType::Delay;
    blocks[0]->channel = 1;
    blocks[0]->stage = 5;
    const std::string bytes = Write(ModelType::MV220, blocks, 1);
    EXPECT_NE(bytes.find(BlockRecord(7, 1, 5, "")), std::string::npos);

    TwoBlockDiagram diagram;
    ProjectContents out;
    ASSERT_EQ(Read(bytes, diagram.Loader(), out), ProjectRead::kOk);
    // The stale blob of the rebuilt block is replaced by the stored empty one.
    EXPECT_TRUE(out.blocks[1]->paramBlob.Empty());
}

TEST(ProjectFileRead, ReadsModelBlobsAndPolarity)
{
    TwoBlockDiagram diagram;
    ProjectContents out;
    const std::string bytes = ProjectBytes(kVersion + Model(3) + BlockRecord(7, 1, 5, "abc") + kPolarityClosed);
    ASSERT_EQ(Read(bytes, diagram.Loader(), out), ProjectRead::kOk);
    EXPECT_EQ(out.model, ModelType::MV440A);
    ASSERT_EQ(out.blocks.size(), 2u);
    EXPECT_TRUE(out.blocks[0]->paramBlob.Empty());
    const auto blob = out.blocks[1]->paramBlob.Bytes();
    EXPECT_EQ(std::string(blob.begin(), blob.end()), "abc");
    EXPECT_EQ(out.mutePolarityNormallyOpen, 0);
    EXPECT_EQ(diagram.loads, 1);
}

TEST(ProjectFileRead, WithoutThePolarityChunkTheDefaultNormallyOpenStays)
{
    ProjectContents out;
    TwoBlockDiagram diagram;
    ASSERT_EQ(Read(ProjectBytes(kVersion + Model(2)), diagram.Loader(), out), ProjectRead::kOk);
    EXPECT_EQ(out.mutePolarityNormallyOpen, 1);
}

TEST(ProjectFileRead, AMissingVersionChunkIsNoError)
{
    EXPECT_EQ(Read(ProjectBytes(Model(2) + kPolarityClosed)), ProjectRead::kOk);
}

TEST(ProjectFileRead, UnknownTagsAreSkippedWhole)
{
    const std::string unknown = Chunk(0x76000099, BlockRecord(7, 0, 5, "zz"));
    EXPECT_EQ(Read(ProjectBytes(unknown + kVersion + unknown + Model(2) + unknown + BlockRecord(7, 0, 5, "x"))),
              ProjectRead::kOk);
}

TEST(ProjectFileRead, ARecordWithAnotherFirstChildLeavesTheBlobAlone)
{
    TwoBlockDiagram diagram;
    ProjectContents out;
    const std::string record =
        Chunk(ProjectFormat::kBlockTag, U32(7) + U32(0) + U32(5) + Chunk(0x76000101, "no") + Chunk(0x76000100, "late"));
    ASSERT_EQ(Read(ProjectBytes(Model(2) + record), diagram.Loader(), out), ProjectRead::kOk);
    EXPECT_TRUE(out.blocks[0]->paramBlob.Empty());
    // The same for an empty child of another tag.
    const std::string emptyOther = Chunk(ProjectFormat::kBlockTag, U32(7) + U32(0) + U32(5) + Chunk(0x76000101, ""));
    ProjectContents second;
    EXPECT_EQ(Read(ProjectBytes(Model(2) + emptyOther), diagram.Loader(), second), ProjectRead::kOk);
}

TEST(ProjectFileRead, RecordsMatchingNoBlockAreSkippedAndReported)
{
    EXPECT_EQ(Read(ProjectBytes(Model(2) + BlockRecord(7, 3, 5, "x") + BlockRecord(7, 0, 5, "y"))),
              ProjectRead::kUnmatchedRecords);
    // A record before the model finds no diagram yet.
    EXPECT_EQ(Read(ProjectBytes(BlockRecord(7, 0, 5, "y") + Model(2))), ProjectRead::kUnmatchedRecords);
    // An unmatched record is skipped whatever it holds.
    EXPECT_EQ(Read(ProjectBytes(Model(2) + Chunk(ProjectFormat::kBlockTag, U32(1) + U32(0) + U32(0)))),
              ProjectRead::kUnmatchedRecords);
}

TEST(ProjectFileRead, EveryErrorCodeHasItsCause)
{
    EXPECT_EQ(ReadProjectStream(nullptr, {}, *std::make_unique<ProjectContents>()), ProjectRead::kCannotOpen);
    // The signature as text is not the signature.
    EXPECT_EQ(Read("{59ACE46F-8BB1-43ED-87A0-0FD8433257DE}" + Chunk(0x76ffffff, Model(2)) + U32(0)),
              ProjectRead::kBadSignature);
    EXPECT_EQ(Read(SignatureBytes().substr(0, 15)), ProjectRead::kBadSignature);
    EXPECT_EQ(Read(SignatureBytes() + Chunk(0x76fffffe, Model(2)) + U32(0)), ProjectRead::kBadRootTag);
    EXPECT_EQ(Read(SignatureBytes() + U32(4)), ProjectRead::kBadRootTag);
    EXPECT_EQ(Read(ProjectBytes(Chunk(ProjectFormat::kVersionTag, "ab") + Model(2))), ProjectRead::kBadVersion);
    EXPECT_EQ(Read(ProjectBytes(Chunk(ProjectFormat::kModelTag, "abc"))), ProjectRead::kBadModel);
    EXPECT_EQ(Read(ProjectBytes(kVersion)), ProjectRead::kNoModel);
    EXPECT_EQ(Read(ProjectBytes(Model(5))), ProjectRead::kNoModel);
    EXPECT_EQ(Read(ProjectBytes(Model(0xFFFFFFFF))), ProjectRead::kNoModel);
    EXPECT_EQ(Read(ProjectBytes(Model(2) + Chunk(ProjectFormat::kBlockTag, U32(7) + U32(0)))), ProjectRead::kBadRecord);
    EXPECT_EQ(Read(ProjectBytes(Model(2) + Chunk(ProjectFormat::kBlockTag, U32(7) + U32(0) + U32(5)))),
              ProjectRead::kBadRecord);
}

TEST(ProjectFileRead, AZeroSizeWhereAChunkIsExpectedEndsTheRootsList)
{
    TwoBlockDiagram diagram;
    ProjectContents out;
    ASSERT_EQ(Read(ProjectBytes(Model(2) + U32(0) + BlockRecord(7, 0, 5, "x") + kPolarityClosed), diagram.Loader(), out),
              ProjectRead::kOk);
    EXPECT_TRUE(out.blocks[0]->paramBlob.Empty());
    EXPECT_EQ(out.mutePolarityNormallyOpen, 1);
}

TEST(ProjectFileRead, ASecondModelChunkIsAnError)
{
    TwoBlockDiagram diagram;
    ProjectContents out;
    EXPECT_EQ(Read(ProjectBytes(Model(2) + BlockRecord(7, 0, 5, "a") + Model(2)), diagram.Loader(), out),
              ProjectRead::kBadModel);
    EXPECT_EQ(diagram.loads, 1);
}

TEST(ProjectFileRead, ADiagramThatCannotBeLoadedIsAnError)
{
    TwoBlockDiagram diagram;
    diagram.fail = true;
    ProjectContents out;
    EXPECT_EQ(Read(ProjectBytes(Model(2) + BlockRecord(7, 0, 5, "a")), diagram.Loader(), out),
              ProjectRead::kDiagramMissing);
}

TEST(ProjectFileRead, AChildRunningPastItsParentIsRefused)
{
    // The record claims more than the root holds.
    std::string record = BlockRecord(7, 0, 5, "abcd");
    record.replace(0, 4, U32(500));
    EXPECT_EQ(Read(ProjectBytes(Model(2) + record)), ProjectRead::kBadStructure);
    // The blob claims more than its record holds.
    std::string inner = Chunk(ProjectFormat::kBlockTag, U32(7) + U32(0) + U32(5) + U32(100) + U32(0x76000100) + "abcd");
    EXPECT_EQ(Read(ProjectBytes(Model(2) + inner)), ProjectRead::kBadRecord);
}

TEST(ProjectFileRead, SizeFieldsOfAllOnesAllocateNothingAndAreRefused)
{
    struct Case {
        std::string bytes;
        int expected;
    };
    // Root, child and blob sizes of 0xFFFFFFFF, and a blob size just below it.
    const Case cases[] = {
        {SignatureBytes() + U32(0xFFFFFFFF) + U32(0x76ffffff) + Model(2) + U32(0), ProjectRead::kBadStructure},
        {ProjectBytes(Model(2) + U32(0xFFFFFFFF) + U32(ProjectFormat::kBlockTag) + U32(7) + U32(0) + U32(5)),
         ProjectRead::kBadStructure},
        {ProjectBytes(Model(2) + Chunk(ProjectFormat::kBlockTag, U32(7) + U32(0) + U32(5) + U32(0xFFFFFFFF) +
                                                                     U32(ProjectFormat::kParamBlobTag) + "ab")),
         ProjectRead::kBadRecord},
        {ProjectBytes(Model(2) + Chunk(ProjectFormat::kBlockTag, U32(7) + U32(0) + U32(5) + U32(0xFFFFFFF0) +
                                                                     U32(ProjectFormat::kParamBlobTag) + "ab")),
         ProjectRead::kBadRecord},
    };
    for (const Case& test : cases) {
        TwoBlockDiagram diagram;
        ProjectContents out;
        ByteStreamRef stream = ByteStreamRef::Adopt(MemoryStream::Create(test.bytes.data(), test.bytes.size()));
        const DiagramLoader loader = diagram.Loader();
        std::size_t largest = 0;
        int result = 0;
        {
            AllocationProbe probe;
            result = ReadProjectStream(stream.Get(), loader, out);
            largest = probe.Largest();
        }
        EXPECT_EQ(result, test.expected);
        EXPECT_LT(largest, 4096u);
    }
    // The probe does see what a real blob costs.
    const std::string bytes = ProjectBytes(Model(2) + BlockRecord(7, 0, 5, std::string(8192, 'b')));
    ByteStreamRef stream = ByteStreamRef::Adopt(MemoryStream::Create(bytes.data(), bytes.size()));
    TwoBlockDiagram diagram;
    const DiagramLoader loader = diagram.Loader();
    ProjectContents out;
    AllocationProbe probe;
    EXPECT_EQ(ReadProjectStream(stream.Get(), loader, out), ProjectRead::kOk);
    EXPECT_GE(probe.Largest(), 8192u);
}

TEST(ProjectFileRead, AFileCutShortAtAnyOffsetIsRefused)
{
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    TwoBlockDiagram diagram;
    diagram.Loader()(ModelType::MV440, blocks);
    const std::uint8_t blob[] = {1, 2, 3};
    blocks[0]->SetParamBlob(blob, sizeof blob);
    const std::string bytes = Write(ModelType::MV440, blocks, 0);
    ProjectContents whole;
    ASSERT_EQ(Read(bytes, diagram.Loader(), whole), ProjectRead::kOk);
    // The reader ends with the root chunk: the zero word the writer puts after it may be missing.
    const std::size_t rootEnd = bytes.size() - 4;
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        if (length < rootEnd) {
            EXPECT_LT(Read(bytes.substr(0, length)), 0) << "cut at " << length;
        } else {
            EXPECT_EQ(Read(bytes.substr(0, length)), ProjectRead::kOk) << "cut at " << length;
        }
    }
}

TEST(ProjectFileRead, AFileEndingWithItsRootChunkReads)
{
    TwoBlockDiagram diagram;
    ProjectContents out;
    const std::string withoutEndWord = SignatureBytes() + Chunk(ProjectFormat::kRootTag, kVersion + Model(3));
    ASSERT_EQ(Read(withoutEndWord, diagram.Loader(), out), ProjectRead::kOk);
    EXPECT_EQ(out.model, ModelType::MV440A);
}

TEST(ProjectFileRead, AnyDamagedByteIsEitherRefusedOrReadSafely)
{
    std::vector<std::unique_ptr<DiagramBlock>> blocks;
    TwoBlockDiagram diagram;
    diagram.Loader()(ModelType::MV440, blocks);
    const std::uint8_t blob[] = {1, 2, 3};
    blocks[1]->SetParamBlob(blob, sizeof blob);
    const std::string bytes = Write(ModelType::MV440, blocks, 0);
    for (std::size_t offset = 0; offset < bytes.size(); ++offset) {
        for (unsigned char value : {0x00, 0x01, 0x7F, 0xFF}) {
            std::string damaged = bytes;
            damaged[offset] = static_cast<char>(value);
            const int result = Read(damaged);
            EXPECT_GE(result, ProjectRead::kDiagramMissing);
            EXPECT_LE(result, ProjectRead::kUnmatchedRecords);
        }
    }
}

TEST(ProjectReadMessageId, CodesMapToTheirMessages)
{
    EXPECT_EQ(ProjectReadMessageId(-1), StringId::kProjectCannotOpen);
    EXPECT_EQ(ProjectReadMessageId(-4), StringId::kProjectTagMismatch);
    EXPECT_EQ(ProjectReadMessageId(-7), StringId::kProjectModelMissing);
    for (int code : {-2, -3, -5, -6, -8}) {
        EXPECT_EQ(ProjectReadMessageId(code), StringId::kProjectCorrupted) << code;
    }
    EXPECT_EQ(ProjectReadMessageId(-9), StringId::kBrokenInstallation);
    EXPECT_EQ(ProjectReadMessageId(0), 0u);
    EXPECT_EQ(ProjectReadMessageId(1), 0u);
}

}  // namespace
