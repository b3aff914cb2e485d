// The bytes each header width puts on the wire, and that they read back to the same values.
#include <gtest/gtest.h>

#include "dsp_blocks/chunks/ChunkCodec.h"
#include "dsp_blocks/chunks/InplaceMemoryStream.h"
#include "platform/base/ByteStreamMemory.h"
#include "tests/dsp_chunks/ChunkSchemas.h"

namespace {

using chunk_test::Bytes;
using dsp::BlockParamChunk;
using dsp::ChunkReader;
using dsp::ChunkWriter;

platform::ByteStreamRef NewMemoryStream(const Bytes& contents = {})
{
    return platform::ByteStreamRef::Adopt(platform::MemoryStream::Create(contents.data(), contents.size()));
}

const Bytes& Contents(const platform::ByteStreamRef& stream)
{
    return static_cast<platform::MemoryStream*>(stream.Get())->Bytes();
}

TEST(ChunkWireFormat, SingleU8ChunkAndTerminatorAreSixBytes)
{
    std::uint8_t buffer[16] = {};
    dsp::InplaceWriteStream stream(buffer, sizeof buffer);
    {
        ChunkWriter<BlockParamChunk> list(&stream);
        ChunkWriter<BlockParamChunk> unit;
        ASSERT_TRUE(dsp::OpenChunk(unit, 0x90, list));
        ASSERT_TRUE(dsp::WriteChunkU8(unit, 7));
        ASSERT_TRUE(dsp::CloseChunk(unit));
        ASSERT_TRUE(dsp::CloseChunk(list));
        EXPECT_EQ(list.Count(), 6u);
    }
    EXPECT_EQ(Bytes(buffer, buffer + stream.Size()), (Bytes{0x01, 0x00, 0x90, 0x07, 0x00, 0x00}));

    dsp::InplaceReadStream in(buffer, stream.Size());
    ChunkReader<BlockParamChunk> chunk(&in);
    ASSERT_TRUE(dsp::ReadChunkHeader(chunk));
    EXPECT_EQ(chunk.Tag(), 0x90);
    std::uint8_t value = 0;
    ASSERT_TRUE(dsp::ReadChunkU8(chunk, value));
    EXPECT_EQ(value, 7);
    ASSERT_TRUE(dsp::CloseChunkReader(chunk));
    ChunkReader<BlockParamChunk> end(&in);
    ASSERT_TRUE(dsp::ReadChunkHeader(end));
    EXPECT_TRUE(end.IsListEnd());
}

TEST(ChunkWireFormat, CrossoverBlobMatchesItsByteLayoutAndReadsBack)
{
    chunk_test::Crossover crossover;
    crossover.filters[0] = {3, 80.0f, false};
    crossover.filters[1] = {5, 12000.0f, false};
    const Bytes blob = chunk_test::EncodeCrossover(crossover);
    // 80.0f = 0x42A00000, 12000.0f = 0x463B8000.
    const Bytes expected = {0x09, 0x00, 0xF0, 0x00, 0x05, 0x00, 0xE1, 0x03, 0x00, 0x00, 0xA0, 0x42, 0x09,
                            0x00, 0xF0, 0x01, 0x05, 0x00, 0xE1, 0x05, 0x00, 0x80, 0x3B, 0x46, 0x00, 0x00};
    ASSERT_EQ(blob, expected);

    chunk_test::Crossover decoded;
    ASSERT_TRUE(chunk_test::DecodeCrossover(blob, decoded));
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(decoded.filters[i].seen);
        EXPECT_EQ(decoded.filters[i].type, crossover.filters[i].type);
        EXPECT_EQ(decoded.filters[i].frequency, crossover.filters[i].frequency);
    }
    EXPECT_EQ(chunk_test::EncodeCrossover(decoded), blob);
}

TEST(ChunkWireFormat, NestedChunkCountsItsThreeByteHeaderInTheOuterLength)
{
    std::uint8_t buffer[32] = {};
    dsp::InplaceWriteStream stream(buffer, sizeof buffer);
    {
        ChunkWriter<BlockParamChunk> list(&stream);
        ChunkWriter<BlockParamChunk> outer;
        ChunkWriter<BlockParamChunk> inner;
        ASSERT_TRUE(dsp::OpenChunk(outer, 0x10, list));
        ASSERT_TRUE(dsp::OpenChunk(inner, 0x20, outer));
        const std::uint8_t payload[4] = {1, 2, 3, 4};
        ASSERT_TRUE(dsp::WriteChunkBytes(inner, payload, sizeof payload));
        ASSERT_TRUE(dsp::CloseChunk(inner));
        EXPECT_EQ(outer.Count(), 3u + 4u);
        ASSERT_TRUE(dsp::CloseChunk(outer));
        ASSERT_TRUE(dsp::CloseChunk(list));
    }
    EXPECT_EQ(Bytes(buffer, buffer + stream.Size()),
              (Bytes{0x07, 0x00, 0x10, 0x04, 0x00, 0x20, 1, 2, 3, 4, 0x00, 0x00}));
}

TEST(ChunkWireFormat, SettingsChunksUseSixteenBitTagsAndSubChunks)
{
    chunk_test::Settings settings;
    settings.style = 0x11223344;
    settings.rect[0] = 1;
    settings.rect[1] = 2;
    settings.rect[2] = 0x300;
    settings.rect[3] = 0x40000;
    settings.value = 9;
    platform::ByteStreamRef stream = NewMemoryStream();
    ASSERT_TRUE(chunk_test::EncodeSettings(stream.Get(), settings));
    const Bytes expected = {
        0x1C, 0x00, 0x70, 0x5E,                                      // frame: 8 + 20 payload bytes
        0x04, 0x00, 0x00, 0xFF, 0x44, 0x33, 0x22, 0x11,              // style
        0x10, 0x00, 0x01, 0xFF, 1, 0, 0, 0, 2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0,  // rect
        0x04, 0x00, 0x71, 0x5E, 0x09, 0x00, 0x00, 0x00,              // value
        0x00, 0x00};                                                 // end marker
    ASSERT_EQ(Contents(stream), expected);

    platform::ByteStreamRef in = NewMemoryStream(expected);
    chunk_test::Settings decoded;
    ASSERT_TRUE(chunk_test::DecodeSettings(in.Get(), decoded));
    EXPECT_TRUE(decoded.sawFrame);
    EXPECT_TRUE(decoded.sawValue);
    EXPECT_EQ(decoded.style, settings.style);
    EXPECT_EQ(decoded.rect[3], settings.rect[3]);
    EXPECT_EQ(decoded.value, 9u);
    platform::ByteStreamRef again = NewMemoryStream();
    ASSERT_TRUE(chunk_test::EncodeSettings(again.Get(), decoded));
    EXPECT_EQ(Contents(again), expected);
}

TEST(ChunkWireFormat, ProjectRootChunkIsPatchedAndFollowedByAZeroSize)
{
    chunk_test::Project project;
    project.model = 2;
    project.blocks.push_back({4, 1, 0, Bytes{0x01, 0x00, 0x90, 0x07, 0x00, 0x00}});
    project.polarity = 1;
    platform::ByteStreamRef stream = NewMemoryStream();
    ASSERT_TRUE(chunk_test::EncodeProject(stream.Get(), project));
    const Bytes expected = {
        0x43, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0x76,  // root: 67 payload bytes
        0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x76, 0x01, 0x00, 0x00, 0x00,
        0x04, 0x00, 0x00, 0x00, 0x02, 0x00, 0x00, 0x76, 0x02, 0x00, 0x00, 0x00,
        0x1A, 0x00, 0x00, 0x00, 0x04, 0x00, 0x00, 0x76,  // record: 12 + 8 + 6
        0x04, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x06, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x76, 0x01, 0x00, 0x90, 0x07, 0x00, 0x00,
        0x01, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x76, 0x01,
        0x00, 0x00, 0x00, 0x00};  // after the root, outside its size
    ASSERT_EQ(Contents(stream), expected);

    platform::ByteStreamRef in = NewMemoryStream(expected);
    chunk_test::Project decoded;
    decoded.version = 0;
    ASSERT_TRUE(chunk_test::DecodeProject(in.Get(), decoded));
    EXPECT_EQ(decoded.version, 1u);
    EXPECT_EQ(decoded.model, 2u);
    ASSERT_EQ(decoded.blocks.size(), 1u);
    EXPECT_EQ(decoded.blocks[0].type, 4u);
    EXPECT_EQ(decoded.blocks[0].channel, 1u);
    EXPECT_EQ(decoded.blocks[0].blob, project.blocks[0].blob);
    EXPECT_EQ(decoded.polarity, 1);
    platform::ByteStreamRef again = NewMemoryStream();
    ASSERT_TRUE(chunk_test::EncodeProject(again.Get(), decoded));
    EXPECT_EQ(Contents(again), expected);
}

TEST(ChunkWireFormat, EmptyProjectBlobIsAZeroSizeChildThatReadsAsEmpty)
{
    chunk_test::Project project;
    project.blocks.push_back({7, 0, 0, Bytes{}});
    project.blocks.push_back({8, 1, 0, Bytes{0xAA}});
    platform::ByteStreamRef stream = NewMemoryStream();
    ASSERT_TRUE(chunk_test::EncodeProject(stream.Get(), project));
    // The first record's child: size 0 followed by its tag.
    const Bytes& bytes = Contents(stream);
    const Bytes firstChild(bytes.begin() + 8 + 24 + 8 + 12, bytes.begin() + 8 + 24 + 8 + 12 + 8);
    EXPECT_EQ(firstChild, (Bytes{0, 0, 0, 0, 0x00, 0x01, 0x00, 0x76}));

    platform::ByteStreamRef in = NewMemoryStream(bytes);
    chunk_test::Project decoded;
    ASSERT_TRUE(chunk_test::DecodeProject(in.Get(), decoded));
    ASSERT_EQ(decoded.blocks.size(), 2u);
    EXPECT_TRUE(decoded.blocks[0].blob.empty());
    EXPECT_EQ(decoded.blocks[1].type, 8u);
    EXPECT_EQ(decoded.blocks[1].blob, Bytes{0xAA});
}

}  // namespace
